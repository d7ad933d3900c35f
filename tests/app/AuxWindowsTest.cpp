// The auxiliary windows through a fake dialog seam that answers at once: the
// windows are built and inspected exactly as shown, and no test waits.
#include "app/AuxWindows.h"
#include "FakeDialogSeam.h"
#include "app/DialogSeam.h"
#include "app/FormAbout.h"
#include "app/FormOverview.h"
#include "app/UserManual.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}
int Bottom(const QWidget* widget) {
    return widget->y() + widget->height();
}

template <class T> T* Child(QDialog& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A fitted label shows all of its text at its width.
void ExpectFitsText(QLabel* label) {
    EXPECT_EQ(label->height(), label->heightForWidth(label->width()));
}

class AuxWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SavedState.LanguageName = "ENG";
        SavedState.UserManuals.clear();
        ASSERT_TRUE(FFolder.isValid());
    }
    void TearDown() override {
        SetThreadLanguage(LANG_ENGLISH);
        SavedState.LanguageName.clear();
        SavedState.UserManuals.clear();
    }

    // Runs show, hands its one window to inspect and closes it with its button;
    // every window is modal, owned by the main window and freed on return.
    void ShowAndInspect(void (*show)(QWidget*), int caption, const std::function<void(QDialog&)>& inspect) {
        FSeam.Shown.clear();
        FSeam.OnExec = [&](QDialog& dialog) {
            EXPECT_TRUE(dialog.isModal());
            EXPECT_EQ(dialog.parentWidget(), &FMainWindow);
            EXPECT_EQ(dialog.windowTitle(), Text(caption));
            inspect(dialog);
            QPushButton* close = Child<QPushButton>(dialog, "Button");
            EXPECT_EQ(close->text(), Text(TEXT_CLOSE));
            dialog.setResult(QDialog::Accepted);
            close->click();
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            return dialog.result();
        };
        show(&FMainWindow);
        ASSERT_EQ(FSeam.Shown.size(), 1u);
        EXPECT_TRUE(FSeam.Shown[0].isNull()) << "freed before the call returns";
    }

    std::filesystem::path Folder() const { return FFolder.path().toStdString(); }
    QString MakeFile(const QString& relative) {
        const QString path = FFolder.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    void RunCommand() { RunUserManualCommand(&FMainWindow, Folder()); }

    QWidget FMainWindow;
    TFakeDialogSeam FSeam;
    TDialogSeamInstall FInstall{FSeam};
    QTemporaryDir FFolder;
};

// --- the windows in both languages -------------------------------------------

class LayoutInLanguage : public AuxWindowsTest, public ::testing::WithParamInterface<LANGID> {
  protected:
    void SetUp() override {
        AuxWindowsTest::SetUp();
        SetThreadLanguage(GetParam());
    }
};

TEST_P(LayoutInLanguage, QuickStartFitsItsTextAndShowsCentredOnTheMainWindow) {
    FMainWindow.setGeometry(140, 90, 873, 384);
    FMainWindow.show();
    ShowAndInspect(ShowQuickStart, 600, [this](QDialog& dialog) {
        QLabel* text = Child<QLabel>(dialog, "LabelQuickStartText");
        QPushButton* button = Child<QPushButton>(dialog, "Button");
        EXPECT_EQ(text->text(), Text(TEXT_QUICK_START));
        ExpectFitsText(text);
        EXPECT_EQ(button->y() - Bottom(text), 23);
        EXPECT_EQ(dialog.height() - Bottom(button), 16);
        // Where it shows, not only where it was put before.
        dialog.show();
        QApplication::processEvents();
        const QPoint offCentre = dialog.geometry().center() - FMainWindow.geometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 1) << offCentre.x() << "," << offCentre.y();
        dialog.hide();
    });
    FMainWindow.hide();
}

