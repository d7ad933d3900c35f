// The Show menu driving the real window under virtual time: a session
// recorded in the window replays in orx700-sim to "verified" and, with one
// key changed, diverges at that key; Play runs on a copy that the user's
// key takes over and the user's own state comes back; an animation of the
// LCD holds the screens with their times, one of the whole instrument the
// key captions; a link made by orx700-sim opens with the same state, and a
// damaged one changes nothing.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"

#include "app/MainWindowLayout.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "platform/Strings.h"
#include "recording/RecordingHash.h"
#include "recording/StateLinkDeflate.h"
#include "resources/StringIds.h"
#include "state/IniDocument.h"
#include "state/Inifile.h"
#include "training/ExerciseFile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

struct TSimRun {
    int Status = -1;
    std::string Out;
};

TSimRun RunSim(const QStringList& arguments) {
    QProcess sim;
    sim.start(QStringLiteral(ORX_SIM_PATH), arguments);
    if (!sim.waitForFinished(60000)) return {};
    return {sim.exitCode(), QString::fromUtf8(sim.readAllStandardOutput()).trimmed().toStdString()};
}

class WindowShow : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ClearConditions();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ClearConditions();
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // As a user picks it from the Show menu.
    void Trigger(const char* name) {
        auto* action = window->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        emit window->findChild<QMenu*>(QStringLiteral("MenuShow"))->aboutToShow();
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        Advance(200); // the instrument switches off first
    }
    void Advance(uint32_t ms) {
        host.Advance(ms);
        host.RunUntilIdle();
        QApplication::processEvents();
    }
    void Press(Qt::Key key, uint32_t heldMs = 100) {
        KeyDown(key);
        Advance(heldMs);
        KeyUp(key);
        host.RunUntilIdle();
    }
    std::string Status() { return dynamic_cast<QLabel*>(Child("StatusText"))->text().toStdString(); }
    void Language(const char* name) {
        auto* box = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
        box->setCurrentIndex(box->findText(QLatin1String(name)));
        host.RunUntilIdle();
    }

    QTemporaryDir dir;
    TFakeDialogSeam seam;
    TDialogSeamInstall seamInstall{seam};
};

TEST_F(WindowShow, ASessionRecordedInTheWindowReplaysVerifiedAndAChangedKeyDivergesAtIt) {
    Open();
    PowerOn();                          // on: the recording asks to switch it off
    for (int run = 0; run < 2; ++run) { // a second recording in the same run starts afresh
        seam.AskAnswers = {true};
        Trigger("ActionRecord");
        ASSERT_EQ(seam.Questions.size(), static_cast<std::size_t>(run + 1));
        ASSERT_EQ(Status(), LoadStr(TEXT_SHOW_RECORDING_STARTED));
        EXPECT_FALSE(g_Device->IsOn());

        Advance(700);
        Press(Qt::Key_Right, 1500); // on
        Advance(1500);
        if (run == 0) {
            // A condition set in the Machines window, then point 2 measured with it.
            std::string error;
            AssignCondition(2, *ParseCondition("imbalance rpm=1480 velocity=6.5", error));
            Press(Qt::Key_Left);
            Advance(300);
            Press(Qt::Key_Right);
            Advance(300);
            Press(Qt::Key_Left);
            Advance(6000);
        }
        Language(run == 0 ? "RUS" : "ENG");
        Advance(400);
        Press(Qt::Key_Left);
        Advance(900);

        const QString file = Path(run == 0 ? "first.sim" : "second.sim");
        seam.SaveAnswers = {file};
        Trigger("ActionRecord");
        Advance(6000); // the last check waits for the measurement that K2 started
        ASSERT_TRUE(seam.SaveAnswers.empty()) << "saved where asked";
        const std::string script = ReadAll(file);
        if (run == 0) {
            EXPECT_NE(script.find("\ncondition 2 imbalance"), std::string::npos) << script;
        }
        EXPECT_NE(script.find(run == 0 ? "\nlang RUS\n" : "\nlang ENG\n"), std::string::npos);
        EXPECT_EQ(Status().rfind(LoadStr(TEXT_SHOW_RECORDING_SAVED).substr(0, 10), 0), 0u) << Status();

        const TSimRun replay = RunSim({file});
        EXPECT_EQ(replay.Out, "verified") << script;
        EXPECT_EQ(replay.Status, 0);

        // The last K2 click made a K1 click: the replay parts at its release.
        std::istringstream lines(script);
        std::vector<std::string> changed;
        int downLine = 0, upLine = 0;
        for (std::string line; std::getline(lines, line);) {
            changed.push_back(line);
            if (line == "down k2") downLine = static_cast<int>(changed.size());
        }
        ASSERT_GT(downLine, 0);
        changed[static_cast<std::size_t>(downLine - 1)] = "down k1";
        for (std::size_t i = static_cast<std::size_t>(downLine); i < changed.size() && upLine == 0; ++i)
            if (changed[i] == "up") upLine = static_cast<int>(i + 1);
        std::string text;
        for (const std::string& line : changed)
            text += line + '\n';
        WriteAll(Path("changed.sim"), text);
        const TSimRun diverged = RunSim({Path("changed.sim")});
        EXPECT_EQ(diverged.Out, "diverged at line " + std::to_string(upLine)) << text;
        EXPECT_EQ(diverged.Status, 1);
        Press(Qt::Key_Right, 1500); // on again for the next round's question
        Advance(1500);
    }
}

