// Local time from UTC by a time difference, calendar day steps, and the date
// and time texts of a record, on ddmmyy and hhmmss texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace geoplait {

struct TimeDifferenceEntry {
    const char* text;  // "+ 9:00"
    int32_t value;     // 90000 (signed hhmmss)
};
inline constexpr int kTimeDifferenceCount = 40;
extern const TimeDifferenceEntry kTimeDifferences[kTimeDifferenceCount];

inline constexpr int64_t kSecondsPerDay = 86400;

// The table value of `text`; `previous` when the text is not in the table.
int32_t TimeDifferenceValue(const std::string& text, int32_t previous);

// Moves a ddmmyy date by one day forward (+1) or back (-1) on the calendar.
std::string ShiftDate(const std::string& ddmmyy, int days);

struct CivilDate {
    int64_t year;
    int64_t month;
    int64_t day;
};

// The civil date of a day count from 1970-01-01 (inline: once per record).
inline CivilDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}


// Days since 1970-01-01 of a civil date; month and day may lie outside their
// ranges and are carried the way mktime carries them.
inline int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    // Carry the month into the year first.
    int64_t m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 -= 12 * (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    const int64_t m = m0 + 1;
    const int64_t y = m <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + (day - 1);
}

// Whether day/month/year is a day of the proleptic Gregorian calendar.
bool IsDayOfMonth(int year, int month, int day);

// True when a ddmmyy text is a date of the calendar (20yy). A log without
// RMC sentences has "000000": its dates are unknown.
bool IsCalendarDate(std::string_view ddmmyy);

// True when a time text starts with a time of day as hhmmss (fractions may
// follow): " 222519" or ".1", as some receivers write, are not.
bool IsTimeOfDay(std::string_view hhmmss);

// Rewrites a local ddmmyy date and hhmmss time into UTC in place.
void UtcFromLocal(std::string& date, std::string& time, int32_t timeDifference);

// Days since 1970-01-01 of a ddmmyy date (20yy) read by character position,
// as SlotChar sees a record's date slot.
int64_t DayNumberOf(const std::string& ddmmyy);

// Seconds of a signed hhmmss number (-93000 is -9.5 hours).
int64_t SecondsOfHhmmss(int64_t value);
// A time of day plus a difference in seconds, brought back into one day:
// returns the seconds and sets `dayStep` to -1, 0 or +1.
int64_t AddClock(int64_t timeSeconds, int64_t differenceSeconds, int& dayStep);
// Seconds of the leading hhmmss number of a time text.
int64_t SecondsOfClock(std::string_view hhmmss);
// The calendar time of a time of day on the day of `previous` (seconds since
// 1970), or on the next day when it is earlier there: never before `previous`.
int64_t SameOrNextDay(int64_t previous, int64_t timeOfDay);

// "20yy/mm/dd" of a ddmmyy text picked by character position; a text of five
// characters ends after its fifth.
void LocalDateText(std::string& out, const std::string& date);
// "hh:mm:ss" of a hhmmss text (six characters of a slot, as SlotChar sees them).
void LocalTimeText(std::string& out, const std::string& time);

}  // namespace geoplait
