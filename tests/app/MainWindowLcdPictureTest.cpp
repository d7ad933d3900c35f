// The LCD picture for documentation: copied with Ctrl+C, saved with Ctrl+S.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"

#include "device/Deviceioemulation.h"
#include "device/LcdPicture.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

namespace {

using ::testing::IsEmpty;

class LcdPictureTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        Open();
        PowerOn();
        events.clear();
    }
    void Press(Qt::Key key) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.get(), key,
                        Qt::ControlModifier);
        host.RunUntilIdle();
    }
    // The picture as the window shows it, each pixel a 2 x 2 block.
    void ExpectIsTheLcd(const QImage& image) {
        ASSERT_EQ(image.size(), QSize(2 * LCD_PICTURE_WIDTH, 2 * LCD_PICTURE_HEIGHT));
        const TLcdPicture& picture = g_Device->Picture();
        int mismatches = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                mismatches += image.pixel(x, y) != picture.At(x / 2, y / 2) ? 1 : 0;
        EXPECT_EQ(mismatches, 0);
    }
    QString StatusMessage() {
        return window->findChild<QStatusBar*>(QStringLiteral("StatusBar"))->currentMessage();
    }

    TFakeDialogSeam seam;
    TDialogSeamInstall install{seam};
    QTemporaryDir folder;
};

TEST_F(LcdPictureTest, CtrlCCopiesTheLcdAndPressesNoKey) {
    QGuiApplication::clipboard()->clear();
    Press(Qt::Key_C);
    ExpectIsTheLcd(QGuiApplication::clipboard()->image());
    EXPECT_THAT(events, IsEmpty());
    EXPECT_EQ(StatusMessage().toStdString(), LoadStr(TEXT_LCD_PICTURE_COPIED));
}

TEST_F(LcdPictureTest, CtrlSSavesAPngWhereTheUserSaysAndOffersThatFolderNextTime) {
    seam.SaveAnswers = {folder.filePath(QStringLiteral("route")), {}};
    Press(Qt::Key_S);
    const QString saved = folder.filePath(QStringLiteral("route.png"));
    ExpectIsTheLcd(QImage(saved, "PNG"));
    EXPECT_THAT(events, IsEmpty());
    EXPECT_NE(StatusMessage().indexOf(QDir::toNativeSeparators(saved)), -1) << StatusMessage().toStdString();
    ASSERT_EQ(seam.SaveRequests.size(), 1u);
    EXPECT_EQ(seam.SaveRequests[0].second, QStringLiteral("PNG pictures (*.png)"));

    Press(Qt::Key_S); // cancelled: nothing written
    ASSERT_EQ(seam.SaveRequests.size(), 2u);
    EXPECT_EQ(QFileInfo(seam.SaveRequests[1].first).absolutePath(), QFileInfo(saved).absolutePath());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("route.png")});
}

TEST_F(LcdPictureTest, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
    seam.SaveAnswers = {folder.filePath(QStringLiteral("missing/lcd.png"))};
    Press(Qt::Key_S);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].find("missing"), std::string::npos) << host.Messages()[0];
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(LcdPictureTest, TheShortcutsWorkWithTheLanguageBoxFocused) {
    auto* box = window->findChild<QComboBox*>(QStringLiteral("ComboBoxLanguage"));
    box->setFocus();
    QGuiApplication::clipboard()->clear();
    Press(Qt::Key_C);
    ExpectIsTheLcd(QGuiApplication::clipboard()->image());
    EXPECT_EQ(box->currentIndex(), 0) << "the box's choice is untouched";
    EXPECT_THAT(events, IsEmpty());
}

} // namespace