TEST_F(WindowShow, PlayRunsOnACopyTheUsersKeyTakesOverAndTheOwnStateComesBack) {
    std::string error;
    AssignCondition(5, *ParseCondition("looseness rpm=980 velocity=8", error));
    SavedState.SelectedPoint = 4;
    TDeviceState tour = SavedState;
    tour.SelectedPoint = 1;
    std::string recording = "recording 1\n";
    std::istringstream tourIni(StateIniText(tour));
    for (std::string line; std::getline(tourIni, line);)
        recording += "state " + line + '\n';
    recording += "state-end\nlang ENG\ncondition 5 stored\nwait 100\nk1-long\nwait 3000\nk2\nwait "
                 "60000\nk1\nwait 500\n";
    WriteAll(Path("tour.sim"), recording);
    WriteAll(Path("bad.sim"), "recording 1\nwait 100\nk1-long\nbogus\n");
    Open();
    const std::string own = StateIniText(SavedState);

    seam.FileAnswers = {Path("bad.sim")};
    Trigger("ActionPlay");
    ASSERT_EQ(seam.Messages.size(), 1u);
    EXPECT_NE(seam.Messages[0].toStdString().find("line 4"), std::string::npos) << "refused, and why";
    EXPECT_EQ(StateIniText(SavedState), own) << "a refused recording changes nothing";

    for (int run = 0; run < 2; ++run) { // played twice: the own state is set aside once
        events.clear();
        seam.FileAnswers = {Path("tour.sim")};
        Trigger("ActionPlay");
        Advance(3500);
        EXPECT_TRUE(g_Device->IsOn());
        EXPECT_EQ(events, (std::vector<int16_t>{KEY_K1 + KEY_LONG, KEY_K2 + KEY_SHORT}));
        EXPECT_EQ(Status().find("tour.sim"), LoadStr(TEXT_SHOW_PLAYING).find("%1")) << Status();
        EXPECT_EQ(AssignedConditions().count(5), 0u) << "the recording's conditions are in force";

        // The user's key: the tour's K1 (at 63 s) never comes, the user's does.
        Press(Qt::Key_Left);
        EXPECT_EQ(Status(), LoadStr(TEXT_SHOW_PLAY_TAKEN_OVER));
        Advance(61000);
        EXPECT_EQ(events, (std::vector<int16_t>{KEY_K1 + KEY_LONG, KEY_K2 + KEY_SHORT, KEY_K2 + KEY_SHORT}));
    }

    Trigger("ActionOwnState");
    EXPECT_FALSE(g_Device->IsOn());
    EXPECT_EQ(StateIniText(SavedState), own);
    EXPECT_EQ(Status(), LoadStr(TEXT_SHOW_OWN_STATE_BACK));

    // Played to its end and the program closed on the copy: the own state is
    // what is left to save.
    seam.FileAnswers = {Path("tour.sim")};
    Trigger("ActionPlay");
    Advance(64000);
    EXPECT_EQ(Status(), LoadStr(TEXT_SHOW_PLAY_ENDED));
    EXPECT_EQ(events.back(), KEY_K1 + KEY_SHORT);
    window->close();
    window.reset();
    EXPECT_EQ(StateIniText(SavedState), own);
}

