#pragma once
// A point's trend: the level it follows, its alert and danger limits and the
// zone each reading falls in. A kind 0 point follows the velocity RMS, whose
// default limits are the ISO 10816-3 B/C (alert) and C/D (danger) limits of
// the machine group; a kind 1 point follows the crest factor.
#include "pcdata/MeasurementDb.h"

enum class TTrendZone { Normal, Alert, Danger };

// Alert 3.5 and danger 5 for the crest factor: a smooth machine reads about
// 2, an impacting rolling element bearing 5 and more.
inline constexpr double CREST_ALERT = 3.5;
inline constexpr double CREST_DANGER = 5.0;

// group: a TMachineGroup as int (0..3); another value is group 2, rigid.
TPointLimits DefaultLimits(int16_t kind, int group);
// A point's limits: the kept ones, else the defaults of group 0.
TPointLimits PointLimits(TMeasurementDb& db, int64_t pointId, int16_t kind);
// A reading at a limit is in the higher zone, as severity charts draw it.
TTrendZone TrendZone(double level, const TPointLimits& limits);
double TrendLevel(const TDbReading& reading);
