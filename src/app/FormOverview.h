#pragma once
// The Overview window: the instrument's features and technical data, and a
// "more..." link that opens the user manual. The texts decide the height: each
// group box wraps its label and everything below moves with it.
#include <QDialog>

#include <filesystem>

class QGroupBox;
class QLabel;
class QPushButton;

class TFormOverview : public QDialog {
  public:
    // manualsFolder: where "more..." looks for the user manual.
    TFormOverview(QWidget* owner, std::filesystem::path manualsFolder);

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
    std::filesystem::path FManualsFolder;
};
