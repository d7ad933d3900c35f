#pragma once
// The program's host: real time, QTimer timers in the GUI thread, Synchronize
// served by the Qt event loop, QMessageBox for errors.
#include "platform/RealTimeHost.h"

#include <QObject>

class TQtHost : public TRealTimeHost {
  public:
    // Construct in the GUI thread after the QApplication.
    TQtHost();

    std::unique_ptr<TTimerBackend> CreateTimer(std::function<void()> onFire) override;
    void ShowErrorMessage(const std::string& text) override;

  protected:
    void NotifyGuiThread() override;

  private:
    QObject FReceiver; // lives in the GUI thread; queued calls run there
};
