#pragma once
// The desktop's exercises: opening one (the instrument is switched off and
// the exercise's own state replaces the trainee's, which is set aside),
// the answer sheet, closing (the trainee's state back), and the class
// results. The main window owns it and gives it the tool bar's actions;
// the swap waits, without blocking the GUI thread, until the device's
// worker has parked, so that no power-off writes one state over the other.
// GUI thread only.
#include "platform/Timer.h"
#include "training/ExerciseRun.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QTemporaryDir;
class QWidget;
class TFormExercise;
class TFormMeasurements;

class TExerciseControl {
  public:
    // onStateChanged runs after every swap of the state (open, close): the
    // main window updates what shows the state (the Machines window, the
    // language). showInMachines opens the Machines window at a route point.
    TExerciseControl(QWidget* mainWindow, std::function<void()> onStateChanged,
                     std::function<void(int16_t)> showInMachines);
    ~TExerciseControl();
    TExerciseControl(const TExerciseControl&) = delete;
    TExerciseControl& operator=(const TExerciseControl&) = delete;

    // Asks for an exercise file; a refused one gets one message and changes nothing.
    void OpenExercise();
    // The link that opens an exercise in the web edition goes on the
    // clipboard: the open exercise's, or else a file's the user picks. The
    // web edition's address is asked for once and kept in the state.
    void CopyExerciseLink();
    void ShowSheet();
    void CloseExercise();
    void ShowClassResults();
    // Every exercise has a measurement database of its own (in a folder of
    // its own that lives as long as the exercise, never the user's database):
    // Transfer to PC goes there while the exercise runs. Its path, empty
    // with no exercise open (or no folder to be had).
    std::string DbPath() const;
    // The exercise's database in a Measurements window of its own.
    void ShowDb();
    // Trend exercises (ExerciseControlVisits.cpp): this visit's readings go
    // into the exercise's database, then the next visit starts; the trend
    // shows that database after this visit's readings have joined it.
    void NextVisit();
    void ShowTrend();
    bool HasVisits() const { return FRun.IsOpen() && !FRun.Exercise().Visits.empty(); }
    const TExerciseRun& Run() const { return FRun; }

    // After every repaint of the instrument: the asked points measured.
    void DeviceRefreshed();
    // The device has stopped for good (the window closes): the trainee's
    // own state goes back before the program saves it.
    void DeviceStopped();
    void LoadTexts();

  private:
    void WhenParked(std::function<void()> then);
    void OpenVisitDb();
    void CloseVisitDb();
    // Adds the instrument's readings to the exercise's database; false with
    // the reason told to the user.
    bool KeepVisitReadings();
    uint64_t Ticks();

    QWidget* FMainWindow;
    std::function<void()> FOnStateChanged;
    std::function<void(int16_t)> FShowInMachines;
    TExerciseRun FRun;
    std::unique_ptr<TFormExercise> FSheet;
    void ClockTick();

    TTimer FParkTimer;
    // The time limit's countdown, once a second while a limited run is open.
    TTimer FClockTimer;
    std::function<void()> FAfterPark;
    // The run's clock: the host's 32-bit tick count, widened as it goes.
    uint64_t FTicks = 0;
    uint32_t FLastTick = 0;
    QString FFolder;
    std::unique_ptr<QTemporaryDir> FVisitFolder;
    std::unique_ptr<TFormMeasurements> FTrend;
};
