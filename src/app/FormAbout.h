#pragma once
// The About window: program name and version, the legal line, the contact
// lines where the language has them, and our web address as a link. The
// contact lines decide the height: an empty text leaves one empty line.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
  public:
    // version: shown after text 400 and a blank; empty when unknown.
    TFormAbout(QWidget* owner, const QString& version);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LabelWebAddressMouseDown();

    QLabel* FImage1;
    QLabel* FLabelAppCaption;
    QLabel* FLabelVersion;
    QLabel* FLabelCopyright;
    QFrame* FPanelLine1;
    QLabel* FLabelContacts;
    QLabel* FLabelWebAddress;
    QFrame* FPanelLine2;
    QPushButton* FButton;
};

// The program's version number, "major.minor.patch".
QString ProgramVersion();
