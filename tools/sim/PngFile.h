#pragma once
// Writes 8-bit RGB PNG files: enough for LCD pictures, with no image library
// beneath the window.
#include <cstdint>
#include <string>
#include <vector>

// pixels: 0xAARRGGBB, row-major, width * height of them (alpha is dropped:
// the LCD picture is opaque). False with a message when the file cannot be
// written; a failed write leaves no partial file behind.
bool WritePngFile(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                  std::string& error);