TEST_P(LayoutInLanguage, OverviewBoxesWrapTheirTextsAndKeepTheirSpacing) {
    ShowAndInspect(ShowOverview, 200, [](QDialog& dialog) {
        const auto* feature = Child<QWidget>(dialog, "GroupBoxFeature");
        const auto* specification = Child<QWidget>(dialog, "GroupBoxSpecification");
        QLabel* featureText = Child<QLabel>(dialog, "LabelFeature");
        QLabel* specificationText = Child<QLabel>(dialog, "LabelSpecification");
        const auto* more = Child<QLabel>(dialog, "LabelMore");
        const auto* button = Child<QPushButton>(dialog, "Button");
        EXPECT_EQ(specificationText->text(), Text(TEXT_SPECIFICATION_LIST));
        ExpectFitsText(featureText);
        ExpectFitsText(specificationText);
        EXPECT_EQ(feature->height() - featureText->height(), 40);
        EXPECT_EQ(specification->height() - specificationText->height(), 40);
        EXPECT_EQ(specification->y() - Bottom(feature), 15);
        EXPECT_EQ(more->y() - Bottom(specification), 15);
        EXPECT_EQ(button->y() - Bottom(more), 24);
        EXPECT_EQ(dialog.height() - Bottom(button), 16);
    });
}

TEST_P(LayoutInLanguage, AboutShowsTheLicenceAndWhereTheManualsAre) {
    ShowAndInspect(ShowAbout, 304, [](QDialog& dialog) {
        QLabel* copyright = Child<QLabel>(dialog, "LabelCopyright");
        QLabel* manuals = Child<QLabel>(dialog, "LabelContacts");
        const auto* folder = Child<QLabel>(dialog, "LabelWebAddress");
        const auto* line1 = Child<QWidget>(dialog, "PanelLine1");
        const auto* line2 = Child<QWidget>(dialog, "PanelLine2");
        const auto* button = Child<QPushButton>(dialog, "Button");
        EXPECT_EQ(Child<QLabel>(dialog, "LabelVersion")->text(), Text(TEXT_VERSION) + " 1.1.0.2");
        EXPECT_EQ(copyright->text(), Text(TEXT_COPYRIGHT));
        EXPECT_GE(copyright->height(), copyright->heightForWidth(copyright->width()))
            << "the licence line shows";
        EXPECT_EQ(manuals->text(), Text(TEXT_MANUALS_PLACE));
        ExpectFitsText(manuals);
        const QString where = QDir::toNativeSeparators(QString::fromStdString(ProgramFolder().string()));
        EXPECT_EQ(folder->toolTip(), where);
        EXPECT_LE(folder->fontMetrics().horizontalAdvance(folder->text()), folder->width());
        EXPECT_EQ(line1->y() - Bottom(copyright), 7);
        EXPECT_EQ(manuals->y() - Bottom(line1), 12);
        EXPECT_EQ(folder->y() - Bottom(manuals), 1);
        EXPECT_EQ(line2->y() - Bottom(folder), 13);
        EXPECT_EQ(button->y() - Bottom(line2), 20);
        EXPECT_EQ(dialog.height() - Bottom(button), 16);
    });
}

TEST_P(LayoutInLanguage, SearchMessageCentresItsButtonsBelowTheMessage) {
    TFormUserManualSearchMsg dialog(&FMainWindow);
    QLabel* message = Child<QLabel>(dialog, "LabelMessage");
    const auto* search = Child<QPushButton>(dialog, "ButtonSearch");
    const auto* cancel = Child<QPushButton>(dialog, "ButtonCancel");
    EXPECT_EQ(dialog.windowTitle(), Text(TEXT_PROGRAM_NAME));
    EXPECT_EQ(message->text(), Text(TEXT_MANUAL_NOT_FOUND));
    EXPECT_EQ(search->text(), Text(TEXT_FIND));
    EXPECT_EQ(cancel->text(), Text(TEXT_CANCEL));
    ExpectFitsText(message);
    EXPECT_EQ(search->y() - Bottom(message), 25);
    EXPECT_EQ(cancel->y(), search->y());
    EXPECT_EQ(dialog.height() - Bottom(search), 14);
    EXPECT_EQ(cancel->x() - search->x(), 136) << "the pair keeps its gap";
    EXPECT_LE(std::abs(search->x() - (dialog.width() - (cancel->x() + cancel->width()))), 1);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(search->isDefault());
    EXPECT_EQ(dialog.focusWidget(), search);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LayoutInLanguage, ::testing::Values(LANG_ENGLISH, LANG_RUSSIAN));

