#pragma once
// The two fingerprints a recording's check lines hold: the LCD frame buffer
// and the saved state (device fields, route, off-route points, machine
// conditions). Cheap enough to take after every key.
#include "firmware/Offlinemode.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

uint64_t Fnv1a64(const void* data, std::size_t size);
// LcdBuffer as it stands: read it only while the worker waits (or is parked).
uint64_t LcdHash();
// What a check line compares of the state: the fingerprint of the state as
// the ini file holds it, without the host's own fields (language, manuals,
// captions), which replaying does not touch, and without the times of the
// measurements, which are kept apart. A measurement's time is the host's
// clock when its acquisition ended, and a real acquisition ends later than
// its 5 s by whatever the host's scheduler adds: a replay under exact virtual
// time gets times a few milliseconds earlier, so times are compared within a
// tolerance (see ReplayCheck.h), never through the fingerprint.
struct TStateFingerprint {
    uint64_t Hash = 0;
    // The time of each measurement the state holds, by its ini key ("3",
    // "OffRoute2"), in ini order.
    std::vector<std::pair<std::string, double>> MeasuredTimes;
};
TStateFingerprint StateFingerprint(const TDeviceState& state);
uint64_t StateHash(const TDeviceState& state);
// The fingerprint recordings of format 1 hold: the measurement times
// included, to the fraction of a millisecond.
uint64_t StateHashWithTimes(const TDeviceState& state);
// The state of the instrument now: while it is on, the record the worker
// published at its last key wait (PublishCurrentDeviceState must be hooked to
// the device's OnKeyWait); while it is off, SavedState.
TDeviceState CurrentDeviceState(bool deviceOn);
TStateFingerprint CurrentStateFingerprint(bool deviceOn);
uint64_t CurrentStateHash(bool deviceOn);
// The ini text of state, the host's fields included: a recording's start.
std::string StateIniText(const TDeviceState& state);
