// The exercise file: what is written reads back the same, a reader does
// not see the answers at a glance, and a file that is not a sound exercise
// of this version is refused with its reason and changes nothing.
#include "training/ExerciseFile.h"
#include "TrainingSamples.h"
#include "measure/Routes.h"
#include "resources/StringIds.h"
#include "training/HiddenText.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(ExerciseFile, ReadsBackWhatItWroteWithTheAnswersOutOfSight) {
    const TExercise written = ThreePumps();
    ASSERT_EQ(CheckExercise(written), 0);
    const std::string text = FormatExercise(written);
    TExercise read;
    ASSERT_EQ(ParseExercise(text, read), 0) << text;
    EXPECT_EQ(read, written);
    EXPECT_EQ(ExerciseFingerprint(read), ExerciseFingerprint(written));
    for (int kind = 0; kind < CONDITION_KIND_COUNT; ++kind)
        EXPECT_EQ(text.find(ConditionName(static_cast<TConditionKind>(kind))), std::string::npos)
            << ConditionName(static_cast<TConditionKind>(kind)) << " shows in\n"
            << text;
    for (const char* figure : {"rpm=", "velocity=", "1480", "shares"})
        EXPECT_EQ(text.find(figure), std::string::npos) << figure;

    // A copy given CRLF line ends (a mail program, an editor) is the same exercise.
    const std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    TExercise copy;
    ASSERT_EQ(ParseExercise("\xEF\xBB\xBF" + crlf + "\r\n", copy), 0);
    EXPECT_EQ(ExerciseFingerprint(copy), ExerciseFingerprint(written));

    // Any field changed is another exercise.
    TExercise other = written;
    other.Conditions[6].Velocity = 2.1;
    EXPECT_NE(ExerciseFingerprint(other), ExerciseFingerprint(written));
    other = written;
    other.Asked[2].What = TAsk::Both;
    EXPECT_NE(ExerciseFingerprint(other), ExerciseFingerprint(written));
    EXPECT_EQ(ExerciseFingerprint(written).size(), 16u);
}

TEST(ExerciseFile, EveryCutIsRefusedAndEveryLineCutSaysSo) {
    const std::string text = FormatExercise(ThreePumps());
    const TExercise before = ThreePumps();
    for (std::size_t size = 0; size + 1 < text.size(); ++size) {
        TExercise kept = before;
        const int reason = ParseExercise(text.substr(0, size), kept);
        ASSERT_NE(reason, 0) << "cut at " << size;
        EXPECT_EQ(kept, before);
        if (size > 0 && text[size - 1] == '\n' && size > text.find('\n', text.find('\n') + 1)) {
            EXPECT_EQ(reason, TEXT_EXERCISE_TRUNCATED) << "cut after line ending at " << size;
        }
    }
}

