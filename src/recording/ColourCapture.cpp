#include "recording/ColourCapture.h"

#include "recording/RecordingHash.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Larger pictures are refused: a run's lengths stay far inside 32 bits.
constexpr std::size_t MAX_PIXELS = std::size_t{1} << 26;
constexpr int MAX_SIDE = 65535; // a GIF's
// An unchanged stretch this short between changes is kept as changed: a
// run's header costs more than the pixels.
constexpr std::size_t SHORT_GAP = 2;

uint64_t PictureHash(const std::vector<uint32_t>& pixels) {
    return Fnv1a64(pixels.data(), pixels.size() * sizeof(uint32_t));
}

// The runs of now that differ from before (skip, count, pixels...).
std::vector<uint32_t> ChangedRuns(const std::vector<uint32_t>& before, const std::vector<uint32_t>& now) {
    std::vector<uint32_t> runs;
    const std::size_t n = now.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t from = i;
        while (i < n && before[i] == now[i])
            ++i;
        if (i == n) break;
        const std::size_t first = i;
        while (i < n) {
            if (before[i] != now[i]) {
                ++i;
                continue;
            }
            std::size_t same = i;
            while (same < n && same - i <= SHORT_GAP && before[same] == now[same])
                ++same;
            if (same == n || same - i > SHORT_GAP) break;
            i = same;
        }
        runs.push_back(static_cast<uint32_t>(first - from));
        runs.push_back(static_cast<uint32_t>(i - first));
        runs.insert(runs.end(), now.begin() + static_cast<std::ptrdiff_t>(first),
                    now.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return runs;
}

void ApplyRuns(const std::vector<uint32_t>& runs, std::vector<uint32_t>& pixels) {
    std::size_t at = 0;
    for (std::size_t r = 0; r + 1 < runs.size();) {
        at += runs[r];
        const std::size_t count = runs[r + 1];
        std::copy_n(runs.begin() + static_cast<std::ptrdiff_t>(r + 2), count,
                    pixels.begin() + static_cast<std::ptrdiff_t>(at));
        at += count;
        r += 2 + count;
    }
}

std::vector<uint32_t> WholeRun(const std::vector<uint32_t>& pixels) {
    std::vector<uint32_t> runs{0, static_cast<uint32_t>(pixels.size())};
    runs.insert(runs.end(), pixels.begin(), pixels.end());
    return runs;
}

} // namespace

std::size_t TColourCapture::FrameBytes(const TFrame& frame) const {
    return sizeof(TFrame) + frame.Runs.size() * sizeof(uint32_t);
}

bool TColourCapture::Start(uint64_t at, int width, int height, const std::vector<uint32_t>& pixels) {
    Clear();
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (count > MAX_PIXELS || pixels.size() != count) return false;
    TFrame first{at, PictureHash(pixels), WholeRun(pixels)};
    // The last picture, the one before it and Picture's copy are whole.
    const std::size_t bytes = 3 * count * sizeof(uint32_t) + FrameBytes(first);
    if (bytes > FMaxBytes) {
        FFull = true;
        return false;
    }
    FWidth = width;
    FHeight = height;
    FStart = at;
    FEnd = at;
    FBytes = bytes;
    FCapturing = true;
    FFrames.push_back(std::move(first));
    FLast = pixels;
    return true;
}

void TColourCapture::Capture(uint64_t at, const std::vector<uint32_t>& pixels) {
    if (!FCapturing || pixels.size() != FLast.size()) return;
    at = std::max(at, FFrames.back().At);
    if (FFrames.back().At == at) {
        FBytes -= FrameBytes(FFrames.back());
        FFrames.pop_back();
        if (FFrames.empty()) {
            FFrames.push_back({at, PictureHash(pixels), WholeRun(pixels)});
            FBytes += FrameBytes(FFrames.back());
            FLast = pixels;
            return;
        }
        FLast = FBeforeLast;
    }
    if (pixels == FLast) return;
    TFrame frame{at, PictureHash(pixels), ChangedRuns(FLast, pixels)};
    if (FBytes + FrameBytes(frame) > FMaxBytes) {
        FFull = true;
        FCapturing = false;
        FEnd = at;
        return;
    }
    FBytes += FrameBytes(frame);
    FFrames.push_back(std::move(frame));
    FBeforeLast = std::move(FLast);
    FLast = pixels;
}

void TColourCapture::Stop(uint64_t end) {
    if (!FCapturing) return;
    FCapturing = false;
    FEnd = std::max(end, FFrames.back().At);
}

uint64_t TColourCapture::Duration() const {
    if (FFrames.empty()) return 0;
    return (FCapturing ? FFrames.back().At : FEnd) - FStart;
}

void TColourCapture::Clear() {
    FCapturing = false;
    FFull = false;
    FWidth = FHeight = 0;
    FBytes = 0;
    FFrames.clear();
    FLast = {};
    FBeforeLast = {};
    FCursor = 0;
    FCursorPixels = {};
}

std::vector<TAnimationFrame> TColourCapture::Frames() const {
    std::vector<uint64_t> starts;
    for (const TFrame& f : FFrames)
        starts.push_back(f.At);
    return AnimationFrames(
        starts, FEnd, [this](std::size_t a, std::size_t b) { return FFrames[a].Hash == FFrames[b].Hash; });
}

const std::vector<uint32_t>& TColourCapture::Picture(std::size_t index) const {
    if (index >= FFrames.size()) throw std::out_of_range("no such animation picture");
    if (FCursorPixels.empty() || index < FCursor) {
        FCursorPixels.assign(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight), 0);
        ApplyRuns(FFrames[0].Runs, FCursorPixels);
        FCursor = 0;
    }
    while (FCursor < index)
        ApplyRuns(FFrames[++FCursor].Runs, FCursorPixels);
    return FCursorPixels;
}
