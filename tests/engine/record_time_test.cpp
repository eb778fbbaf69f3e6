#include "engine/record_time.h"

#include "engine/track_point.h"
#include "geo/time_difference.h"

#include <gtest/gtest.h>

#include <string>

namespace geoplait {
namespace {

std::string Ddmmyy(int64_t day) {
    char digits[6];
    return {digits, static_cast<size_t>(PutDdmmyy(digits, day) - digits)};
}

// "ddmmyy hhmmss" of a time, "-" for a part it does not know.
std::string Digits(const RecordTime& t) {
    std::string date = t.date == DateKind::Known ? Ddmmyy(t.day) : t.date == DateKind::Unknown ? "?" : "-";
    std::string time = "-";
    if (t.timeKnown) AssignClockDigits(time, t.second);
    return date + " " + time;
}

TEST(TimeOfTexts, DateAndTimeWithTheirKnownParts) {
    const struct {
        const char *date, *time, *want;
        uint64_t fraction;
        int decimals;
    } cases[] = {
        {"010524", "063000", "010524 063000", 0, 0},
        {"290224", "235959.50", "290224 235959", 50, 2},  // leap day, the fraction as written
        {"290223", "120000", "? 120000", 0, 0},          // no such day
        {"000000", "000001", "? 000001", 0, 0},          // a log without RMC
        {"", "120000.", "- 120000", 0, 0},              // a point at the end is no fraction
        {"311299", "", "311299 -", 0, 0},
        {"", "", "- -", 0, 0},
        {"010100", "000000.12345678901234567890123", "010100 000000", 1234567890123456789, 19},  // 19 digits kept
    };
    for (const auto& c : cases) {
        const RecordTime t = TimeOfTexts(c.date, c.time);
        EXPECT_EQ(Digits(t), c.want) << c.date << " " << c.time;
        EXPECT_EQ(t.fraction, c.fraction) << c.time;
        EXPECT_EQ(t.decimals, c.decimals) << c.time;
        EXPECT_TRUE(t.fromTexts);
    }
    EXPECT_EQ(TimeOfTexts("010524", "063000").Instant(), 1714545000);
}

TEST(LocalOf, MovesAKnownDateAcrossMidnightBothWays) {
    const struct {
        const char *date, *time;
        int32_t offset;
        const char* want;
    } cases[] = {
        {"311213", "150000", 90000, "010114 000000"},    // forward onto the next year
        {"010312", "010000", -50000, "290212 200000"},   // back onto a leap day
        {"280212", "230000", 10000, "290212 000000"},
        {"290212", "233000", 10000, "010312 003000"},
        {"010113", "235959", 124500, "020113 124459"},
        {"010113", "000000", -120000, "311212 120000"},
        {"000000", "010000", -50000, "? 200000"},        // an unknown date never moves
        {"", "200000", 90000, "- 050000"},
        {"311213", "", -90000, "311213 -"},              // no time: the offset alone moves nothing
        {"010113", "120000", 0, "010113 120000"},
    };
    for (const auto& c : cases) {
        const RecordTime utc = TimeOfTexts(c.date, c.time);
        const RecordTime local = LocalOf(utc, c.offset);
        EXPECT_EQ(Digits(local), c.want) << c.date << " " << c.time << " " << c.offset;
        // And back again, but where the record had no time to move.
        if (utc.timeKnown) {
            EXPECT_EQ(UtcOf(local, c.offset), utc) << c.date << " " << c.time;
        }
    }
}

TEST(LocalOf, RawTextsOfAPassThroughAsTheyHaveAlwaysRead) {
    const struct {
        const char *date, *time;
        const char* want;
        int64_t second;
    } cases[] = {
        {"010113", "x1", "010113 -", 32400},  // no time: the offset alone, within the day
        {"010113", "1234", "010113 091234", 33154},  // a short time reads as its number
        // Not a time of day: the seconds come out beyond the day, one day on.
        {"010113", "990000", "020113 840000", 302400},
    };
    for (const auto& c : cases) {
        const RecordTime local = LocalOf(TimeOfTexts(c.date, c.time), 90000);
        EXPECT_EQ(Digits(local), c.want) << c.time;
        EXPECT_EQ(local.second, c.second) << c.time;
    }
}

TEST(FoldedDay, DaysPastTheCenturyReadAsTheirTwoDigitYear) {
    const RecordTime local = LocalOf(TimeOfTexts("311299", "230000"), 10000);
    EXPECT_EQ(local.day, DaysFromCivil(2000, 1, 1));
    const RecordTime back = LocalOf(TimeOfTexts("010100", "000000"), -10000);
    EXPECT_EQ(back.day, DaysFromCivil(2099, 12, 31));
    // A reader's local time of 1 January 2000 with an offset east of UTC.
    EXPECT_EQ(UtcOf(TimeOfTexts("010100", "003000"), 10000).day, DaysFromCivil(2099, 12, 31));
    EXPECT_EQ(FoldedDay(DaysFromCivil(1999, 12, 31)), DaysFromCivil(2099, 12, 31));
    EXPECT_EQ(FoldedDay(DaysFromCivil(2100, 1, 1)), DaysFromCivil(2000, 1, 1));
    EXPECT_EQ(FoldedDay(DaysFromCivil(2024, 2, 29)), DaysFromCivil(2024, 2, 29));
    // Every day of the century stays, and the days around it fold.
    for (int64_t day = DaysFromCivil(1999, 12, 1); day <= DaysFromCivil(2100, 1, 31); ++day) {
        const CivilDate civil = CivilFromDays(day);
        const int64_t want = civil.year >= 2000 && civil.year <= 2099
                                 ? day
                                 : DaysFromCivil(2000 + (civil.year % 100 + 100) % 100, civil.month, civil.day);
        ASSERT_EQ(FoldedDay(day), want) << civil.year << "-" << civil.month << "-" << civil.day;
    }
}

TEST(SecondsWithFraction, TheDigitsAddedOneByOne) {
    EXPECT_EQ(SecondsWithFraction(TimeOfTexts("", "120020.5")), 43220.5);
    EXPECT_EQ(SecondsWithFraction(TimeOfTexts("", "000000.123")),
              0.0 + 1 * 0.1 + 2 * (0.1 / 10.0) + 3 * (0.1 / 10.0 / 10.0));
    EXPECT_EQ(SecondsWithFraction(TimeOfTexts("", "000007")), 7.0);
}

TEST(PutIsoUtc, OneInstant) {
    char text[24];
    const RecordTime t = TimeOfTexts("290224", "235959.9");
    EXPECT_EQ(std::string(text, static_cast<size_t>(PutIsoUtc(text, t) - text)), "2024-02-29T23:59:59Z");
}

TEST(TimeTextOf, TheInputsTextsOrThoseOfTheTime) {
    std::string scratch;
    // Read from texts: each text as read, an empty GGA time beside an RMC time too.
    TrackPoint read;
    read.RmcTime = "123519.00";
    read.RmcDate = "000000";
    ReadTimeTexts(read);
    EXPECT_EQ(TimeTextOf(read.RmcTime, read.Time, scratch), "123519.00");
    EXPECT_EQ(TimeTextOf(read.GgaTime, read.Time, scratch), "");
    EXPECT_EQ(DateTextOf(read.RmcDate, read.Time, scratch), "000000");
    // Given as numbers: the texts of the time.
    RecordTime given = TimeOfTexts("", "235900");
    given.fromTexts = false;
    EXPECT_EQ(TimeTextOf("", given, scratch), "235900");
    EXPECT_EQ(DateTextOf("", given, scratch), "");
    given.date = DateKind::Unknown;
    EXPECT_EQ(DateTextOf("", given, scratch), "000000");
    given.date = DateKind::Known;
    given.day = DaysFromCivil(2024, 2, 29);
    EXPECT_EQ(DateTextOf("", given, scratch), "290224");
    given.timeKnown = false;
    EXPECT_EQ(TimeTextOf("", given, scratch), "");
}

}  // namespace
}  // namespace geoplait
