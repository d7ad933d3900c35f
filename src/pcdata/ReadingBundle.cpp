#include "pcdata/ReadingBundle.h"

#include <cstdint>
#include <cstring>

namespace {

// BitCast, which the web edition's C++ library lacks.
template <typename To, typename From> To BitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

constexpr char MAGIC[4] = {'O', 'R', 'X', 'R'};
constexpr uint16_t VERSION = 1;

void PutUnsigned(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

void PutText(std::string& out, const std::string& text) {
    PutUnsigned(out, text.size(), 4);
    out += text;
}

class TReader {
  public:
    explicit TReader(std::string_view bytes) : FBytes(bytes) {}
    bool Unsigned(uint64_t& value, int bytes) {
        if (FBytes.size() - FAt < static_cast<std::size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<uint64_t>(static_cast<uint8_t>(FBytes[FAt++])) << (8 * i);
        return true;
    }
    bool Text(std::string& text) {
        uint64_t size = 0;
        if (!Unsigned(size, 4) || FBytes.size() - FAt < size) return false;
        text.assign(FBytes.substr(FAt, static_cast<std::size_t>(size)));
        FAt += static_cast<std::size_t>(size);
        return true;
    }
    std::size_t Left() const { return FBytes.size() - FAt; }

  private:
    std::string_view FBytes;
    std::size_t FAt = 0;
};

bool UnpackOne(TReader& in, TStoreReading& r) {
    uint64_t orientation = 0, kind = 0, time = 0, overload = 0, count = 0;
    if (!in.Text(r.PointKey) || !in.Text(r.MachineKey) || !in.Text(r.MachineName) || !in.Text(r.Label) ||
        !in.Text(r.Condition) || !in.Unsigned(orientation, 2) || !in.Unsigned(kind, 2) ||
        !in.Unsigned(time, 8))
        return false;
    r.Orientation = static_cast<int16_t>(static_cast<uint16_t>(orientation));
    r.Kind = static_cast<int16_t>(static_cast<uint16_t>(kind));
    r.Time = BitCast<double>(time);
    for (float& value : r.Results.Value) {
        uint64_t bits = 0;
        if (!in.Unsigned(bits, 4)) return false;
        value = BitCast<float>(static_cast<uint32_t>(bits));
    }
    if (!in.Unsigned(overload, 1) || overload > 1 || !in.Unsigned(count, 4) || count > in.Left() / 2)
        return false;
    r.Overload = overload == 1;
    r.Samples.resize(static_cast<std::size_t>(count));
    for (int16_t& sample : r.Samples) {
        uint64_t bits = 0;
        in.Unsigned(bits, 2);
        sample = static_cast<int16_t>(static_cast<uint16_t>(bits));
    }
    return true;
}

} // namespace

std::string PackReadings(const std::vector<TStoreReading>& readings) {
    std::string out(MAGIC, sizeof MAGIC);
    PutUnsigned(out, VERSION, 2);
    PutUnsigned(out, readings.size(), 4);
    for (const TStoreReading& r : readings) {
        for (const std::string* text : {&r.PointKey, &r.MachineKey, &r.MachineName, &r.Label, &r.Condition})
            PutText(out, *text);
        PutUnsigned(out, static_cast<uint16_t>(r.Orientation), 2);
        PutUnsigned(out, static_cast<uint16_t>(r.Kind), 2);
        PutUnsigned(out, BitCast<uint64_t>(r.Time), 8);
        for (float value : r.Results.Value)
            PutUnsigned(out, BitCast<uint32_t>(value), 4);
        PutUnsigned(out, r.Overload ? 1 : 0, 1);
        PutUnsigned(out, r.Samples.size(), 4);
        for (int16_t sample : r.Samples)
            PutUnsigned(out, static_cast<uint16_t>(sample), 2);
    }
    return out;
}

bool UnpackReadings(std::string_view bytes, std::vector<TStoreReading>& readings, std::string& error) {
    readings.clear();
    TReader in(bytes);
    uint64_t version = 0, count = 0;
    if (bytes.size() < sizeof MAGIC || std::memcmp(bytes.data(), MAGIC, sizeof MAGIC) != 0) {
        error = "not a block of the instrument's readings";
        return false;
    }
    in.Unsigned(version, 4); // the magic, read past
    if (!in.Unsigned(version, 2) || version != VERSION) {
        error = "readings of another version of the program";
        return false;
    }
    // Each reading takes at least its fixed fields: a count past what the
    // bytes could hold is refused before anything is allocated for it.
    constexpr uint64_t LEAST_READING = 5 * 4 + 2 + 2 + 8 + 9 * 4 + 1 + 4;
    if (!in.Unsigned(count, 4) || count > in.Left() / LEAST_READING) {
        error = "the block of readings is cut short";
        return false;
    }
    std::vector<TStoreReading> unpacked(static_cast<std::size_t>(count));
    for (TStoreReading& r : unpacked)
        if (!UnpackOne(in, r)) {
            error = "the block of readings is cut short";
            return false;
        }
    if (in.Left() != 0) {
        error = "the block of readings has bytes past its end";
        return false;
    }
    readings = std::move(unpacked);
    return true;
}
