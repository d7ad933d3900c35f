#include "platform/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long DaysFromCivil(long y, long m, long d) {
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& year, int& month, int& day) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr long kEpochOffset = 25569; // 1970-01-01 as a day count from 1899-12-30
constexpr double kMsPerDay = 86400000.0;

} // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    const long days = DaysFromCivil(year, month, day) + kEpochOffset;
    const double time = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms;
    return static_cast<double>(days) + time / kMsPerDay;
}

TDateTimeParts DecodeDateTime(double dateTime) {
    const double dayPart = std::floor(dateTime);
    long msOfDay = std::lround((dateTime - dayPart) * kMsPerDay);
    long days = static_cast<long>(dayPart);
    if (msOfDay >= 86400000L) {
        msOfDay -= 86400000L;
        ++days;
    }
    TDateTimeParts parts{};
    CivilFromDays(days - kEpochOffset, parts.Year, parts.Month, parts.Day);
    parts.Ms = static_cast<int>(msOfDay % 1000);
    parts.Second = static_cast<int>(msOfDay / 1000 % 60);
    parts.Minute = static_cast<int>(msOfDay / 60000 % 60);
    parts.Hour = static_cast<int>(msOfDay / 3600000);
    return parts;
}

double CurrentLocalDateTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec, static_cast<int>(ms));
}
