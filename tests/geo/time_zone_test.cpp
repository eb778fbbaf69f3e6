// Local clocks of a zone of the system's database against the fixed time
// difference: offsets on both sides of each change of 2024, half-hour zones,
// the hour a change skips or repeats, and the machine's zone by $TZ.
#include "geo/time_zone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>

namespace geoplait {
namespace {

LocalClock Zone(const char* name) {
    LocalClock clock;
    EXPECT_TRUE(FindTimeZone(name, clock)) << name;
    return clock;
}

TEST(FindTimeZone, KnowsTheDatabasesNamesOnly) {
    LocalClock clock(90000);
    EXPECT_FALSE(FindTimeZone("Mars/Olympus", clock));
    EXPECT_FALSE(FindTimeZone("", clock));
    EXPECT_FALSE(FindTimeZone("europe/berlin", clock));  // names are exact
    EXPECT_EQ(clock.zone, nullptr);
    EXPECT_TRUE(FindTimeZone("Europe/Berlin", clock));
    EXPECT_NE(clock.zone, nullptr);
    EXPECT_EQ(clock.fixed, 90000);
}

TEST(OffsetAtUtc, FollowsEachChangeOfTheZone) {
    const struct {
        const char* zone;
        const char* date;  // ddmmyy
        const char* time;  // hhmmss UTC
        int32_t want;
    } cases[] = {
        {"Europe/Berlin", "310324", "005959", 10000},  // the last second of winter time
        {"Europe/Berlin", "310324", "010000", 20000},  // summer time from 01:00 UTC
        {"Europe/Berlin", "271024", "005959", 20000},
        {"Europe/Berlin", "271024", "010000", 10000},
        {"America/St_Johns", "150124", "120000", -33000},
        {"America/St_Johns", "150724", "120000", -23000},
        {"Asia/Kolkata", "150724", "120000", 53000},
        {"Asia/Tokyo", "150724", "120000", 90000},
        {"Asia/Tokyo", "000000", "120000", 90000},  // an unknown date
        {"Europe/Berlin", "000000", "120000", 10000},  // taken as 1 January 2000
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OffsetAtUtc(Zone(c.zone), c.date, c.time), c.want) << c.zone << " " << c.date << " " << c.time;
    }
    // A fixed clock is its difference, whatever the time.
    EXPECT_EQ(OffsetAtUtc(LocalClock(-50000), "310324", "010000"), -50000);
    EXPECT_EQ(OffsetAtLocal(LocalClock(-50000), "310324", "010000"), -50000);
}

// The span of an offset ends where the zone changes: every second of a day
// around each change of Europe/Berlin in 2024, asked of the span of the
// second before when it holds it, gives what the zone gives that second.
TEST(OffsetSpanAtUtc, HoldsTheOffsetUntilTheNextChange) {
    const LocalClock berlin = Zone("Europe/Berlin");
    const LocalClock tokyo = Zone("Asia/Tokyo");
    for (const int64_t change : {int64_t{1711846800}, int64_t{1729990800}}) {  // 31 March, 27 October 01:00 UTC
        OffsetSpan span;
        int asked = 0;
        for (int64_t t = change - 43200; t < change + 43200; ++t) {
            if (!span.Holds(berlin, t)) {
                span = OffsetSpanAtUtc(berlin, t);
                ++asked;
            }
            ASSERT_TRUE(span.Holds(berlin, t)) << t;
            ASSERT_EQ(span.offset, OffsetAtUtc(berlin, t)) << t;
        }
        EXPECT_EQ(asked, 2) << change;
        EXPECT_EQ(span.from, change);
        // Another clock is never taken for this one.
        EXPECT_FALSE(span.Holds(tokyo, change));
        EXPECT_FALSE(span.Holds(LocalClock(10000), change));
    }
    // A fixed clock holds its difference for ever, and only for itself.
    const OffsetSpan fixed = OffsetSpanAtUtc(LocalClock(-50000), 0);
    EXPECT_EQ(fixed.offset, -50000);
    EXPECT_TRUE(fixed.Holds(LocalClock(-50000), INT64_MIN));
    EXPECT_TRUE(fixed.Holds(LocalClock(-50000), INT64_MAX - 1));
    EXPECT_FALSE(fixed.Holds(LocalClock(-40000), 0));
    EXPECT_FALSE(OffsetSpan{}.Holds(LocalClock(0), 0));
}

// UTC by any of its names is one zone, told without the database: offset 0
// at every instant and local time, for ever, and never a fixed clock of 0.
TEST(FindTimeZone, UtcByAnyNameIsOneZoneWithoutChange) {
    const LocalClock utc = Zone("Etc/UTC");
    ASSERT_NE(utc.zone, nullptr);
    for (const char* name : {"UTC", "UCT", "Etc/UCT", "Universal", "Etc/Universal", "Zulu", "Etc/Zulu"}) {
        EXPECT_EQ(Zone(name).zone, utc.zone) << name;
    }
    EXPECT_NE(Zone("Europe/London").zone, utc.zone);  // 0 in winter only
    EXPECT_EQ(OffsetAtUtc(Zone("Europe/London"), "150724", "120000"), 10000);
    for (const int64_t t : {int64_t{-2208988800}, int64_t{0}, int64_t{1711846800}, int64_t{4102444800}}) {
        EXPECT_EQ(OffsetAtUtc(utc, t), 0) << t;
        EXPECT_EQ(OffsetAtLocal(utc, t), 0) << t;
    }
    EXPECT_EQ(OffsetAtUtc(utc, "310324", "010000"), 0);
    EXPECT_EQ(OffsetAtLocal(utc, "000000", "120000"), 0);
    const OffsetSpan span = OffsetSpanAtUtc(utc, 0);
    EXPECT_EQ(span.offset, 0);
    EXPECT_TRUE(span.Holds(utc, INT64_MIN));
    EXPECT_TRUE(span.Holds(utc, INT64_MAX - 1));
    EXPECT_FALSE(span.Holds(LocalClock(0), 0));
    EXPECT_FALSE(OffsetSpanAtUtc(LocalClock(0), 0).Holds(utc, 0));
}

TEST(UtcFromLocal, AZoneTakesTheOffsetOfTheLocalTime) {
    const struct {
        const char* date;
        const char* time;
        const char* wantDate;
        const char* wantTime;
    } cases[] = {
        {"310324", "015959", "310324", "005959"},
        {"310324", "030000", "310324", "010000"},
        {"310324", "023000", "310324", "013000"},  // skipped by the change: the offset before it
        {"271024", "023000", "271024", "003000"},  // repeated: the first of the two
        {"271024", "033000", "271024", "023000"},
        {"010124", "003000", "311223", "233000"},  // back over midnight and the year
    };
    const LocalClock berlin = Zone("Europe/Berlin");
    for (const auto& c : cases) {
        std::string date = c.date;
        std::string time = c.time;
        UtcFromLocal(date, time, berlin);
        EXPECT_EQ(date + " " + time, std::string(c.wantDate) + " " + c.wantTime) << c.date << " " << c.time;
    }
}

TEST(CalendarSeconds, OfAPhotosDateAndTime) {
    EXPECT_EQ(CalendarSeconds("19700101", "000001"), 1);
    EXPECT_EQ(CalendarSeconds("20240331", "010000"), 1711846800);
    EXPECT_EQ(CalendarSeconds("00000000", "120000"), 0);
    EXPECT_EQ(CalendarSeconds("20240231", "120000"), 0);  // no such day
    EXPECT_EQ(CalendarSeconds("2024033", "120000"), 0);
}

TEST(OffsetSeconds, OfSignedHhmmss) {
    EXPECT_EQ(OffsetSeconds(90000), 32400);
    EXPECT_EQ(OffsetSeconds(-33000), -12600);
    EXPECT_EQ(OffsetSeconds(0), 0);
}

// $TZ names the machine's zone as the C library reads it.
class SystemZone : public ::testing::Test {
protected:
    SystemZone() {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
    }
    ~SystemZone() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(SystemZone, IsTheZoneOfTz) {
    const struct {
        const char* tz;
        const char* want;
    } cases[] = {
        {"Europe/Berlin", "Europe/Berlin"},
        {":America/St_Johns", "America/St_Johns"},
        {"/usr/share/zoneinfo/Asia/Tokyo", "Asia/Tokyo"},
        // UTC, whose name the database still tells.
        {"UTC", "UTC"},
        {":Etc/UTC", "Etc/UTC"},
        {"/usr/share/zoneinfo/Etc/Zulu", "Etc/Zulu"},
        {"", "Etc/UTC"},
    };
    for (const auto& c : cases) {
        setenv("TZ", c.tz, 1);
        EXPECT_EQ(SystemTimeZoneName(), c.want) << c.tz;
        LocalClock clock;
        ASSERT_TRUE(FindTimeZone("system", clock)) << c.tz;
        EXPECT_EQ(clock.zone, Zone(c.want).zone) << c.tz;
    }
    // A $TZ of no zone name leaves the machine's zone to /etc/localtime.
    setenv("TZ", "CET-1CEST", 1);
    LocalClock clock;
    EXPECT_TRUE(FindTimeZone("system", clock));
    EXPECT_NE(clock.zone, nullptr);
}

TEST(TimeZoneNames, ListsTheDatabaseSorted) {
    const std::vector<std::string> names = TimeZoneNames();
    ASSERT_GT(names.size(), 300U);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), "Europe/Berlin"));
}

}  // namespace
}  // namespace geoplait
