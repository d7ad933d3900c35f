#pragma once
// How the main window opens the auxiliary windows. Each call returns when the
// window it opened has been closed (they are modal). The program passes the
// real windows; tests pass a recorder, so that no test waits on a modal window.
class QWidget;

class TAuxWindowSeam {
  public:
    virtual ~TAuxWindowSeam() = default;
    // owner: the main window, which the window centres on.
    virtual void ShowOverview(QWidget* owner) = 0;
    virtual void ShowAbout(QWidget* owner) = 0;
    virtual void ShowQuickStart(QWidget* owner) = 0;
    // Opens the current language's user manual, asking for the file when it
    // is not where it was last found.
    virtual void OpenUserManual(QWidget* owner) = 0;
};
