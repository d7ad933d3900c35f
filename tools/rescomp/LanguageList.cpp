#include "LanguageList.h"

#include "OutputFile.h"

#include <fstream>
#include <sstream>

bool CompileLanguageListFile(const std::string& inPath, const std::string& outPath, std::string& error) {
    std::ifstream in(inPath);
    if (!in) {
        error = "cannot read " + inPath;
        return false;
    }
    std::string bytes;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string idText;
        std::string name;
        fields >> idText >> name;
        unsigned long id = 0;
        try {
            std::size_t used = 0;
            id = std::stoul(idText, &used, 0);
            if (used != idText.size() || id > 0xFFFF) throw std::out_of_range("id");
        } catch (const std::exception&) {
            error = inPath + ":" + std::to_string(lineNo) + ": expected a 16-bit language id, got '" +
                    idText + "'";
            return false;
        }
        bytes += static_cast<char>(id & 0xFF);
        bytes += static_cast<char>(id >> 8);
        bytes += name;
        bytes += '\0';
    }
    return WriteOutputFile(outPath, bytes, error);
}
