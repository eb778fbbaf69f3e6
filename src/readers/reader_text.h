// Small pieces every non-NMEA reader shares: the NMEA fields a record gets
// when its input has none, signed degrees split into an unsigned value and a
// hemisphere letter, and picking or cutting whole UTF-8 characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/track_point.h"
#include "geo/time_zone.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The NMEA fields of a record built from a format that has none: "$GPGGA" and
// "$GPRMC", the hemisphere letters Default_NS and Default_WE on both sides,
// satellites "00", quality "1", dilution "0.0", units "M", geoid "0.0",
// status "A"; the differential and variation fields empty.
void FillNmeaDefaults(TrackPoint& point, const ConvertSettings& settings);

// The time and date of a record as every writer may take them: blanks before
// a time are dropped (" 222519" is 22:25:19, as other programs read it); a
// time that is no time of day (hhmmss, fractions may follow) is none, empty;
// a date that is no day of the calendar is the unknown date "000000". The
// record's Time is read from them.
void SettleRecordTimes(TrackPoint& point);

// The UTC time of an ISO 8601 time stamp (ReadXmlTimeStamp) into `time`: a
// stated offset is taken off; a time without one is UTC, or, with a
// `clock`, the local time of that clock. False, `time` untouched, when the
// text is no time stamp.
bool ReadXmlTime(std::string_view text, const LocalClock* clock, RecordTime& time);

// SettleRecordTimes, and a position that is none cleared: a latitude beyond
// 90 or a longitude beyond 180 degrees, or an NMEA text (ddmm.mmmm, unsigned)
// that is no such number, leaves the record without a position (every
// coordinate text of both axes empty), as a line without one is; then the
// NMEA texts are read into the record's positions (ReadPositionTexts). The
// readers of NMEA texts (NMEA, CSV, POT) pass each record through it; the
// readers of degrees fill the positions themselves (TakeDegreePosition).
void SettleRecord(TrackPoint& point);

// Both positions of the record from the unsigned degrees of a reader of
// degrees (CoordinateOfDegrees); without `known`, none.
void TakeDegreePosition(TrackPoint& point, bool known, double latitude, double longitude);
RecordPosition PositionOfDegrees(bool known, double latitude, double longitude);

// A number of a GPX or KML value: an optional sign, digits with at most one
// point (one digit at least), an optional exponent ("e" or "E", optional
// sign, digits); nothing else, and finite. False otherwise.
bool ReadXmlNumber(std::string_view text, double& value);

// A GPX or KML number as the record holds it: the text as it stands when it
// has no exponent, else the value as a plain decimal text ("1.397e2" is
// "139.7"). Empty when the text is no number (ReadXmlNumber).
void TakeXmlNumber(std::string_view text, size_t maxChars, std::string& out);

// A number as ReadXmlNumber reads it, kept with whether its text has an
// exponent, so that a value checked first is not read again to be taken.
struct XmlNumber {
    double value = 0.0;
    bool exponent = false;
};
bool ReadXmlNumber(std::string_view text, XmlNumber& number);

// A signed decimal-degree value of a GPX or KML document: its magnitude as
// the record takes it into `degrees`, and its hemisphere letter (`positive`
// or `negative` by its sign) into `letter`. The magnitude is that of its
// first `maxChars` characters, sign left out, as plain decimals (an exponent
// written out): the digits beyond are not read. False, with the positive
// letter, when it is no number or lies beyond `limit` degrees.
bool ReadXmlDegrees(std::string_view text, double limit, size_t maxChars, char positive, char negative,
                    double& degrees, char& letter);
// The same of a text that ReadXmlNumber has read as `number`, within its
// limit, its letter into both letter texts; ReadDegrees returns the letter.
void TakeReadDegrees(std::string_view text, const XmlNumber& number, size_t maxChars, char positive,
                     char negative, double& degrees, std::string& ggaLetter, std::string& rmcLetter);
char ReadDegrees(std::string_view text, const XmlNumber& number, size_t maxChars, char positive, char negative,
                 double& degrees);

// A hemisphere letter written before or after a number ("S33.8688",
// "33.868800S", "151.2093E"; either case), as loggers write them: the letter
// (upper case) is returned and removed from the text with the blanks next to
// it; '\0' when there is none. Only `positive` and `negative` count, and a
// letter is at an end of the text only, so "1.5E2" keeps its exponent.
char TakeHemisphereLetter(std::string_view& text, char positive, char negative);

// The text cut to its first `maxChars` characters (a UTF-8 sequence counts as
// one and is never split).
std::string_view FirstChars(std::string_view text, size_t maxChars);

// out = the characters of `text` at the given 0-based character positions,
// in that order; positions past the end give nothing.
void PickChars(std::string& out, std::string_view text, const unsigned char* positions, size_t count);

}  // namespace geoplait
