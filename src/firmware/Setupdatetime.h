#pragma once
// The date and time screen of the OPTS menu: day, month, year, hour and
// minute edited one after the other and confirmed after a calendar check.
// The instrument's clock is the host's: the screen starts from it at every
// opening and applies nothing. Worker thread only.
#include <cstdint>

enum : int16_t { DATE_DAY, DATE_MONTH, DATE_YEAR, DATE_HOUR, DATE_MINUTE, DATE_SECOND, DATE_MS };
inline constexpr int16_t DATE_EDITED_FIELDS = 5; // day to minute
inline constexpr int16_t DATE_FIELD_COUNT = 7;

// The working fields, indexed by DATE_DAY .. DATE_MS.
extern uint16_t DateFields[DATE_FIELD_COUNT];

// The whole screen; returns to the OPTS menu, which redraws.
void SetDateTime();
// 0 when the user moves on (K2), 1 when the user leaves the screen (both keys).
int16_t EditDateField(int16_t field);
// The five values on page 2, field inverted; the rest of the LCD is kept.
void DrawDateFields(int16_t field);
// Every edited field within its range and the day within its month.
bool DateIsValid();
