// The resume record as a save would take it while the instrument stays on.
// The worker owns the firmware's state; the GUI thread may not read it, so
// the worker copies it out at every key wait, when it is complete and no
// key is half-handled, and a save reads that copy under the lock.
#include "firmware/Offlinemode.h"

#include <mutex>

namespace {

std::mutex g_SnapshotLock;
TDeviceState g_Snapshot;

} // namespace

void PublishDeviceState(const TDeviceState& state) {
    const std::lock_guard lock(g_SnapshotLock);
    g_Snapshot = state;
}

void PublishCurrentDeviceState() {
    TDeviceState state;
    CaptureDeviceState(state);
    PublishDeviceState(state);
}

TDeviceState PublishedDeviceState() {
    const std::lock_guard lock(g_SnapshotLock);
    return g_Snapshot;
}
