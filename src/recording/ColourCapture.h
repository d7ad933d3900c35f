#pragma once
// Full-colour pictures of any size over a stretch of time (the whole
// instrument as a front end draws it: artwork, LCD, balloons, key captions),
// kept as the pixels that changed from the picture before, and written as an
// animated GIF with the same timing as the LCD's (AnimationTiming.h). The
// front end owns the clock (ms from any origin, only growing) and draws the
// pictures; every picture of one capture has the capture's size. GUI thread
// only. The page, which has no giflib, takes the pictures back with their
// delays and encodes them itself; Write is built only where giflib is
// (orx_recording_gif).
//
// Memory is bounded in bytes: a picture that does not fit ends the capture
// at the moment it came, and what was kept up to then is still written.
#include "recording/AnimationTiming.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An hour of a 2x instrument whose LCD and captions change every second.
inline constexpr std::size_t COLOUR_ANIMATION_MAX_BYTES = std::size_t{256} << 20;

class TColourCapture {
  public:
    explicit TColourCapture(std::size_t maxBytes = COLOUR_ANIMATION_MAX_BYTES) : FMaxBytes(maxBytes) {}
    // Starts a capture at `at` with the picture shown then (width x height
    // pixels 0xAARRGGBB, row-major), forgetting any earlier one. False, and
    // nothing captured, for a picture of no pixels, of another size than
    // width x height, or larger alone than the memory allowed.
    bool Start(uint64_t at, int width, int height, const std::vector<uint32_t>& pixels);
    // The picture shown from `at` on; nothing unless capturing, or when it
    // is not of the capture's size. A picture at the same moment as the one
    // before replaces it (it was never seen).
    void Capture(uint64_t at, const std::vector<uint32_t>& pixels);
    // Ends the capture at `end` (not before the last picture); a capture
    // already ended by a full memory keeps its end.
    void Stop(uint64_t end);
    bool Capturing() const { return FCapturing; }
    // A picture did not fit in the memory allowed: the capture ended then.
    bool Full() const { return FFull; }
    std::size_t FrameCount() const { return FFrames.size(); }
    std::size_t Bytes() const { return FBytes; }
    std::size_t MaxBytes() const { return FMaxBytes; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The captured stretch in ms (to the end once stopped).
    uint64_t Duration() const;
    // The stopped capture as an animation: which kept picture each frame
    // shows and for how long.
    std::vector<TAnimationFrame> Frames() const;
    // Kept picture index, whole. Pictures asked for in order cost only the
    // changes between them.
    const std::vector<uint32_t>& Picture(std::size_t index) const;
    // Writes the stopped capture; false with a message, the file then left
    // as it was.
    bool Write(const std::string& path, std::string& error) const;
    void Clear();

  private:
    // A picture as the runs of pixels that changed from the one before:
    // skip, count, then count pixels, again and again.
    struct TFrame {
        uint64_t At;
        uint64_t Hash; // of the whole picture, to tell equal pictures apart
        std::vector<uint32_t> Runs;
    };
    std::size_t FrameBytes(const TFrame& frame) const;

    std::size_t FMaxBytes;
    bool FCapturing = false;
    bool FFull = false;
    int FWidth = 0;
    int FHeight = 0;
    uint64_t FStart = 0;
    uint64_t FEnd = 0;
    std::size_t FBytes = 0;
    std::vector<TFrame> FFrames;
    // The last kept picture, and the one before it while the last may still
    // be replaced by a picture of the same moment.
    std::vector<uint32_t> FLast;
    std::vector<uint32_t> FBeforeLast;
    // Picture's reading position.
    mutable std::size_t FCursor = 0;
    mutable std::vector<uint32_t> FCursorPixels;
};