TEST_F(AuxWindowsTest, MoreOpensTheManualAndTheAboutLinkItsFolder) {
    const QString manual = MakeFile("usermanual_orx700.pdf");
    {
        TFormOverview overview(&FMainWindow, Folder());
        QTest::mouseClick(Child<QLabel>(overview, "LabelMore"), Qt::LeftButton);
    }
    {
        TFormAbout about(&FMainWindow, QStringLiteral("1.0"), FFolder.path());
        // A press alone opens it, with any button.
        const QPointF at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Child<QLabel>(about, "LabelWebAddress"), &press);
    }
    EXPECT_EQ(FSeam.Opened,
              (std::vector<QUrl>{QUrl::fromLocalFile(manual), QUrl::fromLocalFile(FFolder.path())}));
    EXPECT_TRUE(FSeam.Messages.empty());
    EXPECT_TRUE(FSeam.Questions.empty());
}

// --- the user manual -----------------------------------------------------------

// Answers the search message with a click on one of its buttons.
std::function<int(QDialog&)> ClickOnSearchMessage(const char* button) {
    return [button](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "FormUserManualSearchMsg");
        Child<QPushButton>(dialog, button)->click();
        return dialog.result();
    };
}

TEST_F(AuxWindowsTest, DefaultManualBesideTheProgramOpensAtOnceAndIsRememberedRelative) {
    const QString manual = MakeFile("usermanual_orx700.pdf");
    RunCommand();
    EXPECT_TRUE(FSeam.Shown.empty());
    EXPECT_TRUE(FSeam.Messages.empty());
    EXPECT_EQ(FSeam.Opened, std::vector<QUrl>{QUrl::fromLocalFile(manual)});
    EXPECT_EQ(SavedState.UserManuals, std::vector<std::string>{"ENG=usermanual_orx700.pdf"});
}

TEST_F(AuxWindowsTest, RememberedManualWinsAndADeletedOneFallsBackToTheDefault) {
    const QString manual = MakeFile("docs/manual.pdf");
    const QString fallback = MakeFile("usermanual_orx700.pdf");
    SavedState.UserManuals = {"RUS=x.pdf", "eng=docs/manual.pdf"}; // names match without regard to case
    RunCommand();
    QFile::remove(manual);
    RunCommand();
    EXPECT_EQ(FSeam.Opened, (std::vector<QUrl>{QUrl::fromLocalFile(manual), QUrl::fromLocalFile(fallback)}));
    EXPECT_EQ(SavedState.UserManuals, (std::vector<std::string>{"RUS=x.pdf", "ENG=usermanual_orx700.pdf"}));
}

TEST_F(AuxWindowsTest, MissingManualIsFoundThroughTheDialog) {
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath("manual.pdf");
    QFile(outside).open(QIODevice::WriteOnly);
    const QString inside = MakeFile("sub/manual.pdf");
    FSeam.OnExec = ClickOnSearchMessage("ButtonSearch");
    FSeam.FileAnswers = {outside, inside};

    SavedState.UserManuals = {"ENG=gone.pdf"};
    RunCommand();
    ASSERT_EQ(FSeam.FileRequests.size(), 1u);
    EXPECT_EQ(FSeam.FileRequests[0].first, FFolder.filePath("usermanual_orx700.pdf"));
    EXPECT_EQ(FSeam.FileRequests[0].second, "All files (*)");
    EXPECT_EQ(SavedState.UserManuals,
              std::vector<std::string>{"ENG=" + QDir(FFolder.path()).relativeFilePath(outside).toStdString()})
        << "outside the program's folder too the path is relative";
    EXPECT_EQ(GetUserManualPath(Folder()), outside.toStdString());
    QFile::remove(outside);

    RunCommand();
    EXPECT_EQ(FSeam.Opened, (std::vector<QUrl>{QUrl::fromLocalFile(outside), QUrl::fromLocalFile(inside)}));
    EXPECT_EQ(SavedState.UserManuals, std::vector<std::string>{"ENG=sub/manual.pdf"});
    EXPECT_EQ(GetUserManualPath(Folder()), inside.toStdString());
}

