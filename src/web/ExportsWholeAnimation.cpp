// The functions of the page's "Record animation" of the whole instrument:
// the page draws each picture of the instrument (artwork, LCD, key captions)
// on a canvas and hands its RGBA bytes here; the core's full-colour capture
// (recording/ColourCapture.h) keeps the changes with the page's clock, and
// the animation comes out with the core's frame timing, as the LCD's does.
// The page takes the pictures back and quantises and encodes them itself.
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "recording/ColourCapture.h"

#include <emscripten/emscripten.h>

#include <vector>

namespace {

// The module's memory does not grow: the instrument at 1x takes about 4 MB
// to start (the pictures the capture compares with), and each change a few
// tens of KB after that.
constexpr std::size_t MAX_BYTES = std::size_t{12} << 20;

TColourCapture g_Capture(MAX_BYTES);
// The picture the page hands in or takes out, RGBA, row-major.
std::vector<uint8_t> g_Rgba;
int g_Width = 0;
int g_Height = 0;
// The page's clock as ms since the capture's start, right across the tick
// count's wrap.
uint32_t g_LastTick = 0;
uint64_t g_Elapsed = 0;
std::vector<TAnimationFrame> g_Frames;

uint64_t Elapsed() {
    const uint32_t tick = GetTickCount();
    g_Elapsed += static_cast<uint32_t>(tick - g_LastTick);
    g_LastTick = tick;
    return g_Elapsed;
}

std::vector<uint32_t> HandedIn() {
    std::vector<uint32_t> pixels(g_Rgba.size() / 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | (uint32_t{g_Rgba[4 * i]} << 16) | (uint32_t{g_Rgba[4 * i + 1]} << 8) |
                    g_Rgba[4 * i + 2];
    return pixels;
}

} // namespace

extern "C" {

// Whether Record animation takes the whole instrument; kept in the state's
// presenter section, as the window keeps it.
EMSCRIPTEN_KEEPALIVE int orx_AnimateWholeInstrument() {
    return SavedState.AnimateWholeInstrument != 0 ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void orx_SetAnimateWholeInstrument(int whole) {
    SavedState.AnimateWholeInstrument = whole ? 1 : 0;
}

// Where the page puts a picture of width x height before Start or Capture;
// null for a size the capture cannot take.
EMSCRIPTEN_KEEPALIVE uint8_t* orx_WholeAnimationBuffer(int width, int height) {
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return nullptr;
    g_Width = width;
    g_Height = height;
    g_Rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return g_Rgba.data();
}

// Starts a capture with the picture in the buffer; 0 when it cannot.
EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationStart() {
    g_Frames.clear();
    g_LastTick = GetTickCount();
    g_Elapsed = 0;
    return g_Capture.Start(0, g_Width, g_Height, HandedIn()) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationCapturing() {
    return g_Capture.Capturing() ? 1 : 0;
}

// Keeps the picture in the buffer. 0 once the capture is full: it ended
// then, and the page saves what it holds.
EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationCapture() {
    if (!g_Capture.Capturing()) return g_Capture.Full() ? 0 : 1;
    g_Capture.Capture(Elapsed(), HandedIn());
    return g_Capture.Full() ? 0 : 1;
}

// Ends the capture now: the number of animation frames.
EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationFinish() {
    g_Capture.Stop(Elapsed());
    g_Frames = g_Capture.FrameCount() > 0 ? g_Capture.Frames() : std::vector<TAnimationFrame>{};
    return static_cast<int>(g_Frames.size());
}

EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationFull() {
    return g_Capture.Full() ? 1 : 0;
}

// The captured stretch in ms.
EMSCRIPTEN_KEEPALIVE double orx_WholeAnimationDuration() {
    return static_cast<double>(g_Capture.Duration());
}

// The different pictures kept.
EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationPictures() {
    return static_cast<int>(g_Capture.FrameCount());
}

EMSCRIPTEN_KEEPALIVE int orx_WholeAnimationDelayCs(int frame) {
    if (frame < 0 || static_cast<std::size_t>(frame) >= g_Frames.size()) return 0;
    return static_cast<int>(g_Frames[static_cast<std::size_t>(frame)].DelayCs);
}

// Animation frame frame in the buffer as RGBA; null past the last frame.
// Frames asked for in order cost only the changes between them.
EMSCRIPTEN_KEEPALIVE const uint8_t* orx_WholeAnimationFrame(int frame) {
    if (frame < 0 || static_cast<std::size_t>(frame) >= g_Frames.size()) return nullptr;
    const std::vector<uint32_t>& pixels = g_Capture.Picture(g_Frames[static_cast<std::size_t>(frame)].Frame);
    g_Rgba.resize(pixels.size() * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        g_Rgba[4 * i] = static_cast<uint8_t>(pixels[i] >> 16);
        g_Rgba[4 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        g_Rgba[4 * i + 2] = static_cast<uint8_t>(pixels[i]);
        g_Rgba[4 * i + 3] = 0xFF;
    }
    return g_Rgba.data();
}

// Lets the capture's memory go once the page has its GIF.
EMSCRIPTEN_KEEPALIVE void orx_WholeAnimationClear() {
    g_Capture.Clear();
    g_Frames.clear();
    g_Rgba = {};
}

} // extern "C"
