#include "SimSession.h"
#include "SimStateLink.h"

#include "PngFile.h"
#include "SimRecord.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "device/LcdPicture.h"
#include "device/ScreenArt.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "recording/RecordingPlan.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

namespace {

const std::map<std::string, int16_t> kKeyCommands = {{"k1", KEY_K1 + KEY_SHORT},
                                                     {"k1-long", KEY_K1 + KEY_LONG},
                                                     {"k1-hold", KEY_K1 + KEY_REPEAT},
                                                     {"k2", KEY_K2 + KEY_SHORT},
                                                     {"k2-long", KEY_K2 + KEY_LONG},
                                                     {"k2-hold", KEY_K2 + KEY_REPEAT},
                                                     {"both", KEY_BOTH},
                                                     {"none", KEY_NONE}};

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

bool ParseMilliseconds(const std::string& text, uint32_t& ms) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    ms = static_cast<uint32_t>(std::stoul(text));
    return true;
}

bool ParseScale(const std::string& text, int& scale) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    scale = std::stoi(text);
    return scale >= 1 && scale <= LCD_PICTURE_MAX_SCALE;
}

} // namespace

TSimSession::TSimSession(std::ostream& out, double clock) : FOut(out), FInstall(FHost) {
    FHost.SetClock(clock);
    SetThreadLanguage(LANG_ENGLISH);
    FDevice = std::make_unique<TDevice>(FirmwareMain, &MenuState.Backlight);
    g_Device = FDevice.get();
    FDevice->Buttons().OnKeyEvent = [this, post = FDevice->Buttons().OnKeyEvent](int16_t code) {
        FLastKeyAt = FHost.Elapsed();
        post(code);
    };
    FHost.RunUntilIdle();
    FRecord = std::make_unique<TSimRecord>(*this);
}

TSimSession::~TSimSession() {
    FRecord.reset();
    FDevice.reset();
    g_Device = nullptr;
}

void TSimSession::PostAndSettle(int16_t code) {
    FDevice->PostKeyEvent(code);
    FHost.RunUntilIdle();
}

bool TSimSession::RunLine(const std::string& line, std::string& error) {
    if (bool ok = false; FRecord->RunLine(line, ok, error)) return ok;
    // An exercise link holds a '#': exercise-open's line is taken as it stands.
    const std::vector<std::string> all = Words(line);
    const bool whole = !all.empty() && all.front() == "exercise-open";
    const std::string content = whole ? line : line.substr(0, line.find('#'));
    const std::vector<std::string> words = Words(content);
    if (words.empty()) return true;
    const std::string& command = words[0];

    if (const auto key = kKeyCommands.find(command); key != kKeyCommands.end() && words.size() == 1) {
        PostAndSettle(key->second);
    } else if (command == "down" && words.size() == 2 && (words[1] == "k1" || words[1] == "k2")) {
        ButtonDown(FDevice->Buttons(), words[1] == "k1" ? KEY_K1 : KEY_K2);
        FHost.RunUntilIdle();
    } else if (command == "up" && words.size() == 1) {
        ButtonUp(FDevice->Buttons());
        FHost.RunUntilIdle();
    } else if (command == "wait" && words.size() == 2) {
        uint32_t ms = 0;
        if (!ParseMilliseconds(words[1], ms)) {
            error = "wait needs a number of milliseconds (0..999999999), got '" + words[1] + "'";
            return false;
        }
        Wait(ms);
    } else if (command == "lang" && words.size() == 2 && (words[1] == "ENG" || words[1] == "RUS")) {
        const LANGID lang = words[1] == "ENG" ? LANG_ENGLISH : LANG_RUSSIAN;
        SetThreadLanguage(lang);
        FDevice->SetLanguage(lang);
        FHost.RunUntilIdle();
    } else if (command == "png" && (words.size() == 2 || words.size() == 3)) {
        int scale = 2;
        if (words.size() == 3 && !ParseScale(words[2], scale)) {
            error = "png needs a scale from 1 to " + std::to_string(LCD_PICTURE_MAX_SCALE) + ", got '" +
                    words[2] + "'";
            return false;
        }
        if (!WritePngFile(words[1], LCD_PICTURE_WIDTH * scale, LCD_PICTURE_HEIGHT * scale,
                          ScaledLcdPicture(FDevice->Picture(), scale), error))
            return false;
    } else if (command == "condition" && words.size() >= 3) {
        if (!ApplyConditionLine(content.substr(content.find("condition") + 9), error)) return false;
    } else if (TSimExercise::Handles(command)) {
        if (!FExercise.RunLine(words, content, error)) return false;
    } else if (SimStateLinkHandles(command)) {
        if (!RunSimStateLink(*this, words, error)) return false;
    } else if (command == "transfer" && words.size() == 2) {
        if (!RunSimTransfer(*FDevice, words[1], FOut, error)) return false;
    } else if (command == "show" && words.size() == 1) {
        ShowJson();
    } else if (command == "show" && words.size() == 2 && words[1] == "--art") {
        FOut << ScreenArt(*FDevice);
    } else {
        error = "not a command: '" + content.substr(content.find_first_not_of(" \t")) +
                "' (k1, k1-long, k1-hold, k2, k2-long, k2-hold, both, none, down k1|k2, up, wait MS, "
                "lang ENG|RUS, condition POINT NAME [key=value ...], show [--art], png FILE [SCALE], "
                "exercise-save, exercise-link, exercise-open, answer, submit, exercise-close, visit, "
                "next-visit, exercise-db, transfer DB, "
                "link-out FILE, link-in FILE)";
        return false;
    }
    FExercise.Observe();
    return true;
}