TEST_F(AuxWindowsTest, CancellingTheMessageOrTheDialogOpensAndRemembersNothing) {
    SavedState.UserManuals = {"ENG=gone.pdf"};
    FSeam.OnExec = ClickOnSearchMessage("ButtonCancel");
    FSeam.FileAnswers = {MakeFile("never.pdf")};
    RunCommand();
    EXPECT_TRUE(FSeam.FileRequests.empty());

    FSeam.OnExec = [](QDialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        return dialog.result();
    };
    RunCommand();
    EXPECT_TRUE(FSeam.FileRequests.empty());

    FSeam.OnExec = ClickOnSearchMessage("ButtonSearch");
    FSeam.FileAnswers.clear();
    RunCommand();
    EXPECT_EQ(FSeam.FileRequests.size(), 1u);
    EXPECT_EQ(FSeam.Shown.size(), 3u);
    EXPECT_TRUE(FSeam.Opened.empty());
    EXPECT_EQ(SavedState.UserManuals, std::vector<std::string>{"ENG=gone.pdf"});
}

// No program opens anything: the manual's message names the file and offers
// its folder, which no program shows either, and says so; from the tool bar
// and from the Overview's "more...", twice in one run, in both languages.
TEST_P(LayoutInLanguage, WithoutAViewerTheUserIsToldWhereTheManualIsAndOfferedItsFolder) {
    const QString manual = MakeFile(Text(TEXT_USER_MANUAL_FILE));
    const QString native = QDir::toNativeSeparators(manual);
    const QString folder = QDir::toNativeSeparators(FFolder.path());
    FSeam.ViewerFound = false;
    FSeam.AskAnswers = {true, false};
    RunCommand();
    TFormOverview overview(&FMainWindow, Folder());
    QTest::mouseClick(Child<QLabel>(overview, "LabelMore"), Qt::LeftButton);

    ASSERT_EQ(FSeam.Questions.size(), 2u);
    for (const QString& question : FSeam.Questions)
        EXPECT_TRUE(question.contains(native)) << question.toStdString();
    EXPECT_EQ(FSeam.Opened,
              (std::vector<QUrl>{QUrl::fromLocalFile(manual), QUrl::fromLocalFile(FFolder.path()),
                                 QUrl::fromLocalFile(manual)}))
        << "the folder only when asked for";
    ASSERT_EQ(FSeam.Messages.size(), 1u);
    EXPECT_TRUE(FSeam.Messages[0].contains(folder)) << FSeam.Messages[0].toStdString();
    EXPECT_EQ(SavedState.UserManuals.size(), 1u) << "found, so remembered";
}

TEST_F(AuxWindowsTest, EachLanguageHasItsOwnManual) {
    MakeFile("usermanual_orx700.pdf");
    const QString russian = MakeFile(QString::fromUtf8("ORX-700_РЭ.pdf"));
    SavedState.UserManuals = {"ENG=usermanual_orx700.pdf"};
    SetThreadLanguage(LANG_RUSSIAN);
    SavedState.LanguageName = "R U S"; // blanks are not part of the key
    RunCommand();
    EXPECT_EQ(FSeam.Opened, std::vector<QUrl>{QUrl::fromLocalFile(russian)});
    EXPECT_EQ(SavedState.UserManuals, (std::vector<std::string>{"ENG=usermanual_orx700.pdf",
                                                                "RUS=" + LoadStr(TEXT_USER_MANUAL_FILE)}));
}

