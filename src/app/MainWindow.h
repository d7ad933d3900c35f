#pragma once
// TFormORX700DemoMain: the program's one window. It shows the instrument's
// picture with the live LCD, the pressed-key pictures and the two hint
// balloons, key captions for an audience, a tool bar (language, hints on or
// off, the Show menu for an audience, the auxiliary windows, exit) and a
// status bar with the usage line.
//
// The window owns the device: it creates g_Device in its constructor and
// deletes it when it closes (or at the latest in its destructor), which lets
// the firmware keep its state. Everything here runs in the GUI thread;
// DeviceRefresh is called by the device's repaint while the worker waits.
#include "app/AuxWindowSeam.h"
#include "app/Languages.h"
#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "platform/Timer.h"
#include "recording/RecordingPlan.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QActionGroup;
class QComboBox;
class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;
class TExerciseControl;
class TCaptionStrip;
class TFormMachines;
class TFormMeasurements;
class TPictureBox;
class TScreenHintWindow;
class TShowControl;
class TKiosk;
class TUserInputWatch;

class TFormORX700DemoMain : public QWidget {
  public:
    explicit TFormORX700DemoMain(TAuxWindowSeam& auxWindows, TFirmwareEntry firmware = FirmwareMain);
    ~TFormORX700DemoMain() override;

    // The kiosk (MainWindowKiosk.cpp), before the window is shown: tour plays
    // in a loop, a visitor's input hands the instrument over, idleMinutes
    // without input bring the tour back. Visitors cannot leave the window nor
    // change the setup: Exit and the buttons that open other windows or write
    // files are hidden and the window refuses to close, but for EndKiosk.
    // The state in force is the user's: it is back in SavedState once the
    // window has closed.
    void StartKiosk(TRecordingPlan tour, int idleMinutes);
    bool InKiosk() const { return FKiosk != nullptr; }
    // The program is ending (the operator's shortcut, a quit signal): the
    // window closes at the next close().
    void EndKiosk();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateToolBar();
    void CreatePictures();
    void CreateStatusBar();
    void FillLanguageBox();

    void FormActivate();
    void FormClose();
    void TimerQuickStartShowTimer();
    void ComboBoxLanguageChange();
    void LoadWindowTexts();
    void ToolButtonHintsClick();
    void ActionCaptionsClick();
    void ToolButtonOverviewClick();
    void ToolButtonAboutClick();
    void ToolButtonUserManualClick();
    void ToolButtonMachinesClick();
    void CreateHelpButton();
    // A tool bar button that opens menu, named menuName.
    QToolButton* AddMenuButton(const char* name, const char* icon, const char* menuName);
    void CreateExerciseButton();
    void LoadExerciseTexts();
    // The state changed under the instrument (an exercise opened or closed).
    void ExerciseStateChange();
    void ShowPointInMachines(int16_t point);
    // Transfer to PC (MainWindowTransfer.cpp): the instrument's readings into
    // the measurement database, then the Measurements window.
    void ToolButtonTransferClick();
    void ToolButtonExitClick();
    void DeviceRefresh();
    // The balloons, from the hints the last repaint read.
    void DrawBalloons();

    // The Show menu and the presenter size (MainWindowPresenter.cpp): the
    // instrument at 1x, 1.5x or 2x, the window as large as the instrument,
    // within the screen's available area.
    void CreateShowButton();
    void LoadShowTexts();
    void ActionSizeClick(int halves);
    // Shows the instrument at the size the state asks for or the largest
    // below it that fits the screen; says so when it had to choose a
    // smaller one, and greys out the sizes that do not fit.
    void ApplyPresenterSize();
    bool PresenterSizeFits(int halves) const;
    void LayOutInstrument(int halves);
    void KeepOnScreen();
    QImage ShownLcdImage() const;
    // The Show menu's recordings, playback, animations and state links
    // (MainWindowShow.cpp).
    void AddShowActions();
    void CreateShowControl();
    void UpdateShowMenu();
    void LoadShowActionTexts();
    void ShowStatus(const QString& text);
    void ActionRecordClick();
    void ActionPlayClick();
    void ActionRecordAnimationClick();
    void ActionAnimateWholeClick();
    // The instrument as shown below the tool bar, drawn by the widgets
    // themselves into an image.
    QImage InstrumentImage();
    void ActionImportStateClick();
    void ActionOwnStateClick();
    void HideShowFileActions();
    // A point of the LCD widget as a point of the device's LCD picture.
    QPoint LcdPicturePoint(QPoint pos) const;
    void KioskPhaseChange();
    void KioskLanguage(const std::string& language);

