// Play...: a recording played onto the instrument in real time by the core's
// player, from the recording's starting state put in on a copy (the user's
// own state set aside), with its progress on the status bar. The player
// feeds the key classifier directly: its keys reach the instrument and
// nothing else. Any key or click of the user takes the instrument over as it
// stands, and that input then goes on to the instrument.
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr std::size_t kMaxRecordingBytes = 4 * 1024 * 1024;
constexpr uint32_t kProgressMs = 200; // the status bar's progress steps

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString Seconds(uint32_t ms) {
    return QString::number(ms / 1000.0, 'f', 1);
}

// Sees a person's key press, click or touch anywhere in the program before
// the control it goes to; pointer moves are no taking over (a presenter
// points at the screen).
class TTakeOverWatch : public QObject {
  public:
    explicit TTakeOverWatch(std::function<void()> onInput) : FOnInput(std::move(onInput)) {
        qApp->installEventFilter(this);
    }
    ~TTakeOverWatch() override { qApp->removeEventFilter(this); }
    // Sees nothing more from now on, also before its deferred deletion
    // comes (a loop may not turn again before the controller goes).
    void Disarm() {
        FArmed = false;
        qApp->removeEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
            if (FArmed && FOnInput) FOnInput();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> FOnInput;
    bool FArmed = true;
};

} // namespace

void TShowControl::Play() {
    if (FRecorder.Recording()) return;
    const QString start = FFolder.isEmpty() ? QDir::homePath() : FFolder;
    const QString path = DialogSeam().GetOpenFileName(FWindow.Widget, start + QStringLiteral("/"),
                                                      Text(TEXT_SHOW_RECORDINGS_FILTER));
    if (path.isEmpty()) return;
    FFolder = QFileInfo(path).absolutePath();
    const QString name = QFileInfo(path).fileName();
    std::string text, error;
    if (ReadRegularFile(path.toStdString(), kMaxRecordingBytes, text) != TFileRead::Read) {
        DialogSeam().ShowMessage(FWindow.Widget,
                                 Text(TEXT_SHOW_PLAY_REFUSED).arg(name, Text(TEXT_EXERCISE_UNREADABLE)));
        return;
    }
    TRecordingPlan plan;
    if (!ParseRecordingPlan(text, plan, error)) {
        DialogSeam().ShowMessage(FWindow.Widget,
                                 Text(TEXT_SHOW_PLAY_REFUSED).arg(name, QString::fromStdString(error)));
        return;
    }
    TakeOver();
    WhenParked([this, plan = std::move(plan), name]() mutable {
        FPlan = std::move(plan);
        PutState(FPlan.HasState ? FPlan.StateIni : std::string(), true);
        FPlayName = name;
        FTakeOverWatch = std::make_unique<TTakeOverWatch>([this] { TakeOver(); });
        FPlayTimer.SetOnTimer([this] { PlayTick(); });
        FPlayer.Start(FPlan);
        PlayTick();
    });
}

void TShowControl::PlayTick() {
    FPlayer.Tick();
    if (!FPlayer.Playing()) {
        FPlayTimer.SetEnabled(false);
        FTakeOverWatch.reset();
        FWindow.SetStatus(Text(TEXT_SHOW_PLAY_ENDED));
        return;
    }
    FWindow.SetStatus(
        Text(TEXT_SHOW_PLAYING).arg(FPlayName, Seconds(FPlayer.Elapsed()), Seconds(FPlayer.Duration())));
    FPlayTimer.SetInterval(std::clamp<uint32_t>(FPlayer.NextStepIn(), 1, kProgressMs));
    FPlayTimer.SetEnabled(false);
    FPlayTimer.SetEnabled(true);
}

void TShowControl::TakeOver() {
    if (!FPlayer.Playing()) return;
    FPlayer.Stop();
    FPlayTimer.SetEnabled(false);
    FWindow.SetStatus(Text(TEXT_SHOW_PLAY_TAKEN_OVER));
    // Not from inside its own event filter: the watch goes once Qt is done with it.
    if (QObject* watch = FTakeOverWatch.release()) {
        static_cast<TTakeOverWatch*>(watch)->Disarm();
        watch->deleteLater();
    }
}
