#pragma once
// The machine condition each waveform source has been given, and the one
// each measured point was measured with (the store keeps only status words,
// so this is what lets a point's record rebuild to the numbers it measured).
// Assignments come from the GUI thread, the ini file and the headless runner;
// the worker takes a copy at each measurement, so a change applies from the
// next one. One lock guards both tables and is never held across a wait.
#include "signals/Condition.h"

#include <cstdint>
#include <map>
#include <optional>

// Waveform sources: route points are 1..13; an off-route point's source is
// SOURCE_OFFROUTE_BASE + its number (1, 2, ...). Every off-route point takes
// the one SOURCE_OFFROUTE assignment when it is measured.
inline constexpr int16_t SOURCE_STORED = 0; // always the stored waveform
inline constexpr int16_t SOURCE_WATCH = -1;
inline constexpr int16_t SOURCE_HF = -2;
inline constexpr int16_t SOURCE_OFFROUTE = -3;
inline constexpr int16_t SOURCE_OFFROUTE_BASE = 1000;

bool IsAssignableSource(int16_t source); // 1..13, WATCH, HF, OFFROUTE
// The assignment a measurement at source takes: an off-route point's is
// SOURCE_OFFROUTE's.
int16_t AssignmentOf(int16_t source);

// The seed of a source's noise and slip when its condition names none: drawn
// from the source's number, so that two machines never share noise peaks
// unless a seed says so, and one point always reads alike.
uint32_t PointSeed(int16_t source);
// condition, with PointSeed(source) when it names no seed.
TCondition SeededCondition(TCondition condition, int16_t source);

// A stored condition clears the assignment. Other sources are ignored.
void AssignCondition(int16_t source, const TCondition& condition);
TCondition AssignedCondition(int16_t source);
std::map<int16_t, TCondition> AssignedConditions();

// What point (a route or off-route source, or SOURCE_WATCH for the WATCH
// mode's reading) was last measured with.
void RecordMeasuredCondition(int16_t point, const TCondition& condition);
TCondition MeasuredCondition(int16_t point);
std::map<int16_t, TCondition> MeasuredConditions();

// When point (as above) was last measured: the host's day count, 0 when no
// time is known (a state saved before times were kept). Read by the transfer
// to the PC, which tells one reading of a point from the next by it.
void RecordMeasuredTime(int16_t point, double time);
double MeasuredTime(int16_t point);
std::map<int16_t, double> MeasuredTimes();

// Forgets the tables (a new saved state is about to be read).
void ClearConditions();
