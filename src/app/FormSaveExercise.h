#pragma once
// The trainer's "Save as exercise" dialog: the title, the instructions, a
// time limit, each route machine's group and foundation, and for each route
// point whether it is asked (its condition, its zone or both) with a hint
// for the review. The conditions are the ones the points have now; an
// exercise of visits adds a visits table: each visit's date and time and the
// route points whose condition changes then (a new visit starts from a copy
// of the present ones), and a point may ask at which visit it first reached
// a zone. Modal,
// shown through the dialog seam; texts in the GUI thread's language.
#include "signals/SeverityZone.h"
#include "training/Exercise.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

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

    // Visits (FormSaveExerciseVisits.cpp).
    QWidget* CreateVisits();
    void AddVisit();
    void UpdateAskChoices();
    // Fills exercise.Visits and the visit questions' zone; false with a reason.
    bool ReadVisits(TExercise& exercise, QString& error) const;
    QTableWidget* TableVisits = nullptr;
    QComboBox* ComboVisitZone = nullptr;
};
