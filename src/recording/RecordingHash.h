#pragma once
// The two fingerprints a recording's check lines hold: the LCD frame buffer
// and the saved state (device fields, route, off-route points, machine
// conditions). Cheap enough to take after every key.
#include "firmware/Offlinemode.h"

#include <cstdint>
#include <string>

uint64_t Fnv1a64(const void* data, std::size_t size);
// LcdBuffer as it stands: read it only while the worker waits (or is parked).
uint64_t LcdHash();
// The state as the ini file holds it, without the host's own fields
// (language, manuals, captions), which replaying does not touch.
uint64_t StateHash(const TDeviceState& state);
// The state of the instrument now: while it is on, the record the worker
// published at its last key wait (PublishCurrentDeviceState must be hooked to
// the device's OnKeyWait); while it is off, SavedState.
uint64_t CurrentStateHash(bool deviceOn);
// The ini text of state, the host's fields included: a recording's start.
std::string StateIniText(const TDeviceState& state);
