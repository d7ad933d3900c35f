#pragma once
// Writes animated GIF files (giflib): enough for the LCD's few colours. The
// runner's gif lines and the window's Record animation share it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// count frames of width x height, pixels(i) giving frame i as 0xAARRGGBB,
// row-major (alpha dropped), shown delayCs(i) hundredths of a second; the
// animation loops. Each frame after the first holds only the rectangle that
// changed. False with a message when the file cannot be written or the
// frames have more than 256 colours; a failed write leaves no partial file.
bool WriteGifFile(const std::string& path, int width, int height, std::size_t count,
                  const std::function<std::vector<uint32_t>(std::size_t)>& pixels,
                  const std::function<uint32_t(std::size_t)>& delayCs, std::string& error);

// As WriteGifFile, for frames of any colours (the whole instrument drawn
// with smooth edges): each frame after the first holds the rectangle that
// changed, with the pixels that stayed transparent, and a colour map of its
// own: the exact colours of what changed when they are at most 255, else
// 255 colours quantised by giflib, each the mean of the colours it stands
// for (a picture of few flat colours comes back exactly).
bool WriteColourGifFile(const std::string& path, int width, int height, std::size_t count,
                        const std::function<std::vector<uint32_t>(std::size_t)>& pixels,
                        const std::function<uint32_t(std::size_t)>& delayCs, std::string& error);
