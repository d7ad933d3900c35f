// The headless contract: a trainer's script saves an exercise, a trainee's
// opens it, measures, answers and submits, and closing gives the trainee's
// own state back as it was, however many exercises the run has seen.
#include "SimSession.h"
#include "TrainingSamples.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "pcdata/MeasurementDb.h"
#include "platform/Codepage.h"
#include "platform/DateTime.h"
#include "platform/Host.h"
#include "state/Inifile.h"
#include "training/AnswerSheet.h"
#include "training/ExerciseFile.h"
#include "training/Submission.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SimExerciseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SavedState = TDeviceState{};
        SavedState.LanguageName = "Russian";
        ClearConditions();
        dir = std::filesystem::temp_directory_path() /
              ("sim-exercise-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        session = std::make_unique<TSimSession>(out, EncodeDateTime(2026, 12, 9, 9, 0, 0, 0));
        session->Exercise().SetErrorStream(err);
    }
    void TearDown() override {
        session.reset();
        ClearConditions();
        std::filesystem::remove_all(dir);
    }
    void RunAll(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) {
            std::string error;
            ASSERT_TRUE(session->RunLine(line, error)) << line << ": " << error;
        }
    }
    std::string Path(const char* name) const { return (dir / name).string(); }
    // The trainee's whole state as the ini file would keep it.
    static std::string StateText() {
        TIniDocument ini;
        WriteIniState(ini, SavedState);
        return ini.Text();
    }
    // The trainee's own day: conditions of their own, point 2 measured, and
    // the instrument switched off so that the record holds it.
    std::string OwnDay() {
        RunAll({"condition 2 looseness rpm=980 velocity=8", "condition 5 gear teeth=31", "k1-long",
                "wait 1500", "k2", "k1", "k2", "wait 5900"});
        session->Device().PowerOff();
        session->VirtualHost().RunUntilIdle();
        EXPECT_NE(SavedState.RoutePoints[1] & PS_MEASURED, 0);
        return StateText();
    }
    void SaveExercise(const char* file, const char* asks) {
        // The trainer's own run: conditions, then the file.
        const std::string saved = StateText();
        const auto assigned = AssignedConditions();
        RunAll({"condition 2 imbalance rpm=1480 velocity=3.6",
                "condition 6 bearing-outer rpm=1480 velocity=2", "condition 9 good rpm=2950 velocity=0.9",
                std::string("exercise-save ") + Path(file) + " " + asks +
                    " title=Three pumps,  one bad bearing"});
        ClearConditions();
        for (const auto& [source, condition] : assigned)
            AssignCondition(source, condition);
        EXPECT_EQ(StateText(), saved);
    }

    std::filesystem::path dir;
    std::ostringstream out, err;
    std::unique_ptr<TSimSession> session;
};

// How the window shows the instrument is the trainer's, not the exercise's:
// it stays as it was when an exercise opens, and a change made while one
// runs outlives it.
TEST_F(SimExerciseTest, CaptionsAndPresenterSizeStayThroughAnExercise) {
    SaveExercise("pumps.orxex", "ask=9 what=both");
    SavedState.ShowKeyCaptions = 1;
    SavedState.PresenterSize = 4;
    RunAll({"exercise-open " + Path("pumps.orxex")});
    EXPECT_EQ(SavedState.ShowKeyCaptions, 1);
    EXPECT_EQ(SavedState.PresenterSize, 4);
    SavedState.ShowKeyCaptions = 0;
    SavedState.PresenterSize = 3;
    RunAll({"exercise-close"});
    EXPECT_EQ(SavedState.ShowKeyCaptions, 0);
    EXPECT_EQ(SavedState.PresenterSize, 3);
}