// A held key repeats every 50 ms for as long as it is held, and the firmware
// answers each repeat: over a long wait, millions of key events. Where the
// instrument goes round a cycle of states, whole cycles are skipped, so that
// the wait ends as stepping through every repeat would end it. A cycle is
// taken only when two whole turns of it were seen, repeat by repeat, with
// nothing in them that used the time (the clock, a pause, a timed wait, a
// message), and only up to the longest cycle the instrument has: every
// off-route point and the route.
void TSimSession::Wait(uint32_t ms) {
    constexpr std::size_t kLongestCycle = 2 * (ROUTE_POINT_COUNT + 480);
    const uint64_t end = FHost.Elapsed() + ms;
    std::vector<std::string> states; // after each repeat, since time was last used
    std::map<std::string, std::size_t> lastSeen;
    uint64_t uses = FHost.TimeUses();
    bool skipped = false;
    for (;;) {
        const uint64_t now = FHost.Elapsed();
        const TKeyButtons& keys = FDevice->Buttons();
        if (now >= end || keys.HeldKey == 0 || !keys.RepeatTimer->Enabled() || !FDevice->IsOn()) break;
        // Up to the next repeat: the first comes KEY_FIRST_REPEAT_MS after the
        // press, the others KEY_REPEAT_MS after the one before.
        const uint64_t since =
            keys.RepeatTimer->Tag == 0 ? GetTickCount() - keys.PressTick : now - FLastKeyAt;
        const uint64_t period = keys.RepeatTimer->Tag == 0 ? KEY_FIRST_REPEAT_MS : KEY_REPEAT_MS;
        const uint64_t step = std::min(end - now, since < period ? period - since : 1);
        FHost.Advance(static_cast<uint32_t>(step));
        if (FLastKeyAt != FHost.Elapsed() || FHost.TimeUses() != uses || skipped) {
            states.clear();
            lastSeen.clear();
            uses = FHost.TimeUses();
            continue;
        }
        const std::size_t n = states.size();
        states.push_back(InstrumentState());
        const auto seen = lastSeen.find(states.back());
        if (seen != lastSeen.end()) {
            const std::size_t cycle = n - seen->second;
            // The last turn repeats the one before it, state for state.
            bool twice = n >= 2 * cycle;
            for (std::size_t i = 0; twice && i <= cycle; ++i)
                twice = states[n - i] == states[n - i - cycle];
            if (twice) {
                const uint64_t turn = cycle * KEY_REPEAT_MS;
                FHost.SkipAhead((end - FHost.Elapsed()) / turn * turn);
                FLastKeyAt = FHost.Elapsed();
                skipped = true;
                continue;
            }
        }
        lastSeen[states.back()] = n;
        if (states.size() > 2 * kLongestCycle) {
            states.erase(states.begin());
            lastSeen.clear();
            for (std::size_t i = 0; i < states.size(); ++i)
                lastSeen[states[i]] = i;
        }
    }
    const uint64_t now = FHost.Elapsed();
    if (now < end) FHost.Advance(static_cast<uint32_t>(end - now));
}

// What the firmware keeps between two key events, as far as a repeat can
// change it: the LCD, the hints, the menu state and the store.
std::string TSimSession::InstrumentState() {
    std::string state(reinterpret_cast<const char*>(LcdBuffer), sizeof LcdBuffer);
    state.append(reinterpret_cast<const char*>(&MenuState), sizeof MenuState);
    state += FDevice->GetHintK1() + '\0' + FDevice->GetHintK2() + '\0';
    for (const TScreenHintRegion& r : g_ScreenHints.Regions())
        state += std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
                 std::to_string(r.Bottom) + r.Text + '\0';
    std::array<uint16_t, ROUTE_POINT_COUNT> route{};
    RouteSave(route);
    std::vector<uint16_t> offRoute;
    OffRouteSave(offRoute);
    state.append(reinterpret_cast<const char*>(route.data()), sizeof route);
    state.append(reinterpret_cast<const char*>(offRoute.data()), offRoute.size() * sizeof(uint16_t));
    state += FDevice->IsLit() ? 'L' : 'D';
    return state;
}

void TSimSession::ShowJson() {
    static const char* const kHex = "0123456789abcdef";
    std::string lcd;
    for (const uint8_t byte : LcdBuffer) {
        lcd += kHex[byte >> 4];
        lcd += kHex[byte & 0xF];
    }
    FOut << "{\"on\": " << (FDevice->IsOn() ? "true" : "false")
         << ", \"lit\": " << (FDevice->IsLit() ? "true" : "false") << ", \"lcd\": \"" << lcd
         << "\", \"k1\": " << JsonString(FDevice->GetHintK1())
         << ", \"k2\": " << JsonString(FDevice->GetHintK2()) << ", \"regions\": [";
    bool first = true;
    for (const TScreenHintRegion& r : g_ScreenHints.Regions()) {
        FOut << (first ? "" : ", ") << "[" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom
             << ", " << JsonString(r.Text) << "]";
        first = false;
    }
    FOut << "]}\n";
}

bool RunSimScript(TSimSession& session, std::istream& script, std::string& error) {
    session.Record().BeginScript();
    std::string line;
    for (int lineNo = 1; std::getline(script, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string message;
        if (!session.RunLine(line, message)) {
            error = "line " + std::to_string(lineNo) + ": " + message;
            return false;
        }
    }
    if (!session.Record().EndScript(error)) return false;
    return true;
}
