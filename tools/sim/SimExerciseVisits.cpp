// The runner's trend exercises: the visits a trainer's script gives before
// exercise-save, and a trainee's next-visit and exercise-db.
#include "SimExercise.h"

#include "SimSession.h"

#include "pcdata/Transfer.h"
#include "recording/RecordingPlan.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

bool TSimExercise::VisitLine(const std::string& line, std::string& error) {
    // "visit N POINT NAME [key=value ...]"
    const std::size_t start = line.find("visit") + 5;
    const std::size_t numberAt = line.find_first_not_of(" \t", start);
    const std::size_t numberEnd =
        numberAt == std::string::npos ? numberAt : line.find_first_of(" \t", numberAt);
    int visit = 0;
    if (numberAt != std::string::npos && numberEnd != std::string::npos) {
        const auto [end, ec] = std::from_chars(line.data() + numberAt, line.data() + numberEnd, visit);
        if (ec != std::errc{} || end != line.data() + numberEnd) visit = 0;
    }
    if (visit < 2 || visit > static_cast<int>(EXERCISE_VISITS_MAX)) {
        error = "usage: visit N POINT NAME [key=value ...] (N a later visit, 2.." +
                std::to_string(EXERCISE_VISITS_MAX) + ")";
        return false;
    }
    int16_t source = 0;
    std::string text;
    if (!ParseConditionLine(line.substr(numberEnd), source, text, error)) {
        error = "visit: " + error;
        return false;
    }
    FVisitChanges[visit][source] = *ParseCondition(text, error);
    return true;
}

// One of exercise-save's words before title=; false with a reason, or with
// none for a word that is no option (the caller gives the usage).
bool TSimExercise::SaveOption(const std::string& word, TExercise& exercise, std::string& error) {
    if (word.starts_with("time=")) {
        const std::string seconds = word.substr(5);
        const auto [end, ec] =
            std::from_chars(seconds.data(), seconds.data() + seconds.size(), exercise.TimeLimitSeconds);
        if (ec == std::errc{} && end == seconds.data() + seconds.size()) return true;
        error = "time= takes whole seconds (0 for no limit), got '" + seconds + "'";
        return false;
    }
    if (word.starts_with("zone=")) {
        const std::string zone = word.substr(5);
        if (zone.size() != 1 || zone[0] < 'B' || zone[0] > 'D') {
            error = "zone= takes B, C or D, got '" + zone + "'";
            return false;
        }
        for (TAskedPoint& asked : exercise.Asked)
            asked.Zone = zone[0];
        return true;
    }
    if (word.starts_with("visits=")) {
        const std::string dates = word.substr(7);
        exercise.Visits.clear();
        for (std::size_t at = 0; at <= dates.size();) {
            const std::size_t comma = std::min(dates.find(',', at), dates.size());
            TVisit visit;
            if (!ParseVisitDate(std::string_view(dates).substr(at, comma - at), visit.Date)) {
                error = "visits= takes dates YYYY-MM-DD or YYYY-MM-DDTHH:MM separated by commas, got '" +
                        dates + "'";
                return false;
            }
            exercise.Visits.push_back(std::move(visit));
            at = comma + 1;
        }
        return true;
    }
    return false;
}

bool TSimExercise::OpenVisitDb(std::string& error) {
    std::error_code ec;
    std::string folder = (std::filesystem::temp_directory_path(ec) / "orx700-visits-XXXXXX").string();
    if (ec || mkdtemp(folder.data()) == nullptr) {
        error = "exercise-open: no folder for the exercise's measurement database";
        return false;
    }
    FVisitFolder = folder;
    FVisitDb = TMeasurementDb::Open(folder + "/visits.sqlite", error);
    if (!FVisitDb) {
        error = "exercise-open: " + error;
        CloseVisitDb();
        return false;
    }
    return true;
}

void TSimExercise::CloseVisitDb() {
    FVisitDb.reset();
    if (FVisitFolder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(FVisitFolder, ignored);
    FVisitFolder.clear();
}

bool TSimExercise::TransferVisit(std::string& error) {
    if (!FVisitDb) {
        error = "no exercise of visits is open";
        return false;
    }
    const TTransferOutcome outcome =
        TransferStore(*FVisitDb, FSession.Device().WorkerState() == TWorkerState::Parked);
    if (!outcome.Ok) error = outcome.Error;
    return outcome.Ok;
}

bool TSimExercise::NextVisit(std::string& error) {
    if (!FVisitDb) {
        error = "next-visit: no exercise of visits is open";
        return false;
    }
    if (FRun.IsLastVisit()) {
        *FErr << "orx700-sim: next-visit: visit " << FRun.CurrentVisit() << " is the last\n";
        return true;
    }
    if (!Park(error) || !TransferVisit(error)) {
        error = "next-visit: " + error;
        return false;
    }
    FRun.NextVisit();
    const TExercise& exercise = FRun.Exercise();
    FSession.Out() << "visit " << FRun.CurrentVisit() << " of " << VisitCount(exercise) << ", "
                   << VisitDateText(exercise.Visits[static_cast<std::size_t>(FRun.CurrentVisit() - 1)].Date)
                   << '\n';
    return true;
}

bool TSimExercise::SaveVisitDb(const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 2) {
        error = "usage: exercise-db FILE";
        return false;
    }
    if (!TransferVisit(error) || !FVisitDb->SaveCopy(words[1], error)) {
        error = "exercise-db: " + error;
        return false;
    }
    return true;
}
