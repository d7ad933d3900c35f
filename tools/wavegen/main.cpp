// orx700-wavegen: writes one of the stored waveforms as its committed text
// file. The build does not run it; its output lives in resources/waveforms.
#include "WaveformSynth.h"
#include "WaveformText.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const std::string kindText = argc == 3 ? argv[1] : "";
    if (kindText != "0" && kindText != "1" && kindText != "2") {
        std::fputs("usage: orx700-wavegen KIND FILE   (KIND 0, 1 or 2)\n", stderr);
        return 2;
    }
    try {
        const int kind = kindText[0] - '0';
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out << WaveformText(kind, SynthesizeWaveform(kind));
        out.close();
        if (!out) {
            std::fprintf(stderr, "orx700-wavegen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orx700-wavegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
