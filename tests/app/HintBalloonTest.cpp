// The balloon's geometry and colours, read back from the painted bitmap, and
// the window's balloon face against every hint text.
#include "app/HintBalloon.h"
#include "hints/Hints.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/Strings.h"

#include <QFontMetrics>
#include <QStringList>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kOuter = 0xFF666666;
constexpr QRgb kInner = 0xFFCCCCCC;
constexpr QRgb kArrow = 0xFFAAAAAA;

QFont BalloonFont(int pixels) {
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

QImage Balloon(int arrowX, bool arrowDown, const QString& text, const QFont& font = BalloonFont(11)) {
    QImage image(433, 122, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    DrawHintBalloon(image, arrowX, arrowDown, text, font);
    return image;
}

const QString kThreeLines = QStringLiteral("Short click: a\nLong click: b\nBoth btns: c");

class HintBalloonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The stated geometry is that of 13-pixel text lines.
        ASSERT_EQ(QFontMetrics(BalloonFont(11)).height(), 13);
    }
    QRgb background = HintBalloonBackground().rgba();
};

struct Pixel {
    int x, y;
    QRgb rgba;
    const char* what;
};

void ExpectPixels(const QImage& image, const std::vector<Pixel>& pixels) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.rgba) << p.what << " at " << p.x << "," << p.y << ": " << std::hex
                                                 << image.pixel(p.x, p.y) << " instead of " << p.rgba;
}

std::vector<Pixel> K2BalloonPixels(QRgb background) {
    return {
        {216, 0, kOuter, "top edge"},
        {216, 1, kInner, "inner top edge"},
        {216, 52, kOuter, "bottom edge"},
        {216, 51, kInner, "inner bottom edge"},
        {0, 26, kOuter, "left edge"},
        {432, 26, kOuter, "right edge"},
        {431, 26, kInner, "inner right edge"},
        {0, 0, 0, "outside the rounded corner"},
        {216, 53, 0, "below the box"},
        {150, 121, kOuter, "the outline's tip below B"},
        {119, 52, background, "border opened at A"},
        {127, 52, background, "border opened under the base"},
        {127, 51, background, "inner border opened under the base"},
        {135, 52, background, "border opened at C"},
        {118, 52, kOuter, "outline beside A"},
        {140, 90, background, "inside the arrow"},
        {132, 90, 0, "left of the slanted arrow"},
        {148, 90, 0, "right of the slanted arrow"},
    };
}

TEST_F(HintBalloonTest, K2BalloonHangsFromTheTopWithItsArrowDownAtTheLeftKey) {
    ExpectPixels(Balloon(HINT_K2_ARROW_X, true, kThreeLines), K2BalloonPixels(background));
}

