#pragma once
// A GIF read back with giflib as a viewer shows it: each image drawn over
// the ones before, its transparent pixels leaving what was there, every
// frame as 0xFFRRGGBB pixels with its delay. Header only: the test programs
// that use it link giflib themselves.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct TDecodedGif {
    int Width = 0, Height = 0;
    std::vector<std::vector<uint32_t>> Frames;
    std::vector<int> DelaysCs;
};

inline TDecodedGif DecodeGif(const std::string& path) {
    TDecodedGif d;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << path << " does not read as a GIF";
        if (gif) DGifCloseFile(gif, &error);
        return d;
    }
    d.Width = gif->SWidth;
    d.Height = gif->SHeight;
    std::vector<uint32_t> canvas(static_cast<std::size_t>(d.Width * d.Height), 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        const GifImageDesc& r = image.ImageDesc;
        for (int y = 0; y < r.Height; ++y)
            for (int x = 0; x < r.Width; ++x) {
                const int index = image.RasterBits[y * r.Width + x];
                if (index == control.TransparentColor) continue;
                const GifColorType c = map->Colors[index];
                canvas[static_cast<std::size_t>((r.Top + y) * d.Width + r.Left + x)] =
                    0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
            }
        d.Frames.push_back(canvas);
        d.DelaysCs.push_back(control.DelayTime);
    }
    DGifCloseFile(gif, &error);
    return d;
}
