#include "geo/time_difference.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/recording_ui.h"

namespace geoplait {
namespace {

struct Fixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
};

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

struct LocalCase {
    const char* name;
    std::string time, date, difference;
    std::string wantTime, wantDate;
};

TEST(LocalDateTime, AddsTheDifferenceOnTheClock) {
    const std::vector<LocalCase> cases = {
        {"same day", "123456", "010113", "+ 9:00", "213456", "010113"},
        {"midnight exactly", "150000", "311213", "+ 9:00", "000000", "010114"},
        {"half hour", "124500", "010113", "+ 5:30", "181500", "010113"},
        {"back over a leap day", "010000", "010312", "- 5:00", "200000", "290212"},
        {"empty date stays empty", "120000", "", "+ 9:00", "210000", ""},
        {"unknown date never moves", "200000", "", "+ 9:00", "050000", ""},
        {"unknown date never moves back", "010000", "000000", "- 5:00", "200000", "000000"},
        {"no such day never moves", "230000", "300299", "+ 1:00", "000000", "300299"},
        {"forward over a year", "230000", "311299", "+ 1:00", "000000", "010100"},
        {"twelve hours back", "000000", "010113", "-12:00", "120000", "311212"},
        {"minutes carried", "235959", "010113", "+12:45", "124459", "020113"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ctx.run.TimeDifferenceValue = TimeDifferenceValue(c.difference, 0);
        f.ctx.point.RmcTime = c.time;
        f.ctx.point.RmcDate = c.date;
        LocalDateTime(f.ctx);
        EXPECT_EQ(f.ctx.point.LocalTime, c.wantTime) << c.name;
        EXPECT_EQ(f.ctx.point.LocalDate, c.wantDate) << c.name;
        EXPECT_EQ(f.ctx.point.RmcTime, c.time) << c.name;
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

// One record through ComputeDerived as a written record of a pass.
void Derive(Fixture& f, const std::string& date, const std::string& time) {
    f.ctx.point.RmcDate = date;
    f.ctx.point.RmcTime = time;
    ComputeDerived(f.ctx);
    ++f.ctx.store.WrittenCount;
}

TEST(ComputeDerived, ElapsedAndIntervalSeconds) {
    const struct {
        const char* name;
        std::string date, time;
        int32_t wantElapsed, wantInterval;
    } steps[] = {
        {"first written", "010113", "120000", 0, 0},
        {"a minute later", "010113", "120100", 60, 60},
        {"over midnight", "020113", "000100", 43260, 43200},
        {"ten days exactly", "110113", "120000", 864000, 820740},
        {"eleven days", "120113", "120000", 0, 86400},
        {"backwards", "010113", "110000", -3600, -954000},
    };
    Fixture f;
    for (const auto& s : steps) {
        Derive(f, s.date, s.time);
        EXPECT_EQ(f.ctx.point.ElapsedSec, s.wantElapsed) << s.name;
        EXPECT_EQ(f.ctx.point.IntervalSec, s.wantInterval) << s.name;
    }
}

TEST(ComputeDerived, RecordsWithoutADateNeverRunBackwards) {
    // A GGA-only log over midnight: a time of day earlier than the record
    // before is the next day; a dated record keeps its own day.
    const struct { std::string date, time; int32_t elapsed, interval; } steps[] = {
        {"000000", "235950", 0, 0}, {"000000", "235959", 9, 9}, {"000000", "000004", 14, 5},
        {"000000", "000003", 86413, 86399}, {"010113", "120000", 0, 0}, {"", "120005", 0, 5},
    };
    Fixture f;
    for (const auto& s : steps) {
        Derive(f, s.date, s.time);
        EXPECT_EQ(f.ctx.point.ElapsedSec, s.elapsed) << s.date << " " << s.time;
        EXPECT_EQ(f.ctx.point.IntervalSec, s.interval) << s.date << " " << s.time;
    }
    for (const char* date : {"010113", "290212", "300413", "311299"}) EXPECT_TRUE(IsCalendarDate(date)) << date;
    for (const char* date : {"000000", "290213", "310413", "011312", "001212", "31121", "3112130", "0a0113", ""}) {
        EXPECT_FALSE(IsCalendarDate(date)) << date;
    }
}

TEST(ComputeDerived, IntervalOverAHundredDaysIsZero) {
    Fixture f;
    Derive(f, "010113", "120000");
    Derive(f, "010113", "120010");
    Derive(f, "010613", "120000");
    EXPECT_EQ(f.ctx.point.IntervalSec, 0);
    EXPECT_EQ(f.ctx.point.ElapsedSec, 0);
}

}  // namespace
}  // namespace geoplait
