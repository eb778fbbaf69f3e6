#include "geo/time_difference.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace geoplait {
namespace {

TEST(TimeDifferenceTable, FortyDistinctSixCharacterTexts) {
    std::set<std::string> texts;
    std::set<int32_t> values;
    for (const auto& entry : kTimeDifferences) {
        EXPECT_EQ(std::string(entry.text).size(), 6u) << entry.text;
        texts.insert(entry.text);
        values.insert(entry.value);
    }
    EXPECT_EQ(texts.size(), 40u);
    EXPECT_EQ(values.size(), 40u);
    EXPECT_STREQ(kTimeDifferences[0].text, "+14:00");
    EXPECT_STREQ(kTimeDifferences[24].text, "  0:00");
    EXPECT_STREQ(kTimeDifferences[39].text, "-12:00");
}

TEST(TimeDifferenceValue, ReadsTheTableOrKeepsThePrevious) {
    const struct {
        std::string text;
        int32_t previous, want;
    } cases[] = {
        {"+ 9:00", 0, 90000},     {"+12:45", 0, 124500},   {"+ 5:45", 0, 54500},
        {"  0:00", 77, 0},        {"- 9:30", 0, -93000},   {"-12:00", 0, -120000},
        {"+14:00", 0, 140000},    {"+9:00", 30000, 30000}, {"", 50000, 50000},
        {"+ 9:00 ", -10000, -10000}, {"- 0:00", 5, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeDifferenceValue(c.text, c.previous), c.want) << "'" << c.text << "'";
    }
}

TEST(ShiftDate, StepsOverMonthsYearsAndLeapDays) {
    const struct {
        std::string date;
        int days;
        std::string want;
    } cases[] = {
        {"150612", 1, "160612"},   {"310112", 1, "010212"},  {"280212", 1, "290212"},
        {"290212", 1, "010312"},   {"280213", 1, "010313"},  {"311212", 1, "010113"},
        {"010313", -1, "280213"},  {"010300", -1, "290200"}, {"010512", -1, "300412"},
        {"311299", 1, "010100"},   {"010100", -1, "311299"},
        // Texts that do not read as a date count as 1 January 2000.
        {"", 1, "020100"},         {"", -1, "311299"},       {"ab0312", 1, "020100"},
        // Out-of-range day and month numbers carry like a calendar would.
        {"320112", 1, "020212"},   {"001312", 1, "010113"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShiftDate(c.date, c.days), c.want) << "'" << c.date << "' " << c.days;
    }
}

TEST(IsCalendarDate, DaysOfTheCalendarOnly) {
    for (const char* date : {"010113", "290212", "300413", "311299"}) EXPECT_TRUE(IsCalendarDate(date)) << date;
    for (const char* date : {"000000", "290213", "310413", "011312", "001212", "31121", "3112130", "0a0113", ""}) {
        EXPECT_FALSE(IsCalendarDate(date)) << date;
    }
}

// The one calendar of every date check: month lengths on both sides of
// their ends, and the leap years of the centuries.
TEST(IsDayOfMonth, TheGregorianCalendar) {
    EXPECT_TRUE(IsDayOfMonth(2000, 2, 29));
    EXPECT_FALSE(IsDayOfMonth(2100, 2, 29));
    EXPECT_FALSE(IsDayOfMonth(1900, 2, 29));
    EXPECT_TRUE(IsDayOfMonth(2024, 2, 29));
    EXPECT_FALSE(IsDayOfMonth(2023, 2, 29));
    EXPECT_TRUE(IsDayOfMonth(2023, 12, 31));
    EXPECT_FALSE(IsDayOfMonth(2023, 13, 1));
    EXPECT_FALSE(IsDayOfMonth(2023, 0, 1));
    EXPECT_FALSE(IsDayOfMonth(2023, 4, 31));
    EXPECT_TRUE(IsDayOfMonth(2023, 4, 30));
    EXPECT_FALSE(IsDayOfMonth(2023, 4, 0));
    EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);
    EXPECT_EQ(DaysFromCivil(2100, 3, 1) - DaysFromCivil(2100, 2, 28), 1);
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
}

struct LocalCase {
    const char* name;
    std::string time, date, difference;
    std::string wantTime, wantDate;
};

TEST(DayNumberOf, DaysAndSecondsOfSlotTexts) {
    EXPECT_EQ(DayNumberOf("010100"), 10957);  // 2000-01-01
    EXPECT_EQ(DayNumberOf("290212"), 15399);
    EXPECT_EQ(DayNumberOf("010312"), 15400);
    EXPECT_EQ(DayNumberOf("000000"), 10925);  // day 0 of month 0: 30 November 1999
    EXPECT_EQ(SecondsOfClock("123456"), 45296);
    EXPECT_EQ(SecondsOfClock("000004.50"), 4);
    EXPECT_EQ(SecondsOfClock(""), 0);
    EXPECT_EQ(SameOrNextDay(10 * kSecondsPerDay + 86390, 5), 11 * kSecondsPerDay + 5);
    EXPECT_EQ(SameOrNextDay(10 * kSecondsPerDay + 100, 200), 10 * kSecondsPerDay + 200);
    EXPECT_EQ(SameOrNextDay(10 * kSecondsPerDay + 100, 100), 10 * kSecondsPerDay + 100);
    EXPECT_EQ(SameOrNextDay(-10, 5), 5);
}

TEST(LocalDateText, SlashesAndColonsByPosition) {
    const struct { std::string date, wantDate, time, wantTime; } cases[] = {
        {"010113", "2013/01/01", "123456", "12:34:56"},
        {"31121", "201", "1234", "12:34"},
        {"", "", "", ""},
        {"0102ä3", "20ä3/02/01", "123456.7", "12:34:56"},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        LocalDateText(out, c.date);
        EXPECT_EQ(out, c.wantDate) << c.date;
        LocalTimeText(out, c.time);
        EXPECT_EQ(out, c.wantTime) << c.time;
    }
}

TEST(UtcFromLocal, SubtractsTheDifferenceOfEitherSign) {
    const std::vector<LocalCase> cases = {
        {"positive, same day", "090000", "010113", "+ 9:00", "000000", "010113"},
        {"positive, day before", "080000", "010113", "+ 9:00", "230000", "311212"},
        {"positive, over a leap day", "030000", "010312", "+ 5:30", "213000", "290212"},
        {"negative, same day", "100000", "010113", "- 5:00", "150000", "010113"},
        {"negative, day after", "200000", "290212", "- 5:00", "010000", "010312"},
        {"zero leaves everything", "abc", "xyz", "  0:00", "abc", "xyz"},
        {"decimals dropped", "120000.75", "010113", "+ 1:00", "110000", "010113"},
        {"empty time", "", "010113", "+ 9:00", "150000", "311212"},
    };
    for (const auto& c : cases) {
        std::string date = c.date, time = c.time;
        UtcFromLocal(date, time, TimeDifferenceValue(c.difference, 0));
        EXPECT_EQ(time, c.wantTime) << c.name;
        EXPECT_EQ(date, c.wantDate) << c.name;
    }
}

}  // namespace
}  // namespace geoplait
