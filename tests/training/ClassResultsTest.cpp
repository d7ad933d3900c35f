// A class's results: each submission scored again against the exercise,
// one of another exercise or no submission at all flagged and counted
// nowhere, and the CSV a spreadsheet reads.
#include "training/ClassResults.h"
#include "TrainingSamples.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseRun.h"

#include <gtest/gtest.h>

namespace {

// A trainee's submission of exercise, answering each asked point with the
// given answers (route order).
std::string Submitted(const TExercise& exercise, const std::string& name, std::vector<TAnswer> answers,
                      uint64_t takenMs) {
    TExerciseRun run;
    run.Open(exercise, 1000);
    for (std::size_t i = 0; i < answers.size(); ++i)
        run.Answer(exercise.Asked[i].Point, answers[i], 2000);
    const std::string text = FormatSubmission(run.Submit(name, 1000 + takenMs));
    run.Close();
    return text;
}

TEST(ClassResults, ThreeSubmissionsOneOfAnotherExerciseAndTheCsv) {
    const TExercise pumps = ThreePumps(); // 2: imbalance C (both), 6: bearing-outer (condition), 9: zone A
    TExercise other = pumps;
    other.Title = "Three pumps, again";
    const std::vector<std::string> texts = {
        Submitted(pumps, "Anna", {{"imbalance", 'C', ""}, {"bearing-outer", 0, ""}, {"", 'A', ""}}, 300'500),
        Submitted(pumps, "Boris, \"the\" second", {{"imbalance", 'B', ""}, {"bearing-outer", 'A', ""}, {}},
                  61'000),
        Submitted(other, "Vera", {{"imbalance", 'C', ""}, {"bearing-outer", 0, ""}, {"", 'A', ""}}, 10'000),
        "[RoutePoints]\n1=4\n",
    };
    std::vector<TResultRow> rows;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string file = "s";
        file += std::to_string(i);
        rows.push_back(ResultRow(pumps, file + ".sub", texts[i]));
    }

    EXPECT_EQ(rows[0].Status, TResultStatus::Counted);
    EXPECT_EQ(rows[0].RightCount, 3);
    EXPECT_EQ(rows[1].RightCount, 1);
    EXPECT_EQ((rows[1].PointRight), (std::vector<std::optional<bool>>{false, true, false}));
    EXPECT_EQ(rows[2].Status, TResultStatus::OtherExercise);
    EXPECT_EQ(rows[2].RightCount, 0) << "not mixed in";
    EXPECT_EQ(rows[3].Status, TResultStatus::Unreadable);

    EXPECT_EQ(ResultsCsv(pumps, rows), "File,Trainee,Score,\"Time, s\",Point 2,Point 6,Point 9,Status\r\n"
                                       "s0.sub,Anna,3/3,300,1,1,1,counted\r\n"
                                       "s1.sub,\"Boris, \"\"the\"\" second\",1/3,61,0,1,0,counted\r\n"
                                       "s2.sub,Vera,,10,,,,another exercise\r\n"
                                       "s3.sub,,,,,,,not a submission\r\n");
}

TEST(ClassResults, AnEditedSubmissionIsScoredByTheExerciseNotByItself) {
    const TExercise pumps = ThreePumps();
    std::string text =
        Submitted(pumps, "Gleb", {{"imbalance", 'A', ""}, {"bearing-inner", 0, ""}, {"", 'D', ""}}, 5000);
    // Made to agree with itself: every right answer the given one, every result right.
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"right-answer=imbalance C", "right-answer=imbalance A"},
             {"right-answer=bearing-outer A", "right-answer=bearing-inner A"},
             {"right-answer=good A", "right-answer=good D"},
             {"result=wrong", "result=right"},
             {"result=wrong", "result=right"},
             {"result=wrong", "result=right"},
             {"score=0/3", "score=3/3"}}) {
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in\n" << text;
        text.replace(at, from.size(), to);
    }
    TSubmission edited;
    ASSERT_EQ(ParseSubmission(text, edited), 0);
    EXPECT_EQ(edited.RightCount, 3);
    const TResultRow row = ResultRow(pumps, "gleb.sub", text);
    EXPECT_EQ(row.Status, TResultStatus::Counted);
    EXPECT_EQ(row.RightCount, 0);
}

TEST(Submission, ReadsBackWhatItWroteAndRefusesWhatDoesNotAddUp) {
    const TExercise pumps = ThreePumps();
    const std::string text = Submitted(pumps, "Line\nbreak \\ name",
                                       {{"imbalance", 'C', "1x high;\nphase?"}, {}, {"", 'A', ""}}, 7000);
    TSubmission s;
    ASSERT_EQ(ParseSubmission(text, s), 0) << text;
    EXPECT_EQ(FormatSubmission(s), text);
    EXPECT_EQ(s.Name, "Line\nbreak \\ name");
    EXPECT_EQ(s.Points[0].Answer.Note, "1x high;\nphase?");
    EXPECT_EQ(s.Fingerprint, ExerciseFingerprint(pumps));

    const std::pair<std::string, std::string> bad[] = {
        {"score=2/3", "score=3/3"},
        {"version=1", "version=3"},
        {"point.6.answer=- -", "point.6.answer=wobble -"},
        {"point.9.answer=- A", "point.9.answer=- E"},
        {"time-taken=7", "time-taken=-7"},
        {"\npoint.9.answered-at=1\n", "\n"},
    };
    for (const auto& [from, to] : bad) {
        std::string damaged = text;
        const std::size_t at = damaged.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in\n" << text;
        damaged.replace(at, from.size(), to);
        TSubmission kept = s;
        EXPECT_NE(ParseSubmission(damaged, kept), 0) << to;
        EXPECT_EQ(kept.Name, s.Name);
    }
}

} // namespace
