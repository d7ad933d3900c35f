// The date and time screen: the calendar check, where the screen starts from
// the host clock, the wrap-around of each field, the confirmation and the
// ways out. Screens run on the real firmware under a virtual clock of the
// test's choosing.
#include "SimSession.h"
#include "firmware/Offlinemode.h"
#include "firmware/Setupdatetime.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

namespace {

using ::testing::ElementsAre;

struct CaseName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& p) const {
        return p.param.name;
    }
};

// --- the calendar check ------------------------------------------------------------

struct ValidityCase {
    const char* name;
    uint16_t day, month, year, hour, minute;
    bool valid;
};

class DateIsValidTest : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(DateIsValidTest, ChecksRangesAndTheDaysOfTheMonth) {
    const ValidityCase& c = GetParam();
    // Seconds and milliseconds take values no field range allows: they are
    // not part of the check.
    const uint16_t fields[DATE_FIELD_COUNT] = {c.day, c.month, c.year, c.hour, c.minute, 0xFFFF, 0xFFFF};
    std::copy(std::begin(fields), std::end(fields), DateFields);
    EXPECT_EQ(DateIsValid(), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateIsValidTest,
    ::testing::Values(
        ValidityCase{"Ordinary", 7, 12, 2026, 9, 30, true},
        ValidityCase{"FirstOfRange", 1, 1, 2000, 0, 0, true},
        ValidityCase{"LastOfRange", 31, 12, 2099, 23, 59, true},
        ValidityCase{"Feb29LeapYear", 29, 2, 2004, 12, 0, true},
        ValidityCase{"Feb29Year2000", 29, 2, 2000, 12, 0, true},
        ValidityCase{"Feb29CommonYear", 29, 2, 2003, 12, 0, false},
        ValidityCase{"Feb28CommonYear", 28, 2, 2003, 12, 0, true},
        ValidityCase{"Feb30LeapYear", 30, 2, 2004, 12, 0, false},
        ValidityCase{"Apr30", 30, 4, 2026, 0, 0, true}, ValidityCase{"Apr31", 31, 4, 2026, 0, 0, false},
        ValidityCase{"Jun31", 31, 6, 2026, 0, 0, false}, ValidityCase{"Sep31", 31, 9, 2026, 0, 0, false},
        ValidityCase{"Nov31", 31, 11, 2026, 0, 0, false}, ValidityCase{"Jul31", 31, 7, 2026, 0, 0, true},
        ValidityCase{"Aug31", 31, 8, 2026, 0, 0, true}, ValidityCase{"Day0", 0, 1, 2026, 0, 0, false},
        ValidityCase{"Day32", 32, 1, 2026, 0, 0, false}, ValidityCase{"Month0", 1, 0, 2026, 0, 0, false},
        ValidityCase{"Month13", 1, 13, 2026, 0, 0, false},
        ValidityCase{"Year1999", 31, 12, 1999, 0, 0, false},
        ValidityCase{"Year2100", 1, 1, 2100, 0, 0, false}, ValidityCase{"Hour24", 1, 1, 2026, 24, 0, false},
        ValidityCase{"Minute60", 1, 1, 2026, 0, 60, false},
        ValidityCase{"Huge", 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, false}),
    CaseName{});

// --- the screen on the running firmware ------------------------------------------------

// Hint texts of the K2 balloon, first line, for telling screens apart.
const std::string kDateField[] = {
    "Short click: select MON field (month)", "Short click: select YER field (year)",
    "Short click: select HOR field (hour)", "Short click: select MIN field (minute)",
    "Short click: save date and time settings"};
const std::string kOptsOnDateLine = "Short click: enter date and time setting mode";
const std::string kMessage = "Short click: no actions";
const std::string kMessageWaiting = "Short click: close the message";

class DateScreenTest : public ::testing::Test {
  protected:
    void SetUp() override { SavedState = TDeviceState{}; }
    void TearDown() override { session.reset(); }