    // The LCD picture for documentation (Ctrl+C, Ctrl+S).
    void InitLcdPictureFolder();
    bool LcdPictureShortcut(QKeyEvent* event);
    QImage LcdPictureImage() const;
    void CopyLcdPicture();
    void SaveLcdPicture();

    // Input (keys and mouse buttons press the instrument's keys).
    bool IsDeviceArea(QPoint pos) const;
    void FormMouseDown(Qt::MouseButton button);
    void FormMouseUp(Qt::MouseButton button);
    void FormKeyDown(int key);
    void FormKeyUp(int key);
    // Whether the Left (0) or Right (1) arrow is down; null for other keys.
    bool* ArrowDown(int key);
    void SetKeyState(int16_t key, bool down);
    void PointerMovedTo(QPoint pos, QPoint globalPos);
    void FormMouseMove();
    void ImageDeviceScreenMouseMove(QPoint pos, QPoint globalPos);
    void WMMouseLeave();
    void ClearActiveControl();

    TAuxWindowSeam& FAuxWindows;
    TTimer TimerQuickStartShow;
    // Qt's own dialogs follow the language box with the rest.
    TQtTranslation FQtTranslation;

    QToolBar* ToolBar = nullptr;
    QLabel* LabelLanguage = nullptr;
    QComboBox* ComboBoxLanguage = nullptr;
    QToolButton* ToolButtonHints = nullptr;
    // Key captions and the presenter size share the Show button's menu.
    QToolButton* ToolButtonShow = nullptr;
    QAction* ActionCaptions = nullptr;
    QAction* ActionRecord = nullptr;
    QAction* ActionPlay = nullptr;
    QAction* ActionRecordAnimation = nullptr;
    QAction* ActionAnimateWhole = nullptr;
    QAction* ActionImportState = nullptr;
    QAction* ActionOwnState = nullptr;
    std::vector<QAction*> ShowFileActions; // hidden in the kiosk
    QActionGroup* ActionGroupSize = nullptr;
    // The size the instrument is shown at, in halves of its designed size;
    // it may be smaller than the state's, on a small screen.
    int FShownSize = 2;
    QString FHintK1Text;
    QString FHintK2Text;
    // Overview, About and the user manual share one button's menu, so that
    // every button, Exit included, fits the instrument's width.
    QToolButton* ToolButtonHelp = nullptr;
    QAction* ActionOverview = nullptr;
    QAction* ActionAbout = nullptr;
    QAction* ActionUserManual = nullptr;
    QToolButton* ToolButtonMachines = nullptr;
    QToolButton* ToolButtonExercise = nullptr;
    QToolButton* ToolButtonTransfer = nullptr;
    QToolButton* ToolButtonExit = nullptr;
    TPictureBox* ImageDevice = nullptr;
    TPictureBox* ImageDeviceScreen = nullptr;
    TPictureBox* ImageButton1 = nullptr;
    TPictureBox* ImageButton2 = nullptr;
    TPictureBox* ImageHintK1 = nullptr;
    TCaptionStrip* CaptionStrip = nullptr;
    TPictureBox* ImageHintK2 = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusText = nullptr;
    TScreenHintWindow* ScreenHint = nullptr;
    // The Machines window, made at its first opening and kept (hidden when
    // closed) so that it reopens where the trainer left it. A window of its
    // own, not a child: its focused controls must not count as the main
    // window's, which leaves the arrow keys to the instrument only while
    // none of its own controls has the focus.
    std::unique_ptr<TFormMachines> FormMachines;
    // Exercises: made with the window, stopped when the device stops.
    std::unique_ptr<TExerciseControl> FExercise;
    // The Measurements window, the same way.
    std::unique_ptr<TFormMeasurements> FormMeasurements;
    // Record, Play, Record animation and Import state: made with the device.
    std::unique_ptr<TShowControl> FShow;
    // Transfer waits for the worker to finish what it is doing: tries left.
    int FTransferTries = 0;

    // Set while DeviceRefresh replays the pointer's position: that move
    // updates the LCD tooltip but is no sign of a user and must not keep the
    // device on.
    bool FSyntheticMove = false;
    // While a mouse button is held Qt sends every move here and no leave
    // event; this marks that the pointer has already left during the hold.
    bool FLeftWhileHeld = false;
    // The arrows down on the keyboard, Left and Right, as this window saw
    // them; forgotten when the window loses the keyboard, whose releases then
    // go elsewhere.
    bool FArrowsDown[2] = {false, false};
    // Where the next LCD picture is offered to be saved: the last folder used.
    QString FLcdPictureFolder;
    // The kiosk, while the window is one; its input watch feeds it.
    std::unique_ptr<TKiosk> FKiosk;
    std::unique_ptr<TUserInputWatch> FKioskInput;
    bool FKioskEnding = false;
};
