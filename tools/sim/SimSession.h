#pragma once
// A headless instrument: the real device runtime and firmware under virtual
// time, driven one script command at a time. Used by orx700-sim and by the
// firmware scenario tests.
#include "SimExercise.h"

#include "device/Device.h"
#include "platform/VirtualHost.h"

class TSimRecord;

#include <memory>
#include <ostream>
#include <string>

class TSimSession {
  public:
    // The device starts off, in English, from the saved state as it stands.
    TSimSession(std::ostream& out, double clock);
    // Closes the device as the program does at exit: the firmware unwinds
    // and keeps its state.
    ~TSimSession();
    TSimSession(const TSimSession&) = delete;
    TSimSession& operator=(const TSimSession&) = delete;

    // Runs one script line (comments and blank lines do nothing). False with
    // a message for a line that is not a command.
    bool RunLine(const std::string& line, std::string& error);

    TVirtualHost& VirtualHost() { return FHost; }
    TDevice& Device() { return *FDevice; }
    std::ostream& Out() { return FOut; }
    TSimExercise& Exercise() { return FExercise; }
    TSimRecord& Record() { return *FRecord; }

  private:
    void PostAndSettle(int16_t code);
    void Wait(uint32_t ms);
    std::string InstrumentState();
    void ShowJson();

    std::ostream& FOut;
    TVirtualHost FHost;
    THostInstall FInstall;
    std::unique_ptr<TDevice> FDevice;
    uint64_t FLastKeyAt = 0; // when the keys last sent an event
    TSimExercise FExercise{*this};
    std::unique_ptr<TSimRecord> FRecord;
};

// "transfer DB" (SimTransfer.cpp): one line of outcome on out; false with a
// reason when the database is refused or could not take the readings.
bool RunSimTransfer(TDevice& device, const std::string& path, std::ostream& out, std::string& error);

// Runs a whole script; false with "line N: message" at the first bad line.
bool RunSimScript(TSimSession& session, std::istream& script, std::string& error);
