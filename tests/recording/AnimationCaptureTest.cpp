// What the animation capture keeps and gives a front end that encodes the
// GIF itself: each picture shown once, a repaint at the same moment
// replacing the one before, the frames' delays to the capture's end, the
// pictures back as shown (lit or not), and nothing more past its limit.
#include "recording/AnimationCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The picture's frame around the LCD is always background.
constexpr int FIRST_LCD_PIXEL = LCD_PICTURE_ORIGIN_Y * LCD_PICTURE_WIDTH + LCD_PICTURE_ORIGIN_X;

TLcdPicture Screen(uint32_t background, int darkPixel) {
    TLcdPicture picture;
    picture.Pixels.fill(background);
    picture.Pixels[static_cast<std::size_t>(darkPixel)] = LCD_COLOR_PIXEL;
    return picture;
}

TEST(AnimationCaptureTest, KeepsEachPictureShownOnceGivesItsFramesAndStopsPastItsLimit) {
    const TLcdPicture a = Screen(LCD_COLOR_LIT, FIRST_LCD_PIXEL);
    const TLcdPicture b = Screen(LCD_COLOR_UNLIT, FIRST_LCD_PIXEL); // only the backlight differs
    const TLcdPicture c = Screen(LCD_COLOR_UNLIT, FIRST_LCD_PIXEL + 1);
    TAnimationCapture capture(3);
    capture.Start(1000, a);
    capture.Capture(1100, a); // a repeat: not a picture
    capture.Capture(1200, c); // replaced at once by b: never seen
    capture.Capture(1200, b);
    capture.Capture(1300, c); // the third: at the limit
    EXPECT_FALSE(capture.Full());
    capture.Capture(1400, a); // no room: the capture ends as it comes
    EXPECT_TRUE(capture.Full());
    EXPECT_FALSE(capture.Capturing());
    capture.Capture(1500, b); // dropped
    EXPECT_EQ(capture.FrameCount(), 3u);
    capture.Stop(1600); // a late stop keeps the end at the picture not kept
    EXPECT_EQ(capture.End(), 1400u);

    const std::vector<TAnimationFrame> frames = capture.Frames();
    const uint32_t expectedCs[] = {20, 10, 10};
    ASSERT_EQ(frames.size(), 3u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].Frame, i);
        EXPECT_EQ(frames[i].DelayCs, expectedCs[i]);
    }
    const TLcdPicture* shown[] = {&a, &b, &c};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(capture.Picture(i).Pixels, shown[i]->Pixels) << i;
    // What filled up is still written: nothing captured is lost.
    const std::string path = ::testing::TempDir() + "orx700-full-capture.gif";
    std::string error;
    EXPECT_TRUE(capture.Write(path, 1, error)) << error;
    std::remove(path.c_str());

    capture.Start(5000, b); // a second capture in one run starts afresh
    EXPECT_FALSE(capture.Full());
    capture.Stop(5500);
    ASSERT_EQ(capture.Frames().size(), 1u);
    EXPECT_EQ(capture.Frames()[0].DelayCs, 50u);
    EXPECT_EQ(capture.Picture(0).Pixels, b.Pixels);
}

} // namespace
