#pragma once
// Every picture the LCD shows over a stretch of time, kept small (its
// background, lit or not, and one bit per dark pixel), and written as an
// animated GIF with the true timing (AnimationTiming.h). The front end owns
// the clock: the runner passes virtual time, the window its tick count, in
// ms from any origin as long as it only grows. GUI thread only. The page,
// which has no giflib, takes the frames and their delays and encodes them
// itself; Write is built only where giflib is (orx_recording_gif).
#include "device/LcdPicture.h"
#include "recording/AnimationTiming.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Half a day of a screen that changes every second, in 100 MB.
inline constexpr std::size_t ANIMATION_MAX_FRAMES = 50000;

class TAnimationCapture {
  public:
    // maxFrames: the most pictures kept; a front end with less memory keeps fewer.
    explicit TAnimationCapture(std::size_t maxFrames = ANIMATION_MAX_FRAMES) : FMaxFrames(maxFrames) {}
    // Starts a capture at `at` with the picture shown then, forgetting any
    // earlier one.
    void Start(uint64_t at, const TLcdPicture& picture);
    // The picture shown from `at` on; nothing unless capturing. A picture
    // at the same moment as the one before replaces it (it was never seen).
    // A new picture past the most kept ends the capture at its moment, so
    // what was kept still shows with its true timing.
    void Capture(uint64_t at, const TLcdPicture& picture);
    // Ends the capture at `end` (not before the last picture); a capture
    // that filled up keeps the end it had.
    void Stop(uint64_t end);
    bool Capturing() const { return FCapturing; }
    // Ended by a picture it had no room for.
    bool Full() const { return FFull; }
    // The stopped capture's end, in the caller's ms.
    uint64_t End() const { return FEnd; }
    std::size_t FrameCount() const { return FFrames.size(); }
    std::size_t MaxFrames() const { return FMaxFrames; }
    // The stopped capture as an animation: which kept picture each frame
    // shows and for how long.
    std::vector<TAnimationFrame> Frames() const;
    // Kept picture index as the window showed it.
    TLcdPicture Picture(std::size_t index) const;
    // Writes the stopped capture at scale (1..LCD_PICTURE_MAX_SCALE); false
    // with a message, the file then left as it was.
    bool Write(const std::string& path, int scale, std::string& error) const;
    void Clear();

  private:
    struct TFrame {
        uint64_t At;
        uint32_t Background;
        std::vector<uint8_t> Dark;
        bool operator==(const TFrame& other) const {
            return Background == other.Background && Dark == other.Dark;
        }
    };

    std::size_t FMaxFrames;
    bool FCapturing = false;
    bool FFull = false;
    uint64_t FEnd = 0;
    std::vector<TFrame> FFrames;
};
