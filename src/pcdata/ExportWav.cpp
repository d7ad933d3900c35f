// RIFF WAVE: "fmt " (PCM, mono, 16 bits), a LIST/INFO chunk with the
// reading's identity, then "data". Every number little-endian.
#include "pcdata/Exports.h"

#include "pcdata/ReadingSignal.h"
#include "platform/DateTime.h"

#include <cstdio>

namespace {

constexpr uint16_t FORMAT_PCM = 1;
constexpr uint16_t CHANNELS = 1;
constexpr uint16_t BITS = 16;

void Put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// An INFO sub-chunk: its text with a terminating zero, padded to even size.
void InfoChunk(std::string& out, const char* id, const std::string& text) {
    out += id;
    Put32(out, static_cast<uint32_t>(text.size() + 1));
    out += text;
    out += '\0';
    if ((text.size() + 1) % 2 != 0) out += '\0';
}

} // namespace

std::string WavFileName(const TDbReading& reading) {
    std::string stamp = "unknown-time";
    if (reading.Time > 0) {
        const TDateTimeParts t = DecodeDateTime(reading.Time);
        char text[32];
        std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.Year, t.Month, t.Day, t.Hour,
                      t.Minute, t.Second);
        stamp = text;
    }
    return "point-" + reading.PointKey + "-" + stamp + "-" + std::to_string(reading.Id) + ".wav";
}

std::string WavBytes(const TDbReading& reading) {
    std::string info = "INFO";
    InfoChunk(info, "INAM", reading.MachineName + " / " + reading.Label);
    InfoChunk(info, "ICMT",
              "point " + reading.PointKey + ", reading " + std::to_string(reading.Id) + ", kind " +
                  std::to_string(reading.Kind) + ", " + ReadingTimeText(reading.Time) + ", " +
                  reading.Condition);
    InfoChunk(info, "ICRD", ReadingTimeText(reading.Time).substr(0, 10));
    InfoChunk(info, "ISFT", "orx700-demo");

    const auto rate = static_cast<uint32_t>(READING_RATE);
    const auto dataBytes = static_cast<uint32_t>(2 * reading.Samples.size());
    std::string out = "RIFF";
    Put32(out, static_cast<uint32_t>(4 + (8 + 16) + (8 + info.size()) + (8 + dataBytes)));
    out += "WAVE";
    out += "fmt ";
    Put32(out, 16);
    Put16(out, FORMAT_PCM);
    Put16(out, CHANNELS);
    Put32(out, rate);
    Put32(out, rate * CHANNELS * BITS / 8);
    Put16(out, CHANNELS * BITS / 8);
    Put16(out, BITS);
    out += "LIST";
    Put32(out, static_cast<uint32_t>(info.size()));
    out += info;
    out += "data";
    Put32(out, dataBytes);
    for (const int16_t sample : reading.Samples)
        Put16(out, static_cast<uint16_t>(ReadingPcm(reading.Kind, sample)));
    return out;
}
