// The spectrum view as the user meets it: a device under virtual time runs
// the view on a synthesised waveform, the test presses keys and compares the
// LCD with golden screens, the read-outs with the physics of the signal.
#include "Golden.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/Global.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "device/ScreenArt.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "platform/VirtualHost.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int16_t K1 = KEY_K1 + KEY_SHORT;
constexpr int16_t K1_LONG = KEY_K1 + KEY_LONG;
constexpr int16_t K2 = KEY_K2 + KEY_SHORT;
constexpr double PI = 3.14159265358979;

struct Tone {
    int line; // spectral line: line x 0.3125 Hz (x 25 for kind 2)
    double amplitude;
};

// Sines on whole lines around offset codes, as kind 0 and 2 converters
// (unsigned) or kind 1 (signed) deliver them.
void Synthesise(double offset, const std::vector<Tone>& tones) {
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        double x = offset;
        for (const Tone& t : tones)
            x += t.amplitude * std::sin(2 * PI * t.line * n / SAMPLE_COUNT);
        SampleBuffer[n] = static_cast<int16_t>(static_cast<uint16_t>(std::lround(x) & 0xFFFF));
    }
}

// Velocity: a strong tone on line 100 (block 1 at entry) and a weaker one on
// line 40, the peak of block 0.
const std::vector<Tone> kMeasTones = {{40, 1500}, {100, 6000}, {1000, 3000}, {2500, 1200}};

class SpectrumViewScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        MenuState = TMenuState{};
        for (int16_t& t : MenuState.LevelType)
            t = 1;
    }
    void TearDown() override {
        device.reset();
        g_Device = nullptr;
    }
    // Switches on into the view of kind over the given waveform.
    void Open(int16_t kind, double offset, std::vector<Tone> tones) {
        device = std::make_unique<TDevice>(
            [this, kind, offset, tones] {
                Synthesise(offset, tones);
                SetMeasurementDefaults();
                SpectrumView(kind);
                ++left;
                for (;;)
                    WaitKey();
            },
            &backlight);
        g_Device = device.get();
        host.RunUntilIdle();
        Press(K1_LONG);
    }
    void Press(int16_t key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            device->PostKeyEvent(key);
            host.RunUntilIdle();
        }
    }
    // From the mode menu (with "<> X " selected) into the loop of mode.
    void EnterMode(int16_t mode) {
        Press(K1, mode);
        Press(K2);
    }
    // The LCD shows text at (page, column) when drawing it there changes nothing.
    bool Shows(int16_t page, int16_t column, const std::string& text) {
        uint8_t saved[sizeof LcdBuffer];
        std::memcpy(saved, LcdBuffer, sizeof saved);
        LcdPutText(page, column, 0, text.c_str());
        const bool same = std::memcmp(saved, LcdBuffer, sizeof saved) == 0;
        std::memcpy(LcdBuffer, saved, sizeof saved);
        return same;
    }
    // Both balloons are those of the hint text with that id.
    void ExpectHint(int id) {
        TKeyHints hints;
        hints.SetKeyHintText(LoadStr(id));
        EXPECT_EQ(device->GetHintK1(), hints.GetKeyHintK1()) << id;
        EXPECT_EQ(device->GetHintK2(), hints.GetKeyHintK2()) << id;
    }
    void Screen(const std::string& title) { art << "# " << title << '\n' << ScreenArt(*device); }

    TVirtualHost host;
    THostInstall install{host};
    int16_t backlight = 1;
    std::unique_ptr<TDevice> device;
    int left = 0;
    std::ostringstream art;
};

