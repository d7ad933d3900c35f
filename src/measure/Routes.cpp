#include "measure/Routes.h"

#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Status words in point order; owned here, changed only by the operations.
std::vector<uint16_t> RouteList;
std::vector<uint16_t> OffRouteList;

// Used when the table's point pattern is not one integer conversion: the
// pattern then cannot be handed to the formatter safely.
constexpr const char* POINT_NUMBER_FALLBACK = "POINT %3d";

struct TDemoPoint {
    int16_t MachineId;   // string id of the machine name
    int16_t Number;      // position within the machine
    int16_t Orientation; // ORIENT_*
    int16_t NameId;      // string id of the point name
};

constexpr std::array<TDemoPoint, ROUTE_POINT_COUNT> DEMO_ROUTE{{
    {TEXT_MACHINE_1, 1, ORIENT_HORIZONTAL, TEXT_M1_LOW_HOR},
    {TEXT_MACHINE_1, 2, ORIENT_HORIZONTAL, TEXT_M1_HIGH_HOR},
    {TEXT_MACHINE_1, 3, ORIENT_AXIAL, TEXT_M1_FRONT_AXLE},
    {TEXT_MACHINE_1, 4, ORIENT_VERTICAL, TEXT_M1_COUPLING_VERT},
    {TEXT_MACHINE_1, 5, ORIENT_HORIZONTAL, TEXT_M1_COUPLING_HOR},
    {TEXT_MACHINE_2, 1, ORIENT_AXIAL, TEXT_M2_BEARING_AXLE},
    {TEXT_MACHINE_2, 2, ORIENT_VERTICAL, TEXT_M2_BEARING_VERT},
    {TEXT_MACHINE_2, 3, ORIENT_HORIZONTAL, TEXT_M2_BEARING_HOR},
    {TEXT_MACHINE_3, 1, ORIENT_HORIZONTAL, TEXT_M3_LPC_HOR},
    {TEXT_MACHINE_3, 2, ORIENT_HORIZONTAL, TEXT_M3_HPC_HOR},
    {TEXT_MACHINE_3, 3, ORIENT_AXIAL, TEXT_M3_FRONT_AXLE},
    {TEXT_MACHINE_3, 4, ORIENT_VERTICAL, TEXT_M3_COUPLING_VERT},
    {TEXT_MACHINE_3, 5, ORIENT_HORIZONTAL, TEXT_M3_COUPLING_HOR},
}};

// The lists never outgrow the index space, so their lengths fit 16 bits.
int16_t RouteLength() {
    return static_cast<int16_t>(RouteList.size());
}

bool EndsWithSlot() {
    return !OffRouteList.empty() && (OffRouteList.back() & PS_MEASURED) == 0;
}

bool IsRouteIndex(int16_t index) {
    return index >= 1 && index <= RouteLength();
}

// Position in OffRouteList of an off-route index; may lie outside the list.
int32_t OffRoutePosition(int16_t index) {
    return int32_t{OFFROUTE_FIRST_INDEX} - index;
}

__attribute__((format(printf, 1, 2))) std::string FormatText(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    char buffer[128];
    const int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    if (length <= 0) return {};
    return std::string(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
}

// True when pattern holds exactly one conversion and it is an int one
// (d or i with flags, width and precision only); "%%" is plain text.
bool IsSingleIntPattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        ++i;
        if (i < pattern.size() && pattern[i] == '%') continue;
        while (i < pattern.size() && std::strchr("-+ #0", pattern[i]) != nullptr)
            ++i;
        while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
            ++i;
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
                ++i;
        }
        if (i >= pattern.size() || (pattern[i] != 'd' && pattern[i] != 'i')) return false;
        ++conversions;
    }
    return conversions == 1;
}

