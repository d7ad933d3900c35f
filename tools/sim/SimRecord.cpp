#include "SimRecord.h"

#include "SimSession.h"

#include "device/LcdPicture.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "recording/KeyEventNames.h"
#include "recording/RecordingHash.h"
#include "recording/RecordingPlan.h"
#include "state/Inifile.h"

#include <vector>

namespace {

bool ParseScale(const std::string& text, int& scale) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    scale = std::stoi(text);
    return scale >= 1 && scale <= LCD_PICTURE_MAX_SCALE;
}

bool IsKeyLine(const std::vector<std::string>& words) {
    if (words.empty()) return false;
    if (words.size() == 1) return KeyEventFromCommand(words[0]).has_value() || words[0] == "up";
    return words.size() == 2 && words[0] == "down";
}

} // namespace

TSimRecord::TSimRecord(TSimSession& session) : FSession(session), FGif(session) {
    TDevice& device = FSession.Device();
    device.OnKeyWait = [before = device.OnKeyWait] {
        if (before) before();
        PublishCurrentDeviceState();
    };
}

TSimRecord::~TSimRecord() {
    FSession.Device().Buttons().InputObserver = nullptr;
}

void TSimRecord::BeginScript() {
    FLine = 0;
    FFormat = RECORDING_FORMAT;
    FCheck = TReplayCheck{};
    FState.clear();
}

bool TSimRecord::EndScript(std::string& error) {
    return !FGif.Capturing() || FGif.End(error);
}

void TSimRecord::StartRecording() {
    TVirtualHost& host = FSession.VirtualHost();
    FRecorder.Start(host.Now(), StateIniText(SavedState),
                    GetThreadLanguage() == LANG_RUSSIAN ? "RUS" : "ENG");
    FSession.Device().Buttons().InputObserver = &FRecorder;
    FLastWasKey = false;
    FLastCommand.clear();
}

std::string TSimRecord::FinishRecording() {
    if (!FRecorder.Recording()) return {};
    CommitLastLine();
    FSession.Device().Buttons().InputObserver = nullptr;
    return FRecorder.Finish(LcdHash(), CurrentStateFingerprint(FSession.Device().IsOn()));
}

// The line before ran without error, and time has not moved since.
void TSimRecord::CommitLastLine() {
    if (FRecorder.Recording()) {
        if (const auto code = KeyEventFromCommand(FLastCommand); code && FLastArgs.empty())
            FRecorder.KeyEvent(*code);
        else if (FLastCommand == "lang")
            FRecorder.Language(FLastArgs);
        else if (FLastCommand == "condition")
            FRecorder.Condition(FLastArgs);
        if (FLastWasKey) FRecorder.Check(LcdHash(), CurrentStateFingerprint(FSession.Device().IsOn()));
    }
    FLastWasKey = false;
    FLastCommand.clear();
    FLastArgs.clear();
}

bool TSimRecord::RunLine(const std::string& line, bool& ok, std::string& error) {
    ++FLine;
    CommitLastLine();
    // A state line is taken as it stands: an ini line may hold a '#'.
    const std::size_t start = line.find_first_not_of(" \t");
    const std::string trimmed = start == std::string::npos ? std::string() : line.substr(start);
    if (trimmed == "state" || trimmed.rfind("state ", 0) == 0) {
        FState += (trimmed.size() > 6 ? trimmed.substr(6) : std::string()) + '\n';
        ok = true;
        return true;
    }
    const std::vector<std::string> words = ScriptLineWords(line);
    if (words.empty()) return false;
    if (RunRecordingLine(line, words[0], ok, error)) return true;
    if (IsKeyLine(words)) {
        FCheck.KeyLine(FLine);
        FLastWasKey = true;
    }
    FLastCommand = words[0];
    for (std::size_t i = 1; i < words.size(); ++i)
        FLastArgs += (i > 1 ? " " : "") + words[i];
    return false;
}

bool TSimRecord::RunRecordingLine(const std::string& line, const std::string& command, bool& ok,
                                  std::string& error) {
    const std::vector<std::string> words = ScriptLineWords(line);
    ok = false;
    if (command == "recording") {
        if (words.size() != 2 || words[1].empty() || words[1].size() > 4 ||
            words[1].find_first_not_of("0123456789") != std::string::npos || std::stoi(words[1]) < 1) {
            error = "recording needs its format number";
        } else if (std::stoi(words[1]) > RECORDING_FORMAT) {
            error = "this recording is in format " + words[1] + ", newer than this program reads (" +
                    std::to_string(RECORDING_FORMAT) + ")";
        } else {
            FFormat = std::stoi(words[1]);
            ok = true;
        }
    } else if (command == "clock") {
        double clock = 0;
        if (words.size() != 3 || !ParseRecordingClock(words[1] + " " + words[2], clock)) {
            error = "clock needs a date and time as YYYY-MM-DD HH:MM:SS.mmm";
        } else {
            FSession.VirtualHost().SetClock(clock);
            ok = true;
        }
    } else if (command == "state-end") {
        if (FSession.Device().IsOn()) {
            error = "a starting state can be set only while the instrument is off";
        } else {
            ReadIniState(TIniDocument(FState), SavedState);
            ok = true;
        }
        FState.clear();
    } else if (command == "gif" && (words.size() == 2 || words.size() == 3)) {
        int scale = 2;
        if (words.size() == 3 && !ParseScale(words[2], scale))
            error = "gif needs a scale from 1 to " + std::to_string(LCD_PICTURE_MAX_SCALE) + ", got '" +
                    words[2] + "'";
        else
            ok = FGif.Start(words[1], scale, error);
    } else if (command == "gif-end" && words.size() == 1) {
        ok = FGif.End(error);
    } else if (command == "check") {
        uint64_t lcd = 0;
        uint64_t state = 0;
        if (words.size() != 3 || !ParseCheckArguments(words[1], words[2], lcd, state)) {
            error = "check needs two 16-digit hexadecimal fingerprints (the LCD's and the state's)";
        } else {
            const TDeviceState now = CurrentDeviceState(FSession.Device().IsOn());
            FCheck.Compare(FLine, lcd, state, LcdHash(),
                           FFormat < 2 ? StateHashWithTimes(now) : StateHash(now));
            ok = true;
        }
    } else if (command == "keep-alive" && words.size() == 1) {
        FSession.Device().KeepAlive();
        ok = true;
    } else if (command == "measured") {
        double want = 0;
        if (words.size() != 4 || !ParseRecordingClock(words[2] + " " + words[3], want)) {
            error = "measured needs a point's key and a date and time as YYYY-MM-DD HH:MM:SS.mmm";
        } else {
            const TStateFingerprint now = CurrentStateFingerprint(FSession.Device().IsOn());
            const double* have = nullptr;
            for (const auto& [key, time] : now.MeasuredTimes)
                if (key == words[1]) have = &time;
            FCheck.CompareMeasuredTime(FLine, want, have);
            ok = true;
        }
    } else {
        return false;
    }
    return true;
}
