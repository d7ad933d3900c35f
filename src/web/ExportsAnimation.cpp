// The functions of the page's "Record animation": every LCD picture the
// page shows is kept by the core's capture (recording/AnimationCapture.h)
// with the page's clock, and the animation comes out with the core's frame
// timing (equal neighbours merged, no delay under 20 ms, the last frame
// held to the end). The page encodes the GIF from the frames given here as
// palette indices at twice the picture's size.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/LcdPicture.h"
#include "platform/Host.h"
#include "recording/AnimationCapture.h"

#include <emscripten/emscripten.h>

#include <string>
#include <vector>

namespace {

// The instrument's memory does not grow: about 2 KB a picture, 4 MB in all;
// a screen that changes every 100 ms fills it in over 3 minutes.
constexpr std::size_t MAX_FRAMES = 2000;
constexpr int SCALE = 2;
// Palette indices: the dark pixels, the lit and the unlit background.
const uint32_t kPalette[] = {LCD_COLOR_PIXEL, LCD_COLOR_LIT, LCD_COLOR_UNLIT, LCD_COLOR_PIXEL};

TAnimationCapture g_Capture(MAX_FRAMES);
// The page's clock as ms since the capture's start: the tick count wraps at
// 2^32, so each reading adds its unsigned step from the one before.
uint32_t g_LastTick = 0;
uint64_t g_Elapsed = 0;
std::vector<TAnimationFrame> g_Frames;
std::vector<uint8_t> g_Indices; // the frame last asked for
std::string g_Returned;

uint64_t Elapsed() {
    const uint32_t tick = GetTickCount();
    g_Elapsed += static_cast<uint32_t>(tick - g_LastTick);
    g_LastTick = tick;
    return g_Elapsed;
}

uint8_t PaletteIndex(uint32_t argb) {
    for (uint8_t i = 0; i < 3; ++i)
        if (kPalette[i] == argb) return i;
    return 0;
}

} // namespace

extern "C" {

// Starts a capture with the LCD as it is now; 0 before the instrument runs.
EMSCRIPTEN_KEEPALIVE int orx_AnimationStart() {
    if (!g_Device) return 0;
    g_Frames.clear();
    g_LastTick = GetTickCount();
    g_Elapsed = 0;
    g_Capture.Start(0, g_Device->Picture());
    return 1;
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationCapturing() {
    return g_Capture.Capturing() ? 1 : 0;
}

// After each repaint the page shows: keeps the picture. 0 once the capture
// holds all it can (the page then finishes it: nothing kept is lost).
EMSCRIPTEN_KEEPALIVE int orx_AnimationCapture() {
    if (!g_Capture.Capturing() || !g_Device) return 1;
    g_Capture.Capture(Elapsed(), g_Device->Picture());
    return g_Capture.Full() ? 0 : 1;
}

// Ends the capture now: the number of animation frames. A capture that
// filled up ends when the page finishes it, just after the first picture it
// could not keep.
EMSCRIPTEN_KEEPALIVE int orx_AnimationFinish() {
    if (!g_Capture.Capturing() && !g_Capture.Full()) return 0;
    g_Capture.Stop(Elapsed());
    g_Frames = g_Capture.Frames();
    return static_cast<int>(g_Frames.size());
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationFull() {
    return g_Capture.Full() ? 1 : 0;
}

// The captured stretch in ms.
EMSCRIPTEN_KEEPALIVE double orx_AnimationDuration() {
    return static_cast<double>(g_Elapsed);
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationMaxFrames() {
    return static_cast<int>(g_Capture.MaxFrames());
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationWidth() {
    return LCD_PICTURE_WIDTH * SCALE;
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationHeight() {
    return LCD_PICTURE_HEIGHT * SCALE;
}

// The colours of the frames' indices: [[r, g, b], ...].
EMSCRIPTEN_KEEPALIVE const char* orx_AnimationPalette() {
    std::string json = "[";
    for (const uint32_t argb : kPalette) {
        if (json.size() > 1) json += ',';
        json += "[" + std::to_string((argb >> 16) & 0xFFu) + "," + std::to_string((argb >> 8) & 0xFFu) + "," +
                std::to_string(argb & 0xFFu) + "]";
    }
    g_Returned = json + "]";
    return g_Returned.c_str();
}

EMSCRIPTEN_KEEPALIVE int orx_AnimationDelayCs(int frame) {
    if (frame < 0 || static_cast<std::size_t>(frame) >= g_Frames.size()) return 0;
    return static_cast<int>(g_Frames[static_cast<std::size_t>(frame)].DelayCs);
}

// Animation frame frame as width x height palette indices, row-major; valid
// until the next call. Null past the last frame.
EMSCRIPTEN_KEEPALIVE const uint8_t* orx_AnimationFrame(int frame) {
    if (frame < 0 || static_cast<std::size_t>(frame) >= g_Frames.size()) return nullptr;
    const std::vector<uint32_t> pixels =
        ScaledLcdPicture(g_Capture.Picture(g_Frames[static_cast<std::size_t>(frame)].Frame), SCALE);
    g_Indices.resize(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        g_Indices[i] = PaletteIndex(pixels[i]);
    return g_Indices.data();
}

// Lets the capture's memory go once the page has its GIF.
EMSCRIPTEN_KEEPALIVE void orx_AnimationClear() {
    g_Capture.Clear();
    g_Frames.clear();
    g_Indices = {};
}

} // extern "C"