TEST_F(WindowShow, AnAnimationHoldsEveryScreenForItsTimeAndEndsOnTheScreenShown) {
    Open();
    Trigger("ActionRecordAnimation");
    EXPECT_EQ(Status(), LoadStr(TEXT_SHOW_ANIMATION_STARTED));
    Press(Qt::Key_Right, 1500);
    Advance(1500);
    Press(Qt::Key_Left);
    Advance(2000);
    Press(Qt::Key_Left);
    Advance(1234);
    const uint32_t total = 200 + 1500 + 1500 + 100 + 2000 + 100 + 1234; // from the trigger's own wait
    seam.SaveAnswers = {Path("a.gif")};
    Trigger("ActionRecordAnimation");

    QImageReader gif(Path("a.gif"));
    ASSERT_TRUE(gif.canRead()) << gif.errorString().toStdString();
    EXPECT_EQ(gif.size(), QSize(2 * LCD_PICTURE_WIDTH, 2 * LCD_PICTURE_HEIGHT)) << "twice the LCD";
    const int frames = gif.imageCount();
    EXPECT_GE(frames, 4) << "off, the power-on screen, two menus";
    int sum = 0;
    QImage last;
    for (int i = 0; i < frames; ++i) {
        last = gif.read();
        ASSERT_FALSE(last.isNull()) << "frame " << i;
        EXPECT_GE(gif.nextImageDelay(), 20) << "frame " << i;
        sum += gif.nextImageDelay();
    }
    EXPECT_LE(static_cast<uint32_t>(sum), total);
    EXPECT_GT(static_cast<uint32_t>(sum), total - 10) << "the animation lasts as long as the capture";
    const QImage shown = Picture("ImageDeviceScreen")
                             .convertToFormat(QImage::Format_RGB32)
                             .scaled(last.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_EQ(last.convertToFormat(QImage::Format_RGB32), shown) << "the last frame is the LCD as shown";
    EXPECT_NE(Status().find("a.gif"), std::string::npos) << Status();
}

// The whole instrument: every frame the window's own drawing of it at the
// size shown, the captions of two keys in it while they are shown, gone in
// the last frame once they have faded, and the choice kept in the state.
TEST_F(WindowShow, AWholeInstrumentAnimationHoldsTheCaptionsAsTheWindowDrewThem) {
    Open();
    Trigger("ActionCaptions");
    Trigger("ActionAnimateWhole");
    EXPECT_EQ(SavedState.AnimateWholeInstrument, 1);
    EXPECT_NE(StateIniText(SavedState).find("AnimateWholeInstrument=1"), std::string::npos);
    Trigger("ActionRecordAnimation");
    EXPECT_EQ(Status(), LoadStr(TEXT_GIFINST_WINDOW_STARTED));
    Press(Qt::Key_Right, 1500); // K1 long: on
    Advance(1500);
    Press(Qt::Key_Left); // K2 short
    Advance(7000);       // both captions shown, then faded out
    const uint32_t total = 200 + 1500 + 1500 + 100 + 7000;
    seam.SaveAnswers = {Path("whole.gif")};
    Trigger("ActionRecordAnimation");
    EXPECT_NE(Status().find("whole.gif"), std::string::npos) << Status();

    const QRect instrument(0, MainWindowLayout::kToolBarHeight, window->width(),
                           window->height() - MainWindowLayout::kToolBarHeight -
                               MainWindowLayout::kStatusBarHeight);
    const QRect strip = Child("CaptionStrip")->geometry().translated(0, -instrument.top());
    // A caption's box is the one dark patch under the instrument.
    const auto captionPixels = [&strip](const QImage& frame) {
        int dark = 0;
        for (int y = strip.top(); y <= strip.bottom(); ++y)
            for (int x = strip.left(); x <= strip.right(); ++x)
                dark += qGray(frame.pixel(x, y)) < 64;
        return dark;
    };
    QImageReader gif(Path("whole.gif"));
    ASSERT_TRUE(gif.canRead()) << gif.errorString().toStdString();
    EXPECT_EQ(gif.size(), instrument.size()) << "the instrument as shown, without the bars";
    int sum = 0;
    int withCaptions = 0;
    QImage last;
    for (int i = 0; i < gif.imageCount(); ++i) {
        last = gif.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(last.isNull()) << "frame " << i;
        EXPECT_GE(gif.nextImageDelay(), 20) << "frame " << i;
        sum += gif.nextImageDelay();
        withCaptions += captionPixels(last) > 500;
    }
    EXPECT_GE(gif.imageCount(), 6) << "off, on, the menu, captions coming and fading";
    EXPECT_GE(withCaptions, 2) << "the captions of both keys";
    EXPECT_EQ(captionPixels(last), 0) << "faded out by the end";
    EXPECT_LE(static_cast<uint32_t>(sum), total);
    EXPECT_GT(static_cast<uint32_t>(sum), total - 10) << "the animation lasts as long as the capture";
    // The last frame is the window's drawing, within the colours a GIF holds.
    const QImage shown = window->grab(instrument).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), last.size());
    int worst = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(static_cast<int>((shown.pixel(x, y) >> shift) & 0xFF) -
                                                 static_cast<int>((last.pixel(x, y) >> shift) & 0xFF)));
    EXPECT_LE(worst, 24);
}

