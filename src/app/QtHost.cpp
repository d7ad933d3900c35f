#include "app/QtHost.h"

#include "app/Languages.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

class TQtTimer : public TTimerBackend {
  public:
    explicit TQtTimer(std::function<void()> onFire) {
        FTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&FTimer, &QTimer::timeout, [fire = std::move(onFire)] { fire(); });
    }
    void Start(uint32_t ms) override { FTimer.start(static_cast<int>(ms)); }
    void Stop() override { FTimer.stop(); }

  private:
    QTimer FTimer;
};

} // namespace

TQtHost::TQtHost() = default;

std::unique_ptr<TTimerBackend> TQtHost::CreateTimer(std::function<void()> onFire) {
    return std::make_unique<TQtTimer>(std::move(onFire));
}

void TQtHost::ShowErrorMessage(const std::string& text) {
    Synchronize([&text] {
        QMessageBox::critical(QApplication::activeWindow(), ApplicationTitle(), QString::fromStdString(text));
    });
}

void TQtHost::NotifyGuiThread() {
    QMetaObject::invokeMethod(
        &FReceiver, [this] { ServeSynchronize(); }, Qt::QueuedConnection);
}
