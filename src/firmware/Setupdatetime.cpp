#include "firmware/Setupdatetime.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "platform/DateTime.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <cmath>
#include <cstdio>

uint16_t DateFields[DATE_FIELD_COUNT] = {};

namespace {

constexpr int16_t TITLE_PAGE = 1;
constexpr int16_t VALUE_PAGE = 2;
constexpr int16_t MESSAGE_PAGE = 1;
constexpr uint32_t SETTING_PAUSE_MS = 300;

struct TFieldRange {
    uint16_t Min, Max;
    int16_t Column;
};

constexpr TFieldRange FIELD_RANGES[DATE_EDITED_FIELDS] = {
    {1, 31, 6}, {1, 12, 27}, {2000, 2099, 45}, {0, 23, 75}, {0, 59, 99},
};

// February's entry is replaced by the year's at each check: the leap rule
// "every fourth year" is exact for the years the range allows.
constexpr uint16_t DAYS_IN_MONTH[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Day counts of the host clock that decode safely (years 1 to 9999).
constexpr double CLOCK_MIN = -693593.0;
constexpr double CLOCK_MAX = 2958466.0;

// A clock part that does not fit a field becomes a value no range accepts.
uint16_t ToField(int value) {
    return value >= 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : uint16_t{0xFFFF};
}

void ReadHostClock() {
    const double now = InstrumentNow();
    if (!std::isfinite(now) || now < CLOCK_MIN || now >= CLOCK_MAX) {
        for (uint16_t& field : DateFields)
            field = 0xFFFF;
        return;
    }
    const TDateTimeParts parts = DecodeDateTime(now);
    DateFields[DATE_DAY] = ToField(parts.Day);
    DateFields[DATE_MONTH] = ToField(parts.Month);
    DateFields[DATE_YEAR] = ToField(parts.Year);
    DateFields[DATE_HOUR] = ToField(parts.Hour);
    DateFields[DATE_MINUTE] = ToField(parts.Minute);
    // Read with the rest, but neither shown nor checked.
    DateFields[DATE_SECOND] = ToField(parts.Second);
    DateFields[DATE_MS] = ToField(parts.Ms);
}

void SetStartOfRange() {
    for (int16_t f = 0; f < DATE_EDITED_FIELDS; ++f)
        DateFields[f] = FIELD_RANGES[f].Min;
}

// Steps wrap around inside the range; the fields are unsigned, so the ends
// are tested before the step.
void StepField(int16_t field, bool up) {
    const TFieldRange& range = FIELD_RANGES[field];
    uint16_t& value = DateFields[field];
    if (up)
        value = value >= range.Max ? range.Min : static_cast<uint16_t>(value + 1);
    else
        value = value <= range.Min ? range.Max : static_cast<uint16_t>(value - 1);
}

// Runs the five fields in turn; false when the user left with both keys.
bool EditAllFields() {
    LcdClear();
    LcdPutText(TITLE_PAGE, 0, 0, LcdStr(TEXT_DATE_TIME_LABELS).c_str());
    for (int16_t field = 0; field < DATE_EDITED_FIELDS; ++field)
        if (EditDateField(field) == 1) return false;
    return true;
}

} // namespace

void SetDateTime() {
    ReadHostClock();
    if (!DateIsValid()) SetStartOfRange();
    for (;;) {
        if (!EditAllFields()) return;
        if (DateIsValid()) break;
        // Start again at the day, with the values as entered.
        ShowMessage(LcdStr(TEXT_WRONG_DATE), MESSAGE_PAGE, 1);
    }
    // The host's clock stays as it is: the instrument only reports the setting.
    ShowMessage(LcdStr(TEXT_SETTING), MESSAGE_PAGE, 0);
    Sleep(SETTING_PAUSE_MS);
    LcdClear();
}

int16_t EditDateField(int16_t field) {
    if (field < 0 || field >= DATE_EDITED_FIELDS) return 0;
    for (;;) {
        DrawDateFields(field);
        switch (WaitKey()) {
        case KEY_K1 + KEY_SHORT:
        case KEY_K1 + KEY_REPEAT:
            StepField(field, true);
            break;
        case KEY_K1 + KEY_LONG:
            StepField(field, false);
            break;
        case KEY_K2 + KEY_SHORT:
        case KEY_K2 + KEY_LONG:
            return 0;
        case KEY_BOTH:
            return 1;
        default:
            break; // redraw
        }
    }
}

void DrawDateFields(int16_t field) {
    if (field < 0 || field >= DATE_EDITED_FIELDS) return;
    g_KeyHints.SetKeyHintText(LoadStr(HINT_DATE_DAY + field));
    g_ScreenHints.ClearScreenHints();
    for (int16_t f = 0; f < DATE_EDITED_FIELDS; ++f) {
        char text[8];
        std::snprintf(text, sizeof text, "%02u", static_cast<unsigned>(DateFields[f]));
        LcdPutText(VALUE_PAGE, FIELD_RANGES[f].Column, f == field ? 1 : 0, text);
    }
    LcdRefresh();
}

bool DateIsValid() {
    for (int16_t f = 0; f < DATE_EDITED_FIELDS; ++f)
        if (DateFields[f] < FIELD_RANGES[f].Min || DateFields[f] > FIELD_RANGES[f].Max) return false;
    const uint16_t month = DateFields[DATE_MONTH];
    const uint16_t days = month == 2 ? ((DateFields[DATE_YEAR] & 3u) == 0 ? uint16_t{29} : uint16_t{28})
                                     : DAYS_IN_MONTH[month - 1];
    return DateFields[DATE_DAY] <= days;
}
