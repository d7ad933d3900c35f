#include "pcdata/DateRange.h"

#include "platform/DateTime.h"

#include <charconv>

namespace {

struct TBound {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    int Unit = 0; // what the text names to the last: 0 a day, 1 a minute, 2 a second
};

// Exactly `digits` decimal digits at text[at].
bool Number(std::string_view text, std::size_t at, std::size_t digits, int& value) {
    if (at + digits > text.size()) return false;
    for (std::size_t i = at; i < at + digits; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return std::from_chars(text.data() + at, text.data() + at + digits, value).ec == std::errc();
}

bool Parse(std::string_view text, TBound& b) {
    if (!(text.size() == 10 || text.size() == 16 || text.size() == 19)) return false;
    if (!Number(text, 0, 4, b.Year) || text[4] != '-' || !Number(text, 5, 2, b.Month) || text[7] != '-' ||
        !Number(text, 8, 2, b.Day))
        return false;
    if (text.size() > 10) {
        if ((text[10] != ' ' && text[10] != 'T') || !Number(text, 11, 2, b.Hour) || text[13] != ':' ||
            !Number(text, 14, 2, b.Minute))
            return false;
        b.Unit = 1;
    }
    if (text.size() > 16) {
        if (text[16] != ':' || !Number(text, 17, 2, b.Second)) return false;
        b.Unit = 2;
    }
    if (b.Year < 1900 || b.Month < 1 || b.Month > 12 || b.Day < 1 || b.Hour > 23 || b.Minute > 59 ||
        b.Second > 59)
        return false;
    // A day the month does not have (2026-02-30) comes back as another date.
    const TDateTimeParts back = DecodeDateTime(EncodeDateTime(b.Year, b.Month, b.Day, 0, 0, 0, 0));
    return back.Year == b.Year && back.Month == b.Month && back.Day == b.Day;
}

bool ParseBound(std::string_view text, bool end, double& dayCount, std::string& error) {
    TBound b;
    if (!Parse(text, b)) {
        error.assign(1, '\'').append(text).append("' is not a date (YYYY-MM-DD, or YYYY-MM-DD HH:MM[:SS])");
        return false;
    }
    dayCount = EncodeDateTime(b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second, 0);
    if (end) dayCount += b.Unit == 0 ? 1.0 : b.Unit == 1 ? 1.0 / 1440.0 : 1.0 / 86400.0;
    return true;
}

} // namespace

bool ParseFromBound(std::string_view text, double& dayCount, std::string& error) {
    return ParseBound(text, false, dayCount, error);
}

bool ParseToBound(std::string_view text, double& dayCount, std::string& error) {
    return ParseBound(text, true, dayCount, error);
}
