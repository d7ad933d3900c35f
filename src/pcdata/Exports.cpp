#include "pcdata/Exports.h"

#include "platform/DateTime.h"
#include "platform/SafeFile.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

std::optional<TExportFormat> ParseExportFormat(std::string_view name) {
    if (name == "csv") return TExportFormat::Csv;
    if (name == "uff58") return TExportFormat::Uff58;
    if (name == "wav") return TExportFormat::Wav;
    return std::nullopt;
}

std::string ReadingTimeText(double time) {
    if (time <= 0) return {};
    const TDateTimeParts t = DecodeDateTime(time);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute, t.Second);
    return text;
}

bool ExportReadings(const std::vector<TDbReading>& readings, TExportFormat format, const std::string& out,
                    std::string& error) {
    if (format == TExportFormat::Csv) return ReplaceFile(out, CsvText(readings), error);
    if (format == TExportFormat::Uff58) return ReplaceFile(out, Uff58Text(readings), error);
    std::error_code fsError;
    fs::create_directories(out, fsError);
    if (!fs::is_directory(out, fsError)) {
        error = out + " is not a folder";
        return false;
    }
    for (const TDbReading& reading : readings)
        if (!ReplaceFile((fs::path(out) / WavFileName(reading)).string(), WavBytes(reading), error))
            return false;
    return true;
}
