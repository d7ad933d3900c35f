// Recordings of headless runs replayed under virtual time: a faithful replay
// is verified, one changed key is reported at the line where it differs.
#include "SimRecord.h"
#include "SimSession.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const double kRecordedAt = EncodeDateTime(2026, 3, 14, 10, 30, 15, 250);

struct TRecordCase {
    const char* Name;
    std::vector<std::string> Prelude; // runs before the recording starts (the device off)
    std::vector<std::string> Lines;   // recorded
    uint32_t TickBase;
};

void PrintTo(const TRecordCase& c, std::ostream* os) {
    *os << c.Name;
}

// Runs lines in session, each of which must be accepted.
void RunAll(TSimSession& session, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::string error;
        ASSERT_TRUE(session.RunLine(line, error)) << line << ": " << error;
    }
}

std::string Record(const TRecordCase& c) {
    SavedState = TDeviceState{};
    ClearConditions();
    std::ostringstream out;
    TSimSession session(out, kRecordedAt);
    session.VirtualHost().SetTickBase(c.TickBase);
    RunAll(session, c.Prelude);
    session.Record().StartRecording();
    RunAll(session, c.Lines);
    return session.Record().FinishRecording();
}

// Replays script from another state, clock and language than it was recorded
// with: what it embeds must bring the instrument back.
std::string Replay(const std::string& script, std::string* error = nullptr) {
    SavedState = TDeviceState{};
    SavedState.SelectedPoint = 7;
    ClearConditions();
    std::ostringstream out;
    TSimSession session(out, EncodeDateTime(2031, 7, 1, 23, 59, 0, 0));
    RunAll(session, {"lang RUS", "condition 2 looseness"});
    std::istringstream in(script);
    std::string message;
    const bool ok = RunSimScript(session, in, message);
    if (error) *error = message;
    return ok ? session.Record().Verdict() : "error: " + message;
}

int LineOf(const std::string& script, const std::string& line, int occurrence = 1) {
    std::istringstream in(script);
    int n = 0;
    for (std::string l; std::getline(in, l);) {
        ++n;
        if (l == line && --occurrence == 0) return n;
    }
    ADD_FAILURE() << "no line " << line;
    return 0;
}

std::string ReplaceLine(std::string script, int lineNo, const std::string& with) {
    std::size_t at = 0;
    for (int n = 1; n < lineNo; ++n)
        at = script.find('\n', at) + 1;
    return script.replace(at, script.find('\n', at) - at, with);
}

const TRecordCase kKeysAndLanguages = {"KeysHeldKeysAndLanguages",
                                       {},
                                       {"k1-long", "wait 1500", "down k2", "wait 2500", "up", "wait 300",
                                        "lang RUS", "k2", "wait 500", "down k1", "wait 100", "down k2", "up",
                                        "wait 800", "lang ENG", "k1", "wait 61000", "k1-long", "wait 2000"},
                                       0};

const TRecordCase kCases[] = {
    kKeysAndLanguages,
    {"AConditionInForceAndAMeasurement",
     {"condition 2 imbalance velocity=9.5"},
     {"k1-long", "wait 1500", "k2", "k1", "condition 2 misalignment rpm=2950 velocity=7.1", "k2", "wait 5900",
      "k1", "wait 700"},
     0},
    {"AcrossTheTickCountsWrap",
     {},
     {"k1-long", "wait 1500", "down k1", "wait 1300", "up", "wait 200", "down k2", "wait 350", "up"},
     0xFFFFFFFFu - 2000},
    {"FromAStateMovedOnByAnEarlierRun",
     {"k1-long", "wait 1500", "k1", "k1", "k2", "wait 61000"},
     {"k1-long", "wait 1500", "k2", "wait 300"},
     0},
};

class SimRecordTest : public ::testing::TestWithParam<TRecordCase> {};

