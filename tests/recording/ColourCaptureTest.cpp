// The whole instrument's animation: full-colour pictures of any size with
// the LCD's timing rule (repeats merged, short frames carried, the last held
// to the end), written as a GIF that decodes (giflib) to the same pictures,
// exactly where they have few colours and within the quantisation where they
// have many; and a capture that fills its memory ends there and still writes
// what it kept.
#include "recording/ColourCapture.h"

#include "GifDecode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int W = 40;
constexpr int H = 30;

using TPixels = std::vector<uint32_t>;

// A file of the test's own, gone after it.
struct TTempGif {
    std::string Path = (std::filesystem::temp_directory_path() /
                        ("orx-colour-" + std::to_string(getpid()) + "-" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gif"))
                           .string();
    ~TTempGif() { std::filesystem::remove(Path); }
};

// Flat colours of a drawing with a block somewhere in it.
TPixels Flat(uint32_t ground, uint32_t block, int blockX) {
    TPixels p(W * H, 0xFF000000u | ground);
    for (int y = 10; y < 20; ++y)
        for (int x = blockX; x < blockX + 8; ++x)
            p[static_cast<std::size_t>(y * W + x)] = 0xFF000000u | block;
    return p;
}

// A smooth picture: far more colours than a GIF frame holds.
TPixels Gradient() {
    TPixels p(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            p[static_cast<std::size_t>(y * W + x)] = 0xFF000000u | (static_cast<uint32_t>(x * 6) << 16) |
                                                     (static_cast<uint32_t>(y * 8) << 8) | 0x85u;
    return p;
}

int WorstChannelError(const TPixels& a, const TPixels& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                             static_cast<int>((b[i] >> shift) & 0xFF)));
    return worst;
}

TEST(ColourCaptureTest, MergesRepeatsWithTheLcdTimingAndDecodesToThePictures) {
    const TPixels a = Flat(0xF1E2D3, 0x102030, 4);
    const TPixels b = Flat(0xF1E2D3, 0x102030, 20);
    const TPixels c = Flat(0x0A0B0C, 0xFDFEFF, 20);
    const TPixels g = Gradient();
    TColourCapture capture;
    ASSERT_TRUE(capture.Start(1000, W, H, a));
    capture.Capture(1100, a);                  // a repeat: not a picture
    capture.Capture(1200, b);                  // replaced at once by c: never seen
    capture.Capture(1200, c);                  //
    capture.Capture(1250, TPixels(W * 2, 0u)); // another size: not this capture's
    capture.Capture(1300, g);
    capture.Capture(1400, c); // 5 ms: too short to be seen, its time goes to g
    capture.Capture(1405, g);
    capture.Stop(1655);
    EXPECT_EQ(capture.FrameCount(), 5u);
    EXPECT_EQ(capture.Duration(), 655u);

    // a 200 ms, c 100 ms, then g 100 + 5 + 250 ms, held to the end.
    const std::vector<TAnimationFrame> frames = capture.Frames();
    ASSERT_EQ(frames.size(), 3u);
    const uint32_t expectedCs[] = {20, 10, 35};
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i].DelayCs, expectedCs[i]) << i;

    const TTempGif file;
    const std::string& path = file.Path;
    std::string error;
    ASSERT_TRUE(capture.Write(path, error)) << error;
    const TDecodedGif d = DecodeGif(path);
    ASSERT_EQ(d.Frames.size(), 3u);
    EXPECT_EQ(d.Width, W);
    EXPECT_EQ(d.Height, H);
    EXPECT_EQ(d.DelaysCs, (std::vector<int>{20, 10, 35}));
    EXPECT_EQ(d.Frames[0], a);
    EXPECT_EQ(d.Frames[1], c);
    // 1200 colours in 255: the bare median cut of 5-bit boxes misses by 62.
    EXPECT_LE(WorstChannelError(d.Frames[2], g), 24);

    // Pictures read back out of order (the page's encoder may ask again).
    EXPECT_EQ(capture.Picture(2), g);
    EXPECT_EQ(capture.Picture(1), c);
    EXPECT_EQ(capture.Picture(0), a);
}

TEST(ColourCaptureTest, AFullMemoryEndsTheCaptureThereAndKeepsWhatItHolds) {
    const TPixels a = Flat(0x204060, 0xFFFFFF, 4);
    const TPixels b = Flat(0x204060, 0xFFFFFF, 12);
    const TPixels c = Flat(0x204060, 0xFFFFFF, 28);
    TColourCapture roomy;
    ASSERT_TRUE(roomy.Start(0, W, H, a));
    roomy.Capture(500, b);
    // Room for exactly a and b.
    TColourCapture capture(roomy.Bytes());
    EXPECT_FALSE(capture.Start(0, W, H, TPixels(W * H - 1))) << "a picture not of its size";
    EXPECT_FALSE(capture.Start(0, 0, H, {}));
    EXPECT_FALSE(TColourCapture(roomy.Bytes() / 4).Start(0, W, H, a)) << "a first picture past the limit";

    for (int run = 0; run < 2; ++run) { // a second capture in one run starts afresh
        ASSERT_TRUE(capture.Start(10000, W, H, a));
        EXPECT_FALSE(capture.Full());
        capture.Capture(10500, b);
        capture.Capture(11230, c); // does not fit: the capture ends here
        EXPECT_TRUE(capture.Full());
        EXPECT_FALSE(capture.Capturing());
        capture.Capture(11500, a); // after the end: nothing
        capture.Stop(20000);       // nor does a late stop move the end
        EXPECT_EQ(capture.FrameCount(), 2u);
        EXPECT_EQ(capture.Duration(), 1230u);

        const TTempGif file;
        const std::string& path = file.Path;
        std::string error;
        ASSERT_TRUE(capture.Write(path, error)) << error;
        const TDecodedGif d = DecodeGif(path);
        ASSERT_EQ(d.Frames.size(), 2u);
        EXPECT_EQ(d.DelaysCs, (std::vector<int>{50, 73}));
        EXPECT_EQ(d.Frames[1], b);
    }
}

} // namespace
