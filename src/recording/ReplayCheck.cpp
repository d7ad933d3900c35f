#include "recording/ReplayCheck.h"

#include <cmath>

namespace {

bool ParseHex64(const std::string& text, uint64_t& value) {
    if (text.size() != 16 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = std::stoull(text, nullptr, 16);
    return true;
}

} // namespace

void TReplayCheck::Differs(int line) {
    if (FDivergedAt == 0) FDivergedAt = FLastKeyLine > 0 ? FLastKeyLine : line;
}

void TReplayCheck::Compare(int line, uint64_t wantLcd, uint64_t wantState, uint64_t lcd, uint64_t state) {
    ++FChecks;
    if (wantLcd != lcd || wantState != state) Differs(line);
}

void TReplayCheck::CompareMeasuredTime(int line, double want, const double* have) {
    ++FChecks;
    constexpr double kMsPerDay = 86400000.0;
    if (have == nullptr || !(std::fabs(*have - want) * kMsPerDay <= RECORDING_TIME_TOLERANCE_MS))
        Differs(line);
}

std::string TReplayCheck::Verdict() const {
    if (FDivergedAt > 0) return "diverged at line " + std::to_string(FDivergedAt);
    return FChecks > 0 ? "verified" : "";
}

bool ParseCheckArguments(const std::string& lcdText, const std::string& stateText, uint64_t& lcd,
                         uint64_t& state) {
    return ParseHex64(lcdText, lcd) && ParseHex64(stateText, state);
}