struct TRefusal {
    const char* Case;
    std::string (*Make)(const std::string& sound);
    int Reason;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The text with its check line made right again, as a careful forger would.
std::string Rechecked(const std::string& text) {
    const std::size_t at = text.rfind("check=");
    std::string body = text.substr(0, at - 1);
    return body + "\ncheck=" + HashHex(ContentHash(body)) + "\n";
}

const TRefusal kRefusals[] = {
    {"Empty", [](const std::string&) { return std::string(); }, TEXT_EXERCISE_FOREIGN},
    {"AnIni", [](const std::string&) { return std::string("[RoutePoints]\n1=4\n"); }, TEXT_EXERCISE_FOREIGN},
    {"ASubmission", [](const std::string&) { return std::string("ORX-700 submission\nversion=1\n"); },
     TEXT_EXERCISE_FOREIGN},
    {"Binary", [](const std::string&) { return std::string("\x89PNG\r\n\x1a\n\0\0", 10); },
     TEXT_EXERCISE_FOREIGN},
    {"MagicOnly", [](const std::string&) { return std::string("ORX-700 exercise\n"); },
     TEXT_EXERCISE_TRUNCATED},
    {"Future", [](const std::string& s) { return Rechecked(Replace(s, "version=1", "version=3")); },
     TEXT_EXERCISE_FUTURE},
    {"FarFuture", [](const std::string& s) { return Replace(s, "version=1", "version=99999\nnew-key=x"); },
     TEXT_EXERCISE_FUTURE},
    {"VersionZero", [](const std::string& s) { return Rechecked(Replace(s, "version=1", "version=0")); },
     TEXT_EXERCISE_DAMAGED},
    {"OneByteOfTheTitle", [](const std::string& s) { return Replace(s, "one bad", "one mad"); },
     TEXT_EXERCISE_DAMAGED},
    {"OneByteOfTheHidden", [](const std::string& s) { return Replace(s, "hidden=", "hidden=A"); },
     TEXT_EXERCISE_DAMAGED},
    {"AskedTurnedToZone", [](const std::string& s) { return Replace(s, "ask.2=both", "ask.2=zone"); },
     TEXT_EXERCISE_DAMAGED},
    // Sound checks over unsound content: still refused, not read halfway.
    {"HiddenNotBase64", [](const std::string& s) { return Rechecked(Replace(s, "hidden=", "hidden=*")); },
     TEXT_EXERCISE_DAMAGED},
    {"AskedOffRoute", [](const std::string& s) { return Rechecked(Replace(s, "ask.9=zone", "ask.14=zone")); },
     TEXT_EXERCISE_DAMAGED},
    {"AskedWithoutCondition",
     [](const std::string& s) { return Rechecked(Replace(s, "ask.9=zone", "ask.9=zone\nask.10=zone")); },
     TEXT_EXERCISE_DAMAGED},
    {"UnknownGroup",
     [](const std::string& s) { return Rechecked(Replace(s, "machine.1=2-rigid", "machine.1=3")); },
     TEXT_EXERCISE_DAMAGED},
    {"TimeLimitPastADay",
     [](const std::string& s) { return Rechecked(Replace(s, "time-limit=900", "time-limit=86401")); },
     TEXT_EXERCISE_DAMAGED},
    {"BadEscape", [](const std::string& s) { return Rechecked(Replace(s, "\\nA path", "\\qA path")); },
     TEXT_EXERCISE_DAMAGED},
    {"KeyTwice",
     [](const std::string& s) {
         return Rechecked(Replace(s, "time-limit=900", "time-limit=900\ntime-limit=900"));
     },
     TEXT_EXERCISE_DAMAGED},
};

class ExerciseFileRefusal : public ::testing::TestWithParam<TRefusal> {};

TEST_P(ExerciseFileRefusal, GivesItsReasonAndChangesNothing) {
    const std::string sound = FormatExercise(ThreePumps());
    TExercise kept;
    kept.Title = "the exercise open before";
    const TExercise before = kept;
    EXPECT_EQ(ParseExercise(GetParam().Make(sound), kept), GetParam().Reason);
    EXPECT_EQ(kept, before);
}

INSTANTIATE_TEST_SUITE_P(Files, ExerciseFileRefusal, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<TRefusal>& p) {
                             return std::string(p.param.Case);
                         });

// Visits: the dates in sight, every visit's conditions hidden; an exercise
// without visits is still written as the first version, which every
// program reads.
TEST(ExerciseFile, VisitsReadBackWithTheirConditionsOutOfSight) {
    const TExercise written = BearingWear();
    ASSERT_EQ(CheckExercise(written), 0);
    const std::string text = FormatExercise(written);
    TExercise read;
    ASSERT_EQ(ParseExercise(text, read), 0) << text;
    EXPECT_EQ(read, written);
    EXPECT_NE(text.find("version=2\n"), std::string::npos);
    EXPECT_NE(text.find("visit.2=2026-02-05 09:30\n"), std::string::npos);
    for (const char* secret : {"bearing", "stage", "velocity", "3.5", "good"})
        EXPECT_EQ(text.find(secret), std::string::npos) << secret << " shows in\n" << text;
    const std::map<int16_t, TCondition> third = ConditionsAtVisit(read, 3);
    EXPECT_EQ(third.at(2), ConditionOf("bearing-outer rpm=1480 velocity=3.5 stage=3"));
    EXPECT_EQ(third.at(9), ConditionOf("good rpm=2950 velocity=0.9"));

    EXPECT_NE(FormatExercise(ThreePumps()).find("version=1\n"), std::string::npos);
    // A later visit's change kept as the first visit's would be another exercise.
    const std::string moved =
        Rechecked(Replace(text, "visit.4=2026-04-05 00:00", "visit.4=2026-01-06 00:00"));
    EXPECT_EQ(ParseExercise(moved, read), TEXT_EXERCISE_DAMAGED) << "dates out of order";
    // A visit question in a file of the first version is no question it knows.
    const std::string first = Rechecked(Replace(text, "version=2", "version=1"));
    EXPECT_EQ(ParseExercise(first, read), TEXT_EXERCISE_DAMAGED);
    EXPECT_EQ(read, written);
}

