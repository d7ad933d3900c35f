#include "recording/AnimationCapture.h"
#include "recording/GifFile.h"

bool TAnimationCapture::Write(const std::string& path, int scale, std::string& error) const {
    if (scale < 1 || scale > LCD_PICTURE_MAX_SCALE) {
        error = "the animation's scale is from 1 to " + std::to_string(LCD_PICTURE_MAX_SCALE);
        return false;
    }
    const std::vector<TAnimationFrame> frames = Frames();
    return WriteGifFile(
        path, LCD_PICTURE_WIDTH * scale, LCD_PICTURE_HEIGHT * scale, frames.size(),
        [&](std::size_t i) { return ScaledLcdPicture(Picture(frames[i].Frame), scale); },
        [&](std::size_t i) { return frames[i].DelayCs; }, error);
}
