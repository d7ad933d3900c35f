#pragma once
// What the instrument's store holds for the PC: every measured point (route
// points, off-route points, and the WATCH mode's reading while the mode
// holds one), each with its identity, time, results, overload mark, samples
// and the machine condition it was measured with.
#include "measure/MeasResults.h"

#include <cstdint>
#include <string>
#include <vector>

struct TStoreReading {
    // Stable across languages and transfers: "1".."13" for the route points,
    // "offroute1", "offroute2", ... and "watch"; the machine's "machine1"..,
    // "offroute" and "watch".
    std::string PointKey;
    std::string MachineKey;
    std::string MachineName; // UTF-8, in the language of the transfer
    std::string Label;       // UTF-8, as the LCD shows it
    int16_t Orientation = 0; // ORIENT_*
    int16_t Kind = 0;        // KIND_MEAS or KIND_MEAS_E
    double Time = 0;         // host day count; 0 when the store does not know it
    TMeasResults Results;
    bool Overload = false;
    std::string Condition; // the machine condition's text form
    std::vector<int16_t> Samples;
};

// Reads the store without changing it: the results are rebuilt from each
// point's waveform as the instrument itself does, and SampleBuffer and the
// spectrum working area are put back as they were, so a WATCH reading or a
// spectrum on the LCD is kept. Runs
// in the worker thread, or in another one while the worker cannot run (it
// waits for a key with no timeout, or is parked between power cycles); the
// caller makes sure of that. Texts come in the calling thread's language.
// A parked device (switched off) keeps its store in the resume record: the
// store is read as the next power-on loads it, and the WATCH mode's reading,
// which a power-off ends, is not taken.
std::vector<TStoreReading> ReadStoreReadings(bool parked = false);