TEST_F(HintBalloonTest, OnAScaledScreenTheSameBalloonIsDrawnFiner) {
    QImage image(866, 244, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    DrawHintBalloon(image, HINT_K2_ARROW_X, true, kThreeLines, BalloonFont(11));
    // Each pixel of the plain balloon becomes a 2 x 2 block; its colour must
    // be found in that block (a 1-pixel line may fall on either half). The
    // arrow's thin tip may end half a pixel short.
    auto foundNear = [&image](int x, int y, int slack, QRgb rgba) {
        for (int dy = -slack; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                if (image.pixel(2 * x + dx, 2 * y + dy) == rgba) return true;
        return false;
    };
    for (const Pixel& p : K2BalloonPixels(background)) {
        const int slack = p.y == 121 ? 1 : 0;
        EXPECT_TRUE(foundNear(p.x, p.y, slack, p.rgba)) << p.what << " at " << p.x << "," << p.y;
    }
}

TEST_F(HintBalloonTest, K1BalloonStandsAtTheBottomWithItsArrowUpAtTheRightKey) {
    const QImage image = Balloon(HINT_K1_ARROW_X, false, kThreeLines);
    ExpectPixels(image, {
                            {216, 69, kOuter, "top edge"},
                            {216, 70, kInner, "inner top edge"},
                            {216, 121, kOuter, "bottom edge"},
                            {216, 120, kInner, "inner bottom edge"},
                            {216, 68, 0, "above the box"},
                            {0, 69, 0, "outside the rounded corner"},
                            {240, 0, kOuter, "the outline's tip above B"},
                            {255, 69, background, "border opened at A"},
                            {263, 69, background, "border opened under the base"},
                            {263, 70, background, "inner border opened under the base"},
                            {271, 69, background, "border opened at C"},
                            {272, 69, kOuter, "outline beside C"},
                            {251, 35, background, "inside the arrow"},
                            {244, 35, 0, "left of the slanted arrow"},
                            {266, 35, 0, "right of the slanted arrow"},
                        });
}

// Counts the pixels of a column range in a row that are neither the
// balloon's background nor a border: the text's ink.
int Ink(const QImage& image, int y, int fromX, int toX, QRgb background) {
    int ink = 0;
    for (int x = fromX; x < toX; ++x) {
        const QRgb p = image.pixel(x, y);
        if (p != background && p != kOuter && p != kInner) ++ink;
    }
    return ink;
}

TEST_F(HintBalloonTest, EachLineHasItsOwnRowAndALongLineIsCutAtTheMargin) {
    const QString longLine(200, QLatin1Char('W'));
    const QImage image =
        Balloon(HINT_K2_ARROW_X, true, QStringLiteral("x\n") + longLine + QStringLiteral("\nx"));
    int firstLine = 0, secondLine = 0, margin = 0;
    for (int y = 7; y < 20; ++y)
        firstLine += Ink(image, y, 20, 426, background);
    for (int y = 20; y < 33; ++y)
        secondLine += Ink(image, y, 20, 426, background);
    for (int y = 9; y < 44; ++y)
        margin += Ink(image, y, 426, 433, background) + Ink(image, y, 0, 7, background);
    EXPECT_EQ(firstLine, 0) << "the short line ends before x = 20";
    EXPECT_GT(secondLine, 1000) << "the long line fills its row";
    EXPECT_EQ(margin, 0) << "no text in the side margins";
}

TEST_F(HintBalloonTest, TheBoxGrowsWithTheLinesAndTheFont) {
    const QFont big = BalloonFont(20);
    const int h = QFontMetrics(big).height();
    ASSERT_GT(h, 13);
    const QImage image = Balloon(HINT_K1_ARROW_X, false, QStringLiteral("a\nb"), big);
    const int top = 122 - (2 * h + 14);
    EXPECT_EQ(image.pixel(216, top), kOuter);
    EXPECT_EQ(image.pixel(216, top - 1), 0u);
    // The arrow still reaches the top edge from the new box.
    EXPECT_EQ(image.pixel(240, 0), kOuter);
    EXPECT_EQ(image.pixel(HINT_K1_ARROW_X + 23, top), background);
}

TEST_F(HintBalloonTest, RedrawingOverAnOldBalloonLeavesNoTraceOfIt) {
    QImage image(433, 122, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    DrawHintBalloon(image, HINT_K2_ARROW_X, true,
                    QStringLiteral("Short click: something long and wide\nb\nc"), BalloonFont(11));
    DrawHintBalloon(image, HINT_K2_ARROW_X, true, kThreeLines, BalloonFont(11));
    EXPECT_EQ(image, Balloon(HINT_K2_ARROW_X, true, kThreeLines));
}

// The ids of every key hint text: those the English table names HINT_.
std::vector<int> KeyHintIds() {
    std::vector<int> ids;
    const auto bytes = FindResource("STRINGTABLE_1033");
    if (!bytes) return ids;
    std::vector<std::string> errors;
    std::map<int, std::string> names;
    ParseStringTable(std::string(bytes->begin(), bytes->end()), errors, &names);
    for (const auto& [id, name] : names)
        if (name.starts_with("HINT_")) ids.push_back(id);
    return ids;
}

// Each line of each balloon the firmware can publish, built as it builds
// them (headings and substitutions included), fits between the margins in
// the face the window draws balloons with: no line is cut.
TEST(HintBalloonFont, EveryBalloonLineOfEveryLanguageFitsTheBalloon) {
    const QFontMetrics metrics(HintBalloonFont());
    ASSERT_EQ(metrics.height(), 13) << "the balloon's height is laid out for 13-pixel lines";
    const int textWidth = 433 - 2 * 7;
    const std::vector<int> ids = KeyHintIds();
    ASSERT_GE(ids.size(), 50u);
    int lines = 0;
    for (const LANGID language : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(language);
        for (const int id : ids) {
            g_KeyHints.SetKeyHintText(LoadStr(id));
            for (const std::string& balloon : {g_KeyHints.GetKeyHintK1(), g_KeyHints.GetKeyHintK2()}) {
                for (const QString& line : QString::fromStdString(balloon).split(QLatin1Char('\n'))) {
                    ++lines;
                    EXPECT_LE(metrics.horizontalAdvance(line), textWidth)
                        << "language " << std::hex << language << std::dec << ", id " << id << ": "
                        << line.toStdString();
                }
            }
        }
    }
    SetThreadLanguage(LANG_ENGLISH);
    g_KeyHints.SetKeyHintText(std::string());
    EXPECT_EQ(lines, static_cast<int>(ids.size()) * 2 * 2 * 3);
}

} // namespace