// LCD text fields hold code page 1251 bytes, cut to fit, zero-filled.
void SetPointText(char (&field)[POINT_TEXT_SIZE], const std::string& utf8) {
    const std::string text = Utf8ToCp1251(utf8);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

std::string LabelText(int16_t index) {
    const TDemoPoint& point = DEMO_ROUTE[static_cast<std::size_t>(index - 1)];
    // The letters H, V, A follow one another in orientation code order 1..3.
    const std::string letter = LoadStr(TEXT_HORIZONTAL_LETTER + point.Orientation - 1);
    const std::string name = LoadStr(point.NameId);
    return FormatText("%03d %02d%s %s", index, point.Number, letter.c_str(), name.c_str());
}

// A text as a record's field holds it, back in UTF-8.
std::string FieldText(const std::string& utf8) {
    char field[POINT_TEXT_SIZE];
    SetPointText(field, utf8);
    return Cp1251ToUtf8(field);
}

void FillRoutePoint(int16_t index, TPointRecord& record) {
    const uint16_t word = RouteList[static_cast<std::size_t>(index - 1)];
    const TDemoPoint& point = DEMO_ROUTE[static_cast<std::size_t>(index - 1)];
    record.Status = (word & PS_MEASURED) != 0 ? REC_MEASURED : REC_EMPTY;
    const uint16_t kindBit = RoutePointKind(index) == KIND_MEAS_E ? PS_KIND_E : 0u;
    record.Flags = static_cast<int16_t>(static_cast<uint16_t>(kindBit | (word & ~PS_MEASURED)));
    SetPointText(record.MachineName, LoadStr(point.MachineId));
    SetPointText(record.Label, LabelText(index));
    record.Orientation = point.Orientation;
}

void FillOffRoutePoint(int16_t index, TPointRecord& record) {
    const int32_t position = OffRoutePosition(index);
    const bool stored = position >= 0 && position < static_cast<int32_t>(OffRouteList.size());
    const uint16_t word = stored ? OffRouteList[static_cast<std::size_t>(position)] : PS_OFFROUTE;
    record.Status = (word & PS_MEASURED) != 0 ? REC_MEASURED : REC_EMPTY;
    record.Flags = static_cast<int16_t>(static_cast<uint16_t>(word & ~PS_MEASURED));
    SetPointText(record.MachineName, LoadStr(TEXT_OFF_ROUTE));
    std::string pattern = LoadStr(TEXT_POINT_NUMBER);
    if (!IsSingleIntPattern(pattern)) pattern = POINT_NUMBER_FALLBACK;
    // The pattern has been checked to take exactly one int.
    SetPointText(record.Label, FormatText(pattern.c_str(), static_cast<int>(position + 1)));
    record.Orientation = ORIENT_NONE;
}

// The store keeps no numbers: every build takes the kind's waveform again,
// without the acquisition's wait and without marking the record. A measured
// point gets the waveform of the condition it was measured with, and with it
// the overload that condition gave.
void RecomputeResults(int16_t index, TPointRecord& record) {
    const int16_t kind = (record.Flags & PS_KIND_E) != 0 ? KIND_MEAS_E : KIND_MEAS;
    const bool measured = record.Status == REC_MEASURED;
    const int16_t overload =
        AcquireWaveform(kind, &record.Status, false, measured ? RoutePointSource(index) : SOURCE_STORED);
    record.OverloadMark = measured && overload != 0 ? static_cast<int16_t>(REC_MEASURED) : int16_t{0};
    record.Results = TMeasResults{};
    if (kind == KIND_MEAS_E)
        ComputeCrestFactor(record.Results);
    else
        ComputeVibrationResults(record.Results);
    record.Checksum = 0;
}

} // namespace

void RouteGetCounts(TRouteCounts& counts) {
    const auto offRoute = static_cast<int16_t>(OffRouteList.size());
    counts[0] = EndsWithSlot() ? static_cast<int16_t>(offRoute - 1) : offRoute;
    counts[1] = RouteLength();
}

int16_t RouteResize(const TRouteCounts& counts) {
    const auto route = std::clamp<int16_t>(counts[1], 0, ROUTE_POINT_COUNT);
    RouteList.resize(static_cast<std::size_t>(route), PS_OFFROUTE);
    const auto offRoute = std::clamp<int16_t>(counts[0], 0, OffRouteCapacity());
    OffRouteList.resize(static_cast<std::size_t>(offRoute), PS_OFFROUTE);
    return 0;
}