TEST(ExerciseFile, EveryBoundIsTakenAtItsLimitAndRefusedPastIt) {
    struct TCase {
        const char* Case;
        void (*Change)(TExercise&, std::size_t past);
        int Reason;
    };
    const TCase cases[] = {
        {"Title", [](TExercise& e, std::size_t p) { e.Title.assign(EXERCISE_TITLE_MAX + p, 'x'); },
         TEXT_EXERCISE_TEXT_TOO_LONG},
        {"Instructions",
         [](TExercise& e, std::size_t p) { e.Instructions.assign(EXERCISE_INSTRUCTIONS_MAX + p, '\n'); },
         TEXT_EXERCISE_TEXT_TOO_LONG},
        {"Hint", [](TExercise& e, std::size_t p) { e.Asked[0].Hint.assign(EXERCISE_HINT_MAX + p, '\\'); },
         TEXT_EXERCISE_TEXT_TOO_LONG},
        {"TimeLimit",
         [](TExercise& e, std::size_t p) {
             e.TimeLimitSeconds = EXERCISE_TIME_LIMIT_MAX + static_cast<uint32_t>(p);
         },
         TEXT_EXERCISE_TIME_LIMIT},
        {"LastRoutePoint",
         [](TExercise& e, std::size_t p) {
             e.Conditions[static_cast<int16_t>(ROUTE_POINT_COUNT + p)] = ConditionOf("good");
             e.Asked.push_back({static_cast<int16_t>(ROUTE_POINT_COUNT + p), TAsk::Zone, ""});
         },
         TEXT_EXERCISE_ASKED_OFF_ROUTE},
        {"Visits",
         [](TExercise& e, std::size_t p) {
             e = BearingWear();
             while (e.Visits.size() < EXERCISE_VISITS_MAX + p)
                 e.Visits.push_back({e.Visits.back().Date + 30, {}});
         },
         TEXT_VISIT_BAD},
        {"LastVisitDay",
         [](TExercise& e, std::size_t p) {
             e = BearingWear();
             e.Visits.back().Date = EncodeDateTime(2099, 12, 31, 23, 59 + static_cast<int>(p), 0, 0);
         },
         TEXT_VISIT_BAD},
    };
    for (const TCase& c : cases) {
        TExercise at = ThreePumps();
        c.Change(at, 0);
        EXPECT_EQ(CheckExercise(at), 0) << c.Case;
        TExercise read;
        EXPECT_EQ(ParseExercise(FormatExercise(at), read), 0) << c.Case;
        EXPECT_EQ(read, at) << c.Case;
        TExercise past = ThreePumps();
        c.Change(past, 1);
        EXPECT_EQ(CheckExercise(past), c.Reason) << c.Case;
    }
    TExercise e = ThreePumps();
    e.Asked.clear();
    EXPECT_EQ(CheckExercise(e), TEXT_EXERCISE_NO_ASKED);
    e = ThreePumps();
    e.Asked.push_back(e.Asked[0]);
    EXPECT_EQ(CheckExercise(e), TEXT_EXERCISE_ASKED_TWICE);
    e = ThreePumps();
    e.Asked.push_back({4, TAsk::Both, ""}); // point 4 plays the stored waveform
    EXPECT_EQ(CheckExercise(e), TEXT_EXERCISE_ASKED_STORED);
    // Visits that cannot be run as they stand.
    const std::pair<const char*, void (*)(TExercise&)> visits[] = {
        {"one visit", [](TExercise& x) { x.Visits.resize(1); }},
        {"a date twice", [](TExercise& x) { x.Visits[2].Date = x.Visits[1].Date; }},
        {"before 2000", [](TExercise& x) { x.Visits[0].Date = EXERCISE_VISIT_FIRST_DAY - 1.0 / 1440; }},
        {"the first changes", [](TExercise& x) { x.Visits[0].Changes[3] = ConditionOf("good"); }},
        {"zone A asked", [](TExercise& x) { x.Asked[0].Zone = 'A'; }},
    };
    for (const auto& [what, change] : visits) {
        e = BearingWear();
        change(e);
        EXPECT_EQ(CheckExercise(e), TEXT_VISIT_BAD) << what;
    }
    e = BearingWear();
    e.Visits[3].Changes[2] = TCondition{};
    EXPECT_EQ(CheckExercise(e), TEXT_EXERCISE_ASKED_STORED) << "an asked point turned to the stored waveform";
    e = BearingWear();
    e.Visits.clear();
    EXPECT_EQ(CheckExercise(e), TEXT_VISIT_ASK_ALONE);
}

TEST(HiddenText, EveryLengthAndByteComesBackAndOnlyBase64IsTaken) {
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        const std::string encoded = EncodeHiddenText(bytes);
        EXPECT_EQ(
            encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            std::string::npos);
        EXPECT_EQ(DecodeHiddenText(encoded), bytes) << i;
        bytes += static_cast<char>(i * 37);
    }
    for (const char* bad : {"A", "AB=C", "A===", "====", "AB\nC", "ABC=ABCD", "AB-_"})
        EXPECT_FALSE(DecodeHiddenText(bad).has_value()) << bad;
}

} // namespace
