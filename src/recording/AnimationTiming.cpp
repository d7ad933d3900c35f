#include "recording/AnimationTiming.h"

namespace {

constexpr uint64_t MIN_DELAY_MS = 10 * GIF_MIN_DELAY_CS;
// Pieces of a long frame: long enough that the last piece is never too short.
constexpr uint64_t LONG_PIECE_CS = 60000;

} // namespace

std::vector<TAnimationFrame> AnimationFrames(const std::vector<uint64_t>& starts, uint64_t end,
                                             const std::function<bool(std::size_t, std::size_t)>& same) {
    // Each frame kept with its exact time in ms, before the rounding.
    struct TKept {
        std::size_t Frame;
        uint64_t Ms;
    };
    std::vector<TKept> kept;
    uint64_t carried = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const uint64_t next = i + 1 < starts.size() ? starts[i + 1] : end;
        const uint64_t ms = (next > starts[i] ? next - starts[i] : 0) + carried;
        carried = 0;
        if (!kept.empty() && same(kept.back().Frame, i)) {
            kept.back().Ms += ms;
        } else if (ms < MIN_DELAY_MS && i + 1 < starts.size()) {
            carried = ms; // too short to be seen: the next frame comes that much earlier
        } else if (ms < MIN_DELAY_MS && !kept.empty()) {
            kept.back().Ms += ms; // the last frame, too short: the one before is held to the end
        } else {
            kept.push_back({i, ms});
        }
    }
    std::vector<TAnimationFrame> frames;
    uint64_t remainder = 0; // ms under the last whole hundredth, carried on
    for (const TKept& k : kept) {
        const uint64_t ms = k.Ms + remainder;
        uint64_t cs = ms / 10;
        remainder = ms % 10;
        if (cs < GIF_MIN_DELAY_CS) { // only a capture shorter than 20 ms
            cs = GIF_MIN_DELAY_CS;
            remainder = 0;
        }
        for (; cs > GIF_MAX_DELAY_CS; cs -= LONG_PIECE_CS)
            frames.push_back({k.Frame, static_cast<uint32_t>(LONG_PIECE_CS)});
        frames.push_back({k.Frame, static_cast<uint32_t>(cs)});
    }
    return frames;
}
