// Key captions as an audience reads them: one per key event the firmware
// receives, in the window's language; a hold is one caption, the same click
// again counts up, and each fades out and goes.
#include "recording/KeyCaptions.h"

#include "device/KeyCodes.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TCaptionCase {
    int16_t Code;
    const char* English;
    const char* Russian;
};

const TCaptionCase kCaptions[] = {
    {KEY_K1 + KEY_SHORT, "K1 short", "K1 коротко"},   {KEY_K1 + KEY_LONG, "K1 long", "K1 длинно"},
    {KEY_K1 + KEY_REPEAT, "K1 held", "K1 удержание"}, {KEY_K2 + KEY_SHORT, "K2 short", "K2 коротко"},
    {KEY_K2 + KEY_LONG, "K2 long", "K2 длинно"},      {KEY_K2 + KEY_REPEAT, "K2 held", "K2 удержание"},
    {KEY_BOTH, "both keys", "обе клавиши"},
};

std::vector<std::string> Texts(const TKeyCaptions& captions, uint32_t tick) {
    std::vector<std::string> texts;
    for (const TKeyCaption& c : captions.Shown(tick))
        texts.push_back(KeyCaptionText(c));
    return texts;
}

class KeyCaptionsTest : public ::testing::Test {
  protected:
    void TearDown() override { SetThreadLanguage(LANG_ENGLISH); }
};

TEST_F(KeyCaptionsTest, EveryKeyEventHasItsCaptionInBothLanguagesAndNoKeyHasNone) {
    for (const auto& [lang, russian] : {std::pair{LANG_ENGLISH, false}, std::pair{LANG_RUSSIAN, true}}) {
        SetThreadLanguage(lang);
        for (const TCaptionCase& c : kCaptions) {
            TKeyCaptions captions;
            captions.Add(c.Code, 100);
            EXPECT_EQ(Texts(captions, 100), std::vector<std::string>{russian ? c.Russian : c.English})
                << c.Code;
        }
    }
    TKeyCaptions captions;
    for (const int16_t none : {KEY_NONE, KEY_POWER_OFF, int16_t{KEY_K1}, int16_t{99}})
        captions.Add(none, 0);
    EXPECT_TRUE(captions.Shown(0).empty());
    EXPECT_EQ(captions.NextChangeIn(0), 0u);
}

TEST_F(KeyCaptionsTest, HoldsCountsFadingAndTheLastFewAcrossTheTickWrap) {
    const uint32_t t0 = 0xFFFFFFFFu - 3000; // the tick count wraps during the run
    TKeyCaptions captions;
    uint32_t t = t0;
    // A hold: forty repeats in two seconds are one caption.
    for (int i = 0; i < 40; ++i, t += KEY_REPEAT_MS)
        captions.Add(KEY_K1 + KEY_REPEAT, t);
    EXPECT_EQ(Texts(captions, t), std::vector<std::string>{"K1 held"});
    // Three quick clicks of K2 count up; a slow fourth starts a new caption.
    for (int i = 0; i < 3; ++i, t += 400)
        captions.Add(KEY_K2 + KEY_SHORT, t);
    EXPECT_EQ(Texts(captions, t), (std::vector<std::string>{"K1 held", "K2 short ×3"}));
    t += KEY_CAPTION_AGAIN_MS + 1;
    captions.Add(KEY_K2 + KEY_SHORT, t);
    captions.Add(KEY_BOTH, t);
    EXPECT_EQ(Texts(captions, t), (std::vector<std::string>{"K2 short ×3", "K2 short", "both keys"}))
        << "only the last " << KEY_CAPTIONS_SHOWN;
    // Fully visible for a while, then fading, then gone; the host timer is
    // asked back when the picture next changes.
    const uint32_t last = t;
    // The oldest shown came 400 ms before the pause.
    EXPECT_EQ(captions.NextChangeIn(last), KEY_CAPTION_SHOW_MS - 400 - (KEY_CAPTION_AGAIN_MS + 1));
    auto opacityOfLast = [&](uint32_t at) { return captions.Shown(at).back().Opacity; };
    EXPECT_EQ(opacityOfLast(last + KEY_CAPTION_SHOW_MS - 1), 1.0);
    EXPECT_NEAR(opacityOfLast(last + KEY_CAPTION_SHOW_MS + KEY_CAPTION_FADE_MS / 2), 0.5, 1e-9);
    EXPECT_EQ(captions.NextChangeIn(last + KEY_CAPTION_SHOW_MS + 10), 50u);
    EXPECT_TRUE(captions.Shown(last + KEY_CAPTION_SHOW_MS + KEY_CAPTION_FADE_MS).empty());
    EXPECT_EQ(captions.NextChangeIn(last + KEY_CAPTION_SHOW_MS + KEY_CAPTION_FADE_MS), 0u);
    EXPECT_LT(last, t0) << "the run crossed the wrap";
}

} // namespace
