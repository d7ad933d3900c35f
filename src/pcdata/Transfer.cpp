#include "pcdata/Transfer.h"

TTransferOutcome TransferStore(TMeasurementDb& db, bool parked) {
    TTransferOutcome outcome;
    const std::vector<TStoreReading> readings = ReadStoreReadings(parked);
    outcome.Measured = static_cast<int>(readings.size());
    if (readings.empty()) return outcome;
    outcome.Added = db.AddReadings(readings, outcome.Error);
    outcome.Ok = outcome.Added >= 0;
    if (!outcome.Ok) outcome.Added = 0;
    return outcome;
}
