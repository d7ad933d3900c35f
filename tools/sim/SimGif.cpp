#include "SimGif.h"

#include "GifFile.h"
#include "SimSession.h"

#include "device/LcdPicture.h"
#include "recording/AnimationTiming.h"

namespace {

// Half a day of a screen that changes every second, in 100 MB.
constexpr std::size_t MAX_FRAMES = 50000;
constexpr std::size_t PIXELS = LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT;

} // namespace

TSimGif::TSimGif(TSimSession& session) : FSession(session), FBefore(session.Device().OnRefresh) {
    FSession.Device().OnRefresh = [this] {
        if (FBefore) FBefore();
        Capture();
    };
}

TSimGif::~TSimGif() {
    FSession.Device().OnRefresh = FBefore;
}

bool TSimGif::Start(const std::string& path, int scale, std::string& error) {
    if (FCapturing) {
        error = "an animation is being captured already (end it with gif-end)";
        return false;
    }
    FCapturing = true;
    FPath = path;
    FScale = scale;
    FFrames.clear();
    Capture();
    return true;
}

// Called in the GUI thread after each repaint (and at the start): the
// picture the window shows now.
void TSimGif::Capture() {
    if (!FCapturing || FFrames.size() > MAX_FRAMES) return;
    const TLcdPicture& picture = FSession.Device().Picture();
    TFrame frame{FSession.VirtualHost().Elapsed(), picture.Pixels[0], std::vector<uint8_t>(PIXELS / 8 + 1)};
    for (std::size_t i = 0; i < PIXELS; ++i)
        if (picture.Pixels[i] == LCD_COLOR_PIXEL) frame.Dark[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    // A repaint at the same moment replaces the frame before: it was never seen.
    if (!FFrames.empty() && FFrames.back().At == frame.At) FFrames.pop_back();
    if (!FFrames.empty() && FFrames.back() == frame) return;
    FFrames.push_back(frame);
}

bool TSimGif::End(std::string& error) {
    if (!FCapturing) {
        error = "gif-end without a gif line before it";
        return false;
    }
    FCapturing = false;
    if (FFrames.size() > MAX_FRAMES) {
        error = "the animation has more than " + std::to_string(MAX_FRAMES) +
                " frames: capture a shorter stretch";
        FFrames.clear();
        return false;
    }
    std::vector<uint64_t> starts;
    for (const TFrame& f : FFrames)
        starts.push_back(f.At);
    const std::vector<TAnimationFrame> frames =
        AnimationFrames(starts, FSession.VirtualHost().Elapsed(),
                        [this](std::size_t a, std::size_t b) { return FFrames[a] == FFrames[b]; });
    const bool ok = WriteGifFile(
        FPath, LCD_PICTURE_WIDTH * FScale, LCD_PICTURE_HEIGHT * FScale, frames.size(),
        [&](std::size_t i) {
            const TFrame& f = FFrames[frames[i].Frame];
            TLcdPicture picture;
            for (std::size_t p = 0; p < PIXELS; ++p)
                picture.Pixels[p] = (f.Dark[p / 8] & (1u << (p % 8))) != 0 ? LCD_COLOR_PIXEL : f.Background;
            return ScaledLcdPicture(picture, FScale);
        },
        [&](std::size_t i) { return frames[i].DelayCs; }, error);
    FFrames.clear();
    return ok;
}
