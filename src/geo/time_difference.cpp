// Local time from UTC by a time difference, calendar day steps, and the date
// and time texts of a record. Dates are ddmmyy texts (yy means 20yy),
// times hhmmss; a difference is a signed hhmmss number. All calendar
// arithmetic is proleptic Gregorian on day numbers: no time zone, no mktime.
#include "geo/time_difference.h"

#include <cstdint>
#include <string_view>

#include "base/text_fields.h"
#include "geo/number_format.h"

namespace geoplait {

const TimeDifferenceEntry kTimeDifferences[kTimeDifferenceCount] = {
    {"+14:00", 140000}, {"+13:00", 130000}, {"+12:45", 124500}, {"+12:00", 120000},
    {"+11:30", 113000}, {"+11:00", 110000}, {"+10:30", 103000}, {"+10:00", 100000},
    {"+ 9:30", 93000},  {"+ 9:00", 90000},  {"+ 8:45", 84500},  {"+ 8:00", 80000},
    {"+ 7:00", 70000},  {"+ 6:30", 63000},  {"+ 6:00", 60000},  {"+ 5:45", 54500},
    {"+ 5:30", 53000},  {"+ 5:00", 50000},  {"+ 4:30", 43000},  {"+ 4:00", 40000},
    {"+ 3:30", 33000},  {"+ 3:00", 30000},  {"+ 2:00", 20000},  {"+ 1:00", 10000},
    {"  0:00", 0},      {"- 1:00", -10000}, {"- 2:00", -20000}, {"- 3:00", -30000},
    {"- 3:30", -33000}, {"- 4:00", -40000}, {"- 4:30", -43000}, {"- 5:00", -50000},
    {"- 6:00", -60000}, {"- 7:00", -70000}, {"- 8:00", -80000}, {"- 9:00", -90000},
    {"- 9:30", -93000}, {"-10:00", -100000}, {"-11:00", -110000}, {"-12:00", -120000},
};

// Seconds of a signed hhmmss number.
int64_t SecondsOfHhmmss(int64_t value) {
    const int64_t magnitude = value < 0 ? -value : value;
    const int64_t seconds = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    return value < 0 ? -seconds : seconds;
}

// Time of day plus a difference, brought back into one day: returns the
// seconds and sets `dayStep` to -1, 0 or +1.
int64_t AddClock(int64_t timeSeconds, int64_t differenceSeconds, int& dayStep) {
    int64_t sum = timeSeconds + differenceSeconds;
    dayStep = 0;
    if (sum < 0) {
        sum += kSecondsPerDay;
        dayStep = -1;
    } else if (sum >= kSecondsPerDay) {
        sum -= kSecondsPerDay;
        dayStep = 1;
    }
    return sum;
}

namespace {

int64_t HhmmssOfSeconds(int64_t seconds) {
    return seconds / 3600 * 10000 + seconds / 60 % 60 * 100 + seconds % 60;
}

// Integer of two characters of a slot text, as a positional reader sees them.
int64_t PairOf(const std::string& text, size_t i) {
    if (i + 1 < text.size()) {
        const auto high = static_cast<unsigned>(static_cast<unsigned char>(text[i]) - '0');
        const auto low = static_cast<unsigned>(static_cast<unsigned char>(text[i + 1]) - '0');
        if (high <= 9 && low <= 9) return high * 10 + low;  // the usual two digits
    }
    char pair[2] = {SlotChar(text, i), SlotChar(text, i + 1)};
    const size_t n = pair[0] == '\0' ? 0 : (pair[1] == '\0' ? 1 : 2);
    return IntegerOf(std::string_view(pair, n));
}

void ShiftDateInPlace(std::string& date, int days) {
    // "20yymmdd" read as a number; a text with blanks or other non-digits
    // falls out of range and becomes 1 January 2000.
    char number[8] = {'2', '0'};
    const size_t order[6] = {4, 5, 2, 3, 0, 1};
    size_t n = 2;
    for (size_t i : order) {
        const char c = SlotChar(date, i);
        if (c == '\0') break;
        number[n++] = c;
    }
    int64_t value = IntegerOf(std::string_view(number, n));
    if (value < 19000101 || value > 29991231) value = 20000101;
    const CivilDate civil =
        CivilFromDays(DaysFromCivil(value / 10000, value / 100 % 100, value % 100) + days);
    char out[6] = {
        static_cast<char>('0' + civil.day / 10),
        static_cast<char>('0' + civil.day % 10),
        static_cast<char>('0' + civil.month / 10),
        static_cast<char>('0' + civil.month % 10),
        static_cast<char>('0' + civil.year % 100 / 10),
        static_cast<char>('0' + civil.year % 10),
    };
    date.assign(out, sizeof out);
}

// The i-th UTF-8 character of a text (empty past its end).
std::string_view CharAt(const std::string& text, size_t index) {
    size_t pos = 0;
    for (size_t count = 0; pos < text.size(); ++count) {
        size_t len = 1;
        while (pos + len < text.size() && (static_cast<unsigned char>(text[pos + len]) & 0xC0) == 0x80) ++len;
        if (count == index) return std::string_view(text).substr(pos, len);
        pos += len;
    }
    return {};
}

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0x80) != 0) return false;
    }
    return true;
}

