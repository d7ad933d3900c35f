#pragma once
// What the auxiliary windows need from the desktop and from the user: running
// a window modally, the open-file dialog, and handing a document or web
// address to the system's associated program. The program uses the Qt
// implementation; a test installs its own for the life of a TDialogSeamInstall
// and answers at once, so no test ever waits for a user or starts a viewer.
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QUrl;
class QWidget;

class TDialogSeam {
  public:
    virtual ~TDialogSeam() = default;

    // Shows dialog modally; its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;
    // The existing file the user picked, starting at fileName (its folder
    // and name); empty when the user cancelled. filter is in Qt's form.
    virtual QString GetOpenFileName(QWidget* parent, const QString& fileName, const QString& filter) = 0;
    // The existing files the user picked (a class's submissions), in the
    // order the dialog gives them; empty when the user cancelled. A seam
    // that picks one file at a time gives that one.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& fileName, const QString& filter) {
        const QString one = GetOpenFileName(parent, fileName, filter);
        return one.isEmpty() ? QStringList{} : QStringList{one};
    }
    // The file name the user chose to save to, starting at fileName; empty
    // when the user cancelled. Replacing an existing file has been confirmed.
    virtual QString GetSaveFileName(QWidget* parent, const QString& fileName, const QString& filter) = 0;
    // Opens url with the system: false when no program took it.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // Opens a document or folder with the system; onFailure runs in the GUI
    // thread, at once or later, when no program could open it. Where the
    // system's opener only tells after it has looked (xdg-open), the answer
    // comes when it ends, so the caller's windows may be gone by then.
    virtual void OpenDocument(const QUrl& url, std::function<void()> onFailure) {
        if (!OpenUrl(url)) onFailure();
    }
    // A line of text the user typed, starting at initial; empty when the
    // user cancelled.
    virtual QString GetText(QWidget* parent, const QString& prompt, const QString& initial) = 0;
    // A message the user acknowledges.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // A message with a choice: true when the user took accept, false for
    // reject, Esc or the close box.
    virtual bool Ask(QWidget* parent, const QString& text, const QString& accept, const QString& reject) = 0;
};

// The installed seam, or the Qt one when none is installed.
TDialogSeam& DialogSeam();

class TDialogSeamInstall {
  public:
    explicit TDialogSeamInstall(TDialogSeam& seam);
    ~TDialogSeamInstall();
    TDialogSeamInstall(const TDialogSeamInstall&) = delete;
    TDialogSeamInstall& operator=(const TDialogSeamInstall&) = delete;

  private:
    TDialogSeam* FPrevious;
};
