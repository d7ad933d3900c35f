#pragma once
// The Quick Start note: how to switch the instrument on and walk its menus
// with the keyboard. The text decides the height; the button keeps its
// designed distance below the text and the window its bottom margin.
#include <QDialog>

class QLabel;
class QPushButton;

class TFormQuickStart : public QDialog {
  public:
    explicit TFormQuickStart(QWidget* owner);

  private:
    QLabel* FLabelQuickStartText;
    QPushButton* FButton;
};
