// Exercises in the window: a trainer saves one from the Machines window; a
// trainee opens it, finds the asked points hidden, measures, answers,
// submits, reviews and closes it, and gets the own state back; the class
// results read the submissions.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"
#include "app/FormMachines.h"
#include "app/FormMeasurements.h"
#include "device/Deviceioemulation.h"
#include "measure/MachinePresets.h"
#include "measure/PointConditions.h"
#include "platform/DateTime.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "state/Inifile.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseLink.h"
#include "training/ExerciseRun.h"
#include "training/Submission.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

TCondition ConditionOf(const char* text) {
    std::string error;
    return ParseCondition(text, error).value_or(TCondition{});
}

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ExerciseWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ClearConditions();
        ASSERT_TRUE(dir.isValid());
        TExercise e;
        e.Title = "Three pumps, one bad bearing";
        e.Conditions = {{2, ConditionOf("imbalance rpm=1480 velocity=3.6")},
                        {6, ConditionOf("bearing-outer rpm=1480 velocity=2")}};
        e.Asked = {{2, TAsk::Both, "1x"}, {6, TAsk::Condition, "The envelope"}};
        std::ofstream(Path("pumps.orxex").toStdString(), std::ios::binary) << FormatExercise(e);
    }
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("FormExercise")) widget->close();
        MainWindowTest::TearDown();
        ClearConditions();
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    static std::string StateText() {
        TIniDocument ini;
        WriteIniState(ini, SavedState);
        return ini.Text();
    }
    void Trigger(const char* action) {
        auto* found = window->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(found, nullptr) << action;
        if (auto* menu = qobject_cast<QMenu*>(found->parent())) emit menu->aboutToShow();
        found->trigger();
        // The swap waits for the worker to park.
        host.Advance(200);
        QApplication::processEvents();
    }
    template <class T> static T* Find(const char* window, const char* name) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String(window) && top->isVisible())
                return name ? top->findChild<T*>(QLatin1String(name)) : dynamic_cast<T*>(top);
        return nullptr;
    }
    void Press(Qt::Key key) {
        KeyDown(key);
        host.Advance(100);
        KeyUp(key);
        host.RunUntilIdle();
    }
    QTreeWidgetItem* MachinesRow(int16_t source) {
        auto* tree = Find<QTreeWidget>("FormMachines", "TreeMachines");
        if (!tree) return nullptr;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == source) return *it;
        return nullptr;
    }

    QTemporaryDir dir;
    TFakeDialogSeam seam;
    TDialogSeamInstall seamInstall{seam};
};

