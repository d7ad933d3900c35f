#include "platform/SafeFile.h"
#include "recording/GifFile.h"
#include "recording/GifStream.h"

#include <gif_lib.h>

#include <array>
#include <memory>
#include <unordered_map>

using namespace GifStream;

namespace {

// Room for the transparent index of the pixels a frame leaves as they were.
constexpr std::size_t MAX_FRAME_COLOURS = 255;
// Rounds of moving colours to their nearest entry after the median cut.
constexpr int REFINE_ROUNDS = 4;

// One frame's colour map and the index of each changed pixel, in order.
struct TFramePalette {
    std::vector<GifColorType> Colours;
    std::vector<GifByteType> Indices;
};

GifColorType Colour(uint32_t rgb) {
    return {static_cast<GifByteType>((rgb >> 16) & 0xFF), static_cast<GifByteType>((rgb >> 8) & 0xFF),
            static_cast<GifByteType>(rgb & 0xFF)};
}

TFramePalette ExactPalette(const std::vector<uint32_t>& changed) {
    TFramePalette p;
    std::unordered_map<uint32_t, GifByteType> index;
    for (const uint32_t rgb : changed) {
        auto [at, added] = index.try_emplace(rgb, static_cast<GifByteType>(p.Colours.size()));
        if (added) {
            if (p.Colours.size() == MAX_FRAME_COLOURS) return {};
            p.Colours.push_back(Colour(rgb));
        }
        p.Indices.push_back(at->second);
    }
    return p;
}

// The mean of the true colours each entry took, for every entry that took
// any.
void MeanColours(const std::vector<uint32_t>& changed, TFramePalette& p) {
    std::vector<std::array<uint64_t, 4>> sums(p.Colours.size());
    for (std::size_t i = 0; i < changed.size(); ++i) {
        std::array<uint64_t, 4>& s = sums[p.Indices[i]];
        s[0] += (changed[i] >> 16) & 0xFF;
        s[1] += (changed[i] >> 8) & 0xFF;
        s[2] += changed[i] & 0xFF;
        ++s[3];
    }
    for (std::size_t c = 0; c < p.Colours.size(); ++c) {
        const std::array<uint64_t, 4>& s = sums[c];
        if (s[3] == 0) continue;
        p.Colours[c] = {static_cast<GifByteType>((s[0] + s[3] / 2) / s[3]),
                        static_cast<GifByteType>((s[1] + s[3] / 2) / s[3]),
                        static_cast<GifByteType>((s[2] + s[3] / 2) / s[3])};
    }
}

GifByteType Nearest(uint32_t rgb, const std::vector<GifColorType>& colours) {
    const int r = static_cast<int>((rgb >> 16) & 0xFF), g = static_cast<int>((rgb >> 8) & 0xFF),
              b = static_cast<int>(rgb & 0xFF);
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t c = 0; c < colours.size(); ++c) {
        const int dr = colours[c].Red - r, dg = colours[c].Green - g, db = colours[c].Blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(c);
        }
    }
    return static_cast<GifByteType>(best);
}

// giflib's median cut works on 5 bits a channel and puts a colour in the
// box its bits fall in, which on smooth pictures may be far from the
// box's mean. Its palette is the start: each colour then takes the nearest
// entry, and each entry becomes the mean of the true colours it took.
bool QuantisedPalette(const std::vector<uint32_t>& changed, TFramePalette& p) {
    const std::size_t n = changed.size();
    std::vector<GifByteType> red(n), green(n), blue(n);
    for (std::size_t i = 0; i < n; ++i) {
        red[i] = static_cast<GifByteType>((changed[i] >> 16) & 0xFF);
        green[i] = static_cast<GifByteType>((changed[i] >> 8) & 0xFF);
        blue[i] = static_cast<GifByteType>(changed[i] & 0xFF);
    }
    int size = static_cast<int>(MAX_FRAME_COLOURS);
    std::array<GifColorType, MAX_FRAME_COLOURS> map{};
    p.Indices.assign(n, 0);
    if (GifQuantizeBuffer(static_cast<unsigned>(n), 1, &size, red.data(), green.data(), blue.data(),
                          p.Indices.data(), map.data()) != GIF_OK)
        return false;
    p.Colours.assign(map.begin(), map.begin() + size);
    MeanColours(changed, p);
    for (int round = 0; round < REFINE_ROUNDS; ++round) {
        std::unordered_map<uint32_t, GifByteType> nearest;
        for (std::size_t i = 0; i < n; ++i) {
            auto [at, added] = nearest.try_emplace(changed[i], 0);
            if (added) at->second = Nearest(changed[i], p.Colours);
            p.Indices[i] = at->second;
        }
        MeanColours(changed, p);
    }
    return true;
}

} // namespace

