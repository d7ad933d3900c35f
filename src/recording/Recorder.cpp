#include "recording/Recorder.h"

#include "recording/KeyEventNames.h"

#include "device/KeyCodes.h"
#include "platform/DateTime.h"
#include "platform/Host.h"

#include <cinttypes>
#include <cstdio>
#include <sstream>

namespace {

std::string Hex64(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

} // namespace

void TRecorder::Start(double clock, const std::string& stateIni, const std::string& language) {
    FEntries.clear();
    FEntries.reserve(1024);
    FMeasuredTimes.clear();
    std::ostringstream header;
    header << "# A recorded session: orx700-sim FILE replays it and says verified, or\n"
           << "# diverged at line N (the first key after which the LCD or the state differ).\n"
           << "recording " << RECORDING_FORMAT << '\n'
           << "clock " << FormatRecordingClock(clock) << '\n';
    std::istringstream lines(stateIni);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        header << "state " << line << '\n';
    }
    header << "state-end\n"
           << "lang " << language << '\n';
    FHeader = header.str();
    FStartTick = GetTickCount();
    FRecording = true;
}

void TRecorder::Add(TKind kind, int16_t code, uint64_t lcd, uint64_t state, std::string text) {
    if (!FRecording) return;
    FEntries.push_back({GetTickCount(), kind, code, lcd, state, std::move(text)});
}

void TRecorder::KeyDown(int16_t key) {
    Add(TKind::Down, key);
}

void TRecorder::KeyUp() {
    Add(TKind::Up, 0);
}

void TRecorder::KeyEvent(int16_t code) {
    Add(TKind::Event, code);
}

void TRecorder::Language(const std::string& language) {
    Add(TKind::Language, 0, 0, 0, language);
}

void TRecorder::Condition(const std::string& args) {
    Add(TKind::Condition, 0, 0, 0, args);
}

void TRecorder::Check(uint64_t lcd, uint64_t state) {
    Add(TKind::Check, 0, lcd, state);
}

void TRecorder::Check(uint64_t lcd, const TStateFingerprint& state) {
    if (!FRecording) return;
    Check(lcd, state.Hash);
    for (const auto& [key, time] : state.MeasuredTimes) {
        bool known = false;
        for (const auto& [seenKey, seenTime] : FMeasuredTimes)
            known = known || (seenKey == key && seenTime == time);
        if (!known) Add(TKind::Measured, 0, 0, 0, key + ' ' + FormatRecordingClock(time));
    }
    FMeasuredTimes = state.MeasuredTimes;
}

std::string TRecorder::Finish(uint64_t lcd, const TStateFingerprint& state) {
    if (!FRecording) return {};
    Check(lcd, state);
    return Script();
}

std::string TRecorder::Finish(uint64_t lcd, uint64_t state) {
    if (!FRecording) return {};
    Check(lcd, state);
    return Script();
}

std::string TRecorder::Script() {
    FRecording = false;
    std::string script = FHeader;
    uint32_t at = FStartTick;
    for (const TEntry& e : FEntries) {
        // Unsigned: right across the tick count's wrap.
        if (const uint32_t gap = e.Tick - at; gap != 0) script += "wait " + std::to_string(gap) + '\n';
        at = e.Tick;
        switch (e.Kind) {
        case TKind::Down:
            script += e.Code == KEY_K1 ? "down k1\n" : "down k2\n";
            break;
        case TKind::Up:
            script += "up\n";
            break;
        case TKind::Event:
            script += KeyEventCommand(e.Code) + '\n';
            break;
        case TKind::Language:
            script += "lang " + e.Text + '\n';
            break;
        case TKind::Condition:
            script += "condition " + e.Text + '\n';
            break;
        case TKind::Check:
            script += "check " + Hex64(e.Lcd) + ' ' + Hex64(e.State) + '\n';
            break;
        case TKind::Measured:
            script += "measured " + e.Text + '\n';
            break;
        }
    }
    FEntries.clear();
    return script;
}

std::string FormatRecordingClock(double clock) {
    const TDateTimeParts p = DecodeDateTime(clock);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.Year, p.Month, p.Day, p.Hour,
                  p.Minute, p.Second, p.Ms);
    return text;
}

bool ParseRecordingClock(const std::string& text, double& clock) {
    int year, month, day, hour, minute, second, ms;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d%c", &year, &month, &day, &hour, &minute,
                    &second, &ms, &tail) != 7)
        return false;
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 || ms > 999)
        return false;
    clock = EncodeDateTime(year, month, day, hour, minute, second, ms);
    return DecodeDateTime(clock).Day == day;
}
