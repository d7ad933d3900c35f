// The runner's animated pictures, decoded by giflib and compared with the
// runner's PNG pictures of the same moments.
#include "SimSession.h"
#include "device/LcdPicture.h"
#include "platform/DateTime.h"

#include <QImage>
#include <QTemporaryDir>

#include "GifDecode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <sstream>
#include <vector>

namespace {

class SimGifTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Run("k1-long\nwait 1500"); // the route screen, lit
    }
    void Run(const std::string& script) {
        std::istringstream in(script);
        std::string error;
        ASSERT_TRUE(RunSimScript(session, in, error)) << error;
    }
    std::string Path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // The decoded frame is the runner's PNG of that moment, pixel for pixel.
    void ExpectFrameIsPicture(const TDecodedGif& d, std::size_t frame, const std::string& png) {
        const QImage image(QString::fromStdString(png));
        ASSERT_EQ(image.width(), d.Width);
        ASSERT_EQ(image.height(), d.Height);
        int mismatches = 0;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                mismatches += image.pixel(x, y) != d.Frames[frame][static_cast<std::size_t>(y * d.Width + x)];
        EXPECT_EQ(mismatches, 0) << "frame " << frame << " against " << png;
    }

    QTemporaryDir dir;
    std::ostringstream out;
    TSimSession session{out, EncodeDateTime(2026, 3, 14, 10, 30, 0, 0)};
};

TEST_F(SimGifTest, FramesAndDelaysOfAKnownStretchAreTheScreensAndTheirTimes) {
    // Two redraws a second apart, then the backlight goes out 10 s after the
    // last key: three screens, shown 1 s, 10 s and 2 s.
    Run("gif " + Path("a.gif") + "\nk1\npng " + Path("1.png") + "\nwait 1000\nk1\npng " + Path("2.png") +
        "\nwait 12000\npng " + Path("3.png") + "\ngif-end");
    const TDecodedGif d = DecodeGif(Path("a.gif"));
    EXPECT_EQ(d.Width, 2 * LCD_PICTURE_WIDTH) << "the default scale is 2";
    EXPECT_EQ(d.DelaysCs, (std::vector<int>{100, 1000, 200}));
    ASSERT_EQ(d.Frames.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        ExpectFrameIsPicture(d, i, Path(std::to_string(i + 1) + ".png"));
}

TEST_F(SimGifTest, AMeasurementsFlashesKeepTheirTimeWithNoDelayUnder20Ms) {
    // "Measuring...", the completion message and its backlight flashes; the
    // script's end writes the animation, at scale 3.
    for (const std::string& line :
         {"gif " + Path("m.gif") + " 3", std::string("k2"), std::string("k2"), std::string("wait 7000"),
          std::string("k1"), std::string("wait 500"), "png " + Path("end.png") + " 3"}) {
        std::string error;
        ASSERT_TRUE(session.RunLine(line, error)) << line << ": " << error;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("m.gif"))) << "written only when the script ends";
    std::istringstream end("");
    std::string error;
    ASSERT_TRUE(RunSimScript(session, end, error)) << error;
    const TDecodedGif d = DecodeGif(Path("m.gif"));
    ASSERT_GE(d.Frames.size(), 4u);
    EXPECT_EQ(d.Width, 3 * LCD_PICTURE_WIDTH);
    for (std::size_t i = 0; i < d.Frames.size(); ++i) {
        EXPECT_GE(d.DelaysCs[i], 2) << "frame " << i;
        if (i > 0) {
            EXPECT_NE(d.Frames[i], d.Frames[i - 1]) << "frame " << i << " repeats the one before";
        }
    }
    const int total = std::accumulate(d.DelaysCs.begin(), d.DelaysCs.end(), 0);
    EXPECT_LE(10 * total, 7500);
    EXPECT_GT(10 * total, 7500 - 10);
    ExpectFrameIsPicture(d, d.Frames.size() - 1, Path("end.png"));
}

TEST_F(SimGifTest, BadLinesAreRefusedAndAFailedWriteLeavesNoFile) {
    const std::pair<std::string, std::string> bad[] = {
        {"gif " + Path("x.gif") + " 0", "scale from 1 to 16"},
        {"gif " + Path("x.gif") + " 17", "scale from 1 to 16"},
        {"gif " + Path("x.gif") + " 2 3", "not a command"},
        {"gif-end", "without a gif line"},
    };
    for (const auto& [line, reason] : bad) {
        std::string error;
        EXPECT_FALSE(session.RunLine(line, error)) << line;
        EXPECT_NE(error.find(reason), std::string::npos) << line << ": " << error;
    }
    std::string error;
    ASSERT_TRUE(session.RunLine("gif " + Path("no-such-folder/x.gif"), error)) << error;
    EXPECT_FALSE(session.RunLine("gif " + Path("y.gif"), error)) << "one capture at a time";
    EXPECT_NE(error.find("already"), std::string::npos) << error;
    ASSERT_TRUE(session.RunLine("k1", error)) << error;
    EXPECT_FALSE(session.RunLine("gif-end", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString())) << "no partial file left behind";
    // A second capture in the same run starts afresh.
    Run("gif " + Path("b.gif") + "\nwait 300\nk1\nwait 200\ngif-end");
    EXPECT_EQ(DecodeGif(Path("b.gif")).DelaysCs, (std::vector<int>{30, 20}));
}

} // namespace