struct RememberCase {
    const char* name;
    const char* file;
    const char* remembered;
};

class RememberedManualPath : public ::testing::TestWithParam<RememberCase> {
  protected:
    void SetUp() override {
        SavedState.LanguageName = "ENG";
        SavedState.UserManuals.clear();
    }
    void TearDown() override {
        SavedState.LanguageName.clear();
        SavedState.UserManuals.clear();
    }
};

// The ini file keeps the path relative to the program's folder wherever one
// leads to the file, so a folder moved together with its manuals keeps them.
TEST_P(RememberedManualPath, IsRelativeToTheProgramsFolderWhereverItCanBe) {
    SetUserManualPath(GetParam().file, "/opt/orx700/bin");
    EXPECT_EQ(SavedState.UserManuals, std::vector<std::string>{std::string("ENG=") + GetParam().remembered});
}

INSTANTIATE_TEST_SUITE_P(
    Files, RememberedManualPath,
    ::testing::Values(
        RememberCase{"Beside", "/opt/orx700/bin/usermanual_orx700.pdf", "usermanual_orx700.pdf"},
        RememberCase{"Below", "/opt/orx700/bin/docs/../manual.pdf", "manual.pdf"},
        RememberCase{"Sibling", "/opt/orx700/moved/usermanual_orx700.pdf", "../moved/usermanual_orx700.pdf"},
        RememberCase{"Elsewhere", "/home/user/manual.pdf", "../../../home/user/manual.pdf"},
        // No relative path leads from an absolute folder to a relative name.
        RememberCase{"NoRelativePath", "manual.pdf", "manual.pdf"}),
    [](const ::testing::TestParamInfo<RememberCase>& p) { return std::string(p.param.name); });

TEST(FileDialogFilter, TurnsTheTablesFiltersIntoTheDialogsForm) {
    EXPECT_EQ(FileDialogFilter("All files (*.*)|*.*"), "All files (*)");
    EXPECT_EQ(FileDialogFilter(QString::fromUtf8("Все файлы (*.*)|*.*")), QString::fromUtf8("Все файлы (*)"));
    EXPECT_EQ(FileDialogFilter("Manuals|*.pdf;*.djvu|All (*.*)|*.*"), "Manuals (*.pdf *.djvu);;All (*)");
    EXPECT_EQ(FileDialogFilter(""), "");
}

// The system's opener as the program runs it, with no seam installed:
// xdg-open's exit status says whether a program took the file. A stand-in
// on PATH answers as the real one does where no viewer is installed (3,
// "no method available") and where one is (0).
TEST(QtOpener, TheOpenersFailureIsReportedAndItsSuccessIsNot) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    // PATH as it was, however the test ends.
    struct TPathRestore {
        QByteArray Path = qgetenv("PATH");
        ~TPathRestore() { qputenv("PATH", Path); }
    } restore;
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + restore.Path);
    for (const auto& [code, reported] : {std::pair{3, true}, std::pair{0, false}}) {
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("#!/bin/sh\nexit %1\n").arg(code).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        bool failed = false;
        DialogSeam().OpenDocument(QUrl::fromLocalFile(bin.filePath(QStringLiteral("manual.pdf"))),
                                  [&failed] { failed = true; });
        // The opener's process is the application's until it has answered.
        QDeadlineTimer deadline(10000);
        while (!qApp->findChildren<QProcess*>().isEmpty() && !deadline.hasExpired())
            QTest::qWait(10);
        ASSERT_TRUE(qApp->findChildren<QProcess*>().isEmpty()) << "the opener did not end";
        EXPECT_EQ(failed, reported) << "exit " << code;
    }
}

} // namespace
