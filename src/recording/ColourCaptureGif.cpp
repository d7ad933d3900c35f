#include "recording/ColourCapture.h"
#include "recording/GifFile.h"

bool TColourCapture::Write(const std::string& path, std::string& error) const {
    if (FFrames.empty()) {
        error = "no animation to write";
        return false;
    }
    const std::vector<TAnimationFrame> frames = Frames();
    return WriteColourGifFile(
        path, FWidth, FHeight, frames.size(), [&](std::size_t i) { return Picture(frames[i].Frame); },
        [&](std::size_t i) { return frames[i].DelayCs; }, error);
}