TEST_F(ExerciseWindowTest, OpenAnswerSubmitCloseGivesTheOwnStateBack) {
    AssignCondition(2, ConditionOf("looseness rpm=980 velocity=8"));
    Open();
    PowerOn();
    Press(Qt::Key_Left);
    Press(Qt::Key_Right);
    Press(Qt::Key_Left);
    host.Advance(5900); // the trainee's own point 2, measured
    g_Device->PowerOff();
    host.RunUntilIdle();
    const std::string own = StateText();
    ASSERT_NE(SavedState.RoutePoints[1] & PS_MEASURED, 0);

    seam.FileAnswers = {Path("pumps.orxex")};
    Trigger("ActionOpenExercise");
    auto* sheet = Find<QWidget>("FormExercise", nullptr);
    ASSERT_NE(sheet, nullptr) << "the answer sheet opens with the exercise";
    auto* table = sheet->findChild<QTableWidget*>(QStringLiteral("TableSheet"));
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 7)->text(), QStringLiteral("not yet"));
    EXPECT_EQ(SavedState.RoutePoints[1] & PS_MEASURED, 0) << "the exercise's own route";

    // The Machines window hides what is asked.
    dynamic_cast<QToolButton*>(Child("ToolButtonMachines"))->click();
    ASSERT_NE(MachinesRow(2), nullptr);
    EXPECT_EQ(MachinesRow(2)->text(1), QStringLiteral("hidden"));
    EXPECT_EQ(MachinesRow(2)->text(3), QString());
    Find<TFormMachines>("FormMachines", nullptr)->SelectSource(2);
    EXPECT_EQ(Find<QLabel>("FormMachines", "LabelKind")->text(), QStringLiteral("hidden"));
    EXPECT_FALSE(Find<QPushButton>("FormMachines", "ButtonSaveExercise")->isEnabled());

    PowerOn();
    Press(Qt::Key_Left);
    Press(Qt::Key_Right);
    Press(Qt::Key_Left);
    host.Advance(5900); // point 2 in the exercise
    EXPECT_EQ(table->item(0, 7)->text(), QStringLiteral("measured"));
    auto* condition = sheet->findChild<QComboBox*>(QStringLiteral("ComboCondition2"));
    condition->setCurrentIndex(condition->findData(QStringLiteral("imbalance")));
    sheet->findChild<QComboBox*>(QStringLiteral("ComboZone2"))->setCurrentIndex(3); // C
    auto* wrong = sheet->findChild<QComboBox*>(QStringLiteral("ComboCondition6"));
    wrong->setCurrentIndex(wrong->findData(QStringLiteral("bearing-inner")));
    sheet->findChild<QLineEdit*>(QStringLiteral("EditName"))->setText(QStringLiteral("Anna"));
    seam.SaveAnswers = {Path("anna.orxsub")};
    sheet->findChild<QPushButton*>(QStringLiteral("ButtonSubmit"))->click();

    TSubmission s;
    ASSERT_EQ(ParseSubmission(ReadAll(Path("anna.orxsub")), s), 0);
    EXPECT_EQ(s.Name, "Anna");
    EXPECT_EQ(s.RightCount, 1);
    EXPECT_TRUE(s.Points[0].MeasuredBeforeAnswer);
    EXPECT_EQ(s.Points[1].Right.Condition, "bearing-outer");
    EXPECT_TRUE(sheet->findChild<QLabel*>(QStringLiteral("LabelScore"))
                    ->text()
                    .startsWith(QStringLiteral("Score: 1 of 2")));
    sheet->findChild<QCheckBox*>(QStringLiteral("CheckWrongOnly"))->setChecked(true);
    EXPECT_TRUE(table->isRowHidden(0));
    EXPECT_FALSE(table->isRowHidden(1));
    EXPECT_EQ(table->item(1, 10)->text(), QStringLiteral("The envelope"));
    // Revealed now, with its figures.
    EXPECT_EQ(MachinesRow(2)->text(3), QStringLiteral("3.6"));

    sheet->findChild<QPushButton*>(QStringLiteral("ButtonCloseExercise"))->click();
    host.Advance(200);
    QApplication::processEvents();
    EXPECT_EQ(StateText(), own);
    EXPECT_EQ(MachinesRow(2)->text(3), QStringLiteral("8"));
    EXPECT_EQ(MachinesRow(6)->text(1), QStringLiteral("Stored waveform"));
}

TEST_F(ExerciseWindowTest, ClosingTheProgramDuringAnExerciseKeepsTheOwnState) {
    AssignCondition(2, ConditionOf("looseness rpm=980 velocity=8"));
    SavedState.RoutePoints[4] = PS_MEASURED;
    Open();
    g_Device->PowerOff();
    host.RunUntilIdle();
    const std::string own = StateText();
    seam.FileAnswers = {Path("pumps.orxex")};
    Trigger("ActionOpenExercise");
    PowerOn(); // measure nothing, just use it
    ASSERT_NE(StateText(), own);
    window->close();
    EXPECT_EQ(StateText(), own) << "what the program saves at exit";
}

