// The walk through machines and points on the route screen. The store keeps
// no machine list: a machine is a run of consecutive route points with the
// same name, and its edges are found by binary search over the names. The
// off-route points form one more "machine" after the last one, whose points
// are the measured ones followed by the slot of the next new point (when the
// memory has room for it). Worker thread only; the selection lives in
// MenuState.SelectedPoint and CurrentPoint holds its record.
#include "firmware/Offlinemode.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

struct TCounts {
    int16_t OffRoute; // measured off-route points (F)
    int16_t Route;    // route points (R)
};

TCounts GetCounts() {
    TRouteCounts counts;
    RouteGetCounts(counts);
    return {counts[0], counts[1]};
}

// No new point once the store holds as many as it can keep: the indices
// above the route, and no more than the next power-on loads (the route
// comes back then, also after "Delete route").
bool IsMemoryFull(int16_t offRouteCount) {
    return offRouteCount >= OffRouteCapacity();
}

// The lowest off-route index in use: the new-point slot when there is room
// for one, else the newest measured point.
int16_t LowestOffRouteIndex(int16_t offRouteCount) {
    const auto slot = static_cast<int16_t>(OFFROUTE_FIRST_INDEX - offRouteCount);
    return IsMemoryFull(offRouteCount) ? static_cast<int16_t>(slot + 1) : slot;
}

bool HasMachineName(int16_t index, const char* name) {
    char pointName[POINT_TEXT_SIZE];
    RouteGetMachineName(index, pointName);
    return std::strcmp(pointName, name) == 0;
}

// Copies a code page 1251 text into a record field: cut to fit, zero-filled.
void SetField(char (&field)[POINT_TEXT_SIZE], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

// True when pattern holds exactly one conversion and it takes an int (flags,
// width and precision allowed; "%%" is plain text). The pattern comes from
// the string table, so it is checked before a formatter sees it.
bool IsSingleIntPattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (++i < pattern.size() && pattern[i] == '%') continue;
        i = pattern.find_first_not_of("-+ #0", i);
        i = pattern.find_first_not_of("0123456789", i);
        if (i != std::string::npos && pattern[i] == '.') i = pattern.find_first_not_of("0123456789", i + 1);
        if (i == std::string::npos || (pattern[i] != 'd' && pattern[i] != 'i')) return false;
        ++conversions;
    }
    return conversions == 1;
}

std::string PointNumberLabel(int16_t number) {
    std::string pattern = LcdStr(TEXT_POINT_NUMBER);
    // A damaged table entry still leaves the number readable.
    if (!IsSingleIntPattern(pattern)) pattern = "%3d";
    char label[64];
    // The pattern has been checked to take exactly one int.
    const int length = std::snprintf(label, sizeof label, pattern.c_str(), static_cast<int>(number));
    return length > 0 ? std::string(label) : std::string();
}

// The first point of the off-route "machine": the oldest measured point, or
// a new point number 1 when none is measured.
int16_t SelectFirstOffRoutePoint(int16_t offRouteCount) {
    if (offRouteCount == 0)
        NewOffRouteRecord(1);
    else
        RouteGetPoint(OFFROUTE_FIRST_INDEX, CurrentPoint);
    return OFFROUTE_FIRST_INDEX;
}

int16_t NextMachine(const TCounts& counts) {
    const int16_t last = FindMachineEdge(MenuState.SelectedPoint, CurrentPoint.MachineName, false);
    const auto t = last == OFFROUTE_FIRST_INDEX ? int16_t{1} : static_cast<int16_t>(last + 1);
    if (t > counts.Route) return SelectFirstOffRoutePoint(counts.OffRoute);
    RouteGetPoint(t, CurrentPoint);
    return t;
}