TEST_F(WindowShow, ALinkFromTheRunnerOpensWithItsStateAndABadOneChangesNothing) {
    // The runner's state: a condition of its own.
    WriteAll(Path("make.sim"), "condition 3 misalignment rpm=1200 velocity=5.5\nlink-out " +
                                   Path("link.txt").toStdString() + "\n");
    ASSERT_EQ(RunSim({Path("make.sim")}).Status, 0);
    const std::string link = ReadAll(Path("link.txt"));
    ASSERT_EQ(link.find(StateLinkHead()), 0u) << link;
    std::string linkState;
    ASSERT_EQ(OpenStateLink(link, linkState), TStateLinkVerdict::Sound);
    TDeviceState expected;
    ReadIniState(TIniDocument(linkState), expected); // its conditions put in force for the hash
    const uint64_t expectedHash = StateHash(expected);
    ClearConditions();

    Open();
    PowerOn();
    Advance(500);
    const std::string own = StateIniText(SavedState);
    std::string cut = link.substr(0, link.size() / 2);
    std::string changed = link;
    changed[changed.size() / 2] = changed[changed.size() / 2] == 'A' ? 'B' : 'A';
    std::string future = link;
    future.replace(future.find("state=1."), 8, "state=2.");
    const std::pair<std::string, int> refused[] = {
        {cut, TEXT_SHOW_LINK_DAMAGED},
        {changed, TEXT_SHOW_LINK_DAMAGED},
        {future, TEXT_SHOW_LINK_FUTURE},
        {"https://example.org/orx700/", TEXT_SHOW_LINK_NONE},
    };
    for (const auto& [text, message] : refused) {
        seam.Messages.clear();
        seam.TextAnswers = {QString::fromStdString(text)};
        Trigger("ActionImportState");
        ASSERT_EQ(seam.Messages.size(), 1u) << text;
        EXPECT_EQ(seam.Messages[0].toStdString(), LoadStr(message)) << text;
        EXPECT_TRUE(seam.Questions.empty()) << "nothing asked";
        EXPECT_TRUE(g_Device->IsOn()) << "nor switched off";
    }
    // Declined: nothing changes either.
    seam.TextAnswers = {QStringLiteral("https://example.org/orx700/") + QString::fromStdString(link)};
    Trigger("ActionImportState");
    ASSERT_EQ(seam.Questions.size(), 1u);
    EXPECT_TRUE(g_Device->IsOn());

    // The file the runner wrote, as a path dragged into the field.
    seam.TextAnswers = {QUrl::fromLocalFile(Path("link.txt")).toString()};
    seam.AskAnswers = {true};
    Trigger("ActionImportState");
    EXPECT_FALSE(g_Device->IsOn());
    EXPECT_EQ(StateHash(SavedState), expectedHash);
    EXPECT_EQ(AssignedCondition(3).Kind, TConditionKind::Misalignment);
    EXPECT_EQ(Status(), LoadStr(TEXT_SHOW_IMPORT_LOADED));

    Trigger("ActionOwnState");
    EXPECT_EQ(StateIniText(SavedState), own);
    EXPECT_EQ(AssignedConditions().count(3), 0u);
}

