#pragma once
// The trainer's class results: an exercise, then any number of submission
// files; a table of trainee, score, each asked point right or wrong, time
// and status (a submission of another exercise, or a file that is none, is
// listed and flagged, not counted), exported as CSV. Modal, shown through
// the dialog seam; texts in the GUI thread's language.
#include "training/ClassResults.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class TFormClassResults : public QDialog {
  public:
    explicit TFormClassResults(QWidget* parent);

  private:
    void ButtonExerciseClick();
    void ButtonAddClick();
    void ButtonExportClick();
    void FillTable();

    bool FHasExercise = false;
    TExercise FExercise;
    std::vector<TResultRow> FRows;
    QString FFolder;
    QLabel* LabelExercise = nullptr;
    QPushButton* ButtonExercise = nullptr;
    QPushButton* ButtonAdd = nullptr;
    QPushButton* ButtonExport = nullptr;
    QTableWidget* TableResults = nullptr;
};
