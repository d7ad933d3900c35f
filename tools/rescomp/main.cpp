// orx-rescomp: turns the text sources under resources/ into the exact binary
// layouts the program reads, and compiles binary files into C++ arrays.
#include "Embed.h"
#include "FontCompiler.h"
#include "LanguageList.h"
#include "StringIds.h"
#include "Waveform.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs(
        "usage: orx-rescomp font1 IN OUT | font2 IN OUT | langlist IN OUT | waveform IN OUT | ids IN OUT\n"
        "       orx-rescomp embed OUT NAME=FILE...\n",
        stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string error;
    bool ok = false;
    if (command == "embed") {
        ok = EmbedResources(args[0], std::vector<std::string>(args.begin() + 1, args.end()), error);
    } else if (args.size() != 2) {
        return Usage();
    } else if (command == "font1") {
        ok = CompileFont1File(args[0], args[1], error);
    } else if (command == "font2") {
        ok = CompileFont2File(args[0], args[1], error);
    } else if (command == "langlist") {
        ok = CompileLanguageListFile(args[0], args[1], error);
    } else if (command == "waveform") {
        ok = CompileWaveformFile(args[0], args[1], error);
    } else if (command == "ids") {
        ok = CompileStringIdsFile(args[0], args[1], error);
    } else {
        return Usage();
    }
    if (!ok) {
        std::fprintf(stderr, "orx-rescomp %s: %s\n", command.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
