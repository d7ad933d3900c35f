#include "measure/PointConditions.h"

#include "measure/Routes.h"
#include "platform/CriticalSection.h"
#include "signals/SignalMath.h"

#include <mutex>

namespace {

TCriticalSection g_Lock;
std::map<int16_t, TCondition> g_Assigned; // guarded by g_Lock
std::map<int16_t, TCondition> g_Measured; // guarded by g_Lock
std::map<int16_t, double> g_Times;        // guarded by g_Lock

bool IsMeasurablePoint(int16_t point) {
    return point == SOURCE_WATCH || (point >= 1 && point <= ROUTE_POINT_COUNT) ||
           point > SOURCE_OFFROUTE_BASE;
}

void Put(std::map<int16_t, TCondition>& table, int16_t key, const TCondition& condition) {
    if (condition.Kind == TConditionKind::Stored)
        table.erase(key);
    else
        table[key] = condition;
}

TCondition Get(const std::map<int16_t, TCondition>& table, int16_t key) {
    const auto found = table.find(key);
    return found != table.end() ? found->second : TCondition{};
}

} // namespace

uint32_t PointSeed(int16_t source) {
    TSplitMix mix(0x9017'5EED'0000'0000ull | static_cast<uint16_t>(source));
    return static_cast<uint32_t>(mix.Next() >> 32);
}

TCondition SeededCondition(TCondition condition, int16_t source) {
    if (!condition.Seed) condition.Seed = PointSeed(source);
    return condition;
}

bool IsAssignableSource(int16_t source) {
    return (source >= 1 && source <= ROUTE_POINT_COUNT) || source == SOURCE_WATCH || source == SOURCE_HF ||
           source == SOURCE_OFFROUTE;
}

int16_t AssignmentOf(int16_t source) {
    return source > SOURCE_OFFROUTE_BASE ? SOURCE_OFFROUTE : source;
}

void AssignCondition(int16_t source, const TCondition& condition) {
    if (!IsAssignableSource(source)) return;
    const std::lock_guard lock(g_Lock);
    Put(g_Assigned, source, condition);
}

TCondition AssignedCondition(int16_t source) {
    const std::lock_guard lock(g_Lock);
    return Get(g_Assigned, AssignmentOf(source));
}

std::map<int16_t, TCondition> AssignedConditions() {
    const std::lock_guard lock(g_Lock);
    return g_Assigned;
}

void RecordMeasuredCondition(int16_t point, const TCondition& condition) {
    if (!IsMeasurablePoint(point)) return;
    const std::lock_guard lock(g_Lock);
    Put(g_Measured, point, condition);
}

TCondition MeasuredCondition(int16_t point) {
    const std::lock_guard lock(g_Lock);
    return Get(g_Measured, point);
}

std::map<int16_t, TCondition> MeasuredConditions() {
    const std::lock_guard lock(g_Lock);
    return g_Measured;
}

void RecordMeasuredTime(int16_t point, double time) {
    if (!IsMeasurablePoint(point)) return;
    const std::lock_guard lock(g_Lock);
    g_Times[point] = time;
}

double MeasuredTime(int16_t point) {
    const std::lock_guard lock(g_Lock);
    const auto found = g_Times.find(point);
    return found != g_Times.end() ? found->second : 0.0;
}

std::map<int16_t, double> MeasuredTimes() {
    const std::lock_guard lock(g_Lock);
    return g_Times;
}

void ClearConditions() {
    const std::lock_guard lock(g_Lock);
    g_Assigned.clear();
    g_Measured.clear();
    g_Times.clear();
}
