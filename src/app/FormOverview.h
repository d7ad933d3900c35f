#pragma once
// The Overview window: the instrument's features and technical data, and a
// "more..." link that opens our web site. The texts decide the height: each
// group box wraps its label and everything below moves with it.
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class TFormOverview : public QDialog {
  public:
    explicit TFormOverview(QWidget* owner);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LabelMoreClick();

    QGroupBox* FGroupBoxFeature;
    QLabel* FLabelFeature;
    QGroupBox* FGroupBoxSpecification;
    QLabel* FLabelSpecification;
    QLabel* FLabelMore;
    QPushButton* FButton;
};
