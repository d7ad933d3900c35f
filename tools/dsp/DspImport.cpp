#include "DspImport.h"

#include "DspCommand.h"
#include "pcdata/MeasurementDb.h"

#include <ostream>

int RunDspImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4 || args[1] != "--db") {
        err << "orx700-dsp: usage: orx700-dsp import --db DB FILE\n";
        return DSP_EXIT_USAGE;
    }
    std::string error;
    const auto db = TMeasurementDb::Open(args[2], error);
    if (!db) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_FAILED;
    }
    const int added = db->ImportFrom(args[3], error);
    if (added < 0) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_FAILED;
    }
    out << "imported " << added << " new readings\n";
    return out.flush() ? DSP_EXIT_OK : DSP_EXIT_FAILED;
}