size_t CharCount(const std::string& text) {
    size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

}  // namespace

void LocalDateText(std::string& out, const std::string& date) {
    out.clear();
    if (date.size() == 6 && IsAscii(date)) {
        const char text[10] = {'2', '0', date[4], date[5], '/', date[2], date[3], '/', date[0], date[1]};
        out.assign(text, sizeof text);
        return;
    }
    const size_t count = CharCount(date);
    if (count < 5) return;
    out.append("20");
    out.append(CharAt(date, 4));
    if (count < 6) return;
    out.append(CharAt(date, 5));
    out.push_back('/');
    out.append(CharAt(date, 2));
    out.append(CharAt(date, 3));
    out.push_back('/');
    out.append(CharAt(date, 0));
    out.append(CharAt(date, 1));
}

void LocalTimeText(std::string& out, const std::string& time) {
    char text[8];
    size_t n = 0;
    for (size_t i = 0; i < 6; ++i) {
        const char c = SlotChar(time, i);
        if (c == '\0') break;
        if (i == 2 || i == 4) text[n++] = ':';
        text[n++] = c;
    }
    out.assign(text, n);
}

bool IsTimeOfDay(std::string_view t) {
    if (t.size() < 6) return false;
    for (size_t i = 0; i < 6; ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
    }
    const int hour = (t[0] - '0') * 10 + (t[1] - '0');
    return hour < 24 && t[2] < '6' && t[4] < '6';
}


bool IsDayOfMonth(int year, int month, int day) {
    // Once per record: the month lengths, not the calendar arithmetic.
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day <= kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsCalendarDate(std::string_view d) {
    if (d.size() != 6) return false;
    for (char c : d) {
        if (c < '0' || c > '9') return false;
    }
    return IsDayOfMonth(2000 + (d[4] - '0') * 10 + (d[5] - '0'), (d[2] - '0') * 10 + (d[3] - '0'),
                        (d[0] - '0') * 10 + (d[1] - '0'));
}

int32_t TimeDifferenceValue(const std::string& text, int32_t previous) {
    for (const TimeDifferenceEntry& entry : kTimeDifferences) {
        if (text == entry.text) return entry.value;
    }
    return previous;
}

std::string ShiftDate(const std::string& ddmmyy, int days) {
    std::string date = ddmmyy;
    ShiftDateInPlace(date, days);
    return date;
}

void UtcFromLocal(std::string& date, std::string& time, int32_t timeDifference) {
    if (timeDifference == 0) return;
    int dayStep = 0;
    const int64_t seconds =
        AddClock(SecondsOfHhmmss(IntegerOf(time)), -SecondsOfHhmmss(timeDifference), dayStep);
    // An unknown date stays unknown.
    if (dayStep != 0 && IsCalendarDate(date)) ShiftDateInPlace(date, dayStep);
    AssignSixDigits(time, HhmmssOfSeconds(seconds));
}

int64_t DayNumberOf(const std::string& ddmmyy) {
    return DaysFromCivil(2000 + PairOf(ddmmyy, 4), PairOf(ddmmyy, 2), PairOf(ddmmyy, 0));
}

int64_t SecondsOfClock(std::string_view hhmmss) { return SecondsOfHhmmss(IntegerOf(hhmmss)); }

int64_t SameOrNextDay(int64_t previous, int64_t timeOfDay) {
    const int64_t previousDay =
        previous >= 0 ? previous / kSecondsPerDay : -((kSecondsPerDay - 1 - previous) / kSecondsPerDay);
    const int64_t stamp = previousDay * kSecondsPerDay + timeOfDay;
    return stamp < previous ? stamp + kSecondsPerDay : stamp;
}

}  // namespace geoplait
