// The runner's "transfer DB": the instrument's readings into the measurement
// database at DB, as the desktop's Transfer to PC does. The worker is waiting
// (the runner only reads a line once the instrument is idle), so the store
// can be read from here.
#include "SimSession.h"

#include "pcdata/Transfer.h"

#include <ostream>

bool RunSimTransfer(TDevice& device, const std::string& path, std::ostream& out, std::string& error) {
    const auto db = TMeasurementDb::Open(path, error);
    if (!db) return false;
    const TTransferOutcome outcome = TransferStore(*db, device.WorkerState() == TWorkerState::Parked);
    if (!outcome.Ok) {
        error = "transfer: " + outcome.Error + "; the database is left as it was";
        return false;
    }
    if (outcome.Measured == 0)
        out << "nothing measured: the instrument holds no readings\n";
    else
        out << "transferred " << outcome.Added << " new readings\n";
    return true;
}
