#pragma once
// The web edition's host: real time, timers on the page's main thread (the
// GUI thread here), Synchronize served by the page's event loop, and the
// error message box as a dialog of the page.
//
// The page's main thread must never block for long (the browser would freeze
// and could not even show the dialog), so a message box raised there returns
// at once; one raised by the worker waits until the user closes it.
#include "platform/Event.h"
#include "platform/RealTimeHost.h"

#include <atomic>

class TWebHost : public TRealTimeHost {
  public:
    // Construct on the page's main thread.
    TWebHost();

    std::unique_ptr<TTimerBackend> CreateTimer(std::function<void()> onFire) override;
    void ShowErrorMessage(const std::string& text) override;

    // The page: the user closed the message box. Also called before the
    // device is stopped, so that a worker waiting on a box can finish.
    void MessageDismissed();

  protected:
    void NotifyGuiThread() override;

  private:
    TEvent FMessageClosed;
};
