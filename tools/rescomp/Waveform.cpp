#include "Waveform.h"

#include "OutputFile.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

struct TForm {
    int64_t Min;
    int64_t Max;
    const char* Name;
};
constexpr TForm UNSIGNED_FORM{0, 65535, "unsigned"};
constexpr TForm SIGNED_FORM{-32768, 32767, "signed"};

std::string At(const std::string& path, int line, const std::string& what) {
    return path + ":" + std::to_string(line) + ": " + what;
}

} // namespace

bool ParseWaveformText(std::istream& in, const std::string& path, std::vector<uint16_t>& words,
                       std::string& error) {
    words.clear();
    const TForm* form = nullptr;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        line = line.substr(0, line.find('#'));
        std::istringstream tokens(line);
        std::string token;
        if (form == nullptr) {
            std::string name;
            std::string extra;
            if (!(tokens >> token)) continue;
            tokens >> name >> extra;
            if (token != "form" || (name != "signed" && name != "unsigned") || !extra.empty()) {
                error = At(path, lineNo, "expected 'form signed' or 'form unsigned' before the values");
                return false;
            }
            form = name == "signed" ? &SIGNED_FORM : &UNSIGNED_FORM;
            continue;
        }
        while (tokens >> token) {
            int64_t value = 0;
            const char* end = token.data() + token.size();
            const auto [ptr, ec] = std::from_chars(token.data(), end, value);
            if (ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
                error = At(path, lineNo, "'" + token + "' is not a decimal number");
                return false;
            }
            if (ec == std::errc::result_out_of_range || value < form->Min || value > form->Max) {
                error = At(path, lineNo,
                           token + " is out of range " + std::to_string(form->Min) + ".." +
                               std::to_string(form->Max) + " for " + form->Name + " values");
                return false;
            }
            if (words.size() == WAVEFORM_VALUES) {
                error = At(path, lineNo, "more than " + std::to_string(WAVEFORM_VALUES) + " values");
                return false;
            }
            // Signed values keep their two's complement bits.
            words.push_back(static_cast<uint16_t>(value & 0xFFFF));
        }
    }
    if (form == nullptr) {
        error = path + ": no 'form signed' or 'form unsigned' line";
        return false;
    }
    if (words.size() != WAVEFORM_VALUES) {
        error = path + ": " + std::to_string(words.size()) + " values, expected " +
                std::to_string(WAVEFORM_VALUES);
        return false;
    }
    return true;
}

bool CompileWaveformFile(const std::string& inPath, const std::string& outPath, std::string& error) {
    std::ifstream in(inPath);
    if (!in) {
        error = "cannot read " + inPath;
        return false;
    }
    std::vector<uint16_t> words;
    if (!ParseWaveformText(in, inPath, words, error)) return false;
    std::string bytes;
    for (const uint16_t word : words) {
        bytes += static_cast<char>(word & 0xFF);
        bytes += static_cast<char>(word >> 8);
    }
    return WriteOutputFile(outPath, bytes, error);
}