TEST_F(SimExerciseTest, TheOwnStateComesBackAfterOpenMeasureSubmitClose) {
    SaveExercise("pumps.orxex", "ask=9,2,6 what=both");
    const std::string own = OwnDay();
    RunAll({"exercise-open " + Path("pumps.orxex")});
    // The exercise's own state: nothing measured, its conditions, the trainee's language.
    EXPECT_EQ(SavedState.RoutePoints[1] & PS_MEASURED, 0);
    EXPECT_EQ(AssignedCondition(2), ConditionOf("imbalance rpm=1480 velocity=3.6"));
    EXPECT_EQ(AssignedCondition(5).Kind, TConditionKind::Stored);
    EXPECT_EQ(SavedState.LanguageName, "Russian");
    EXPECT_FALSE(session->Device().IsOn());

    RunAll({"k1-long", "wait 1500", "answer 6 bearing-inner A", "wait 2000", "k2", "k1", "k2", "wait 5900",
            "answer 2 imbalance C", "answer 9 good", "wait 60000"});
    // The sheet names the points as the instrument does and says which are measured.
    const std::vector<TSheetRow> sheet = AnswerSheet(session->Exercise().Run());
    ASSERT_EQ(sheet.size(), 3u);
    TPointRecord record{};
    RouteGetPoint(2, record);
    EXPECT_EQ(sheet[0].Label, Cp1251ToUtf8(record.Label));
    EXPECT_EQ(sheet[0].MachineText, Cp1251ToUtf8(record.MachineName));
    EXPECT_EQ(sheet[2].Machine, 3);
    EXPECT_TRUE(sheet[0].Measured);
    EXPECT_FALSE(sheet[1].Measured);
    EXPECT_EQ(sheet[1].Answer, (TAnswer{"bearing-inner", 'A', ""}));
    EXPECT_TRUE(session->Exercise().Run().IsHidden(2));
    RunAll({"submit " + Path("ivan.sub") + " name=Иван  Petrov"});
    EXPECT_EQ(out.str(), "score 1/3\n");
    EXPECT_FALSE(session->Exercise().Run().IsHidden(2)) << "revealed once submitted";
    EXPECT_NE(ReviewJson(session->Exercise().Run(), session->Exercise().Run().Submit("x", 0))
                  .find("\"right\": {\"condition\": \"bearing-outer\", \"zone\": \"B\""),
              std::string::npos);
    EXPECT_EQ(MeasuredCondition(2).Kind, TConditionKind::Imbalance) << "measured what the exercise hides";

    TSubmission s;
    ASSERT_EQ(ParseSubmission(ReadAll(dir / "ivan.sub"), s), 0);
    EXPECT_EQ(s.Name, "Иван  Petrov");
    EXPECT_EQ(s.Title, "Three pumps,  one bad bearing");
    ASSERT_EQ(s.Points.size(), 3u);
    // Asked points in route order, each with its answer, the truth and when it was measured.
    EXPECT_EQ(s.Points[0].Point, 2);
    EXPECT_TRUE(s.Points[0].IsRight);
    EXPECT_TRUE(s.Points[0].MeasuredBeforeAnswer);
    ASSERT_TRUE(s.Points[0].MeasuredAt && s.Points[0].AnsweredAt);
    EXPECT_LE(*s.Points[0].MeasuredAt, *s.Points[0].AnsweredAt);
    EXPECT_GE(*s.Points[0].MeasuredAt, 3u);
    EXPECT_EQ(s.Points[1].Point, 6);
    EXPECT_EQ(s.Points[1].Right.Condition, "bearing-outer");
    EXPECT_FALSE(s.Points[1].MeasuredBeforeAnswer);
    EXPECT_FALSE(s.Points[1].MeasuredAt.has_value());
    EXPECT_FALSE(s.Points[2].IsRight) << "a point asked for both needs the zone too";
    EXPECT_EQ(s.TimeTaken, 69u) << "the script's waits: 69.4 s of virtual time";

    RunAll({"exercise-close"});
    EXPECT_EQ(StateText(), own);
    EXPECT_EQ(AssignedCondition(2), ConditionOf("looseness rpm=980 velocity=8"));
    EXPECT_EQ(MeasuredCondition(2), SeededCondition(ConditionOf("looseness rpm=980 velocity=8"), 2));
}