TEST_F(ExerciseWindowTest, ARefusedFileIsOneMessageAndChangesNothing) {
    std::string text = ReadAll(Path("pumps.orxex"));
    std::ofstream(Path("cut.orxex").toStdString(), std::ios::binary) << text.substr(0, text.size() - 30);
    AssignCondition(2, ConditionOf("looseness"));
    Open();
    PowerOn();
    seam.FileAnswers = {Path("cut.orxex")};
    Trigger("ActionOpenExercise");
    ASSERT_EQ(seam.Messages.size(), 1u);
    EXPECT_TRUE(seam.Messages[0].contains(Path("cut.orxex")));
    EXPECT_TRUE(seam.Messages[0].contains(QStringLiteral("damaged")) ||
                seam.Messages[0].contains(QStringLiteral("cut short")));
    EXPECT_TRUE(g_Device->IsOn());
    EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Looseness);
    EXPECT_EQ(Find<QWidget>("FormExercise", nullptr), nullptr);
}

TEST_F(ExerciseWindowTest, TheTrainerSavesAnExerciseAndReadsTheClassResults) {
    AssignCondition(6, ConditionOf("bearing-outer rpm=1480 velocity=2"));
    Open();
    dynamic_cast<QToolButton*>(Child("ToolButtonMachines"))->click();
    seam.OnExec = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("EditTitle"))->setText(QStringLiteral("One bearing"));
        dialog.findChild<QComboBox*>(QStringLiteral("ComboAsks6"))->setCurrentIndex(3); // both
        dialog.findChild<QComboBox*>(QStringLiteral("ComboGroup2"))->setCurrentIndex(3);
        return int(QDialog::Accepted);
    };
    seam.SaveAnswers = {Path("bearing.orxex")};
    Find<QPushButton>("FormMachines", "ButtonSaveExercise")->click();
    TExercise saved;
    ASSERT_EQ(ReadExerciseFile(Path("bearing.orxex").toStdString(), saved), 0);
    EXPECT_EQ(saved.Title, "One bearing");
    ASSERT_EQ(saved.Asked.size(), 1u);
    EXPECT_EQ(saved.Asked[0].Point, 6);
    EXPECT_EQ(saved.Asked[0].What, TAsk::Both);
    EXPECT_EQ(saved.Groups[1], TMachineGroup::Group1Flexible);
    EXPECT_EQ(saved.Conditions.at(6), AssignedCondition(6));

    // Two submissions: one of this exercise, one of the other.
    TExerciseRun run;
    run.Open(saved, 0);
    run.Answer(6, {"bearing-outer", 'A', ""}, 0);
    std::ofstream(Path("a.orxsub").toStdString()) << FormatSubmission(run.Submit("Anna", 90'000));
    run.Close();
    TExercise other;
    ASSERT_EQ(ReadExerciseFile(Path("pumps.orxex").toStdString(), other), 0);
    run.Open(other, 0);
    std::ofstream(Path("b.orxsub").toStdString()) << FormatSubmission(run.Submit("Boris", 1000));
    run.Close();

    seam.FileAnswers = {Path("bearing.orxex"), Path("a.orxsub"), Path("b.orxsub")};
    seam.SaveAnswers = {Path("class.csv")};
    QTableWidget* table = nullptr;
    seam.OnExec = [&table](QDialog& dialog) {
        for (const char* button :
             {"ButtonResultsExercise", "ButtonAddSubmissions", "ButtonAddSubmissions", "ButtonExportCsv"})
            dialog.findChild<QPushButton*>(QLatin1String(button))->click();
        table = dialog.findChild<QTableWidget*>(QStringLiteral("TableResults"));
        EXPECT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("1/1"));
        EXPECT_EQ(table->item(1, 5)->text(), QStringLiteral("another exercise"));
        return int(QDialog::Rejected);
    };
    Trigger("ActionClassResults");
    EXPECT_NE(table, nullptr);
    EXPECT_EQ(ReadAll(Path("class.csv")), "File,Trainee,Score,\"Time, s\",Point 6,Status\r\n"
                                          "a.orxsub,Anna,1/1,90,1,counted\r\n"
                                          "b.orxsub,Boris,,1,,another exercise\r\n");
}

