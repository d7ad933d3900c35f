// The headless runner's LCD pictures, read back by an independent PNG reader.
#include "SimSession.h"
#include "device/LcdPicture.h"
#include "platform/DateTime.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

class SimPngTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Run("k1-long");
        Run("wait 1500"); // the route screen, lit
    }
    void Run(const std::string& line) {
        std::string error;
        ASSERT_TRUE(session.RunLine(line, error)) << error;
    }
    std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    // Every pixel of the file is the window's LCD pixel under it.
    void ExpectShowsThePicture(const std::string& path, int scale) {
        const QImage image(QString::fromStdString(path));
        ASSERT_FALSE(image.isNull()) << path << " does not read as a PNG";
        ASSERT_EQ(image.width(), LCD_PICTURE_WIDTH * scale);
        ASSERT_EQ(image.height(), LCD_PICTURE_HEIGHT * scale);
        const TLcdPicture& picture = session.Device().Picture();
        int mismatches = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                mismatches += image.pixel(x, y) != picture.At(x / scale, y / scale) ? 1 : 0;
        EXPECT_EQ(mismatches, 0);
    }

    QTemporaryDir dir;
    std::ostringstream out;
    TSimSession session{out, EncodeDateTime(2026, 3, 14, 10, 30, 0, 0)};
};

TEST_F(SimPngTest, WritesTheLcdAsTheWindowShowsItAtTheAskedScale) {
    Run("png " + Path("default.png"));
    ExpectShowsThePicture(Path("default.png"), 2);
    Run("png " + Path("one.png") + " 1");
    ExpectShowsThePicture(Path("one.png"), 1);
    Run("png " + Path("five.png") + " 5");
    ExpectShowsThePicture(Path("five.png"), 5);
}

TEST_F(SimPngTest, TheBackgroundFollowsTheBacklight) {
    Run("png " + Path("lit.png") + " 1");
    Run("wait 11000"); // the backlight goes out after 10 s without a key
    ASSERT_FALSE(session.Device().IsLit());
    Run("png " + Path("unlit.png") + " 1");
    ExpectShowsThePicture(Path("unlit.png"), 1);
    EXPECT_EQ(QImage(QString::fromStdString(Path("lit.png"))).pixel(0, 0), LCD_COLOR_LIT);
    EXPECT_EQ(QImage(QString::fromStdString(Path("unlit.png"))).pixel(0, 0), LCD_COLOR_UNLIT);
}

TEST_F(SimPngTest, BadScalesAndUnwritablePlacesAreRefusedWithoutAFile) {
    for (const char* scale : {"0", "17", "x", "-1", "2.5"}) {
        std::string error;
        EXPECT_FALSE(session.RunLine("png " + Path("bad.png") + " " + scale, error)) << scale;
        EXPECT_NE(error.find("scale"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("bad.png")));
    std::string error;
    EXPECT_FALSE(session.RunLine("png " + Path("no-such-folder/x.png"), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString())) << "no partial file left behind";
}

} // namespace
