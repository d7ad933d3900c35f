#pragma once
// What a point's channel can show of its machine. The velocity and envelope
// spectra (kinds 0 and 1) cover 10-1000 Hz, the high-frequency one (kind 2)
// 250-25000 Hz. A condition whose defining line lies outside its channel's
// band, or a machine whose 1x lies below the 10 Hz edge, reads less than its
// severity and hides its signature: the front ends say so, each in its own
// words, from the figures given here.
#include "signals/Condition.h"

#include <cstdint>
#include <vector>

struct TChannelBand {
    double LowHz, HighHz;
};
// The band kind shows (kinds 0..2; another kind is taken as 0).
TChannelBand ChannelBand(int16_t kind);

enum class TBandLimit : int16_t {
    LineAbove,  // the defining line lies above the channel's band
    LineBelow,  // the defining line lies below it
    ShaftBelow, // 1x lies below the 10 Hz edge of the velocity and envelope spectra
};
struct TBandWarning {
    TBandLimit Limit;
    TConditionKind Part; // the fault whose line it is
    double Hz;           // the line
    TChannelBand Band;   // the band of the kind asked about
    int16_t ShownBy;     // the kind whose band holds the line, -1 for none
};
// What kind cannot show of condition, the shaft first, then each part's
// defining line; empty for a stored condition or when all is in band. On
// the high-frequency channel only lines above it count: that channel shows
// a machine's impacts as the ringing they excite, not as their own lines.
std::vector<TBandWarning> BandWarnings(const TCondition& condition, int16_t kind);
