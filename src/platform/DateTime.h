#pragma once
// Dates as the host clock gives them: days since 1899-12-30, the time of day
// as the fraction.

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms);

struct TDateTimeParts {
    int Year, Month, Day, Hour, Minute, Second, Ms;
};
TDateTimeParts DecodeDateTime(double dateTime);

// The machine's local date and time now.
double CurrentLocalDateTime();