TEST_F(SpectrumViewScreen, EntryAndEveryXZoomStep) {
    Open(KIND_MEAS, 32768, kMeasTones);
    Screen("entry: mode menu over blocks of 35 lines");
    Press(K2);
    Screen("cursor on block 0, peak line 40");
    EXPECT_TRUE(Shows(2, 0, "X12.5"));
    EXPECT_NEAR(BandValue(ViewCursorLine()), 1500 / std::sqrt(2.0) * CAL_K / 10, 0.02 * 4.05);
    Press(K1);
    Press(KEY_BOTH);
    Press(K1); // Scl.X
    Press(K2);
    for (const int16_t zoom : {17, 8, 4, 2, -1, -2, -4, -8}) {
        Press(K1);
        ASSERT_EQ(ViewState.XZoom, zoom);
        EXPECT_TRUE(Shows(2, 0, "X31.3")) << "line 100 (31.25 Hz) stays under the cursor at zoom " << zoom;
        Screen("zoom in to " + std::to_string(zoom));
    }
    for (const int16_t zoom : {-4, -2, -1, 2, 4, 8, 16, 32, 35}) {
        Press(KEY_K2 + KEY_LONG);
        ASSERT_EQ(ViewState.XZoom, zoom);
        Screen("zoom out to " + std::to_string(zoom));
    }
    ExpectMatchesGolden("spectrum_kind0_zoom_x", art.str());
}

struct UnitCase {
    const char* name;
    int presses; // K1 in the units mode: velocity, displacement, acceleration
    int16_t quantity;
    double factor; // of the velocity RMS at 31.25 Hz
};
void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << c.name;
}

class SpectrumUnits : public SpectrumViewScreen, public ::testing::WithParamInterface<UnitCase> {};

// Velocity v (mm/s) at f Hz is v / (2 pi f) mm of displacement and 2 pi f v
// / 1000 m/s2 of acceleration; the band value of line 100 (31.25 Hz) is RMS.
TEST_P(SpectrumUnits, BandValueFollowsTheQuantityAndItsLevelType) {
    const UnitCase& c = GetParam();
    MenuState.LevelType[c.quantity] = 2; // P-P
    MenuState.UnitSystem[c.quantity] = 1;
    Open(KIND_MEAS, 32768, kMeasTones);
    EnterMode(VIEW_MODE_CURSOR);
    Press(K1); // block 1: line 100
    Press(KEY_BOTH);
    EnterMode(VIEW_MODE_UNITS);
    Press(K1, c.presses);
    const double rms = 6000 / std::sqrt(2.0) * CAL_K / 10 * c.factor;
    EXPECT_NEAR(BandValue(ViewCursorLine()), 2 * std::sqrt(2.0) * rms, 0.03 * 2.83 * rms);
    EXPECT_TRUE(Shows(1, 0, UnitNames[3 + static_cast<std::size_t>(c.quantity)]));
    Screen(c.name);
    ExpectMatchesGolden(std::string("spectrum_units_") + c.name, art.str());
}