TEST_F(SimExerciseTest, ASecondExerciseInTheSameRunWorksAndTheOwnStateStillComesBack) {
    SaveExercise("first.orxex", "ask=2 what=condition");
    SaveExercise("second.orxex", "ask=6,9 what=zone");
    const std::string own = OwnDay();
    RunAll({"exercise-open " + Path("first.orxex"), "answer 2 imbalance", "submit " + Path("a.sub"),
            "exercise-close", "exercise-open " + Path("second.orxex"), "k1-long", "wait 1500", "answer 6 - B",
            "answer 9 - A", "submit " + Path("b.sub") + " name=B", "exercise-close", "exercise-close"});
    EXPECT_EQ(out.str(), "score 1/1\nscore 2/2\n");
    EXPECT_EQ(StateText(), own);
    // Opening one exercise over another keeps the own state the one set aside.
    RunAll(
        {"exercise-open " + Path("first.orxex"), "exercise-open " + Path("second.orxex"), "exercise-close"});
    EXPECT_EQ(StateText(), own);
    EXPECT_EQ(err.str(), "");
}

TEST_F(SimExerciseTest, ARefusedFileSaysWhyOnOneLineAndTheScriptGoesOn) {
    SaveExercise("pumps.orxex", "ask=2 what=both");
    std::string text = ReadAll(dir / "pumps.orxex");
    std::ofstream(dir / "cut.orxex", std::ios::binary) << text.substr(0, text.size() / 2);
    text.replace(text.find("version=1"), 9, "version=7");
    std::ofstream(dir / "later.orxex", std::ios::binary) << text;
    RunAll({"k1-long", "wait 1500"});
    const std::string published = StateText();
    RunAll({"exercise-open " + Path("cut.orxex"), "exercise-open " + Path("later.orxex"),
            "exercise-open " + Path("missing.orxex"), "k2"});
    EXPECT_EQ(err.str(), "orx700-sim: exercise-open " + Path("cut.orxex") + ": it is cut short\n" +
                             "orx700-sim: exercise-open " + Path("later.orxex") +
                             ": it was made by a newer version of the program\n" +
                             "orx700-sim: exercise-open " + Path("missing.orxex") + ": it cannot be read\n");
    EXPECT_TRUE(session->Device().IsOn()) << "nothing was switched off for a refused file";
    EXPECT_FALSE(session->Exercise().Run().IsOpen());
    EXPECT_EQ(StateText(), published);
    EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Stored);

    // Lines the script cannot go on from.
    RunAll({"condition 2 good"});
    const std::pair<std::string, const char*> bad[] = {
        {"answer 2 imbalance", "no exercise is open"},
        {"submit " + Path("x.sub"), "no exercise is open"},
        {"exercise-save " + Path("y.orxex") + " ask=3 what=both", "no machine condition"},
        {"exercise-save " + Path("y.orxex") + " ask=14 what=both", "ask= takes route points"},
        {"exercise-save " + Path("y.orxex") + " ask=2,2 what=both", "asked twice"},
        {"exercise-save " + Path("y.orxex") + " ask=2 what=all", "what= takes"},
        {"exercise-save " + Path("y.orxex") + " what=both ask=2", "usage"},
        {"exercise-link " + Path("cut.orxex"), "usage"},
        {"exercise-link " + Path("cut.orxex") + " training.plant.test/orx700/", "no web address"},
    };
    for (const auto& [line, says] : bad) {
        std::string error;
        EXPECT_FALSE(session->RunLine(line, error)) << line;
        EXPECT_NE(error.find(says), std::string::npos) << line << ": " << error;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "y.orxex"));
}

