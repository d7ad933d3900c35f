#pragma once
// TFormExercise: the trainee's answer sheet, then the review. Before the
// answers are submitted it lists the asked points as the instrument names
// them, with their machine's group and foundation, what each asks, the
// answer fields (a condition, "good" included, a zone A-D, a note; for a
// visit question, the visit or "never") and
// whether each has been measured yet. Submit scores the answers, offers the
// submission file to be saved and turns the sheet into the review: each
// point's right answer and result, the hints, "show only the wrong ones",
// and a way to the point's now revealed condition in the Machines window.
// A window of its own, owned by the exercise control; GUI thread only.
#include "training/AnswerSheet.h"
#include "training/ExerciseRun.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TFormExercise : public QWidget {
  public:
    struct TActions {
        std::function<uint64_t()> Clock;             // the run's milliseconds
        std::function<void(int16_t)> ShowInMachines; // a route point
        std::function<void()> CloseExercise;
        std::function<void()> Submitted; // the hidden conditions may be shown now
    };
    TFormExercise(TExerciseRun& run, TActions actions);

    // Builds the sheet anew from the run (a new exercise, a new language).
    void LoadTexts();
    // The measured column, after the instrument has measured.
    void UpdateMeasured();
    // The time limit's countdown (none: no limit, nothing shown).
    void ShowTimeLeft(std::optional<uint32_t> seconds);
    // The limit is up: the answers, locked by the run, are submitted as
    // they stood and the review says why.
    void SubmitAtTimeUp();

  private:
    void FillRow(int row, const TSheetRow& sheet);
    void FillVisitRow(int row, const TSheetRow& sheet);
    void FitWidth();
    int ColumnWidth(int column) const;
    void AnswerChange(int row);
    void ButtonSubmitClick();
    void ShowReview();
    void FilterRows();
    int16_t PointOfRow(int row) const;

    TExerciseRun& FRun;
    TActions FActions;
    TSubmission FSubmission;
    bool FFilling = false;
    bool FTimeUp = false;
    QLabel* LabelTimeLeft = nullptr;
    QLabel* LabelTitle = nullptr;
    QLabel* LabelInstructions = nullptr;
    QTableWidget* TableSheet = nullptr;
    QLabel* LabelName = nullptr;
    QLineEdit* EditName = nullptr;
    QPushButton* ButtonSubmit = nullptr;
    QLabel* LabelScore = nullptr;
    QCheckBox* CheckWrongOnly = nullptr;
    QPushButton* ButtonShowInMachines = nullptr;
    QPushButton* ButtonClose = nullptr;
};
