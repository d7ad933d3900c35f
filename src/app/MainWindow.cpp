#include "app/MainWindow.h"

#include "app/Artwork.h"
#include "app/CaptionStrip.h"
#include "app/ExerciseControl.h"
#include "app/FormMachines.h"
#include "app/FormMeasurements.h"
#include "app/HintBalloon.h"
#include "app/Languages.h"
#include "app/MainWindowLayout.h"
#include "app/PictureBox.h"
#include "app/ScreenArea.h"
#include "app/ScreenHintWindow.h"
#include "app/ShowControl.h"
#include "app/UserInputWatch.h"
#include "device/Deviceioemulation.h"
#include "platform/Resources.h"
#include "platform/Strings.h"
#include "recording/Kiosk.h"
#include "resources/StringIds.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

using namespace MainWindowLayout;

namespace {

// Seven buttons and the separators beside the language box fit the window's
// width at the normal size.
constexpr QSize kToolButtonSize(100, 52);
constexpr QSize kLanguagePanelSize(108, 52);
constexpr QSize kToolIconSize(32, 32);
constexpr uint32_t kQuickStartRetryMs = 50;
constexpr int kWindowFontPixels = 11; // 13-pixel text lines, as the window's controls are laid out for

// Window texts.

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

TFormORX700DemoMain::TFormORX700DemoMain(TAuxWindowSeam& auxWindows, TFirmwareEntry firmware)
    : FAuxWindows(auxWindows) {
    setObjectName(QStringLiteral("FormORX700DemoMain"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    QFont windowFont = font();
    windowFont.setPixelSize(kWindowFontPixels);
    setFont(windowFont);
    // Every control shows the window's up-arrow, but for the LCD's help
    // cursor over an explained region.
    setCursor(Qt::UpArrowCursor);
    setMouseTracking(true);

    CreateToolBar();
    AddShowActions();
    CreatePictures();
    CreateStatusBar();
    ApplyPresenterSize();
    move(AvailableScreenArea(*this).center() - rect().center());
    InitLcdPictureFolder();

    g_Device = new TDevice(std::move(firmware), &MenuState.Backlight);
    g_Device->OnRefresh = [this] { DeviceRefresh(); };
    FExercise = std::make_unique<TExerciseControl>(
        this, [this] { ExerciseStateChange(); }, [this](int16_t point) { ShowPointInMachines(point); });
    // The captions show the events the instrument receives, as it receives them.
    g_Device->Buttons().OnKeyEvent = [this, post = g_Device->Buttons().OnKeyEvent](int16_t code) {
        CaptionStrip->KeyEvent(code);
        post(code);
    };
    CreateShowControl();

    FillLanguageBox();
    connect(ComboBoxLanguage, &QComboBox::currentIndexChanged, this, [this] { ComboBoxLanguageChange(); });
    if (ComboBoxLanguage->currentIndex() >= 0) {
        ComboBoxLanguageChange();
    } else {
        // Without a language list the window keeps the GUI thread's language.
        FQtTranslation.Use(GetThreadLanguage());
        LoadWindowTexts();
        DeviceRefresh();
    }

    TimerQuickStartShow.SetInterval(1);
    TimerQuickStartShow.SetOnTimer([this] { TimerQuickStartShowTimer(); });
    TimerQuickStartShow.SetEnabled(true);
}

TFormORX700DemoMain::~TFormORX700DemoMain() {
    FormClose();
}

void TFormORX700DemoMain::CreateToolBar() {
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setGeometry(0, 0, kClientSize.width(), kToolBarHeight);
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(kToolIconSize);

    auto* panel = new QWidget(ToolBar);
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFixedSize(kLanguagePanelSize);
    LabelLanguage = new QLabel(panel);
    LabelLanguage->setObjectName(QStringLiteral("LabelLanguage"));
    LabelLanguage->setGeometry(6, 5, 96, 16);
    LabelLanguage->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    ComboBoxLanguage = new QComboBox(panel);
    ComboBoxLanguage->setObjectName(QStringLiteral("ComboBoxLanguage"));
    ComboBoxLanguage->setGeometry(14, 23, 80, 24);
    // Only a click gives the box the focus: activating the window must leave
    // the arrow keys to the instrument.
    ComboBoxLanguage->setFocusPolicy(Qt::ClickFocus);
    ComboBoxLanguage->installEventFilter(this);
    // A choice made in the list, with the mouse or Enter, is done: the arrow
    // keys go back to the instrument.
    connect(ComboBoxLanguage, &QComboBox::activated, this, [this] { ClearActiveControl(); });
    ToolBar->addWidget(panel);
    ToolBar->addSeparator();

    const auto addButton = [this](const char* name, const char* icon,
                                  void (TFormORX700DemoMain::*handler)()) {
        auto* button = new QToolButton(ToolBar);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(kToolButtonSize);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIcon(ArtworkIcon(QLatin1String(icon), kToolIconSize));
        button->setIconSize(kToolIconSize);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        ToolBar->addWidget(button);
        return button;
    };
    ToolButtonHints = addButton("ToolButtonHints", "tool-hints", &TFormORX700DemoMain::ToolButtonHintsClick);
    ToolButtonHints->setCheckable(true);
    ToolButtonHints->setChecked(true);
    CreateShowButton();
    ToolBar->addSeparator();
    CreateHelpButton();
    ToolBar->addSeparator();
    ToolButtonMachines =
        addButton("ToolButtonMachines", "tool-machines", &TFormORX700DemoMain::ToolButtonMachinesClick);
    CreateExerciseButton();
    ToolButtonTransfer =
        addButton("ToolButtonTransfer", "tool-transfer", &TFormORX700DemoMain::ToolButtonTransferClick);
    ToolBar->addSeparator();
    ToolButtonExit = addButton("ToolButtonExit", "tool-exit", &TFormORX700DemoMain::ToolButtonExitClick);
}

QToolButton* TFormORX700DemoMain::AddMenuButton(const char* name, const char* icon, const char* menuName) {
    auto* button = new QToolButton(ToolBar);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(kToolButtonSize);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIcon(ArtworkIcon(QLatin1String(icon), kToolIconSize));
    button->setIconSize(kToolIconSize);
    button->setFocusPolicy(Qt::NoFocus);
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    menu->setObjectName(QLatin1String(menuName));
    button->setMenu(menu);
    ToolBar->addWidget(button);
    return button;
}

void TFormORX700DemoMain::CreateHelpButton() {
    ToolButtonHelp = AddMenuButton("ToolButtonHelp", "tool-manual", "MenuHelp");
    QMenu* menu = ToolButtonHelp->menu();
    const auto addAction = [this, menu](const char* name, const char* icon,
                                        void (TFormORX700DemoMain::*handler)()) {
        QAction* action = menu->addAction(ArtworkIcon(QLatin1String(icon), kToolIconSize), QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    ActionOverview =
        addAction("ActionOverview", "tool-overview", &TFormORX700DemoMain::ToolButtonOverviewClick);
    ActionUserManual =
        addAction("ActionUserManual", "tool-manual", &TFormORX700DemoMain::ToolButtonUserManualClick);
    ActionAbout = addAction("ActionAbout", "tool-about", &TFormORX700DemoMain::ToolButtonAboutClick);
}

void TFormORX700DemoMain::CreatePictures() {
    // Stacked as they overlap: the keys' pressed pictures over the instrument,
    // the balloons' arrows over the keys, and the LCD on top so that all of
    // it answers the pointer.
    // Their pictures come with the size they are shown at (LayOutInstrument).
    ImageDevice = new TPictureBox(this, "ImageDevice", kImageDevice);
    ImageButton2 = new TPictureBox(this, "ImageButton2", kImageButton2);
    ImageButton2->hide();
    ImageButton1 = new TPictureBox(this, "ImageButton1", kImageButton1);
    ImageButton1->hide();
    ImageHintK2 = new TPictureBox(this, "ImageHintK2", kImageHintK2);
    ImageHintK1 = new TPictureBox(this, "ImageHintK1", kImageHintK1);
    ImageDeviceScreen = new TPictureBox(this, "ImageDeviceScreen", kImageDeviceScreen);
    CaptionStrip = new TCaptionStrip(this, kCaptionStrip);
    CaptionStrip->setVisible(SavedState.ShowKeyCaptions != 0);
    ScreenHint = new TScreenHintWindow(this);
    // The LCD's hint goes with the pointer, wherever the pointer goes next.
    ImageDeviceScreen->installEventFilter(this);
}

void TFormORX700DemoMain::CreateStatusBar() {
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setGeometry(0, kClientSize.height() - kStatusBarHeight, kClientSize.width(), kStatusBarHeight);
    StatusBar->setSizeGripEnabled(false);
    StatusText = new QLabel(StatusBar);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusText->setAlignment(Qt::AlignCenter);
    StatusBar->addWidget(StatusText, 1);
}

void TFormORX700DemoMain::FillLanguageBox() {
    const auto list = FindResource("LANGUAGE_LIST");
    const std::vector<TLanguageItem> items = list ? ReadLanguageList(*list) : std::vector<TLanguageItem>{};
    for (const TLanguageItem& item : items)
        ComboBoxLanguage->addItem(QString::fromStdString(item.Name), QVariant::fromValue(item.Id));
    if (items.empty()) {
        Host().ShowErrorMessage(list ? "RCDATA LANGUAGE_LIST is empty" : "RCDATA LANGUAGE_LIST not found");
        return;
    }
    const auto start = ChooseStartLanguage(items, SavedState.LanguageName, GetThreadLanguage());
    ComboBoxLanguage->setCurrentIndex(static_cast<int>(*start));
}

void TFormORX700DemoMain::ComboBoxLanguageChange() {
    if (ComboBoxLanguage->currentIndex() < 0) return;
    SavedState.LanguageName = ComboBoxLanguage->currentText().toStdString();
    const auto id = static_cast<LANGID>(ComboBoxLanguage->currentData().toUInt());
    SetThreadLanguage(id);
    FQtTranslation.Use(id);
    if (g_Device) g_Device->SetLanguage(id);
    if (FShow) FShow->LanguageChanged(SavedState.LanguageName);
    LoadWindowTexts();
}

void TFormORX700DemoMain::LoadWindowTexts() {
    setWindowTitle(ApplicationTitle());
    LabelLanguage->setText(Text(TEXT_LANGUAGE));
    ToolButtonHints->setText(Text(TEXT_SHOW_HINTS));
    LoadShowTexts();
    LoadShowActionTexts();
    CaptionStrip->setAccessibleName(Text(TEXT_CAPTIONS_NAME));
    ToolButtonHelp->setText(Text(TEXT_HELP));
    ActionOverview->setText(Text(TEXT_OVERVIEW));
    ActionAbout->setText(Text(TEXT_ABOUT));
    ActionUserManual->setText(Text(TEXT_USER_MANUAL));
    ToolButtonMachines->setText(Text(TEXT_MACHINES));
    LoadExerciseTexts();
    if (FormMachines) FormMachines->LoadTexts();
    ToolButtonTransfer->setText(Text(TEXT_PC_TRANSFER));
    if (FormMeasurements) FormMeasurements->LoadTexts();
    ToolButtonExit->setText(Text(TEXT_EXIT));
    KioskPhaseChange();
    ImageDeviceScreen->setAccessibleName(Text(TEXT_LCD_NAME));
}

bool TFormORX700DemoMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    // Moved to another screen (a laptop's, from the projector's): the size
    // is checked against that screen as at the start. The native window
    // exists once shown; the connection is made once.
    if (event->type() == QEvent::Show && windowHandle())
        connect(windowHandle(), &QWindow::screenChanged, this, &TFormORX700DemoMain::ApplyPresenterSize,
                Qt::UniqueConnection);
    if (event->type() == QEvent::WindowDeactivate) FArrowsDown[0] = FArrowsDown[1] = false;
    return QWidget::event(event);
}

void TFormORX700DemoMain::FormActivate() {
    // Qt gives the focus back to the last focused control after this event;
    // take it away once that is done.
    QMetaObject::invokeMethod(
        this, [this] { ClearActiveControl(); }, Qt::QueuedConnection);
}

void TFormORX700DemoMain::ClearActiveControl() {
    if (QWidget* control = focusWidget()) control->clearFocus();
}

void TFormORX700DemoMain::closeEvent(QCloseEvent* event) {
    if (FKiosk && !FKioskEnding) {
        event->ignore();
        return;
    }
    // A recording under way is saved first (its last check waits for a
    // measurement to end); the window closes after.
    if (FShow && FShow->Recording()) {
        event->ignore();
        FShow->ToggleRecording([this] { close(); });
        return;
    }
    ScreenHint->hide();
    if (FormMachines) FormMachines->close();
    if (FormMeasurements) FormMeasurements->close();
    FormClose();
    event->accept();
}

void TFormORX700DemoMain::FormClose() {
    if (!g_Device) return;
    if (FShow) FShow->DeviceStopping();
    // The device repaints once more while it stops; the window is still whole.
    delete g_Device;
    g_Device = nullptr;
    if (FShow) FShow->DeviceStopped();
    // What is saved at exit is the trainee's own state, not an exercise's,
    // nor a kiosk session's.
    if (FExercise) FExercise->DeviceStopped();
    if (FKiosk) FKiosk->Finish();
}

void TFormORX700DemoMain::TimerQuickStartShowTimer() {
    // The note is centred on this window where the window system has put
    // it: wait until the window is on the screen, checking now and then.
    if (!windowHandle() || !windowHandle()->isExposed()) {
        TimerQuickStartShow.SetInterval(kQuickStartRetryMs);
        return;
    }
    TimerQuickStartShow.SetEnabled(false);
    if (!FKiosk) FAuxWindows.ShowQuickStart(this);
}

void TFormORX700DemoMain::ToolButtonHintsClick() {
    const bool shown = ToolButtonHints->isChecked();
    ImageHintK2->setVisible(shown);
    ImageHintK1->setVisible(shown);
    ClearActiveControl();
}

// Kept in the state: a presenter's window comes back as it was left.
void TFormORX700DemoMain::ActionCaptionsClick() {
    const bool shown = ActionCaptions->isChecked();
    SavedState.ShowKeyCaptions = shown ? 1 : 0;
    CaptionStrip->setVisible(shown);
    ClearActiveControl();
}

void TFormORX700DemoMain::ToolButtonOverviewClick() {
    FAuxWindows.ShowOverview(this);
    ClearActiveControl();
}

void TFormORX700DemoMain::ToolButtonAboutClick() {
    FAuxWindows.ShowAbout(this);
    ClearActiveControl();
}

void TFormORX700DemoMain::ToolButtonUserManualClick() {
    FAuxWindows.OpenUserManual(this);
}

void TFormORX700DemoMain::ToolButtonMachinesClick() {
    if (!FormMachines) {
        FormMachines = std::make_unique<TFormMachines>(nullptr);
        FormMachines->SetExercise(&FExercise->Run());
        FormMachines->LoadTexts();
        FormMachines->PlaceBeside(this);
    }
    FormMachines->show();
    FormMachines->raise();
    FormMachines->activateWindow();
}

void TFormORX700DemoMain::ToolButtonExitClick() {
    close();
}

void TFormORX700DemoMain::DeviceRefresh() {
    if (FExercise) FExercise->DeviceRefreshed();
    ImageDeviceScreen->SetImage(ShownLcdImage());
    // What the LCD says, for a screen reader; announced when it changes.
    const QString screenText = QString::fromStdString(g_Device->GetScreenText());
    if (ImageDeviceScreen->accessibleDescription() != screenText) {
        ImageDeviceScreen->setAccessibleDescription(screenText);
        QAccessibleEvent changed(ImageDeviceScreen, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
    FHintK1Text = QString::fromStdString(g_Device->GetHintK1());
    FHintK2Text = QString::fromStdString(g_Device->GetHintK2());
    DrawBalloons();
    // After the LCD and the balloons: an animation of the whole instrument
    // takes them as they are now shown.
    if (FShow) FShow->DeviceRefreshed();

    // The LCD under a resting pointer may have changed its meaning.
    const QPoint globalPos = QCursor::pos();
    const QPoint pos = mapFromGlobal(globalPos);
    if (!underMouse() || !IsDeviceArea(pos)) return;
    FSyntheticMove = true;
    PointerMovedTo(pos, globalPos);
    FSyntheticMove = false;
}