TEST_P(SimRecordTest, ARecordedRunReplaysToVerified) {
    const std::string script = Record(GetParam());
    EXPECT_EQ(Replay(script), "verified") << script;
}

INSTANTIATE_TEST_SUITE_P(Runs, SimRecordTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.Name); });

// A session recorded in real time: the clock it starts from has a fraction
// of a millisecond, and each pause of the worker (the 5 s acquisitions, the
// completion flashes) ends a few milliseconds late, by a different amount
// each time, as a real scheduler wakes it. The replay's pauses are exact, so
// its measurements are stamped a little earlier than the recorded ones.
TEST(SimRecordRealTimeTest, MeasurementsTakenWithLatencyReplayToVerified) {
    SavedState = TDeviceState{};
    ClearConditions();
    std::ostringstream out;
    TSimSession session(out, kRecordedAt + 0.6 / 86400000.0);
    uint32_t sleeps = 0;
    session.VirtualHost().SetSleepOverrun([&sleeps](uint32_t) { return 1 + (++sleeps * 7) % 13; });
    RunAll(session, {"condition 3 bearing-outer"});
    session.Record().StartRecording();
    RunAll(session, {"k1-long", "wait 1500", "k2", "k1", "k2", "wait 6000", "k1", "k1", "k2", "wait 6000",
                     "k1", "k2", "k2", "wait 6000", "k1-long", "wait 1000"});
    const std::string script = session.Record().FinishRecording();
    ASSERT_GT(sleeps, 3u) << "the acquisitions paused the worker";
    EXPECT_EQ(Replay(script), "verified") << script;

    // A time off by more than a scheduler's lateness, or a measurement the
    // replay does not hold, diverges at the key after which it was checked.
    std::istringstream in(script);
    int measuredLine = 0;
    std::string measured;
    for (std::string l; std::getline(in, l) && measured.empty();)
        if (++measuredLine; l.rfind("measured ", 0) == 0) measured = l;
    ASSERT_FALSE(measured.empty()) << script;
    const std::string point = measured.substr(9, measured.find(' ', 9) - 9);
    const std::string at = measured.substr(measured.find(' ', 9) + 1);
    for (const std::string& into :
         {"measured " + point + " " + at.substr(0, 17) + (at[17] == '5' ? "0" : "5") + at.substr(18),
          "measured 9 " + at}) {
        EXPECT_EQ(Replay(ReplaceLine(script, measuredLine, into)),
                  "diverged at line " + std::to_string(measuredLine - 2))
            << measured << " -> " << into;
    }
}

// Moving the pointer over the instrument keeps it on: a session that used no
// key for longer than the power-off time but moved the pointer replays on,
// and one that stopped moving replays off at the same moment. A pointer
// moving without a pause leaves a line a third of the power-off time at most.
TEST(SimRecordRealTimeTest, PointerMovesThatKeepTheInstrumentOnReplay) {
    struct TCase {
        const char* Name;
        std::vector<std::string> Lines;
        std::size_t MostLines;
    };
    std::vector<std::string> moving = {"k1-long", "wait 1500", "k1"};
    for (int i = 0; i < 2400; ++i) // two minutes, every 50 ms
        moving.insert(moving.end(), {"wait 50", "keep-alive"});
    moving.insert(moving.end(), {"wait 59000", "k2", "wait 500"});
    std::vector<std::string> stopping = moving;
    stopping[stopping.size() - 3] = "wait 60500"; // off just before the key
    const TCase cases[] = {
        {"now and then",
         {"k1-long", "wait 1500", "k1", "wait 50000", "keep-alive", "wait 50000", "keep-alive", "wait 59900",
          "k2", "wait 500"},
         2},
        {"a pause after quick moves",
         {"k1-long", "wait 1500", "k1", "wait 8000", "keep-alive", "wait 50", "keep-alive", "wait 55000",
          "keep-alive", "wait 50000", "k2", "wait 500"},
         2},
        {"without a pause", moving, 7},
        {"then still", stopping, 7},
    };
    for (const TCase& c : cases) {
        const std::string script = Record({c.Name, {}, c.Lines, 0});
        std::size_t lines = 0;
        for (std::size_t at = script.find("keep-alive\n"); at != std::string::npos;
             at = script.find("keep-alive\n", at + 1))
            ++lines;
        EXPECT_GE(lines, 1u) << c.Name;
        EXPECT_LE(lines, c.MostLines) << c.Name;
        EXPECT_EQ(Replay(script), "verified") << c.Name << '\n' << script;
    }
}

