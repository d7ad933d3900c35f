// Cost of the LCD primitives, each beside a reference drawn in the same run:
// text against the same text set pixel by pixel, clipped lines against the
// same lines unclipped, the picture painter against a blank frame.
#include "device/Font.h"
#include "device/Lcd.h"
#include "device/LcdPicture.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr char LINE[] = "MEAS 12.34 MM/S  RMS"; // 20 characters: 120 columns
constexpr int16_t TEXT_PAGE = 1;

// Any non-blank font will do: the cost does not depend on the glyphs.
void FillFonts() {
    for (int i = 0; i < FONT1_SIZE; i += 2)
        Font1Data[i] = static_cast<uint8_t>(i * 37 + 11);
    for (int i = 0; i < FONT2_SIZE; i += 2)
        Font2Data[i] = static_cast<uint8_t>(i * 53 + 7);
}

void BM_LcdPutText(benchmark::State& state) {
    FillFonts();
    LcdClear();
    for (auto _ : state) {
        LcdPutText(TEXT_PAGE, 0, 0, LINE);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (sizeof LINE - 1));
}
BENCHMARK(BM_LcdPutText);

// The same picture as LcdPutText, built from single pixels after clearing the band.
void BM_LcdPutText_PixelByPixelReference(benchmark::State& state) {
    FillFonts();
    LcdClear();
    const int16_t top = static_cast<int16_t>(LCD_HEIGHT - 1 - 8 * TEXT_PAGE);
    for (auto _ : state) {
        LcdClearArea(TEXT_PAGE, 0, TEXT_PAGE, 6 * (sizeof LINE - 1) - 1);
        int16_t x = 0;
        for (const char* p = LINE; *p != '\0'; ++p) {
            const uint8_t* glyph = Font1Data + static_cast<unsigned char>(*p) * FONT1_GLYPH_BYTES;
            for (int j = 0; j < 6; ++j, ++x) {
                for (int k = 0; k < 8; ++k) {
                    if ((glyph[2 * j] & (0x80 >> k)) != 0)
                        LcdSetPixel(x, static_cast<int16_t>(top - k), LCD_MODE_SET);
                }
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (sizeof LINE - 1));
}
BENCHMARK(BM_LcdPutText_PixelByPixelReference);

struct TLine {
    int16_t x0, y0, x1, y1;
};

// A fan of lines corner to corner and edge to edge, most of them crossing the
// clip rectangle's edges, all inside the LCD so that they may be drawn unclipped.
std::array<TLine, 64> MakeLines() {
    std::array<TLine, 64> lines{};
    for (int i = 0; i < 32; ++i) {
        const auto x = static_cast<int16_t>(i * 121 / 31);
        lines[i] = {x, 0, static_cast<int16_t>(121 - x), 31};
        const auto y = static_cast<int16_t>(i);
        lines[32 + i] = {0, y, 121, static_cast<int16_t>(31 - y)};
    }
    return lines;
}

constexpr TLcdRect CLIP{20, 4, 101, 27};

void BM_LcdClippedLine(benchmark::State& state) {
    const auto lines = MakeLines();
    LcdClear();
    for (auto _ : state) {
        for (const TLine& l : lines)
            LcdClippedLine(l.x0, l.y0, l.x1, l.y1, LCD_MODE_XOR, CLIP);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_LcdClippedLine);

void BM_LcdLine_UnclippedReference(benchmark::State& state) {
    const auto lines = MakeLines();
    LcdClear();
    for (auto _ : state) {
        for (const TLine& l : lines)
            LcdLine(l.x0, l.y0, l.x1, l.y1, LCD_MODE_XOR);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_LcdLine_UnclippedReference);

// A typical screen: three text lines, one of them inverted, and a frame.
void DrawTypicalFrame() {
    FillFonts();
    LcdClear();
    LcdPutText(0, 0, 1, " MEAS  M01 POINT 1A ");
    LcdPutBigText(1, 0, 0, "12.34");
    LcdPutText(3, 66, 0, "MM/S RMS");
    LcdLine(0, 0, 121, 0, LCD_MODE_SET);
    LcdLine(121, 0, 121, 23, LCD_MODE_SET);
}

void PaintBenchmark(benchmark::State& state) {
    auto picture = std::make_unique<TLcdPicture>();
    for (auto _ : state) {
        PaintLcdPicture(*picture, true);
        benchmark::DoNotOptimize(picture->Pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT);
}

void BM_PaintLcdPicture_Full(benchmark::State& state) {
    std::memset(LcdBuffer, 0xFF, sizeof LcdBuffer);
    PaintBenchmark(state);
}
BENCHMARK(BM_PaintLcdPicture_Full);

void BM_PaintLcdPicture_Typical(benchmark::State& state) {
    DrawTypicalFrame();
    PaintBenchmark(state);
}
BENCHMARK(BM_PaintLcdPicture_Typical);

// The background fill alone: the floor under every repaint.
void BM_PaintLcdPicture_BlankReference(benchmark::State& state) {
    LcdClear();
    PaintBenchmark(state);
}
BENCHMARK(BM_PaintLcdPicture_BlankReference);

} // namespace