// An exercise opened while a recording runs: the user is asked, a no keeps
// recording, a yes saves the recording as it stood (it replays verified)
// before the exercise comes in. Opened on a playback's copy: the playback
// stops and the exercise sets aside the user's own state, which is what
// comes back at its close, not the copy.
TEST_F(WindowShow, AnExerciseOpenedDuringARecordingOrAPlaybackTakesOverCleanly) {
    TExercise exercise;
    exercise.Title = "Pump";
    std::string error;
    exercise.Conditions = {{2, *ParseCondition("imbalance rpm=1480 velocity=3.6", error)}};
    exercise.Asked = {{2, TAsk::Both, ""}};
    WriteAll(Path("pump.orxex"), FormatExercise(exercise));
    TDeviceState tour = SavedState;
    tour.SelectedPoint = 3;
    std::string recording = "recording 1\n";
    std::istringstream tourIni(StateIniText(tour));
    for (std::string line; std::getline(tourIni, line);)
        recording += "state " + line + '\n';
    recording += "state-end\nlang ENG\nwait 100\nk1-long\nwait 30000\nk1\nwait 500\n";
    WriteAll(Path("tour.sim"), recording);
    Open();
    const auto openExercise = [this] {
        auto* action = window->findChild<QAction*>(QStringLiteral("ActionOpenExercise"));
        emit qobject_cast<QMenu*>(action->parent())->aboutToShow();
        action->trigger();
        Advance(200);
    };
    const auto closeExercise = [this] {
        auto* action = window->findChild<QAction*>(QStringLiteral("ActionCloseExercise"));
        emit qobject_cast<QMenu*>(action->parent())->aboutToShow();
        action->trigger();
        Advance(200);
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("FormExercise")) top->close();
    };

    g_Device->PowerOff();
    Advance(200);
    std::string own = StateIniText(SavedState);
    Trigger("ActionRecord");
    Press(Qt::Key_Right, 1500);
    Advance(1500);
    seam.AskAnswers = {false};
    openExercise();
    EXPECT_EQ(seam.Questions.back().toStdString(), LoadStr(TEXT_SHOW_EXERCISE_STOPS_RECORDING));
    EXPECT_TRUE(seam.FileRequests.empty()) << "declined: no exercise asked for";
    Press(Qt::Key_Left);
    Advance(900);
    seam.AskAnswers = {true};
    seam.SaveAnswers = {Path("before.sim")};
    seam.FileAnswers = {Path("pump.orxex")};
    openExercise();
    ASSERT_TRUE(seam.SaveAnswers.empty() && seam.FileAnswers.empty()) << "saved, then the exercise chosen";
    EXPECT_EQ(RunSim({Path("before.sim")}).Out, "verified") << ReadAll(Path("before.sim"));
    EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Imbalance) << "the exercise is in";
    emit window->findChild<QMenu*>(QStringLiteral("MenuShow"))->aboutToShow();
    EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("ActionRecord"))->isEnabled());
    closeExercise();
    EXPECT_EQ(AssignedConditions().count(2), 0u) << "the recorded session's state back";
    own = StateIniText(SavedState);

    for (const uint32_t playedMs : {5000u, 40000u}) { // during the playback, and after it ended
        SCOPED_TRACE(playedMs);
        seam.FileAnswers = {Path("tour.sim")};
        Trigger("ActionPlay");
        Advance(playedMs);
        ASSERT_NE(StateIniText(SavedState), own) << "on the copy";
        seam.FileAnswers = {Path("pump.orxex")};
        openExercise();
        Advance(30000);
        EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Imbalance);
        closeExercise();
        EXPECT_EQ(StateIniText(SavedState), own) << "the own state back, not the copy";
        emit window->findChild<QMenu*>(QStringLiteral("MenuShow"))->aboutToShow();
        EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("ActionOwnState"))->isEnabled());
    }
    window->close();
    window.reset();
    EXPECT_EQ(StateIniText(SavedState), own);
}

} // namespace
