// The headless runner's LCD pictures, read back by an independent PNG reader.
#include "FileSizeLimit.h"
#include "SimSession.h"
#include "device/LcdPicture.h"
#include "platform/DateTime.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

TEST_F(SimPngTest, OnlyARegularFileIsReplacedAndAFullDiskIsAFailure) {
    const std::string path = Path("lcd.png");
    // A link planted at a name the write could use aside.
    const std::string victim = Path("victim");
    std::ofstream(victim) << "someone else's";
    std::filesystem::create_symlink(victim, path + ".part");
    Run("png " + path);
    ExpectShowsThePicture(path, 2);
    std::ifstream victimFile(victim);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victimFile), {}), "someone else's");

    // Special files are no pictures to replace.
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(session.RunLine("png " + path, error));
    EXPECT_TRUE(std::filesystem::is_fifo(path));
    std::filesystem::remove(path);
    if (geteuid() == 0) {
        ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0); // as /dev/full
        EXPECT_FALSE(session.RunLine("png " + path, error));
        EXPECT_TRUE(std::filesystem::is_character_file(path));
        std::filesystem::remove(path);
    }

    // Writes beyond 64 bytes fail with EFBIG, as on a full disk.
    bool written = false;
    {
        const TFileSizeLimit limit(64);
        written = session.RunLine("png " + path, error);
    }
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        EXPECT_TRUE(entry.path().filename() == "victim" || entry.path().filename() == "lcd.png.part")
            << "no partial file: " << entry.path();
}

} // namespace
