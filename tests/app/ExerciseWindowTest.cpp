// Exercises in the window: a trainer saves one from the Machines window; a
// trainee opens it, finds the asked points hidden, measures, answers,
// submits, reviews and closes it, and gets the own state back; the class
// results read the submissions.
#include "FakeDialogSeam.h"
#include "MainWindowFixture.h"
#include "app/FormMachines.h"
#include "device/Deviceioemulation.h"
#include "measure/PointConditions.h"
#include "state/Inifile.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseRun.h"
#include "training/Submission.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

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

} // namespace
