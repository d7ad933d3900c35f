#include "recording/AnimationCapture.h"

#include <algorithm>

namespace {

constexpr std::size_t PIXELS = LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT;

} // namespace

void TAnimationCapture::Start(uint64_t at, const TLcdPicture& picture) {
    FFrames.clear();
    FCapturing = true;
    FFull = false;
    FEnd = at;
    Capture(at, picture);
}

void TAnimationCapture::Capture(uint64_t at, const TLcdPicture& picture) {
    if (!FCapturing) return;
    TFrame frame{at, picture.Pixels[0], std::vector<uint8_t>(PIXELS / 8 + 1)};
    for (std::size_t i = 0; i < PIXELS; ++i)
        if (picture.Pixels[i] == LCD_COLOR_PIXEL) frame.Dark[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    if (!FFrames.empty() && FFrames.back().At == frame.At) FFrames.pop_back();
    if (!FFrames.empty() && FFrames.back() == frame) return;
    if (FFrames.size() >= FMaxFrames) {
        FFull = true;
        FCapturing = false;
        FEnd = at;
        return;
    }
    FFrames.push_back(std::move(frame));
}

void TAnimationCapture::Stop(uint64_t end) {
    if (FFull) return;
    FCapturing = false;
    FEnd = FFrames.empty() ? end : std::max(end, FFrames.back().At);
}

void TAnimationCapture::Clear() {
    FCapturing = false;
    FFull = false;
    FFrames.clear();
}

std::vector<TAnimationFrame> TAnimationCapture::Frames() const {
    std::vector<uint64_t> starts;
    for (const TFrame& f : FFrames)
        starts.push_back(f.At);
    return AnimationFrames(starts, FEnd,
                           [this](std::size_t a, std::size_t b) { return FFrames[a] == FFrames[b]; });
}

TLcdPicture TAnimationCapture::Picture(std::size_t index) const {
    const TFrame& f = FFrames.at(index);
    TLcdPicture picture;
    for (std::size_t p = 0; p < PIXELS; ++p)
        picture.Pixels[p] = (f.Dark[p / 8] & (1u << (p % 8))) != 0 ? LCD_COLOR_PIXEL : f.Background;
    return picture;
}
