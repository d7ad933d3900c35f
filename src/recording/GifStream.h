#pragma once
// What the GIF writers share (giflib): an encoder writing into a string,
// freed however it ends, and the application block that loops an animation
// for ever, the rectangle a frame changes. Internal to orx_recording_gif.
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace GifStream {

inline int Append(GifFileType* gif, const GifByteType* bytes, int size) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    return size;
}

struct TCloseGif {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};

struct TFreeMap {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

inline bool PutLoopForever(GifFileType* gif) {
    const GifByteType loop[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

// The smallest rectangle holding every pixel that differs; a frame equal to
// the one before gets its top-left pixel again.
struct TRect {
    int Left = 0, Top = 0, Width = 1, Height = 1;
};
inline TRect ChangedRect(const std::vector<uint32_t>& before, const std::vector<uint32_t>& now, int width,
                         int height) {
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (before[i] == now[i]) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

} // namespace GifStream