    // Switches on with the host clock at clock and opens the date screen from
    // the OPTS menu; the power-on screen takes 1.5 s of that clock.
    void Open(double clock) {
        session = std::make_unique<TSimSession>(out, clock);
        for (const char* line : {"k1-long", "wait 1500", "both", "k1", "k1", "k1", "k1", "k1", "k2", "k1"})
            Run(line);
        ASSERT_EQ(K2FirstLine(), kOptsOnDateLine);
        Run("k2");
    }
    void Run(const std::string& line) {
        std::string error;
        ASSERT_TRUE(session->RunLine(line, error)) << error;
    }
    void Run(const std::string& line, int times) {
        for (int i = 0; i < times; ++i)
            Run(line);
    }
    std::string K2FirstLine() {
        const std::string text = session->Device().GetHintK2();
        return text.substr(0, text.find('\n'));
    }
    // The five edited fields, read while the worker waits for a key.
    std::vector<uint16_t> Edited() { return {DateFields, DateFields + DATE_EDITED_FIELDS}; }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
};

TEST_F(DateScreenTest, StartsFromTheHostClockOnTheDayField) {
    Open(EncodeDateTime(2099, 12, 31, 23, 58, 0, 0));
    EXPECT_THAT(Edited(), ElementsAre(31, 12, 2099, 23, 58));
    EXPECT_EQ(K2FirstLine(), kDateField[DATE_DAY]);
}

struct ClockCase {
    const char* name;
    double clock;
};

class OutOfRangeClock : public DateScreenTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(OutOfRangeClock, StartsAtTheBeginningOfTheRange) {
    Open(GetParam().clock);
    EXPECT_THAT(Edited(), ElementsAre(1, 1, 2000, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Clocks, OutOfRangeClock,
                         ::testing::Values(ClockCase{"Year1999", EncodeDateTime(1999, 12, 31, 23, 0, 0, 0)},
                                           ClockCase{"Year2100", EncodeDateTime(2100, 1, 1, 12, 0, 0, 0)},
                                           ClockCase{"FarPast", -1.0e9}, ClockCase{"FarFuture", 1.0e12},
                                           ClockCase{"NotANumber", std::numeric_limits<double>::quiet_NaN()}),
                         CaseName{});

struct WrapCase {
    const char* name;
    double clock;
    int16_t field;
    const char* key;
    uint16_t expected;
};

class FieldWrap : public DateScreenTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(FieldWrap, StepsPastAnEndToTheOtherEnd) {
    const WrapCase& c = GetParam();
    Open(c.clock);
    Run("k2", c.field);
    ASSERT_EQ(K2FirstLine(), kDateField[c.field]);
    const std::vector<uint16_t> before = Edited();
    Run(c.key);
    std::vector<uint16_t> after = before;
    after[static_cast<std::size_t>(c.field)] = c.expected;
    EXPECT_EQ(Edited(), after) << "only the selected field changes";
}

const double kStartOfRange = EncodeDateTime(2000, 12, 1, 0, 0, 0, 0);
const double kEndOfRange = EncodeDateTime(2099, 12, 31, 23, 59, 0, 0);

INSTANTIATE_TEST_SUITE_P(Fields, FieldWrap,
                         ::testing::Values(WrapCase{"DayDown", kStartOfRange, DATE_DAY, "k1-long", 31},
                                           WrapCase{"DayUp", kEndOfRange, DATE_DAY, "k1", 1},
                                           WrapCase{"MonthUp", kStartOfRange, DATE_MONTH, "k1", 1},
                                           WrapCase{"MonthDown", EncodeDateTime(2000, 1, 1, 0, 0, 0, 0),
                                                    DATE_MONTH, "k1-long", 12},
                                           WrapCase{"YearDown", kStartOfRange, DATE_YEAR, "k1-long", 2099},
                                           WrapCase{"YearUp", kEndOfRange, DATE_YEAR, "k1", 2000},
                                           WrapCase{"HourDown", kStartOfRange, DATE_HOUR, "k1-long", 23},
                                           WrapCase{"HourUp", kEndOfRange, DATE_HOUR, "k1", 0},
                                           WrapCase{"MinuteDown", kStartOfRange, DATE_MINUTE, "k1-long", 59},
                                           WrapCase{"MinuteUp", kEndOfRange, DATE_MINUTE, "k1", 0},
                                           WrapCase{"HeldKeyStepsUp", kEndOfRange, DATE_MINUTE, "k1-hold", 0},
                                           WrapCase{"HeldK2OnlyRedraws", kStartOfRange, DATE_DAY, "k2-hold",
                                                    1},
                                           WrapCase{"WakeUpOnlyRedraws", kStartOfRange, DATE_DAY, "none", 1}),
                         CaseName{});

TEST_F(DateScreenTest, HoldingK1RunsThroughTheValues) {
    Open(EncodeDateTime(2026, 12, 7, 9, 30, 0, 0));
    Run("k2", DATE_MINUTE);
    Run("down k1");
    // The first repeat at 1100 ms, then one every 50 ms: ten steps.
    Run("wait 1560");
    Run("up");
    EXPECT_EQ(DateFields[DATE_MINUTE], 40);
}

TEST_F(DateScreenTest, LeapDayIsConfirmedAndTheScreenReturnsAfterItsPause) {
    Open(EncodeDateTime(2004, 2, 29, 10, 0, 0, 0));
    Run("k2", DATE_EDITED_FIELDS);
    EXPECT_EQ(K2FirstLine(), kMessage);
    Run("wait 299");
    EXPECT_EQ(K2FirstLine(), kMessage) << "'Setting...' stands for 300 ms";
    Run("wait 1");
    EXPECT_EQ(K2FirstLine(), kOptsOnDateLine);
}

TEST_F(DateScreenTest, ImpossibleDateRestartsAtTheDayWithTheValuesAsEntered) {
    Open(EncodeDateTime(2003, 2, 28, 10, 0, 0, 0));
    Run("k1"); // 29 February 2003
    Run("k2", DATE_EDITED_FIELDS);
    Run("wait 5000");
    EXPECT_EQ(K2FirstLine(), kMessageWaiting) << "'Wrong date!!!' waits for a key";
    Run("k1");
    EXPECT_EQ(K2FirstLine(), kDateField[DATE_DAY]);
    EXPECT_THAT(Edited(), ElementsAre(29, 2, 2003, 10, 0));
    Run("k1-long"); // 28 February, a date that exists
    Run("k2", DATE_EDITED_FIELDS);
    Run("wait 300");
    EXPECT_EQ(K2FirstLine(), kOptsOnDateLine);
}

} // namespace
