// Record animation / Stop: every picture the LCD shows, live, until
// stopped, then saved as an animated GIF at twice the LCD's size with the
// true timing (the core's capture and encoder, as orx700-sim's gif lines).
// With the Show menu's whole instrument chosen, the pictures are the
// instrument as the window draws it below the tool bar (artwork, LCD,
// balloons, key captions) at the size it is shown when the capture starts,
// taken at every repaint and every few steps of the captions' fade.
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace {

constexpr int kAnimationScale = 2;
// Five steps to a caption's fade: it reads as a fade and keeps the GIF
// small.
constexpr uint32_t kCaptionStepMs = 200;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

std::vector<uint32_t> Pixels(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(argb.width()) *
                                 static_cast<std::size_t>(argb.height()));
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(argb.width()),
                    argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * sizeof(uint32_t));
    return pixels;
}

} // namespace

void TShowControl::SetUpAnimationTimers() {
    FCaptionStepTimer.SetEnabled(false);
    FCaptionStepTimer.SetInterval(kCaptionStepMs);
    FCaptionStepTimer.SetOnTimer([this] {
        if (!std::exchange(FCaptionsChangedInStep, false)) {
            FCaptionStepTimer.SetEnabled(false);
            return;
        }
        CaptureWholeInstrument();
    });
    FFullTimer.SetEnabled(false);
    FFullTimer.SetInterval(1);
    FFullTimer.SetOnTimer([this] {
        FFullTimer.SetEnabled(false);
        FinishAnimation();
    });
}

// The tick count from the capture's start: right across its wrap.
uint64_t TShowControl::AnimationTime() const {
    return static_cast<uint32_t>(GetTickCount() - FAnimationStart);
}

void TShowControl::ToggleAnimation() {
    if (Animating() || FFullTimer.Enabled()) {
        FFullTimer.SetEnabled(false);
        FinishAnimation();
    } else {
        StartAnimation();
    }
}

void TShowControl::StartAnimation() {
    FAnimationStart = GetTickCount();
    if (SavedState.AnimateWholeInstrument == 0 || !FWindow.InstrumentImage) {
        FAnimation.Start(0, FDevice.Picture());
        FWindow.SetStatus(Text(TEXT_SHOW_ANIMATION_STARTED));
        return;
    }
    const QImage image = FWindow.InstrumentImage();
    FWholeSize = image.size();
    if (!FWholeAnimation.Start(0, image.width(), image.height(), Pixels(image))) {
        DialogSeam().ShowMessage(FWindow.Widget, Text(TEXT_GIFINST_WINDOW_NO_ROOM));
        FWholeAnimation.Clear();
        return;
    }
    FWindow.SetStatus(Text(TEXT_GIFINST_WINDOW_STARTED));
}

void TShowControl::CaptureWholeInstrument() {
    if (!FWholeAnimation.Capturing()) return;
    QImage image = FWindow.InstrumentImage();
    // A size chosen while capturing: the animation keeps the size it began at.
    if (image.size() != FWholeSize)
        image = image.scaled(FWholeSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FWholeAnimation.Capture(AnimationTime(), Pixels(image));
    // Not from inside the repaint: the worker waits for it.
    if (FWholeAnimation.Full()) FFullTimer.SetEnabled(true);
}

void TShowControl::FinishAnimation() {
    const bool whole = FWholeAnimation.FrameCount() > 0;
    const bool full = whole ? FWholeAnimation.Full() : FAnimation.Full();
    const uint64_t end = AnimationTime();
    FAnimation.Stop(end);
    FWholeAnimation.Stop(end);
    FCaptionStepTimer.SetEnabled(false);
    const uint64_t duration = whole ? FWholeAnimation.Duration() : FAnimation.End();
    const std::size_t count = whole ? FWholeAnimation.FrameCount() : FAnimation.FrameCount();
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
        const bool written = whole ? FWholeAnimation.Write(path.toStdString(), error)
                                   : FAnimation.Write(path.toStdString(), kAnimationScale, error);
        if (written) {
            const QString name = QFileInfo(path).fileName();
            const QString seconds = QString::number(static_cast<double>(duration) / 1000.0, 'f', 1);
            FWindow.SetStatus(
                full ? Text(TEXT_GIFINST_WINDOW_FULL).arg(seconds, QString::number(count), name)
                     : Text(TEXT_SHOW_ANIMATION_SAVED).arg(name, QString::number(count), seconds));
            break;
        }
        DialogSeam().ShowMessage(FWindow.Widget,
                                 Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
    }
    FAnimation.Clear();
    FWholeAnimation.Clear();
}

void TShowControl::DeviceRefreshed() {
    if (FAnimation.Capturing()) {
        FAnimation.Capture(AnimationTime(), FDevice.Picture());
        // Not from inside the repaint: the worker waits for it.
        if (FAnimation.Full()) FFullTimer.SetEnabled(true);
    }
    CaptureWholeInstrument();
}

// The first change after a quiet step is taken at once, later ones at the
// step's end: the last look of the captions is always taken.
void TShowControl::CaptionsChanged() {
    if (!FWholeAnimation.Capturing()) return;
    if (FCaptionStepTimer.Enabled()) {
        FCaptionsChangedInStep = true;
        return;
    }
    CaptureWholeInstrument();
    FCaptionStepTimer.SetEnabled(true);
}