// The link a trainer sends: the core's, for the file picked, at the address
// asked once; an address no browser opens is refused and not kept.
TEST_F(ExerciseWindowTest, CopyExerciseLinkAsksTheAddressOnceAndPutsTheLinkOnTheClipboard) {
    Open();
    SavedState.ExerciseLinkAddress = "";
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const std::string address = "https://training.plant.test/orx700/";
    seam.FileAnswers = {Path("pumps.orxex"), Path("pumps.orxex"), Path("pumps.orxex"), Path("missing.orxex")};
    seam.TextAnswers = {QStringLiteral("training.plant.test/orx700/"),
                        QString::fromStdString("  " + address + " ")};

    Trigger("ActionCopyExerciseLink");
    ASSERT_EQ(seam.Messages.size(), 1u);
    EXPECT_TRUE(
        seam.Messages[0].contains(QStringLiteral("«training.plant.test/orx700/» is not a web address")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(SavedState.ExerciseLinkAddress, "");

    TExercise exercise;
    ASSERT_EQ(ReadExerciseFile(Path("pumps.orxex").toStdString(), exercise), 0);
    const QString link = QString::fromStdString(MakeExerciseLink(address, FormatExercise(exercise)));
    for (int time = 0; time < 2; ++time) {
        Trigger("ActionCopyExerciseLink");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), link);
        EXPECT_TRUE(seam.Messages.back().contains(link));
        EXPECT_TRUE(seam.Messages.back().contains(QStringLiteral("(%1 characters)").arg(link.size())));
    }
    EXPECT_EQ(seam.TextPrompts.size(), 2u) << "the address is asked for once";
    EXPECT_NE(StateText().find("[Training]\nWebAddress=" + address + "\n"), std::string::npos);

    Trigger("ActionCopyExerciseLink");
    EXPECT_TRUE(seam.Messages.back().contains(Path("missing.orxex")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), link);
    EXPECT_EQ(seam.TextPrompts.size(), 2u);
}

// A timed exercise: the countdown runs on the host's clock; at zero the
// answers are submitted as they stood (an answer tried after it does not
// count) and the review says the time ran out. A second, untimed exercise
// shows no countdown.
TEST_F(ExerciseWindowTest, AtTheTimeLimitTheAnswersAreSubmittedAsTheyStood) {
    TExercise e;
    ASSERT_EQ(ReadExerciseFile(Path("pumps.orxex").toStdString(), e), 0);
    e.TimeLimitSeconds = 90;
    std::ofstream(Path("timed.orxex").toStdString(), std::ios::binary) << FormatExercise(e);
    Open();
    seam.FileAnswers = {Path("timed.orxex"), Path("pumps.orxex")};
    seam.SaveAnswers = {Path("timed.orxsub")};
    Trigger("ActionOpenExercise");
    auto* left = Find<QLabel>("FormExercise", "LabelTimeLeft");
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(left->isVisible());
    EXPECT_EQ(left->text(), QStringLiteral("Time left: 1:30"));
    Find<QComboBox>("FormExercise", "ComboCondition2")
        ->setCurrentIndex(
            Find<QComboBox>("FormExercise", "ComboCondition2")->findData(QStringLiteral("imbalance")));
    host.Advance(60000);
    QApplication::processEvents();
    EXPECT_EQ(left->text(), QStringLiteral("Time left: 0:30"));
    EXPECT_TRUE(seam.SaveRequests.empty());
    host.Advance(29700);
    QApplication::processEvents();
    EXPECT_TRUE(seam.SaveRequests.empty()) << "not before the limit";
    host.Advance(300);
    QApplication::processEvents();
    ASSERT_EQ(seam.SaveRequests.size(), 1u) << "submitted at the limit";
    EXPECT_EQ(left->text(), QStringLiteral("Time is up: your answers were submitted as they stood."));
    const std::string submitted = ReadAll(Path("timed.orxsub"));
    EXPECT_NE(submitted.find("\npoint.2.answer=imbalance -\n"), std::string::npos) << submitted;
    EXPECT_NE(submitted.find("\ntime-taken=90\n"), std::string::npos) << submitted;
    // The sheet's rows were built anew: the old ones go first.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Find<QComboBox>("FormExercise", "ComboCondition2")->isEnabled());
    host.Advance(5000);
    QApplication::processEvents();
    EXPECT_EQ(seam.SaveRequests.size(), 1u) << "once";

    Trigger("ActionCloseExercise");
    Trigger("ActionOpenExercise");
    left = Find<QLabel>("FormExercise", "LabelTimeLeft");
    ASSERT_NE(left, nullptr);
    EXPECT_FALSE(left->isVisible());
    host.Advance(200000);
    QApplication::processEvents();
    EXPECT_EQ(seam.SaveRequests.size(), 1u);
}

