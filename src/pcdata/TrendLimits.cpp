#include "pcdata/TrendLimits.h"

#include "measure/Samplingimp.h"
#include "signals/SeverityZone.h"

TPointLimits DefaultLimits(int16_t kind, int group) {
    if (group < 0 || group >= MACHINE_GROUP_COUNT) group = 0;
    TPointLimits limits;
    limits.MachineGroup = group;
    if (kind == KIND_MEAS_E) {
        limits.Alert = CREST_ALERT;
        limits.Danger = CREST_DANGER;
    } else {
        const TZoneLimits iso = ZoneLimits(static_cast<TMachineGroup>(group));
        limits.Alert = iso.BC;
        limits.Danger = iso.CD;
    }
    return limits;
}

TPointLimits PointLimits(TMeasurementDb& db, int64_t pointId, int16_t kind) {
    const TPointLimits kept = db.Limits(pointId);
    return kept.Stored ? kept : DefaultLimits(kind, 0);
}

TTrendZone TrendZone(double level, const TPointLimits& limits) {
    if (level >= limits.Danger) return TTrendZone::Danger;
    if (level >= limits.Alert) return TTrendZone::Alert;
    return TTrendZone::Normal;
}

double TrendLevel(const TDbReading& reading) {
    return reading.Results.Value[reading.Kind == KIND_MEAS_E ? RESULT_CREST : RESULT_VEL_RMS];
}
