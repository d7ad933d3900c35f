#pragma once
// The route and point store: one 16-bit status word per point, for the 13
// points of the demo route and for the numbered off-route points, and the
// full record of one point built on request. The store keeps no numbers: a
// point's results are recomputed from the stored waveform of its kind every
// time its record is built. Worker thread only; the lists have no lock.
#include "measure/MeasResults.h"

#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Point indices: 1..route length address the route points in route order;
// an index above the route length is off-route, counted down from 478 (478
// is off-route point number 1, 477 number 2, ...).
inline constexpr int16_t ROUTE_POINT_COUNT = 13;
inline constexpr int16_t OFFROUTE_FIRST_INDEX = 478;
// Off-route indices must stay above the route's: 478 - 13 points at most.
inline constexpr int16_t OFFROUTE_LOAD_LIMIT = OFFROUTE_FIRST_INDEX - ROUTE_POINT_COUNT;

// Status word bits; other bits are carried along unchanged.
inline constexpr uint16_t PS_KIND_E = 1;   // kind 1 ("MEAS.E"), else kind 0
inline constexpr uint16_t PS_OFFROUTE = 2; // off-route, kind chosen when measured
inline constexpr uint16_t PS_MEASURED = 4; // holds a measurement

inline constexpr uint16_t REC_MEASURED = 0xAAAA;
inline constexpr uint16_t REC_EMPTY = 0xFFFF;
inline constexpr int16_t MEM_ERROR = -100;

// Orientation codes of a route point; an off-route point has 0.
inline constexpr int16_t ORIENT_NONE = 0;
inline constexpr int16_t ORIENT_HORIZONTAL = 1;
inline constexpr int16_t ORIENT_VERTICAL = 2;
inline constexpr int16_t ORIENT_AXIAL = 3;

// LCD text fields: 20 code page 1251 characters and the terminating zero.
inline constexpr int POINT_TEXT_SIZE = 21;

// The full description of one point. The firmware owns one, the current
// point; Time and OverloadMark belong to the measurement flow.
struct TPointRecord {
    uint16_t Status;                   // REC_MEASURED or REC_EMPTY
    char MachineName[POINT_TEXT_SIZE]; // code page 1251, zero-terminated
    char Label[POINT_TEXT_SIZE];       // code page 1251, zero-terminated
    int16_t Orientation;
    double Time; // host date and time as a day count with fraction
    TMeasResults Results;
    int16_t Flags; // the status word without PS_MEASURED
    int16_t OverloadMark;
    int16_t Checksum;
};

// The pair of counts: [0] off-route points, [1] route points.
using TRouteCounts = int16_t[2];

// The off-route count leaves out an unmeasured slot at the end of the list.
void RouteGetCounts(TRouteCounts& counts);
// New words are PS_OFFROUTE; words beyond the new lengths are dropped. A
// count below 0 is 0; the route never grows beyond the demo route, nor the
// off-route list beyond the indices left above the route. Returns 0.
int16_t RouteResize(const TRouteCounts& counts);
int16_t RouteDelete();
int16_t OffRouteDelete();
// The most off-route words the list holds (the measured points and the
// slot): the indices above the route, and never more than the next power-on
// loads, whatever the route's length now.
int16_t OffRouteCapacity();
// Appends one unmeasured slot unless the list already ends with one (or it
// holds OffRouteCapacity words already).
void OffRouteAddSlot();

// Builds the record of index and recomputes its results, measured or not;
// Time is left as it is. An index that addresses no stored point reads as an
// unmeasured off-route word.
void RouteGetPoint(int16_t index, TPointRecord& record);
// The waveform source of index (PointConditions.h): the route point itself,
// or SOURCE_OFFROUTE_BASE + the off-route point's number.
int16_t RoutePointSource(int16_t index);
// Writes the record's flags, plus PS_MEASURED when its status is REC_MEASURED,
// as the status word of index. Returns 0, or MEM_ERROR when index addresses
// no stored point (nothing is written then).
int16_t RouteStorePoint(int16_t index, const TPointRecord& record);
// The demo route's names of route point index (1..ROUTE_POINT_COUNT): string
// ids of its machine and of its own name, and its number within the machine.
// Constant data, so any thread may read it.
struct TRoutePointName {
    int16_t MachineId;
    int16_t Number;
    int16_t NameId;
};
TRoutePointName RoutePointName(int16_t index);
// What the LCD shows of route point index (1..ROUTE_POINT_COUNT) in the
// calling thread's language, UTF-8: its machine's name and its label
// ("001 01H LOW"), each cut to the LCD field as a record cuts it. Any thread.
std::string RoutePointMachineText(int16_t index);
std::string RoutePointLabel(int16_t index);
// The measurement kind of route point index, fixed by the route: odd points
// are KIND_MEAS_E, even ones KIND_MEAS.
int16_t RoutePointKind(int16_t index);
// The machine name of index's record, built in full on a scratch record.
void RouteGetMachineName(int16_t index, char (&name)[POINT_TEXT_SIZE]);

// Saved state. Only PS_MEASURED of a saved route word survives, and the
// off-route list keeps only measured words, in order, compacted, from the
// first min(count, words, OFFROUTE_LOAD_LIMIT) saved words; count comes from
// the saved state as well, so a damaged one (negative, huge) is harmless.
void RouteLoad(std::span<const uint16_t, ROUTE_POINT_COUNT> words);
void RouteSave(std::span<uint16_t, ROUTE_POINT_COUNT> words);
void OffRouteLoad(std::span<const uint16_t> words, int32_t count = INT32_MAX);
// Every word, an unmeasured slot included.
void OffRouteSave(std::vector<uint16_t>& words);