int16_t RouteDelete() {
    TRouteCounts counts;
    RouteGetCounts(counts);
    counts[1] = 0;
    return RouteResize(counts);
}

int16_t OffRouteDelete() {
    TRouteCounts counts;
    RouteGetCounts(counts);
    counts[0] = 0;
    return RouteResize(counts);
}

int16_t OffRouteCapacity() {
    // Every power-on rebuilds the demo route and loads no more off-route
    // words than fit above it, so a deleted route frees no room that would
    // last: a point measured there would be gone after the next power-on.
    return std::min<int16_t>(static_cast<int16_t>(OFFROUTE_FIRST_INDEX - RouteLength()), OFFROUTE_LOAD_LIMIT);
}

void OffRouteAddSlot() {
    if (EndsWithSlot() || OffRouteList.size() >= static_cast<std::size_t>(OffRouteCapacity())) return;
    OffRouteList.push_back(PS_OFFROUTE);
}

void RouteGetPoint(int16_t index, TPointRecord& record) {
    if (IsRouteIndex(index))
        FillRoutePoint(index, record);
    else
        FillOffRoutePoint(index, record);
    RecomputeResults(index, record);
}

int16_t RoutePointSource(int16_t index) {
    if (IsRouteIndex(index)) return index;
    return static_cast<int16_t>(SOURCE_OFFROUTE_BASE + OffRoutePosition(index) + 1);
}

int16_t RouteStorePoint(int16_t index, const TPointRecord& record) {
    const auto word = static_cast<uint16_t>(static_cast<uint16_t>(record.Flags) |
                                            (record.Status == REC_MEASURED ? PS_MEASURED : 0u));
    if (IsRouteIndex(index)) {
        RouteList[static_cast<std::size_t>(index - 1)] = word;
        return 0;
    }
    const int32_t position = OffRoutePosition(index);
    if (position < 0 || position >= static_cast<int32_t>(OffRouteList.size())) return MEM_ERROR;
    OffRouteList[static_cast<std::size_t>(position)] = word;
    return 0;
}

TRoutePointName RoutePointName(int16_t index) {
    const TDemoPoint& point =
        DEMO_ROUTE[static_cast<std::size_t>(std::clamp<int16_t>(index, 1, ROUTE_POINT_COUNT) - 1)];
    return {point.MachineId, point.Number, point.NameId};
}

std::string RoutePointMachineText(int16_t index) {
    return FieldText(LoadStr(RoutePointName(index).MachineId));
}

std::string RoutePointLabel(int16_t index) {
    return FieldText(LabelText(std::clamp<int16_t>(index, 1, ROUTE_POINT_COUNT)));
}

int16_t RoutePointKind(int16_t index) {
    // Odd points are kind 1, so every machine has both kinds.
    return static_cast<int16_t>(index & 1);
}

void RouteGetMachineName(int16_t index, char (&name)[POINT_TEXT_SIZE]) {
    TPointRecord scratch{};
    RouteGetPoint(index, scratch);
    std::memcpy(name, scratch.MachineName, sizeof name);
}

void RouteLoad(std::span<const uint16_t, ROUTE_POINT_COUNT> words) {
    RouteResize({0, ROUTE_POINT_COUNT});
    for (std::size_t i = 0; i < RouteList.size(); ++i)
        RouteList[i] = words[i] & PS_MEASURED;
}

void RouteSave(std::span<uint16_t, ROUTE_POINT_COUNT> words) {
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = i < RouteList.size() ? RouteList[i] : uint16_t{0};
}

void OffRouteLoad(std::span<const uint16_t> words, int32_t count) {
    OffRouteList.clear();
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    const std::size_t looked =
        std::min({wanted, words.size(), static_cast<std::size_t>(OFFROUTE_LOAD_LIMIT)});
    for (std::size_t i = 0; i < looked; ++i)
        if ((words[i] & PS_MEASURED) != 0)
            OffRouteList.push_back(static_cast<uint16_t>(words[i] | PS_OFFROUTE));
}

void OffRouteSave(std::vector<uint16_t>& words) {
    words = OffRouteList;
}
