#pragma once
// The trainer's "Save as exercise" dialog: the title, the instructions, a
// time limit, each route machine's group and foundation, and for each route
// point whether it is asked (its condition, its zone or both) with a hint
// for the review. The conditions are the ones the points have now; an
// exercise of visits adds a visits table: each visit's date and time, and
// for the selected visit an editor of the route points whose condition
// changes then (a new visit changes nothing until told); a point may ask at
// which visit it first reached a zone. Visits that cannot be saved (one
// alone, a date not after the one before) are said under the table and
// Save waits for them. Modal, shown through the dialog seam; texts in the
// GUI thread's language.
#include "signals/SeverityZone.h"
#include "training/Exercise.h"

#include <QDialog>

#include <array>
#include <map>
#include <vector>

class QComboBox;
class QLineEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TVisitChangesEditor;

class TFormSaveExercise : public QDialog {
  public:
    // group: the group each machine starts with (the Machines window's).
    TFormSaveExercise(QWidget* parent, TMachineGroup group);
    // The exercise as the fields give it, with the points' present conditions.
    TExercise Exercise() const;
    // Why the visits table cannot be read ("Visit 3: ..."), or empty.
    QString VisitsError() const;

  private:
    QLineEdit* EditTitle = nullptr;
    QPlainTextEdit* EditInstructions = nullptr;
    QSpinBox* SpinTimeLimit = nullptr;
    std::array<QComboBox*, EXERCISE_MACHINES> ComboGroups{};
    QTableWidget* TableAsked = nullptr;
    QPushButton* ButtonSave = nullptr;

    // Visits (FormSaveExerciseVisits.cpp).
    QWidget* CreateVisits();
    void AddVisit();
    void UpdateAskChoices();
    // Shows the changes of visit row (0-based; -1 for none) in the editor.
    void ShowVisitChanges(int row);
    // Says what is wrong with the visits under the table, and allows Save
    // only when nothing is.
    void CheckVisits();
    // Fills exercise.Visits and the visit questions' zone; false with a reason.
    bool ReadVisits(TExercise& exercise, QString& error) const;
    QTableWidget* TableVisits = nullptr;
    QComboBox* ComboVisitZone = nullptr;
    TVisitChangesEditor* EditorChanges = nullptr;
    QLabel* LabelVisitsError = nullptr;
    // Each visit's changes, by visit row; the first visit's is empty.
    std::vector<std::map<int16_t, TCondition>> FVisitChanges;
    int FShownVisit = -1;
};
