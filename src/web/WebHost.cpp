#include "web/WebHost.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/threading.h>

namespace {

// A repeating timer of the page: setInterval, cleared on Stop and at the end.
class TWebTimer : public TTimerBackend {
  public:
    explicit TWebTimer(std::function<void()> onFire) : FOnFire(std::move(onFire)) {}
    ~TWebTimer() override { Stop(); }
    void Start(uint32_t ms) override {
        Stop();
        FId = emscripten_set_interval(&TWebTimer::Fire, static_cast<double>(ms), this);
    }
    void Stop() override {
        if (FId != 0) emscripten_clear_interval(FId);
        FId = 0;
    }

  private:
    static void Fire(void* self) { static_cast<TWebTimer*>(self)->FOnFire(); }

    std::function<void()> FOnFire;
    long FId = 0;
};

void ServeQueued(void* host) {
    static_cast<TWebHost*>(host)->ServeSynchronize();
}

// The page's dialog; the page calls back orx_MessageDismissed when it closes.
EM_JS(void, ShowPageMessage, (const char* text), { Module.onErrorMessage(UTF8ToString(text)); });

} // namespace

TWebHost::TWebHost() = default;

std::unique_ptr<TTimerBackend> TWebHost::CreateTimer(std::function<void()> onFire) {
    return std::make_unique<TWebTimer>(std::move(onFire));
}

void TWebHost::ShowErrorMessage(const std::string& text) {
    if (IsGuiThread()) {
        ShowPageMessage(text.c_str());
        return;
    }
    ResetEvent(FMessageClosed);
    Synchronize([&text] { ShowPageMessage(text.c_str()); });
    WaitForEvent(FMessageClosed, -1);
}

void TWebHost::MessageDismissed() {
    SetEvent(FMessageClosed);
}

void TWebHost::NotifyGuiThread() {
    emscripten_async_run_in_main_runtime_thread(EM_FUNC_SIG_VI, &ServeQueued, this);
}
