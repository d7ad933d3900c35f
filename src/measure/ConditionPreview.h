#pragma once
// What the front ends show beside a source's machine condition: the preview
// of its waveform and spectrum in physical units, the kind a source is
// measured as and what the instrument shows of it, the rank of each marked
// line's label, and the notes on what the instrument will not show. The
// facts live here, once; each front end only words and draws them.
#include "signals/Condition.h"

#include <cstdint>
#include <string>
#include <vector>

// The preview of a condition measured as kind: the signal in mm/s (kind 1:
// the envelope's), its line RMS values (the lines below the instrument's
// band cleared, as it clears them), the machine's velocity RMS over the
// severity band and whether the instrument's input would clip. A stored
// condition gives the stored waveform of the kind.
struct TConditionPreview {
    std::vector<double> Signal;
    std::vector<double> Lines;
    double Rate = 0.0;
    double VelocityRms = 0.0;
    bool Clipped = false;
};
TConditionPreview PreviewCondition(const TCondition& condition, int16_t kind);

// The measurement kind of a source (a route point's own, HF SP.'s, MEAS for
// WATCH and the off-route points).
int16_t PreviewKind(int16_t source);
// The string id of what the instrument shows of a measurement of kind from
// source, and the keys to its velocity RMS where it has one.
int InstrumentShowsText(int16_t source, int16_t kind);
// The waveform's span shown, in ms: about a dozen revolutions of a machine
// at 1500 rpm; the HF channel's ringing impacts over a few of them.
double PreviewSpanMs(int16_t kind);
// The highest frequency of the spectrum shown for kind, in Hz.
double PreviewMaxHz(int16_t kind);
// The characteristic lines marked on the spectrum of kind: none for the HF
// channel (it shows the structure's resonance, far above the machine's own
// frequencies) or a stored condition.
std::vector<TCharacteristicLine> PreviewMarkers(const TCondition& condition, int16_t kind);
// Whose label shows where labels crowd, lowest first: the fault's own lines
// (BPFO, 2xBSF, GMF, 2xLF, RES), then the running speed's harmonics, then
// the sidebands ("BPFI-1x", "2xBSF+FTF").
int MarkerRank(const std::string& label);
// Which family a marked line belongs to, for its colour: the running
// speed's, a bearing's, a mesh or the vanes, the supply line's, a resonance.
enum class TMarkerFamily : int16_t { Shaft, Bearing, Mesh, Supply, Resonance };
TMarkerFamily MarkerFamily(const std::string& label);

// One note, as a string id and its arguments %1, %2, ... in order: each
// either a string id's text (TextId not 0) or a figure already formatted.
struct TNoteArg {
    int TextId = 0;
    std::string Figure;
};
struct TConditionNote {
    int TextId;
    std::vector<TNoteArg> Args;
    bool Warning; // something the instrument will not show (said in red)
};
// The notes under a preview, in order: what kind's band cannot show, a
// reading under the instrument's noise, clipping, the ball defect's lines,
// and when the change applies.
std::vector<TConditionNote> ConditionNotes(const TCondition& condition, int16_t kind,
                                           const TConditionPreview& preview);
// The instrument's noise level, mm/s RMS.
inline constexpr double INSTRUMENT_NOISE_MM_S = 0.2;

// A figure as the notes and ranges write it: fixed decimals, or (decimals
// below 0) up to 12 significant digits.
std::string NoteFigure(double value, int decimals);

// The details of a condition's row in a list, in order: the bearing's
// geometry, the gear's teeth, the vanes, the supply line, the resonance.
// A note with TextId 0 is its one figure as it stands.
std::vector<TConditionNote> ConditionDetails(const TCondition& condition);
// A figure of a list's row: up to 6 significant digits.
std::string RowFigure(double value);