// A machine with two faults at once: the answer names both, in either
// order, as orx700-sim's "answer P A+B" does; one fault too many is wrong.
TEST_F(ExerciseWindowTest, TwoFaultsAtOnceAreAnsweredWithASecondConditionInEitherOrder) {
    TExercise e;
    e.Title = "Two faults";
    e.Conditions = {{2, ConditionOf("misalignment+looseness rpm=2950 velocity=5 shares=1,2")},
                    {6, ConditionOf("imbalance rpm=1480 velocity=2")}};
    e.Asked = {{2, TAsk::Condition, ""}, {6, TAsk::Condition, ""}};
    std::ofstream(Path("two.orxex").toStdString(), std::ios::binary) << FormatExercise(e);
    Open();
    seam.FileAnswers = {Path("two.orxex")};
    seam.SaveAnswers = {Path("two.orxsub")};
    Trigger("ActionOpenExercise");
    const auto choose = [this](const char* combo, const char* name) {
        auto* box = Find<QComboBox>("FormExercise", combo);
        ASSERT_NE(box, nullptr) << combo;
        box->setCurrentIndex(box->findData(QLatin1String(name)));
        ASSERT_GT(box->currentIndex(), 0) << combo << " " << name;
    };
    choose("ComboCondition2", "looseness");
    choose("ComboSecondCondition2", "misalignment");
    choose("ComboCondition6", "imbalance");
    choose("ComboSecondCondition6", "looseness");
    // The sheet built anew keeps both faults.
    Trigger("ActionAnswerSheet");
    EXPECT_EQ(Find<QComboBox>("FormExercise", "ComboSecondCondition2")->currentData().toString(),
              QStringLiteral("misalignment"));
    Find<QPushButton>("FormExercise", "ButtonSubmit")->click();
    const std::string submitted = ReadAll(Path("two.orxsub"));
    for (const char* line :
         {"\npoint.2.answer=looseness+misalignment -\n", "\npoint.2.result=right\n",
          "\npoint.6.answer=imbalance+looseness -\n", "\npoint.6.result=wrong\n", "\nscore=1/2\n"})
        EXPECT_NE(submitted.find(line), std::string::npos) << line << " in\n" << submitted;
}

} // namespace

