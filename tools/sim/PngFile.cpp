#include "PngFile.h"

#include "platform/SafeFile.h"

#include <zlib.h>

namespace {

void PutBigEndian32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// A chunk: length, type, data, CRC of type and data.
void PutChunk(std::string& out, const char type[4], const std::string& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    const auto* bytes = reinterpret_cast<const Bytef*>(typed.data());
    PutBigEndian32(
        out, static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes, static_cast<uInt>(typed.size()))));
}

} // namespace

bool WritePngFile(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                  std::string& error) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        error = "no picture to write";
        return false;
    }
    // Each row: filter type 0, then R, G, B.
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                      static_cast<std::size_t>(x)];
            raw += static_cast<char>((p >> 16) & 0xFF);
            raw += static_cast<char>((p >> 8) & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        error = "cannot compress the picture";
        return false;
    }
    packed.resize(packedSize);

    std::string header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header += '\x08';               // bit depth
    header += '\x02';               // colour type: RGB
    header += std::string(3, '\0'); // deflate, adaptive filtering, no interlace

    std::string file = "\x89PNG\r\n\x1a\n";
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});

    // Written aside and renamed: a full disk never leaves half a picture, and
    // nothing but a regular file at path is ever replaced.
    return ReplaceFile(path, file, error);
}
