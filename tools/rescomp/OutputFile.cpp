#include "OutputFile.h"

#include <fstream>
#include <iterator>

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WriteOutputFileIfChanged(const std::string& path, const std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old == bytes) return true;
    }
    return WriteOutputFile(path, bytes, error);
}