TEST(SimRecordDivergenceTest, OneChangedKeyIsReportedAtItsLine) {
    const std::string script = Record(kKeysAndLanguages);
    ASSERT_EQ(Replay(script), "verified");
    struct TChange {
        std::string Line;     // the recorded line changed
        std::string Into;     // what it becomes
        std::string Reported; // the key line the replay must name
    };
    const TChange changes[] = {
        {"k2", "k1", "k2"},                     // another key
        {"wait 2500", "wait 900", "up"},        // released before the repeats began
        {"down k2", "down k1", "up"},           // the other key held: it shows as it repeats
        {"lang RUS", "lang ENG", "k2"},         // the language shows with the next key's check
        {"wait 61000", "wait 59000", "k1-long"} // still on: the power-on is now a key to the menu
    };
    for (const TChange& change : changes) {
        const int line = LineOf(script, change.Line);
        const std::string changed = ReplaceLine(script, line, change.Into);
        int reported = LineOf(script, change.Reported);
        // The key line at or after the changed one.
        for (int occurrence = 2; reported < line; ++occurrence)
            reported = LineOf(script, change.Reported, occurrence);
        EXPECT_EQ(Replay(changed), "diverged at line " + std::to_string(reported))
            << change.Line << " -> " << change.Into;
    }
}

TEST(SimRecordDivergenceTest, ASecondRecordingInOneSessionHoldsOnlyItsOwnRun) {
    SavedState = TDeviceState{};
    ClearConditions();
    std::ostringstream out;
    TSimSession session(out, kRecordedAt);
    session.Record().StartRecording();
    RunAll(session, {"k1-long", "wait 1500", "k2", "lang RUS", "wait 61000"}); // ends switched off
    const std::string first = session.Record().FinishRecording();
    session.Record().StartRecording();
    RunAll(session, {"k1-long", "wait 1500", "k1", "wait 400"});
    const std::string second = session.Record().FinishRecording();
    EXPECT_EQ(second.find("k2"), std::string::npos) << "nothing of the first run: " << second;
    EXPECT_NE(second.find("lang RUS"), std::string::npos) << "starts in the language the first left";
    EXPECT_EQ(Replay(first), "verified");
    EXPECT_EQ(Replay(second), "verified");
}

TEST(SimRecordDivergenceTest, DamagedRecordingLinesAreRefusedWithAReason) {
    const std::pair<const char*, const char*> bad[] = {
        {"recording 3", "newer than this program reads"},
        {"recording x", "format number"},
        {"clock 2026-02-30 10:00:00.000", "YYYY-MM-DD HH:MM:SS.mmm"},
        {"clock 2026-02-03", "YYYY-MM-DD HH:MM:SS.mmm"},
        {"check 0123 4567", "16-digit"},
        {"check 0123456789abcdeg 0123456789abcdef", "16-digit"},
        {"k1-long\nwait 1500\nstate [Device]\nstate-end", "only while the instrument is off"},
    };
    for (const auto& [script, reason] : bad) {
        std::string error;
        EXPECT_EQ(Replay(script, &error).rfind("error: ", 0), 0u) << script;
        EXPECT_NE(error.find(reason), std::string::npos) << script << ": " << error;
    }
    EXPECT_EQ(Replay("k1-long\nwait 100\n"), "") << "a script without checks gets no verdict";
}

} // namespace