namespace {

// A trend exercise in the window: the sheet asks for a visit, Next visit
// moves the instrument on until the last (then it greys out), the trend
// window opens.
TEST_F(ExerciseWindowTest, NextVisitMovesOnToTheLastAndTheVisitAnswerIsScored) {
    TExercise e;
    e.Title = "Bearing wear";
    e.Conditions = {{2, ConditionOf("bearing-outer rpm=1480 velocity=1 stage=1")},
                    {6, ConditionOf("imbalance rpm=1480 velocity=2")}};
    e.Asked = {{2, TAsk::Visit, "", 'C'}, {6, TAsk::Both, ""}};
    const double first = EncodeDateTime(2026, 1, 5, 9, 0, 0, 0);
    e.Visits = {{first, {}},
                {first + 31, {{2, ConditionOf("bearing-outer rpm=1480 velocity=3.5 stage=3")}}},
                {first + 59, {{2, ConditionOf("bearing-outer rpm=1480 velocity=5 stage=4")}}}};
    std::ofstream(Path("wear.orxex").toStdString(), std::ios::binary) << FormatExercise(e);
    Open();
    seam.FileAnswers = {Path("wear.orxex")};
    Trigger("ActionOpenExercise");
    auto* sheet = Find<QWidget>("FormExercise", nullptr);
    ASSERT_NE(sheet, nullptr);
    auto* visit = sheet->findChild<QComboBox*>(QStringLiteral("ComboVisit2"));
    ASSERT_NE(visit, nullptr);
    EXPECT_EQ(visit->count(), 5) << "no answer, three visits, never";
    auto* next = window->findChild<QAction*>(QStringLiteral("ActionNextVisit"));
    for (int v = 1; v <= 3; ++v) {
        EXPECT_NE(sheet->findChild<QLabel*>(QStringLiteral("LabelInstructions"))
                      ->text()
                      .indexOf(QStringLiteral("Visit %1 of 3").arg(v)),
                  -1);
        PowerOn();
        Press(Qt::Key_Left);
        Press(Qt::Key_Right);
        Press(Qt::Key_Left);
        host.Advance(5900); // point 2 at this visit
        emit qobject_cast<QMenu*>(next->parent())->aboutToShow();
        EXPECT_EQ(next->isEnabled(), v < 3) << "visit " << v;
        if (v < 3) Trigger("ActionNextVisit");
    }
    Trigger("ActionVisitTrend");
    auto* trend = Find<QWidget>("FormVisitTrend", nullptr);
    ASSERT_NE(trend, nullptr);
    // The sheet was built anew at each visit: the old lists go first.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    visit = sheet->findChild<QComboBox*>(QStringLiteral("ComboVisit2"));
    visit->setCurrentIndex(visit->findData(2));
    seam.SaveAnswers = {Path("wear.orxsub")};
    sheet->findChild<QPushButton*>(QStringLiteral("ButtonSubmit"))->click();
    TSubmission s;
    ASSERT_EQ(ParseSubmission(ReadAll(Path("wear.orxsub")), s), 0);
    EXPECT_EQ(s.Points[0].Answer.Visit, 2);
    EXPECT_EQ(s.Points[0].Right.Visit, 2);
    EXPECT_TRUE(s.Points[0].IsRight);
    trend->close();
    Trigger("ActionCloseExercise");
    EXPECT_EQ(InstrumentNow(), host.Now());
}

// The trainer's visits: three visits built with the changes editor (a
// point, its wear stage and severity, a ready-made machine), one date not
// after the one before and one visit too many said in the dialog, saved and
// opened with each visit's conditions.
TEST_F(ExerciseWindowTest, TheTrainerBuildsThreeVisitsWithTheChangesEditor) {
    AssignCondition(2, ConditionOf("bearing-outer rpm=1480 velocity=1 stage=1"));
    AssignCondition(6, ConditionOf("imbalance rpm=1480 velocity=2"));
    const TCondition start2 = AssignedCondition(2);
    const TMachinePreset& looseness = MachinePresets()[3];
    Open();
    dynamic_cast<QToolButton*>(Child("ToolButtonMachines"))->click();
    const auto choose = [](QDialog& dialog, const QString& name, int index) {
        auto* box = dialog.findChild<QComboBox*>(name);
        ASSERT_NE(box, nullptr) << name.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    };
    const auto spin = [](QDialog& dialog, const char* name) {
        return dialog.findChild<QDoubleSpinBox*>(QLatin1String(name));
    };
    const auto click = [](QDialog& dialog, const char* name) {
        dialog.findChild<QPushButton*>(QLatin1String(name))->click();
    };
    seam.OnExec = [&](QDialog& dialog) {
        auto* error = dialog.findChild<QLabel*>(QStringLiteral("LabelVisitsError"));
        auto* save = dialog.findChild<QPushButton*>(QStringLiteral("ButtonSave"));
        auto* visits = dialog.findChild<QTableWidget*>(QStringLiteral("TableVisits"));
        dialog.findChild<QComboBox*>(QStringLiteral("ComboAsks2"))->setCurrentIndex(4); // the visit
        dialog.findChild<QComboBox*>(QStringLiteral("ComboAsks6"))->setCurrentIndex(3); // both
        click(dialog, "ButtonAddVisit");
        EXPECT_FALSE(error->isHidden()) << "one visit alone";
        EXPECT_FALSE(save->isEnabled());
        click(dialog, "ButtonAddVisit");
        click(dialog, "ButtonAddVisit");
        EXPECT_TRUE(error->isHidden());
        auto* first = dialog.findChild<QDateTimeEdit*>(QStringLiteral("EditVisitDate1"));
        first->setDateTime(QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
        dialog.findChild<QDateTimeEdit*>(QStringLiteral("EditVisitDate2"))
            ->setDateTime(QDateTime(QDate(2026, 2, 5), QTime(9, 0)));
        auto* third = dialog.findChild<QDateTimeEdit*>(QStringLiteral("EditVisitDate3"));
        third->setDateTime(QDateTime(QDate(2026, 2, 5), QTime(9, 0)));
        EXPECT_EQ(error->text(), QStringLiteral("Visit 3 must be later than visit 2 (2026-02-05 09:00)."));
        EXPECT_FALSE(save->isEnabled());
        third->setDateTime(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
        EXPECT_TRUE(save->isEnabled());

        // Visit 2: point 2's bearing wears to stage 3.
        visits->setCurrentCell(1, 2);
        click(dialog, "ButtonAddChange");
        choose(dialog, QStringLiteral("ComboChangePoint1"), 1);
        spin(dialog, "SpinChangeStage1")->setValue(3);
        spin(dialog, "SpinChangeSeverity1")->setValue(3.5);
        // Visit 3: stage 4, and point 6 becomes a ready-made loose fan; a
        // second row of point 2 is refused.
        visits->setCurrentCell(2, 2);
        click(dialog, "ButtonAddChange");
        choose(dialog, QStringLiteral("ComboChangePoint1"), 1);
        EXPECT_EQ(spin(dialog, "SpinChangeStage1")->value(), 3) << "starts from visit 2";
        spin(dialog, "SpinChangeStage1")->setValue(4);
        click(dialog, "ButtonAddChange");
        choose(dialog, QStringLiteral("ComboChangePoint2"), 1);
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("LabelChangeNote"))->text().contains("already"));
        choose(dialog, QStringLiteral("ComboChangePoint2"), 5);
        auto* preset = dialog.findChild<QComboBox*>(QStringLiteral("ComboChangePreset2"));
        choose(dialog, QStringLiteral("ComboChangePreset2"),
               preset->findText(QString::fromStdString(LoadStr(looseness.NameId))));
        EXPECT_EQ(visits->item(2, 2)->text().count(QLatin1Char(';')), 1) << "two changes summed up";

        for (int more = 3; more < 13; ++more)
            click(dialog, "ButtonAddVisit");
        EXPECT_EQ(visits->rowCount(), 12);
        EXPECT_EQ(error->text(), QStringLiteral("An exercise has at most 12 visits."));
        for (int fewer = 12; fewer > 3; --fewer)
            click(dialog, "ButtonRemoveVisit");
        EXPECT_TRUE(save->isEnabled());
        return int(QDialog::Accepted);
    };
    seam.SaveAnswers = {Path("wear.orxex")};
    Find<QPushButton>("FormMachines", "ButtonSaveExercise")->click();
    EXPECT_TRUE(seam.Messages.empty()) << seam.Messages.front().toStdString();

    TExercise saved;
    ASSERT_EQ(ReadExerciseFile(Path("wear.orxex").toStdString(), saved), 0);
    ASSERT_EQ(VisitCount(saved), 3);
    EXPECT_EQ(VisitDateText(saved.Visits[2].Date), "2026-03-05 09:00");
    ASSERT_EQ(saved.Asked.size(), 2u);
    EXPECT_EQ(saved.Asked[0].What, TAsk::Visit);
    TCondition stage3 = start2;
    stage3.Stage = 3;
    stage3.Velocity = 3.5;
    TCondition stage4 = stage3;
    stage4.Stage = 4;
    const std::array<std::pair<TCondition, TCondition>, 3> expected{
        {{start2, AssignedCondition(6)},
         {stage3, AssignedCondition(6)},
         {stage4, looseness.Points[0].Condition}}};
    EXPECT_TRUE(saved.Visits[1].Changes.size() == 1 && saved.Visits[2].Changes.size() == 2);

    TExerciseRun run;
    run.Open(saved, 0);
    for (int v = 1; v <= 3; ++v) {
        EXPECT_EQ(run.CurrentVisit(), v);
        EXPECT_EQ(AssignedCondition(2), expected[static_cast<std::size_t>(v - 1)].first) << "visit " << v;
        EXPECT_EQ(AssignedCondition(6), expected[static_cast<std::size_t>(v - 1)].second) << "visit " << v;
        if (v < 3) {
            EXPECT_TRUE(run.NextVisit());
        }
    }
    run.Close();
}

// Transfer to PC during an exercise keeps the exercise's readings apart:
// they show in the exercise's own window, and the user's own database is the
// same file, byte for byte, once the exercise is closed; after it, transfers
// go to the user's database again.
TEST_F(ExerciseWindowTest, TransferDuringAnExerciseLeavesTheOwnDatabaseAlone) {
    struct TDataHome {
        explicit TDataHome(const QString& folder) {
            setenv("XDG_DATA_HOME", folder.toLocal8Bit().constData(), 1);
        }
        ~TDataHome() { unsetenv("XDG_DATA_HOME"); }
    } dataHome(Path("data"));
    const auto transfer = [this] {
        dynamic_cast<QToolButton*>(Child("ToolButtonTransfer"))->click();
        QApplication::processEvents();
        return dynamic_cast<QLabel*>(Child("StatusText"))->text();
    };
    const auto measurePoint2 = [this] {
        PowerOn();
        Press(Qt::Key_Left);
        Press(Qt::Key_Right);
        Press(Qt::Key_Left);
        host.Advance(5900);
    };
    const QString oneNew = QStringLiteral("1 new");
    AssignCondition(2, ConditionOf("looseness rpm=980 velocity=8"));
    Open();
    measurePoint2();
    EXPECT_TRUE(transfer().contains(oneNew));
    const std::string path = DesktopMeasurementDbPath();
    const std::string own = ReadAll(QString::fromStdString(path));
    ASSERT_FALSE(own.empty());

    seam.FileAnswers = {Path("pumps.orxex")};
    Trigger("ActionOpenExercise");
    EXPECT_EQ(Find<QWidget>("FormMeasurements", nullptr), nullptr) << "the own measurements step aside";
    measurePoint2();
    EXPECT_TRUE(transfer().contains(oneNew));
    EXPECT_TRUE(ReadAll(QString::fromStdString(path)) == own)
        << "the exercise's reading went to the own database";
    auto* shown = Find<QWidget>("FormVisitTrend", nullptr);
    ASSERT_NE(shown, nullptr) << "the exercise's readings in a window of its own";
    EXPECT_TRUE(shown->windowTitle().contains(QStringLiteral("Three pumps, one bad bearing")));
    EXPECT_EQ(Find<QWidget>("FormMeasurements", nullptr), nullptr);

    Trigger("ActionCloseExercise");
    EXPECT_EQ(Find<QWidget>("FormVisitTrend", nullptr), nullptr);
    EXPECT_TRUE(ReadAll(QString::fromStdString(path)) == own);
    // The own reading of point 2 is in the own database already.
    EXPECT_TRUE(transfer().contains(QStringLiteral("0 new")));
    EXPECT_NE(Find<QWidget>("FormMeasurements", nullptr), nullptr);
}

} // namespace
