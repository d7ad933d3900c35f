// Universal file dataset 58, ASCII form: a "-1" line, the dataset number,
// five 80-column ID lines, records 6-11 (the function's identity, the data
// form with an even abscissa, the abscissa's and ordinates' characteristics),
// the values four to a line in 20-column E format (real double precision),
// and a closing "-1".
#include "pcdata/Exports.h"

#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "pcdata/ReadingSignal.h"
#include "platform/DateTime.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int FUNCTION_TIME_RESPONSE = 1;
constexpr int FUNCTION_SPECTRUM = 12;
constexpr int ORDINATE_REAL_DOUBLE = 4;
constexpr int SPACING_EVEN = 1;
constexpr int DATA_TYPE_VELOCITY = 11;
constexpr int DATA_TYPE_TIME = 17;
constexpr int DATA_TYPE_FREQUENCY = 18;
constexpr std::size_t ID_LINE_BYTES = 80;
constexpr int VALUES_PER_LINE = 4;

__attribute__((format(printf, 2, 3))) void Line(std::string& out, const char* pattern, ...) {
    char text[256];
    va_list args;
    va_start(args, pattern);
    const int length = std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    if (length > 0)
        out.append(text, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof text - 1));
    out += '\n';
}

// At most 80 bytes, never ending inside a UTF-8 character; blank is "NONE".
std::string IdLine(const std::string& text) {
    if (text.empty()) return "NONE";
    std::size_t end = std::min(text.size(), ID_LINE_BYTES);
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    std::string line = text.substr(0, end);
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

// The point as a node of the test geometry: route points by their number,
// off-route points from 1001, the WATCH reading 0.
int NodeOf(const std::string& pointKey) {
    if (pointKey.rfind("offroute", 0) == 0) return 1000 + std::atoi(pointKey.c_str() + 8);
    return std::atoi(pointKey.c_str());
}

// Horizontal, vertical and axial as +X, +Y and +Z; no orientation is scalar.
int DirectionOf(int16_t orientation) {
    return orientation >= ORIENT_HORIZONTAL && orientation <= ORIENT_AXIAL ? orientation : 0;
}

std::string UffDate(double time) {
    static const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (time <= 0) return "NONE";
    const TDateTimeParts t = DecodeDateTime(time);
    char text[40];
    std::snprintf(text, sizeof text, "%02d-%s-%02d %02d:%02d:%02d", t.Day, MONTHS[(t.Month + 11) % 12],
                  t.Year % 100, t.Hour, t.Minute, t.Second);
    return text;
}

struct TAxis {
    int DataType;
    const char* Label;
    const char* Unit;
};

void Dataset(std::string& out, const TDbReading& r, bool spectrum, double first, double step,
             const std::vector<double>& values) {
    const TAxis abscissa =
        spectrum ? TAxis{DATA_TYPE_FREQUENCY, "Frequency", "Hz"} : TAxis{DATA_TYPE_TIME, "Time", "s"};
    const TAxis ordinate = {DATA_TYPE_VELOCITY, r.Kind == KIND_MEAS_E ? "Envelope velocity" : "Velocity",
                            "mm/s"};
    Line(out, "%6d", -1);
    Line(out, "%6d", 58);
    Line(out, "%s", IdLine(r.MachineName + " / " + r.Label).c_str());
    Line(out, "%s",
         IdLine("point " + r.PointKey + ", reading " + std::to_string(r.Id) + ", kind " +
                std::to_string(r.Kind) + (spectrum ? ", amplitude spectrum (Hann)" : ", waveform"))
             .c_str());
    Line(out, "%s", UffDate(r.Time).c_str());
    Line(out, "%s", IdLine(r.Condition).c_str());
    Line(out, "%s", r.Overload ? "input overload" : "NONE");
    // Record 6: function type, id, version, load case; response and reference entity, node, direction.
    Line(out, "%5d%10lld%5d%10d %-10.10s%10d%4d %-10.10s%10d%4d",
         spectrum ? FUNCTION_SPECTRUM : FUNCTION_TIME_RESPONSE, static_cast<long long>(r.Id), 0, 0,
         ("P" + r.PointKey).c_str(), NodeOf(r.PointKey), DirectionOf(r.Orientation), "NONE", 0, 0);
    // Record 7: ordinate type, count, even spacing, abscissa start and step, z.
    Line(out, "%10d%10zu%10d%13.5E%13.5E%13.5E", ORDINATE_REAL_DOUBLE, values.size(), SPACING_EVEN, first,
         step, 0.0);
    // Records 8-11: abscissa, ordinate (numerator), denominator, z axis.
    Line(out, "%10d%5d%5d%5d %-20.20s %-20.20s", abscissa.DataType, 0, 0, 0, abscissa.Label, abscissa.Unit);
    Line(out, "%10d%5d%5d%5d %-20.20s %-20.20s", ordinate.DataType, 1, 0, 0, ordinate.Label, ordinate.Unit);
    Line(out, "%10d%5d%5d%5d %-20.20s %-20.20s", 0, 0, 0, 0, "NONE", "NONE");
    Line(out, "%10d%5d%5d%5d %-20.20s %-20.20s", 0, 0, 0, 0, "NONE", "NONE");
    char text[24];
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::snprintf(text, sizeof text, "%20.12E", values[i]);
        out += text;
        if ((i + 1) % VALUES_PER_LINE == 0 || i + 1 == values.size()) out += '\n';
    }
    Line(out, "%6d", -1);
}

} // namespace

std::string Uff58Text(const std::vector<TDbReading>& readings) {
    std::string out;
    for (const TDbReading& r : readings) {
        const TReadingSpectrum spectrum = ReadingSpectrum(r.Kind, r.Samples);
        Dataset(out, r, true, 0.0, spectrum.LineSpacing, spectrum.Amplitude);
        Dataset(out, r, false, 0.0, 1.0 / READING_RATE, ReadingWaveform(r.Kind, r.Samples));
    }
    return out;
}
