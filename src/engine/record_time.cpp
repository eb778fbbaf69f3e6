// A record's time as numbers: read from the record's texts or a reader's
// numbers, moved by offsets, and written as fixed-width digits.
#include "engine/record_time.h"

#include "base/text_fields.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

constexpr size_t kMostDecimals = 19;  // the digits a uint64_t holds whole

char* PutPair(char* out, int64_t value) {
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

// The two-digit year of a civil year: 1999 is 99, 2100 is 00.
int64_t TwoDigitYear(int64_t year) { return ((year % 100) + 100) % 100; }

}  // namespace

RecordTime TimeOfTexts(std::string_view ddmmyy, std::string_view hhmmss) {
    RecordTime t;
    t.fromTexts = true;
    if (IsCalendarDate(ddmmyy)) {
        const auto pair = [&](size_t i) { return (ddmmyy[i] - '0') * 10 + (ddmmyy[i + 1] - '0'); };
        t.date = DateKind::Known;
        t.day = DaysFromCivil(2000 + pair(4), pair(2), pair(0));
    } else if (!ddmmyy.empty()) {
        t.date = DateKind::Unknown;
    }
    t.timeKnown = !hhmmss.empty() && hhmmss[0] >= '0' && hhmmss[0] <= '9';
    t.second = SecondsOfHhmmss(IntegerOf(hhmmss));
    if (hhmmss.size() > 7 && hhmmss[6] == '.') {
        for (size_t i = 7; i < hhmmss.size() && hhmmss[i] >= '0' && hhmmss[i] <= '9' && t.decimals < kMostDecimals;
             ++i) {
            t.fraction = t.fraction * 10 + static_cast<uint64_t>(hhmmss[i] - '0');
            ++t.decimals;
        }
    }
    return t;
}

int64_t FoldedDay(int64_t day) {
    // The days of the years 2000 to 2099 stay as they are: no calendar needed.
    constexpr int64_t kJanuary2100Day = 47482;
    static_assert(kJanuary2100Day == 36525 + kJanuary2000Day);
    if (day >= kJanuary2000Day && day < kJanuary2100Day) return day;
    const CivilDate civil = CivilFromDays(day);
    if (civil.year >= 2000 && civil.year <= 2099) return day;
    return DaysFromCivil(2000 + TwoDigitYear(civil.year), civil.month, civil.day);
}

RecordTime LocalOf(const RecordTime& utc, int32_t offset) {
    // Mostly UTC itself, a time of day within the day.
    if (offset == 0 && utc.second >= 0 && utc.second < kSecondsPerDay) return utc;
    RecordTime local = utc;
    int dayStep = 0;
    local.second = AddClock(utc.second, SecondsOfHhmmss(offset), dayStep);
    // A record without a time has no local date moved by the offset alone.
    if (dayStep != 0 && utc.timeKnown && utc.date == DateKind::Known) local.day = FoldedDay(utc.day + dayStep);
    return local;
}

RecordTime UtcOf(const RecordTime& local, int32_t offset) {
    if (offset == 0) return local;
    RecordTime utc = local;
    int dayStep = 0;
    utc.second = AddClock(local.second, -SecondsOfHhmmss(offset), dayStep);
    if (dayStep != 0 && local.date == DateKind::Known) utc.day = FoldedDay(local.day + dayStep);
    return utc;
}

int64_t OffsetInstant(const RecordTime& time) {
    return (time.date == DateKind::Known ? time.day : kJanuary2000Day) * kSecondsPerDay + time.second;
}

char* PutDdmmyy(char* out, int64_t day) {
    const CivilDate civil = CivilFromDays(day);
    out = PutPair(out, civil.day);
    out = PutPair(out, civil.month);
    return PutPair(out, TwoDigitYear(civil.year));
}

char* PutYymmdd(char* out, int64_t day) {
    const CivilDate civil = CivilFromDays(day);
    out = PutPair(out, TwoDigitYear(civil.year));
    out = PutPair(out, civil.month);
    return PutPair(out, civil.day);
}

char* PutHhmmss(char* out, int64_t second) {
    out = PutPair(out, second / 3600);
    out = PutPair(out, second / 60 % 60);
    return PutPair(out, second % 60);
}

char* PutDateText(char* out, int64_t day, char separator) {
    const CivilDate civil = CivilFromDays(day);
    *out++ = '2';
    *out++ = '0';
    out = PutPair(out, TwoDigitYear(civil.year));
    *out++ = separator;
    out = PutPair(out, civil.month);
    *out++ = separator;
    return PutPair(out, civil.day);
}

char* PutClockText(char* out, int64_t second) {
    out = PutPair(out, second / 3600);
    *out++ = ':';
    out = PutPair(out, second / 60 % 60);
    *out++ = ':';
    return PutPair(out, second % 60);
}

char* PutIsoUtc(char* out, const RecordTime& time) {
    out = PutDateText(out, time.day, '-');
    *out++ = 'T';
    out = PutClockText(out, time.second);
    *out++ = 'Z';
    return out;
}

double SecondsWithFraction(const RecordTime& time) {
    auto seconds = static_cast<double>(time.second);
    uint64_t divisor = time.decimals == 0 ? 0 : 1;
    for (uint8_t i = 1; i < time.decimals; ++i) divisor *= 10;
    double scale = 0.1;
    for (; divisor != 0; divisor /= 10, scale /= 10.0) {
        seconds += static_cast<double>(time.fraction / divisor % 10) * scale;
    }
    return seconds;
}

void AssignClockDigits(std::string& out, int64_t second) {
    if (second >= 0 && second < kSecondsPerDay) {
        char digits[6];
        out.assign(digits, static_cast<size_t>(PutHhmmss(digits, second) - digits));
        return;
    }
    AssignSixDigits(out, second / 3600 * 10000 + second / 60 % 60 * 100 + second % 60);
}

}  // namespace geoplait
