// Record animation / Stop: every picture the LCD shows, live, until
// stopped, then saved as an animated GIF at twice the LCD's size with the
// true timing (the core's capture and encoder, as orx700-sim's gif lines).
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "device/Device.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kAnimationScale = 2;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

// The tick count from the capture's start: right across its wrap.
uint64_t TShowControl::AnimationTime() const {
    return static_cast<uint32_t>(GetTickCount() - FAnimationStart);
}

void TShowControl::ToggleAnimation() {
    if (!FAnimation.Capturing()) {
        FAnimationStart = GetTickCount();
        FAnimation.Start(0, FDevice.Picture());
        FWindow.SetStatus(Text(TEXT_SHOW_ANIMATION_STARTED));
        return;
    }
    const uint64_t end = AnimationTime();
    FAnimation.Stop(end);
    for (;;) {
        const QString start =
            (FFolder.isEmpty() ? QDir::homePath() : FFolder) + QStringLiteral("/orx700-animation.gif");
        const QString path =
            DialogSeam().GetSaveFileName(FWindow.Widget, start, Text(TEXT_SHOW_ANIMATION_FILTER));
        if (path.isEmpty()) {
            FWindow.SetStatus({});
            break;
        }
        FFolder = QFileInfo(path).absolutePath();
        std::string error;
        if (FAnimation.Write(path.toStdString(), kAnimationScale, error)) {
            FWindow.SetStatus(Text(TEXT_SHOW_ANIMATION_SAVED)
                                  .arg(QFileInfo(path).fileName(), QString::number(FAnimation.FrameCount()),
                                       QString::number(end / 1000.0, 'f', 1)));
            break;
        }
        DialogSeam().ShowMessage(FWindow.Widget,
                                 Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
        if (FAnimation.Full()) break;
    }
    FAnimation.Clear();
}

void TShowControl::DeviceRefreshed() {
    if (FAnimation.Capturing()) FAnimation.Capture(AnimationTime(), FDevice.Picture());
}
