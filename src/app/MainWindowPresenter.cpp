// The Show menu and the presenter size. A trainer at a projector shows the
// whole instrument (artwork, LCD, pressed keys, balloons, key captions and
// the LCD's hint) at 1.5x or 2x; the LCD's pixels stay whole squares of
// screen pixels, never smoothed. The window takes the instrument's size and
// stays inside the screen's available area: a size that does not fit is
// greyed out, and a saved size too large for this screen shows at the
// largest that fits, with a word on the status bar. The state keeps the size
// the trainer chose, so that the projector's screen gets it back.
#include "app/Artwork.h"
#include "app/CaptionStrip.h"
#include "app/HintBalloon.h"
#include "app/MainWindow.h"
#include "app/MainWindowLayout.h"
#include "app/PictureBox.h"
#include "app/ScreenArea.h"
#include "app/ScreenHintWindow.h"
#include "device/Deviceioemulation.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QActionGroup>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace MainWindowLayout;

namespace {

// Long enough to be read past the quick start note at the start.
constexpr int kStatusMessageMs = 20000;
// Room for the window's frame before the window system has told its size.
constexpr QSize kFrameAllowance(8, 32);

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// The sizes the menu offers, smallest first.
struct TSizeItem {
    int Halves;
    const char* Name;
    int Text;
};
constexpr TSizeItem kSizes[] = {{2, "ActionSizeNormal", TEXT_SHOW_SIZE_NORMAL},
                                {3, "ActionSizeOneHalf", TEXT_SHOW_SIZE_ONE_HALF},
                                {4, "ActionSizeDouble", TEXT_SHOW_SIZE_DOUBLE}};

// A balloon's canvas at the screen's pixel ratio times the presenter size, so
// that its lines and text are drawn finer, not enlarged; its geometry stays
// the designed one.
QImage TransparentImage(QSize size, qreal pixelRatio) {
    QImage image((QSizeF(size) * pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

void TFormORX700DemoMain::CreateShowButton() {
    ToolButtonShow = AddMenuButton("ToolButtonShow", "tool-show", "MenuShow");
    QMenu* menu = ToolButtonShow->menu();
    menu->setToolTipsVisible(true);
    // Without an icon, so that the menu shows its tick.
    ActionCaptions = menu->addAction(QString());
    ActionCaptions->setObjectName(QStringLiteral("ActionCaptions"));
    ActionCaptions->setCheckable(true);
    ActionCaptions->setChecked(SavedState.ShowKeyCaptions != 0);
    connect(ActionCaptions, &QAction::triggered, this, [this] { ActionCaptionsClick(); });
    menu->addSeparator();
    ActionGroupSize = new QActionGroup(menu);
    ActionGroupSize->setObjectName(QStringLiteral("ActionGroupSize"));
    for (const TSizeItem& size : kSizes) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QLatin1String(size.Name));
        action->setCheckable(true);
        action->setData(size.Halves);
        ActionGroupSize->addAction(action);
        connect(action, &QAction::triggered, this, [this, halves = size.Halves] { ActionSizeClick(halves); });
    }
}

void TFormORX700DemoMain::LoadShowTexts() {
    ToolButtonShow->setText(Text(TEXT_SHOW_MENU));
    ActionCaptions->setText(Text(TEXT_SHOW_CAPTIONS));
    for (const TSizeItem& size : kSizes) {
        auto* action = ToolButtonShow->menu()->findChild<QAction*>(QLatin1String(size.Name));
        action->setText(Text(size.Text));
        action->setToolTip(action->isEnabled() ? action->text() : Text(TEXT_SHOW_SIZE_NO_ROOM));
    }
}

void TFormORX700DemoMain::ActionSizeClick(int halves) {
    SavedState.PresenterSize = static_cast<uint8_t>(halves);
    ApplyPresenterSize();
    ClearActiveControl();
}

bool TFormORX700DemoMain::PresenterSizeFits(int halves) const {
    const QRect area = AvailableScreenArea(*this);
    if (area.isEmpty()) return true;
    // The frame as the window system drew it, once it has.
    QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) frame = kFrameAllowance;
    const QSize needed = ClientSize(halves) + frame;
    return needed.width() <= area.width() && needed.height() <= area.height();
}

void TFormORX700DemoMain::ApplyPresenterSize() {
    const int chosen = std::clamp<int>(SavedState.PresenterSize, kSizeNormal, kSizeLargest);
    // The normal size is the window's least: it is shown even where it does
    // not fit, as it always was.
    int shown = kSizeNormal;
    for (const TSizeItem& size : kSizes) {
        const bool fits = size.Halves == kSizeNormal || PresenterSizeFits(size.Halves);
        auto* action = ToolButtonShow->menu()->findChild<QAction*>(QLatin1String(size.Name));
        action->setEnabled(fits);
        action->setToolTip(fits ? action->text() : Text(TEXT_SHOW_SIZE_NO_ROOM));
        if (fits && size.Halves <= chosen) shown = size.Halves;
    }
    for (QAction* action : ActionGroupSize->actions())
        action->setChecked(action->data().toInt() == shown);
    if (shown != FShownSize || ImageDevice->Image().isNull()) LayOutInstrument(shown);
    if (shown >= chosen) {
        // Back on a screen that holds the chosen size: the note no longer holds.
        if (StatusBar->currentMessage() == Text(TEXT_SHOW_SIZE_CLAMPED)) StatusBar->clearMessage();
        return;
    }
    // Said once the window is on the screen, in its language: the status bar
    // hides its usage line only for a message that comes while it is shown.
    QMetaObject::invokeMethod(
        this, [this] { StatusBar->showMessage(Text(TEXT_SHOW_SIZE_CLAMPED), kStatusMessageMs); },
        Qt::QueuedConnection);
}

void TFormORX700DemoMain::LayOutInstrument(int halves) {
    FShownSize = halves;
    const QSize client = ClientSize(halves);
    setFixedSize(client);
    ToolBar->setGeometry(0, 0, client.width(), kToolBarHeight);
    StatusBar->setGeometry(0, client.height() - kStatusBarHeight, client.width(), kStatusBarHeight);

    ImageDevice->setGeometry(Scaled(kImageDevice, halves));
    ImageDevice->SetImage(RenderArtwork(QStringLiteral("device"), ImageDevice->size()));
    for (TPictureBox* key : {ImageButton1, ImageButton2}) {
        key->setGeometry(Scaled(key == ImageButton1 ? kImageButton1 : kImageButton2, halves));
        key->SetImage(RenderArtwork(QStringLiteral("key-pressed"), key->size()));
    }
    ImageHintK1->setGeometry(Scaled(kImageHintK1, halves));
    ImageHintK2->setGeometry(Scaled(kImageHintK2, halves));
    DrawBalloons();
    ImageDeviceScreen->setGeometry(Scaled(kImageDeviceScreen, halves));
    ImageDeviceScreen->SetImage(ShownLcdImage());
    CaptionStrip->setGeometry(Scaled(kCaptionStrip, halves));
    CaptionStrip->SetSize(halves);
    ScreenHint->hide();
    ScreenHint->SetSize(halves);
    KeepOnScreen();
}

// A window grown past the screen's edge moves back inside it.
void TFormORX700DemoMain::KeepOnScreen() {
    const QRect area = AvailableScreenArea(*this);
    if (area.isEmpty() || !isVisible()) return;
    const QRect frame = frameGeometry();
    QPoint at = frame.topLeft();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frame.height())));
    if (at != frame.topLeft()) move(at);
}

