#include "recording/GifFile.h"

#include "platform/SafeFile.h"
#include "recording/GifStream.h"

#include <gif_lib.h>

#include <map>
#include <memory>

using namespace GifStream;

bool WriteGifFile(const std::string& path, int width, int height, std::size_t count,
                  const std::function<std::vector<uint32_t>(std::size_t)>& pixels,
                  const std::function<uint32_t(std::size_t)>& delayCs, std::string& error) {
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || count == 0) {
        error = "no animation to write";
        return false;
    }
    // The palette: every colour of every frame, in the order first met.
    std::map<uint32_t, GifPixelType> index;
    std::vector<GifColorType> colours;
    for (std::size_t f = 0; f < count; ++f) {
        const std::vector<uint32_t> frame = pixels(f);
        if (frame.size() != size) {
            error = "no animation to write";
            return false;
        }
        for (const uint32_t p : frame) {
            const uint32_t rgb = p & 0xFFFFFF;
            if (index.count(rgb) != 0) continue;
            if (colours.size() == 256) {
                error = "the animation has more than 256 colours";
                return false;
            }
            index[rgb] = static_cast<GifPixelType>(colours.size());
            colours.push_back({static_cast<GifByteType>(rgb >> 16),
                               static_cast<GifByteType>((rgb >> 8) & 0xFF),
                               static_cast<GifByteType>(rgb & 0xFF)});
        }
    }
    int bits = 1;
    while ((1u << bits) < colours.size())
        ++bits;
    colours.resize(std::size_t{1} << bits, GifColorType{0, 0, 0});
    const std::unique_ptr<ColorMapObject, TFreeMap> map(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));

    std::string file;
    int status = 0;
    std::unique_ptr<GifFileType, TCloseGif> gif(EGifOpen(&file, Append, &status));
    if (!gif || !map) {
        error = "cannot start the animation";
        return false;
    }
    EGifSetGifVersion(gif.get(), true);
    bool ok = EGifPutScreenDesc(gif.get(), width, height, bits, 0, map.get()) == GIF_OK;
    ok = ok && PutLoopForever(gif.get());
    std::vector<uint32_t> before;
    std::vector<GifPixelType> line;
    for (std::size_t f = 0; ok && f < count; ++f) {
        const std::vector<uint32_t> frame = pixels(f);
        const TRect r = f == 0 ? TRect{0, 0, width, height} : ChangedRect(before, frame, width, height);
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = static_cast<int>(delayCs(f));
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                 GIF_OK &&
             EGifPutImageDesc(gif.get(), r.Left, r.Top, r.Width, r.Height, false, nullptr) == GIF_OK;
        line.resize(static_cast<std::size_t>(r.Width));
        for (int y = r.Top; ok && y < r.Top + r.Height; ++y) {
            for (int x = 0; x < r.Width; ++x)
                line[static_cast<std::size_t>(x)] =
                    index[frame[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(r.Left + x)] &
                          0xFFFFFF];
            ok = EGifPutLine(gif.get(), line.data(), r.Width) == GIF_OK;
        }
        before = frame;
    }
    GifFileType* raw = gif.release();
    ok = EGifCloseFile(raw, &status) == GIF_OK && ok;
    if (!ok) {
        error = "cannot encode the animation";
        return false;
    }
    // Written aside and renamed, as the PNG pictures are.
    return ReplaceFile(path, file, error);
}
