#include "DspExport.h"

#include "DspCommand.h"
#include "pcdata/DateRange.h"
#include "pcdata/Exports.h"

#include <ostream>

namespace {

struct TExportRequest {
    std::string Db, Out, Point;
    double From = 0, To = 0; // the selection's day counts; 0 none
    TExportFormat Format = TExportFormat::Csv;
};

bool ParseExport(const std::vector<std::string>& args, TExportRequest& request, std::string& error) {
    bool haveFormat = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool valued =
            arg == "--db" || arg == "--format" || arg == "--point" || arg == "--from" || arg == "--to";
        if (valued && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "--db") {
            request.Db = args[++i];
        } else if (arg == "--format") {
            const auto format = ParseExportFormat(args[++i]);
            if (!format) {
                error = "--format must be csv, uff58 or wav, not '" + args[i] + "'";
                return false;
            }
            request.Format = *format;
            haveFormat = true;
        } else if (arg == "--point") {
            request.Point = args[++i];
        } else if (arg == "--from" || arg == "--to") {
            const bool from = arg == "--from";
            if (!(from ? ParseFromBound(args[++i], request.From, error)
                       : ParseToBound(args[++i], request.To, error))) {
                error = arg + ": " + error;
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "export: unknown option " + arg;
            return false;
        } else if (!request.Out.empty()) {
            error = "export writes to one OUT, got '" + request.Out + "' and '" + arg + "'";
            return false;
        } else {
            request.Out = arg;
        }
    }
    if (request.Db.empty() || !haveFormat || request.Out.empty()) {
        error = "usage: orx700-dsp export --db DB --format csv|uff58|wav [--point P] [--from DATE] [--to "
                "DATE] OUT";
        return false;
    }
    if (request.From != 0 && request.To != 0 && request.To <= request.From) {
        error = "--to must not be earlier than --from";
        return false;
    }
    return true;
}

} // namespace

int RunDspExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TExportRequest request;
    std::string error;
    if (!ParseExport(args, request, error)) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_USAGE;
    }
    const auto db = TMeasurementDb::Open(request.Db, error);
    if (!db) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_FAILED;
    }
    TDbSelection selection;
    selection.PointKey = request.Point;
    selection.From = request.From;
    selection.To = request.To;
    const std::vector<TDbReading> readings = db->Readings(selection, request.Format != TExportFormat::Csv);
    if (!ExportReadings(readings, request.Format, request.Out, error)) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_FAILED;
    }
    out << "exported " << readings.size() << " readings\n";
    return out.flush() ? DSP_EXIT_OK : DSP_EXIT_FAILED;
}