INSTANTIATE_TEST_SUITE_P(
    Units, SpectrumUnits,
    ::testing::Values(UnitCase{"velocity", 3, QUANTITY_VELOCITY, 1.0},
                      UnitCase{"displacement", 1, QUANTITY_DISPLACEMENT, 1000 / (2 * PI * 31.25)},
                      UnitCase{"acceleration", 2, QUANTITY_ACCELERATION, 2 * PI * 31.25 / 1000}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SpectrumViewScreen, YZoomInAndOutInRpm) {
    MenuState.FreqUnit = 1;
    Open(KIND_MEAS, 32768, kMeasTones);
    EnterMode(VIEW_MODE_Y_SCALE);
    EXPECT_TRUE(Shows(2, 0, "X750.")) << "line 40 is 12.5 Hz";
    Screen("Y zoom 1");
    for (const int16_t zoom : {2, 4}) {
        Press(K1);
        ASSERT_EQ(ViewState.YZoom, zoom);
        Screen("Y zoom " + std::to_string(zoom));
    }
    Press(K2, 3);
    EXPECT_EQ(ViewState.YZoom, 1);
    Screen("Y zoom back to 1");
    ExpectMatchesGolden("spectrum_zoom_y_rpm", art.str());
}

struct KindCase {
    const char* name;
    int16_t kind;
    double offset;
    std::vector<Tone> tones;
    const char* value;
    const char* band; // null: checked as a number, percent of the DC level
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

class SpectrumKinds : public SpectrumViewScreen, public ::testing::WithParamInterface<KindCase> {};

// Kinds 1 and 2 show percent of the largest line and refuse the units mode;
// a constant signal has no largest line.
TEST_P(SpectrumKinds, PercentSpectraOfferNoUnits) {
    const KindCase& c = GetParam();
    Open(c.kind, c.offset, c.tones);
    Press(K1, 3);
    Press(K2);
    ExpectHint(HINT_SPECTRUM_MENU_UNITS);
    Screen("units refused");
    Press(K1);
    Press(K2);
    Press(K1); // block 1
    EXPECT_TRUE(Shows(1, 0, LcdStr(TEXT_PERCENT_OF_MAX)));
    EXPECT_TRUE(Shows(3, 0, c.value));
    const int16_t g = ViewCursorLine();
    if (c.band == nullptr) {
        EXPECT_NEAR(BandValue(g), 100.0 * 5000 / 3000, 3.0);
    } else {
        EXPECT_EQ(ViewBandText(g), c.band);
        if (*c.band != '\0') {
            EXPECT_TRUE(Shows(0, 92, c.band));
        }
    }
    Screen("cursor on block 1");
    ExpectMatchesGolden(std::string("spectrum_") + c.name, art.str());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SpectrumKinds,
    ::testing::Values(KindCase{"kind1", KIND_MEAS_E, 3000, {{80, 5000}, {200, 2000}}, "Y100.", nullptr},
                      KindCase{"kind2", KIND_HF, 32768, {{80, 8000}, {1600, 4000}}, "Y100.", ""},
                      KindCase{"kind1_constant", KIND_MEAS_E, 3000, {}, "Y****", "*****"},
                      KindCase{"kind2_constant", KIND_HF, 32768, {}, "Y****", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SpectrumViewScreen, AConstantVelocitySignalReadsZero) {
    Open(KIND_MEAS, 32768, {});
    EnterMode(VIEW_MODE_CURSOR);
    Press(K1); // lines 67..101: a band around the first of them
    EXPECT_EQ(ViewState.YScale, Y_SCALE_MAX);
    EXPECT_TRUE(Shows(3, 0, "Y0.00"));
    EXPECT_TRUE(Shows(0, 92, "0.000"));
}

class SpectrumHints : public SpectrumViewScreen, public ::testing::WithParamInterface<int16_t> {};

TEST_P(SpectrumHints, EachModeNamesItsKeysAndTheLeftColumn) {
    const int16_t mode = GetParam();
    Open(KIND_MEAS, 32768, kMeasTones);
    Press(K1, mode);
    ExpectHint(HINT_SPECTRUM_MENU_CURSOR + mode);
    EXPECT_TRUE(g_ScreenHints.Regions().empty());
    Press(K2);
    ExpectHint(mode == 0 ? HINT_SPECTRUM_CURSOR : HINT_SPECTRUM_SCALE_X - 1 + mode);
    ASSERT_EQ(g_ScreenHints.Regions().size(), 4u);
    EXPECT_EQ(g_ScreenHints.FindScreenHint(29, 20), LoadStr(TIP_CURSOR_FREQUENCY));
    EXPECT_EQ(g_ScreenHints.FindScreenHint(30, 20), "");
    Press(KEY_BOTH);
    ExpectHint(HINT_SPECTRUM_MENU_CURSOR + mode);
    EXPECT_EQ(left, 0);
    Press(KEY_BOTH);
    EXPECT_EQ(left, 1) << "both keys in the mode menu leave the view";
}

INSTANTIATE_TEST_SUITE_P(Modes, SpectrumHints, ::testing::Values(0, 1, 2, 3));

} // namespace