QImage TFormORX700DemoMain::ShownLcdImage() const {
    if (!g_Device) return {};
    const TLcdPictureAtSize lcd = LcdPictureAtPixelSize(g_Device->Picture(), FShownSize);
    return QImage(reinterpret_cast<const uchar*>(lcd.Pixels.data()), lcd.Width, lcd.Height,
                  QImage::Format_ARGB32)
        .copy();
}

// A point of the LCD widget as the device's picture places it: a point of an
// LCD pixel falls in that pixel's square of the picture, the frame around the
// LCD in the picture's frame.
QPoint TFormORX700DemoMain::LcdPicturePoint(QPoint pos) const {
    const auto axis = [this](int at, int pictureOrigin) {
        const int offset = (at - pictureOrigin * FShownSize / LCD_PICTURE_SCALE) * LCD_PICTURE_SCALE;
        // Floored, for the frame left of and above the LCD.
        const int floored = offset >= 0 ? offset / FShownSize : -((-offset + FShownSize - 1) / FShownSize);
        return pictureOrigin + floored;
    };
    return {axis(pos.x(), LCD_PICTURE_ORIGIN_X), axis(pos.y(), LCD_PICTURE_ORIGIN_Y)};
}

void TFormORX700DemoMain::DrawBalloons() {
    const qreal ratio = devicePixelRatio() * FShownSize / 2.0;
    // Made anew for another size, or a screen of another scale.
    if (ImageHintK1->Canvas().devicePixelRatio() != ratio || ImageHintK1->Canvas().isNull()) {
        ImageHintK1->SetImage(TransparentImage(kImageHintK1.size(), ratio));
        ImageHintK2->SetImage(TransparentImage(kImageHintK2.size(), ratio));
    }
    // Redrawn whether shown or not, so that they are current when shown
    // again; on a clear canvas, as a balloon of fewer lines leaves part of a
    // taller one's arrow uncovered.
    ImageHintK1->Canvas().fill(Qt::transparent);
    ImageHintK2->Canvas().fill(Qt::transparent);
    DrawHintBalloon(ImageHintK1->Canvas(), HINT_K1_ARROW_X, false, FHintK1Text, HintBalloonFont());
    ImageHintK1->update();
    DrawHintBalloon(ImageHintK2->Canvas(), HINT_K2_ARROW_X, true, FHintK2Text, HintBalloonFont());
    ImageHintK2->update();
}
