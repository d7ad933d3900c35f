#pragma once
// The window's tools for showing the instrument to others (the tool bar's
// Show menu): Record a session as a script orx700-sim replays and checks,
// Play one in real time, Record animation of the LCD (or of the whole
// instrument with its key captions) as an animated GIF,
// and Import state from a link that opens a prepared instrument.
//
// Play and Import put another state in force, after switching the
// instrument off; the user's own state is set aside once and Own state
// brings it back. A playback runs on a copy: when the program ends on it,
// the user's own state is what gets saved. An imported state is the user's
// choice and is saved as any other. The swaps wait, without blocking the GUI
// thread, until the device's worker has parked. GUI thread only.
#include "platform/Timer.h"
#include "recording/AnimationCapture.h"
#include "recording/ColourCapture.h"
#include "recording/RecordingPlan.h"
#include "recording/RecordingPlayer.h"
#include "recording/SessionRecorder.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;
class TDevice;

class TShowControl {
  public:
    // What the controller needs of the main window.
    struct TWindow {
        QWidget* Widget = nullptr;
        // A text for the status bar; an empty one puts the usage line back.
        std::function<void(const QString&)> SetStatus;
        // "ENG" or "RUS" through the language box, as a user's choice.
        std::function<void(const std::string&)> SetLanguage;
        // After another state came in: what shows the state follows it.
        std::function<void()> StateChanged;
        // The instrument as the window shows it now (artwork, LCD, balloons,
        // key captions), for an animation of the whole instrument.
        std::function<QImage()> InstrumentImage;
    };

    TShowControl(TDevice& device, TWindow window);
    ~TShowControl();
    TShowControl(const TShowControl&) = delete;
    TShowControl& operator=(const TShowControl&) = delete;

    // Record / Stop recording (ShowRecording.cpp). A recording starts with
    // the instrument off (the user is asked to switch it off); stopping waits
    // for a measurement under way to end, then asks where to save. then runs
    // once the recording is saved or given up.
    void ToggleRecording(std::function<void()> then = {});
    bool Recording() const { return FRecorder.Recording() || FStopping; }
    // The window's language box changed ("ENG", "RUS").
    void LanguageChanged(const std::string& language);

    // Play... (ShowPlayback.cpp).
    void Play();
    bool Playing() const { return FPlayer.Playing(); }
    // Own state: the user's state back, the instrument off.
    void OwnState();
    bool OnOtherState() const { return FOwnState.has_value(); }

    // Record animation / Stop (ShowAnimation.cpp): of the LCD, or of the
    // whole instrument when the state asks for it. A whole instrument's
    // capture that fills its memory ends there and asks where to save.
    void ToggleAnimation();
    bool Animating() const { return FAnimation.Capturing() || FWholeAnimation.Capturing(); }
    // After every repaint of the instrument, once the window shows it.
    void DeviceRefreshed();
    // After the key captions' look changed.
    void CaptionsChanged();

    // Import state... (ShowImport.cpp).
    void ImportState();

    // Before an exercise puts its own state in (ShowControl.cpp): a
    // recording under way is stopped and saved once the user agrees (no:
    // then never runs), a playback stops, and a playback's copy gives way to
    // the user's own state, which is what the exercise then sets aside and
    // gives back. then runs once the instrument is free.
    void FreeForExercise(std::function<void()> then);

    // Before the device goes: nothing of it is touched after this.
    void DeviceStopping();
    // The device has stopped for good: after a playback the user's own state
    // goes back, for the program to save it.
    void DeviceStopped();

  private:
    // Switches off; then runs once the worker has parked, or a message says
    // it did not in time.
    void WhenParked(std::function<void()> then);
    // Puts stateIni in force, the user's own state set aside first;
    // afterPlayback: whether the program's end brings the own one back.
    void PutState(const std::string& stateIni, bool copy);
    void ReadState(const std::string& stateIni);
    void FinishRecording(std::function<void()> then);
    void PlayTick();
    void TakeOver();
    uint64_t AnimationTime() const;
    void SetUpAnimationTimers();
    void StartAnimation();
    void FinishAnimation();
    void CaptureWholeInstrument();

    TDevice& FDevice;
    TWindow FWindow;
    TTimer FParkTimer;
    std::function<void()> FAfterPark;
    uint32_t FParkStart = 0;

    TSessionRecorder FRecorder;
    uint32_t FRecordStart = 0;
    bool FStopping = false;
    TTimer FSettleTimer;
    QString FFolder;

    TRecordingPlan FPlan;
    TRecordingPlayer FPlayer;
    TTimer FPlayTimer;
    QString FPlayName;
    std::unique_ptr<QObject> FTakeOverWatch;
    std::optional<std::string> FOwnState; // the user's own state while another is in force
    bool FOwnBackAtEnd = false;

    TAnimationCapture FAnimation;
    uint32_t FAnimationStart = 0;
    TColourCapture FWholeAnimation;
    QSize FWholeSize;
    // The captions' fade is taken in a few steps, not at every repaint: a
    // change within a step of the last one taken waits for the step's end.
    TTimer FCaptionStepTimer;
    bool FCaptionsChangedInStep = false;
    // A full capture is saved after the repaint that filled it.
    TTimer FFullTimer;
};
