#pragma once
// Transfer to the PC: the store's readings into the measurement database.
// Threads as ReadStoreReadings (StoreReadings.h).
#include "pcdata/MeasurementDb.h"

#include <string>

struct TTransferOutcome {
    int Measured = 0; // readings the store holds
    int Added = 0;    // of those, new to the database
    bool Ok = true;   // false: nothing added, Error says why
    std::string Error;
};

TTransferOutcome TransferStore(TMeasurementDb& db, bool parked = false);