int16_t PreviousMachine(const TCounts& counts) {
    const int16_t first = FindMachineEdge(MenuState.SelectedPoint, CurrentPoint.MachineName, true);
    if (first == 1) return SelectFirstOffRoutePoint(counts.OffRoute);
    // From the off-route block this reaches the last route point.
    auto t = std::min(static_cast<int16_t>(first - 1), counts.Route);
    RouteGetPoint(t, CurrentPoint);
    t = FindMachineEdge(t, CurrentPoint.MachineName, true);
    RouteGetPoint(t, CurrentPoint);
    return t;
}

} // namespace

int16_t FindMachineEdge(int16_t index, const char* name, bool backward) {
    const TCounts counts = GetCounts();
    const int16_t lowest = LowestOffRouteIndex(counts.OffRoute);
    if (index >= lowest) return backward ? lowest : OFFROUTE_FIRST_INDEX;
    // same always carries name; other is the nearest known point (or the end
    // of the route) that does not.
    int16_t same = index;
    int16_t other = backward ? int16_t{0} : static_cast<int16_t>(counts.Route + 1);
    for (;;) {
        const auto mid = static_cast<int16_t>((same + other) / 2);
        if (mid == 0 || mid == same || mid == other) return same;
        if (HasMachineName(mid, name))
            same = mid;
        else
            other = mid;
    }
}

void SelectMachine(int16_t direction) {
    const TCounts counts = GetCounts();
    if (counts.Route == 0) return;
    MenuState.SelectedPoint = direction == SELECT_PREVIOUS ? PreviousMachine(counts) : NextMachine(counts);
}

void SelectPoint(int16_t direction) {
    const TCounts counts = GetCounts();
    const bool backward = direction == SELECT_PREVIOUS;
    const int16_t index = MenuState.SelectedPoint;
    MenuState.SelectedPoint = index <= counts.Route ? StepRoutePoint(index, backward, counts.Route)
                                                    : StepOffRoutePoint(index, backward, counts.OffRoute);
}

int16_t StepRoutePoint(int16_t index, bool backward, int16_t routeCount) {
    // CurrentPoint is overwritten below; the name of the machine is kept.
    char name[POINT_TEXT_SIZE];
    std::memcpy(name, CurrentPoint.MachineName, sizeof name);
    name[POINT_TEXT_SIZE - 1] = '\0';
    int16_t t;
    if (backward)
        t = index > 1 ? static_cast<int16_t>(index - 1) : FindMachineEdge(index, name, false);
    else
        t = index < routeCount ? static_cast<int16_t>(index + 1) : FindMachineEdge(index, name, true);
    // Stepped into the neighbouring machine: wrap around inside this one.
    if (!HasMachineName(t, name)) t = FindMachineEdge(index, name, !backward);
    RouteGetPoint(t, CurrentPoint);
    return t;
}

int16_t StepOffRoutePoint(int16_t index, bool backward, int16_t offRouteCount) {
    const int16_t lowest = LowestOffRouteIndex(offRouteCount);
    // Forward goes to the next higher point number, i.e. the next lower index.
    auto t = static_cast<int16_t>(backward ? index + 1 : index - 1);
    if (t < lowest) t = OFFROUTE_FIRST_INDEX;
    if (t > OFFROUTE_FIRST_INDEX) t = lowest;
    if (t == lowest && !IsMemoryFull(offRouteCount))
        NewOffRouteRecord(static_cast<int16_t>(offRouteCount + 1));
    else
        RouteGetPoint(t, CurrentPoint);
    return t;
}

void NewOffRouteRecord(int16_t number) {
    // Every field not set below reads as "nothing there": status and flags
    // 0xFFFF, the results and the Time NaN, which no screen shows for an
    // unmeasured record.
    static_assert(std::is_trivially_copyable_v<TPointRecord>);
    std::memset(static_cast<void*>(&CurrentPoint), 0xFF, sizeof CurrentPoint);
    SetField(CurrentPoint.MachineName, LcdStr(TEXT_OFF_ROUTE));
    SetField(CurrentPoint.Label, PointNumberLabel(number));
    CurrentPoint.Orientation = ORIENT_NONE;
    // The store must hold the slot the new point's index denotes.
    OffRouteAddSlot();
}
