#include "WaveformText.h"

#include "WaveformSynth.h"

#include <sstream>

std::string WaveformText(int kind, const std::vector<int32_t>& values) {
    const bool isSigned = WaveformForm(kind) == TSampleForm::Signed;
    const TWaveformTarget target = WaveformTarget(kind);
    std::ostringstream out;
    out << "# Stored waveform " << kind << ": " << values.size() << " samples, "
        << (isSigned ? "two's complement 16-bit values" : "unsigned 16-bit converter codes") << ".\n";
    std::istringstream description(WaveformDescription(kind));
    for (std::string line; std::getline(description, line);)
        out << "# " << line << '\n';
    out << "# Fitted to values " << target.Min << ".." << target.Max << ", mean " << target.Mean
        << ", AC RMS " << target.AcRms << ".\n"
        << "# Generated, do not edit: orx700-wavegen " << kind << " resources/waveforms/waveform" << kind
        << ".txt\n"
        << "form " << (isSigned ? "signed" : "unsigned") << '\n';
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << values[i];
        out << ((i % 16 == 15 || i + 1 == values.size()) ? '\n' : ' ');
    }
    return out.str();
}
