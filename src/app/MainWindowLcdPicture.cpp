// The LCD picture for documentation: Ctrl+C copies it, Ctrl+S saves it as a
// PNG file. Both take the picture as the window shows it, at twice its size
// (four times the LCD's own pixels), and never reach the instrument's keys.
#include "app/DialogSeam.h"
#include "app/MainWindow.h"
#include "app/UserManual.h"
#include "device/Deviceioemulation.h"
#include "device/LcdPicture.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QKeyEvent>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

constexpr int kPictureScale = 2;
constexpr int kStatusMessageMs = 5000;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

void TFormORX700DemoMain::InitLcdPictureFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    FLcdPictureFolder = QDir(pictures).exists() ? pictures : QDir::homePath();
}

// Taken from the window's own key presses (and from the language box's, which
// the window filters), so they work whether or not the desktop has made the
// window active, as a window-wide shortcut would need.
bool TFormORX700DemoMain::LcdPictureShortcut(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy))
        CopyLcdPicture();
    else if (event->matches(QKeySequence::Save))
        SaveLcdPicture();
    else
        return false;
    return true;
}

QImage TFormORX700DemoMain::LcdPictureImage() const {
    if (!g_Device) return {};
    const std::vector<uint32_t> pixels = ScaledLcdPicture(g_Device->Picture(), kPictureScale);
    return QImage(reinterpret_cast<const uchar*>(pixels.data()), LCD_PICTURE_WIDTH * kPictureScale,
                  LCD_PICTURE_HEIGHT * kPictureScale, QImage::Format_RGB32)
        .copy();
}

void TFormORX700DemoMain::CopyLcdPicture() {
    const QImage image = LcdPictureImage();
    if (image.isNull()) return;
    QGuiApplication::clipboard()->setImage(image);
    StatusBar->showMessage(Text(TEXT_LCD_PICTURE_COPIED), kStatusMessageMs);
}

void TFormORX700DemoMain::SaveLcdPicture() {
    // Taken now, so that the file holds the screen the user asked for even if
    // the instrument changes while the dialog is open.
    const QImage image = LcdPictureImage();
    if (image.isNull()) return;
    QString path =
        DialogSeam().GetSaveFileName(this, QDir(FLcdPictureFolder).filePath(QStringLiteral("orx700-lcd.png")),
                                     FileDialogFilter(Text(TEXT_PNG_FILTER)));
    ClearActiveControl();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    FLcdPictureFolder = QFileInfo(path).absolutePath();

    // Written aside and put in place whole, or not at all.
    QSaveFile file(path);
    const bool saved =
        file.open(QIODevice::WriteOnly) && QImageWriter(&file, "png").write(image) && file.commit();
    const QString shown = QDir::toNativeSeparators(path);
    if (saved)
        StatusBar->showMessage(Text(TEXT_LCD_PICTURE_SAVED).replace(QLatin1String("%s"), shown),
                               kStatusMessageMs);
    else
        Host().ShowErrorMessage(
            Text(TEXT_LCD_PICTURE_NOT_SAVED).replace(QLatin1String("%s"), shown).toStdString());
}
