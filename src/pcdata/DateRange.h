#pragma once
// A range of dates as a user types its bounds, for choosing readings by when
// they were measured: "YYYY-MM-DD", or "YYYY-MM-DD HH:MM" or
// "YYYY-MM-DD HH:MM:SS" (a 'T' may stand for the space), as the exports
// print a reading's time. A from bound begins at its first moment; a to
// bound ends after its last (the whole day, minute or second it names), so
// that a reading shown exactly at either bound is in the range.
#include <string>
#include <string_view>

// The day count where the from bound begins; false with a one-line reason.
bool ParseFromBound(std::string_view text, double& dayCount, std::string& error);
// The day count just after the to bound (the first moment not in it).
bool ParseToBound(std::string_view text, double& dayCount, std::string& error);
