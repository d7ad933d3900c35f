#pragma once
// The headless runner's exercise commands: a trainer's script saves an
// exercise from the conditions it has given, a trainee's opens one, answers
// and submits. The exercise runs on a state of its own (TExerciseRun).
#include "pcdata/MeasurementDb.h"
#include "training/ExerciseRun.h"

#include <iostream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class TSimSession;

class TSimExercise {
  public:
    explicit TSimExercise(TSimSession& session) : FSession(session) {}
    // The session's device has stopped by now: an exercise still open gives
    // the trainee's own state back, which is what --ini then keeps.
    ~TSimExercise();
    TSimExercise(const TSimExercise&) = delete;
    TSimExercise& operator=(const TSimExercise&) = delete;

    static bool Handles(const std::string& command);
    // Runs one of the commands Handles; false with a message for a line the
    // script cannot go on from. A file exercise-open refuses is not one: the
    // refusal goes to the error stream and the script goes on.
    bool RunLine(const std::vector<std::string>& words, const std::string& line, std::string& error);
    // Notes the asked points measured so far (after every script line).
    void Observe();

    TExerciseRun& Run() { return FRun; }
    void SetErrorStream(std::ostream& err) { FErr = &err; }

  private:
    bool Park(std::string& error);
    bool Save(const std::vector<std::string>& words, const std::string& line, std::string& error);
    bool Open(const std::vector<std::string>& words, std::string& error);
    bool Link(const std::vector<std::string>& words, std::string& error);
    // Reads a file or a link; 0 or the reason, a string id.
    static int ReadExercise(const std::string& source, TExercise& exercise);
    bool AnswerPoint(const std::vector<std::string>& words, std::string& error);
    bool Submit(const std::vector<std::string>& words, const std::string& line, std::string& error);
    void Close();

    // Trend exercises (SimExerciseVisits.cpp).
    bool VisitLine(const std::string& line, std::string& error);
    bool SaveOption(const std::string& word, TExercise& exercise, std::string& error);
    bool NextVisit(std::string& error);
    bool SaveVisitDb(const std::vector<std::string>& words, std::string& error);
    // The exercise's own measurement database, in a folder of its own that
    // lives as long as the run; the current visit's readings go into it.
    bool OpenVisitDb(std::string& error);
    void CloseVisitDb();
    bool TransferVisit(std::string& error);

    TSimSession& FSession;
    TExerciseRun FRun;
    std::ostream* FErr = &std::cerr;
    bool FTimeUpTold = false;
    // The visits' changes the next exercise-save writes: visit -> source -> condition.
    std::map<int, std::map<int16_t, TCondition>> FVisitChanges;
    std::string FVisitFolder;
    std::unique_ptr<TMeasurementDb> FVisitDb;
};
