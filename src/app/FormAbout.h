#pragma once
// The About window: program name and version, the legal line with the
// licence, and where the user manuals are, the folder as a link that shows
// it. The texts decide the height.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
  public:
    // version: shown after text 400 and a blank; empty when unknown.
    // manualsFolder: where the user manuals lie, shown and opened by the link.
    TFormAbout(QWidget* owner, const QString& version, const QString& manualsFolder);

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
    QString FManualsFolder;
};

// The program's version number, "major.minor.patch".
QString ProgramVersion();
