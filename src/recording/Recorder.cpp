#include "recording/Recorder.h"

#include "recording/KeyEventNames.h"

#include "device/Device.h"
#include "device/KeyCodes.h"
#include "measure/PointConditions.h"
#include "platform/DateTime.h"
#include "platform/Host.h"
#include "recording/RecordingPlan.h"

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
    FConditions = AssignedConditions();
    FKeepAlivePending = false;
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
    FKeepAliveLineTick = FStartTick;
    FRecording = true;
}

void TRecorder::Add(TKind kind, int16_t code, uint64_t lcd, uint64_t state, std::string text) {
    if (!FRecording) return;
    FlushKeepAlive();
    FEntries.push_back({GetTickCount(), kind, code, lcd, state, std::move(text)});
}

void TRecorder::KeyDown(int16_t key) {
    Add(TKind::Down, key);
}

void TRecorder::KeyUp() {
    Add(TKind::Up, 0);
}

void TRecorder::FlushKeepAlive() {
    if (!FKeepAlivePending) return;
    FKeepAlivePending = false;
    FKeepAliveLineTick = FKeepAliveTick;
    FEntries.push_back({FKeepAliveTick, TKind::KeepAlive, 0, 0, 0, {}});
}

// The replay powers off exactly when the session did as long as it has the
// last restart before each power-off (one followed by a pause of a third of
// the count or more is kept, as is the last before any other line), and no
// more than a count apart while the session stayed on (a long stretch of
// moves keeps one every third of a count).
void TRecorder::KeepAlive() {
    if (!FRecording) return;
    constexpr uint32_t kSpan = POWER_OFF_MS / 3;
    const uint32_t now = GetTickCount();
    // Unsigned differences: right across the tick count's wrap.
    if (FKeepAlivePending && now - FKeepAliveTick >= kSpan) FlushKeepAlive();
    FKeepAlivePending = true;
    FKeepAliveTick = now;
    if (now - FKeepAliveLineTick >= kSpan) FlushKeepAlive();
}

void TRecorder::KeyEvent(int16_t code) {
    Add(TKind::Event, code);
}

void TRecorder::Language(const std::string& language) {
    Add(TKind::Language, 0, 0, 0, language);
}

void TRecorder::Condition(const std::string& args) {
    Add(TKind::Condition, 0, 0, 0, args);
    FConditions = AssignedConditions();
}

void TRecorder::ConditionsChanged() {
    if (!FRecording) return;
    const std::map<int16_t, TCondition> now = AssignedConditions();
    for (const std::string& line : ConditionLinesBetween(FConditions, now))
        Add(TKind::Condition, 0, 0, 0, line);
    FConditions = now;
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
        case TKind::KeepAlive:
            script += "keep-alive\n";
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
