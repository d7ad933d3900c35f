#pragma once
// The frame delays of an animated GIF for frames captured under virtual time.
// A GIF counts delays in hundredths of a second, and browsers stretch delays
// under 20 ms to 100 ms, so a captured frame is shown for its time rounded
// down to 10 ms with the remainder carried to the next frame; a frame shorter
// than 20 ms (with what it carries) is left out and its time goes to the
// next; frames that come out equal to the one before are merged; a frame
// longer than a GIF delay can hold (655.35 s) is shown several times. The
// delays add up to the captured stretch, less under 10 ms.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr uint32_t GIF_MIN_DELAY_CS = 2;
inline constexpr uint32_t GIF_MAX_DELAY_CS = 65535;

struct TAnimationFrame {
    std::size_t Frame; // index into the captured frames
    uint32_t DelayCs;
};

// starts: when each captured frame appeared, in ms, ascending, the first at
// the capture's start; end: when the capture ended (not before the last
// start); same(a, b): whether captured frames a and b look alike. A capture
// shorter than 20 ms gives its one frame the shortest delay.
std::vector<TAnimationFrame> AnimationFrames(const std::vector<uint64_t>& starts, uint64_t end,
                                             const std::function<bool(std::size_t, std::size_t)>& same);
