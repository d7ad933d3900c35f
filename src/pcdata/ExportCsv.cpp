#include "pcdata/Exports.h"

#include "measure/Routes.h"
#include "measure/Samplingimp.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace {

// The header names each column and, in brackets, its unit. Kind 0 readings
// fill the nine levels, kind 1 readings the crest factor.
constexpr const char* CSV_HEADER =
    "reading,machine,point,label,orientation,kind,measured,acc_pk [m/s2],acc_rms [m/s2],acc_pp [m/s2],"
    "vel_pk [mm/s],vel_rms [mm/s],vel_pp [mm/s],disp_pk [um],disp_rms [um],disp_pp [um],crest [1],overload,"
    "condition\r\n";

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// The shortest text that reads back as the same float: no locale.
std::string Number(float value) {
    char text[32];
#ifdef __EMSCRIPTEN__
    // The web edition's C++ library has no floating-point to_chars; its C
    // locale never changes, so printf's digits are the same dot decimals.
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
#else
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
#endif
}

const char* OrientationLetter(int16_t orientation) {
    switch (orientation) {
    case ORIENT_HORIZONTAL:
        return "H";
    case ORIENT_VERTICAL:
        return "V";
    case ORIENT_AXIAL:
        return "A";
    default:
        return "";
    }
}

} // namespace

std::string CsvText(const std::vector<TDbReading>& readings) {
    std::string csv = CSV_HEADER;
    for (const TDbReading& r : readings) {
        csv += std::to_string(r.Id) + ',' + Field(r.MachineName) + ',' + Field(r.PointKey) + ',' +
               Field(r.Label) + ',' + OrientationLetter(r.Orientation) + ',' + std::to_string(r.Kind) + ',' +
               ReadingTimeText(r.Time);
        for (int i = 0; i < 9; ++i)
            csv += ',' + (r.Kind == KIND_MEAS ? Number(r.Results.Value[static_cast<std::size_t>(i)]) : "");
        csv += ',' + (r.Kind == KIND_MEAS_E ? Number(r.Results.Value[RESULT_CREST]) : "");
        csv += std::string(",") + (r.Overload ? "1" : "0") + ',' + Field(r.Condition) + "\r\n";
    }
    return csv;
}