// A trainer's script prints the link; the trainee's opens it as it would
// the file, and a link cut short in a mail is refused like a damaged file.
TEST_F(SimExerciseTest, ALinkPrintedByExerciseLinkOpensTheSameExerciseAndADamagedOneIsRefused) {
    SaveExercise("pumps.orxex", "ask=2,6 what=both");
    // A copy with CRLF line ends gives the same link.
    std::string crlf;
    for (const char c : ReadAll(dir / "pumps.orxex"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::ofstream(dir / "crlf.orxex", std::ios::binary) << crlf;
    RunAll({"exercise-link " + Path("pumps.orxex") + " https://training.plant.test/orx700/#old",
            "exercise-link " + Path("crlf.orxex") + " https://training.plant.test/orx700/",
            "exercise-link " + Path("missing.orxex") + " https://training.plant.test/orx700/"});
    std::istringstream printed(out.str());
    std::string link;
    std::string again;
    ASSERT_TRUE(std::getline(printed, link) && std::getline(printed, again));
    EXPECT_TRUE(link.starts_with("https://training.plant.test/orx700/#exercise=1.")) << link;
    EXPECT_EQ(again, link);
    EXPECT_EQ(err.str(), "orx700-sim: exercise-link " + Path("missing.orxex") + ": it cannot be read\n");

    TExercise fromFile;
    ASSERT_EQ(ReadExerciseFile(Path("pumps.orxex"), fromFile), 0);
    const std::string cut = link.substr(0, link.size() - 10);
    err.str("");
    RunAll({"exercise-open " + cut, "exercise-open " + link});
    EXPECT_EQ(err.str(), "orx700-sim: exercise-open " + cut + ": the link is damaged or cut short\n");
    ASSERT_TRUE(session->Exercise().Run().IsOpen());
    EXPECT_EQ(ExerciseFingerprint(session->Exercise().Run().Exercise()), ExerciseFingerprint(fromFile));
}

// The limit, at and past it: an answer a second before counts, the answers
// lock at it (told once however long the script goes on), and the
// submission says when it came.
TEST_F(SimExerciseTest, AtTheTimeLimitTheAnswersLockAndTheScriptIsToldOnce) {
    SaveExercise("timed.orxex", "ask=2 what=both time=60");
    RunAll({"exercise-open " + Path("timed.orxex"), "answer 2 imbalance C", "wait 58999"});
    EXPECT_EQ(session->Exercise().Run().SecondsLeft(session->VirtualHost().Elapsed() - 58999), 60u);
    EXPECT_EQ(session->Exercise().Run().SecondsLeft(session->VirtualHost().Elapsed()), 2u);
    RunAll({"answer 2 looseness B", "wait 1000"});
    EXPECT_EQ(out.str(), "");
    RunAll({"wait 1", "answer 2 good A", "wait 5000", "answer 2 good A",
            "submit " + Path("late.orxsub") + " name=Ann Lee"});
    EXPECT_EQ(out.str(), "time is up\nscore 0/1\n");
    EXPECT_EQ(err.str(), "orx700-sim: answer 2: the time is up; the answers stand as they were\n"
                         "orx700-sim: answer 2: the time is up; the answers stand as they were\n");
    const std::string submitted = ReadAll(dir / "late.orxsub");
    for (const char* line : {"\npoint.2.answer=looseness B\n", "\ntime-taken=65\n", "\nover-time=yes\n"})
        EXPECT_NE(submitted.find(line), std::string::npos) << line << " in\n" << submitted;

    // A second exercise in the run has its own clock and is told again.
    out.str("");
    RunAll({"exercise-open " + Path("timed.orxex"), "answer 2 imbalance C", "wait 60000", "answer 2 good A"});
    EXPECT_EQ(out.str(), "time is up\n");
}

// Four visits: the bearing at point 2 reaches zone C at the third. The
// trainee measures it at each visit; the exercise's own database holds every
// visit's reading at its date, the visit answer is scored against the
// trend, and the trainee's own state, database and clock are as they were.
TEST_F(SimExerciseTest, AFourVisitTrendIsMeasuredIntoItsOwnDatabaseAndScoredByVisit) {
    RunAll({"condition 2 bearing-outer rpm=1480 velocity=1 stage=1", "condition 9 good rpm=2950 velocity=0.9",
            "visit 2 2 bearing-outer rpm=1480 velocity=2 stage=2",
            "visit 3 2 bearing-outer rpm=1480 velocity=3.5 stage=3",
            "visit 4 2 bearing-outer rpm=1480 velocity=5 stage=4",
            "exercise-save " + Path("wear.orxex") +
                " ask=2 what=visit zone=C visits=2026-01-05,2026-02-05T09:30,2026-03-05,2026-04-05",
            "condition 2 stored", "condition 9 stored"});
    TExercise saved;
    ASSERT_EQ(ReadExerciseFile(Path("wear.orxex"), saved), 0);
    EXPECT_EQ(saved.Visits[2].Changes.at(2), ConditionOf("bearing-outer rpm=1480 velocity=3.5 stage=3"));

    const std::string own = OwnDay();
    RunAll({"transfer " + Path("own.sqlite")});
    const std::string ownDb = ReadAll(dir / "own.sqlite");
    out.str("");
    const std::string measure2 = "k1-long\nwait 1500\nk2\nk1\nk2\nwait 5900";
    RunAll({"exercise-open " + Path("wear.orxex")});
    for (int visit = 1; visit <= 4; ++visit) {
        EXPECT_EQ(AssignedCondition(2), ConditionsAtVisit(saved, visit).at(2)) << "visit " << visit;
        EXPECT_EQ(SavedState.RoutePoints[1] & PS_MEASURED, 0) << "a fresh route at visit " << visit;
        std::istringstream keys(measure2);
        for (std::string key; std::getline(keys, key);)
            RunAll({key});
        if (visit < 4) RunAll({"next-visit"});
    }
    RunAll({"next-visit", "exercise-db " + Path("visits.sqlite"), "answer 2 visit=3",
            "submit " + Path("right.sub"), "answer 2 visit=2", "submit " + Path("early.sub"),
            "answer 2 visit=never", "submit " + Path("never.sub")});
    EXPECT_EQ(out.str(), "visit 2 of 4, 2026-02-05 09:30\nvisit 3 of 4, 2026-03-05 00:00\n"
                         "visit 4 of 4, 2026-04-05 00:00\nscore 1/1\nscore 0/1\nscore 0/1\n");
    EXPECT_EQ(err.str(), "orx700-sim: next-visit: visit 4 is the last\n");
    TSubmission s;
    ASSERT_EQ(ParseSubmission(ReadAll(dir / "early.sub"), s), 0);
    EXPECT_EQ(s.Points[0].Answer.Visit, 2);
    EXPECT_EQ(s.Points[0].Right.Visit, 3);
    EXPECT_TRUE(s.Points[0].MeasuredBeforeAnswer);

    std::string error;
    const auto db = TMeasurementDb::Open(Path("visits.sqlite"), error);
    ASSERT_TRUE(db) << error;
    TDbSelection point2;
    point2.PointKey = "2";
    const std::vector<TDbReading> readings = db->Readings(point2, false);
    ASSERT_EQ(readings.size(), 4u);
    for (std::size_t v = 0; v < 4; ++v) {
        // Measured within the minute after the visit began (the keys' waits).
        EXPECT_GE(readings[v].Time, saved.Visits[v].Date) << v;
        EXPECT_LT(readings[v].Time, saved.Visits[v].Date + 1.0 / 1440) << v;
        EXPECT_EQ(readings[v].Condition, FormatCondition(SeededCondition(
                                             ConditionsAtVisit(saved, static_cast<int>(v) + 1).at(2), 2)));
    }
    EXPECT_LT(readings[1].Results.Value[RESULT_VEL_RMS], readings[2].Results.Value[RESULT_VEL_RMS])
        << "the bearing wears";
    EXPECT_EQ(db->ReadingCount(), 4) << "nothing else was measured";

    RunAll({"exercise-close"});
    EXPECT_EQ(StateText(), own);
    EXPECT_EQ(ReadAll(dir / "own.sqlite"), ownDb);
    EXPECT_EQ(InstrumentNow(), session->VirtualHost().Now()) << "the instrument's clock is the host's again";
    std::string notOpen;
    EXPECT_FALSE(session->RunLine("next-visit", notOpen));
    EXPECT_NE(notOpen.find("no exercise of visits"), std::string::npos) << notOpen;
}

} // namespace
