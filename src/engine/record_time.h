// A record's time as numbers: the UTC instant with the parts its input gave,
// and the local time of a record worked out from it.
//
// Dates reach the record as two-digit years meaning 20yy, and every output
// writes them so: a date is known only within 2000-2099, and a day moved past
// either end of that century (the local date of 31 December 2099 after
// midnight) is read and written as its two-digit year says (FoldedDay).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace geoplait {

// What a record knows of its date: none at all (a GPX point without a time,
// a CSV line without a date column), a date slot that holds no date of the
// calendar ("000000" of a log without RMC, a year outside 2000-2099), or a
// date.
enum class DateKind : uint8_t { None, Unknown, Known };

struct RecordTime {
    int64_t day = 0;       // days since 1970-01-01, when `date` is Known
    int64_t second = 0;    // seconds of the time of day (0 without a time)
    uint64_t fraction = 0; // the digits after the seconds' point as read (at most 19)
    uint8_t decimals = 0;  // how many digits `fraction` has
    DateKind date = DateKind::None;
    bool timeKnown = false;
    // Read from the record's ddmmyy and hhmmss texts, which are then its time
    // as written (an output echoes them, an empty one too).
    bool fromTexts = false;
    bool operator==(const RecordTime&) const = default;

    // Seconds since 1970 of the date and time, for a known date.
    int64_t Instant() const { return day * 86400 + second; }
    // A time of day within its day (a reader's settled time always is).
    bool HasTimeOfDay() const { return timeKnown && second >= 0 && second < 86400; }
    // A date and a time of day: an instant.
    bool HasInstant() const { return date == DateKind::Known && HasTimeOfDay(); }
};

// The seconds of the time of day with the fraction as read, its digits
// added one by one from the tenths on (as the track's speed has always
// summed them).
double SecondsWithFraction(const RecordTime& time);

inline constexpr int64_t kJanuary2000Day = 10957;  // days since 1970 of 1 January 2000

// The time of ddmmyy and hhmmss[.fff] texts as the record's slots hold them: a
// date that is a day of the calendar is known, any other text unknown; a time
// is known when it starts with a digit, its seconds those of its leading
// number read as hhmmss (for a time settled by its reader, exactly its time
// of day).
RecordTime TimeOfTexts(std::string_view ddmmyy, std::string_view hhmmss);

// The day a two-digit year reads back as: the same day of the year 20yy.
int64_t FoldedDay(int64_t day);

// The local time of a UTC time by an offset (signed hhmmss): the time of day
// moved by the offset into one day, and a known date moved with it across
// midnight (and read as its two-digit year: 31 December 2099 moves on to
// 1 January 2000). An unknown date is never moved.
RecordTime LocalOf(const RecordTime& utc, int32_t offset);
// The UTC time of a local one by its offset, the same way back (1 January
// 2000 moves back to 31 December 2099).
RecordTime UtcOf(const RecordTime& local, int32_t offset);

// Seconds since 1970 at which a zone's offset is looked up for a time: an
// unknown date stands for 1 January 2000.
int64_t OffsetInstant(const RecordTime& time);

// Fixed-width digits of a date and a time of day, written at `out`:
// "ddmmyy" (two-digit year), "hhmmss" and "hh:mm:ss" for a second within a
// day. Each returns the end of what it wrote.
char* PutDdmmyy(char* out, int64_t day);
char* PutYymmdd(char* out, int64_t day);
char* PutHhmmss(char* out, int64_t second);
// "20yy/mm/dd" (or with another separator) and "hh:mm:ss"; "20yy-mm-ddThh:mm:ssZ"
// of an instant (HasInstant).
char* PutDateText(char* out, int64_t day, char separator);
char* PutClockText(char* out, int64_t second);
char* PutIsoUtc(char* out, const RecordTime& time);

// The hhmmss text of a time of day as the record has always written it:
// six digits within a day, the seconds carried into more digits beyond (a
// pass-through's raw time).
void AssignClockDigits(std::string& out, int64_t second);

}  // namespace geoplait