bool WriteColourGifFile(const std::string& path, int width, int height, std::size_t count,
                        const std::function<std::vector<uint32_t>(std::size_t)>& pixels,
                        const std::function<uint32_t(std::size_t)>& delayCs, std::string& error) {
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || count == 0) {
        error = "no animation to write";
        return false;
    }
    std::string file;
    int status = 0;
    std::unique_ptr<GifFileType, TCloseGif> gif(EGifOpen(&file, Append, &status));
    if (!gif) {
        error = "cannot start the animation";
        return false;
    }
    EGifSetGifVersion(gif.get(), true);
    bool ok =
        EGifPutScreenDesc(gif.get(), width, height, 8, 0, nullptr) == GIF_OK && PutLoopForever(gif.get());
    std::vector<uint32_t> before;
    std::vector<uint32_t> changed;
    std::vector<GifPixelType> line;
    for (std::size_t f = 0; ok && f < count; ++f) {
        std::vector<uint32_t> frame = pixels(f);
        if (frame.size() != size) {
            error = "no animation to write";
            return false;
        }
        const TRect r = f == 0 ? TRect{0, 0, width, height} : ChangedRect(before, frame, width, height);
        const auto at = [&](int x, int y) {
            return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x);
        };
        const auto isChanged = [&](std::size_t i) { return f == 0 || before[i] != frame[i]; };
        changed.clear();
        for (int y = r.Top; y < r.Top + r.Height; ++y)
            for (int x = r.Left; x < r.Left + r.Width; ++x)
                if (isChanged(at(x, y))) changed.push_back(frame[at(x, y)] & 0xFFFFFF);
        TFramePalette palette = ExactPalette(changed);
        if (palette.Indices.size() != changed.size() && !QuantisedPalette(changed, palette)) {
            error = "cannot reduce the animation's colours";
            return false;
        }
        const int transparent = static_cast<int>(palette.Colours.size());
        int bits = 1;
        while ((1 << bits) < transparent + 1)
            ++bits;
        palette.Colours.resize(std::size_t{1} << bits, GifColorType{0, 0, 0});
        const std::unique_ptr<ColorMapObject, TFreeMap> map(
            GifMakeMapObject(static_cast<int>(palette.Colours.size()), palette.Colours.data()));
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = static_cast<int>(delayCs(f));
        control.TransparentColor = f == 0 ? NO_TRANSPARENT_COLOR : transparent;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        ok = map &&
             EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                 GIF_OK &&
             EGifPutImageDesc(gif.get(), r.Left, r.Top, r.Width, r.Height, false, map.get()) == GIF_OK;
        line.resize(static_cast<std::size_t>(r.Width));
        std::size_t next = 0;
        for (int y = r.Top; ok && y < r.Top + r.Height; ++y) {
            for (int x = 0; x < r.Width; ++x)
                line[static_cast<std::size_t>(x)] = isChanged(at(r.Left + x, y))
                                                        ? palette.Indices[next++]
                                                        : static_cast<GifPixelType>(transparent);
            ok = EGifPutLine(gif.get(), line.data(), r.Width) == GIF_OK;
        }
        before = std::move(frame);
    }
    GifFileType* raw = gif.release();
    ok = EGifCloseFile(raw, &status) == GIF_OK && ok;
    if (!ok) {
        error = "cannot encode the animation";
        return false;
    }
    return ReplaceFile(path, file, error);
}
