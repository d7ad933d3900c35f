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
