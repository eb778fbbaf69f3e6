// POT point files: the DAT header line, then one line per record of
// "/"-separated key=value items:
//   ORD=POI/tex=LABEL/ide=N/des=(Sat=S Mar=M)/ido=Sddd'mm'ss't/kei=Sddd'mm'ss't
//   /adr=1/alt=+A/col=12/pda=dd-MON-yy/pti=hh:mm:ss
// The sign of a position is "-" for the south and west (the record's
// hemisphere letter, or the system default; not for 0) or for a negative
// number, else a blank. Quirk kept on purpose: negative altitudes become +0.
#include "writers/pot_writer.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "engine/derived_values.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "writers/gpx_writer.h"

namespace geoplait {

namespace {

// Month names by month number; 0 (and any number without a name) is blank.
constexpr const char* kMonthNames[13] = {"   ", "JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The line of a record is built here, then written in one piece: a cursor
// into a buffer with room for the longest line (a label of kPointLabelSize,
// an altitude of kFixedTextSize digits, the few short items).
struct PotLine {
    char* p;
    template <size_t N>
    void Put(const char (&literal)[N]) {
        std::memcpy(p, literal, N - 1);
        p += N - 1;
    }
    void Put(std::string_view text) {
        std::memcpy(p, text.data(), text.size());
        p += text.size();
    }
    void Put(char c) { *p++ = c; }
    void Integer(long long value) { p = std::to_chars(p, p + 24, value).ptr; }
};
constexpr size_t kPotLineRoom = kPointLabelSize + kFixedTextSize + 256;
static_assert(kPotLineRoom <= TextWriter::kMaxRoom);

constexpr double kExactIntegers = 0x1p53;  // every integer below it is a double

// std::round of a that is not negative, without a library call: below 2^52
// the whole part and the fraction taken from a are exact.
double RoundHalfAway(double a) {
    if (!(a < 0x1p52)) return a;  // already whole (or not finite)
    const double whole = static_cast<double>(static_cast<int64_t>(a));
    return a - whole >= 0.5 ? whole + 1.0 : whole;
}

// The first eight of the eleven digits of "%011.0f" of w (at least 0).
void PositionDigits(double w, char (&digits)[8]) {
    // Below 2^52, adding and taking away 2^52 rounds to the nearest integer,
    // ties to even, as printf rounds the exact value (in doubles, not wider).
    static_assert(FLT_EVAL_METHOD == 0);
    constexpr double kRounder = 0x1p52;
    if (w < 1e11) {
        const auto whole = static_cast<uint64_t>((w + kRounder) - kRounder);
        if (whole < 100000000000ULL) {
            // Eleven digits, zero-padded: the first eight are those of
            // whole / 1000, as two halves of four whose pairs come apart.
            const auto first = static_cast<uint32_t>(whole / 1000);
            const uint32_t high = first / 10000;
            const uint32_t low = first % 10000;
            std::memcpy(digits, kDigitPairs + 2 * (high / 100), 2);
            std::memcpy(digits + 2, kDigitPairs + 2 * (high % 100), 2);
            std::memcpy(digits + 4, kDigitPairs + 2 * (low / 100), 2);
            std::memcpy(digits + 6, kDigitPairs + 2 * (low % 100), 2);
            return;
        }
    }
    char number[kFixedTextSize];
    const size_t n = FormatFixedText(number, w, 0, 0);
    const size_t zeros = n < 11 ? 11 - n : 0;
    for (size_t i = 0; i < sizeof digits; ++i) digits[i] = i < zeros ? '0' : number[i - zeros];
}

// A position of a POT line: the digits' number w of "%011.0f" and its sign.
struct PotPosition {
    double w;
    char sign;
};

// A position item's number: decimal minutes become minutes, seconds and
// fractions laid out as digits. Worked out for both positions of a line
// before either is written, so that their chains of divisions overlap.
[[gnu::always_inline]] inline PotPosition PositionNumber(double v, char hemisphereSign) {
    const double whole = std::trunc(v);
    double w = ((v - whole) / (1.0 / 60.0) / 100.0 + whole) * 1000000.0;
    if (!std::isfinite(w)) w = 0.0;
    // Seconds that round to 60 carry into the minute (and the degree).
    const double shown = RoundHalfAway(std::fabs(w));
    if (shown < kExactIntegers) {
        // In integers: the quotient of an integer below 2^53 by 10^6 is no
        // nearer than 10^-6 below the next integer, so the double division
        // never rounds up to it, and its whole part is the integer quotient.
        const auto units = static_cast<uint64_t>(shown);
        if (units % 1000000 >= 600000) {
            w = std::copysign(NextMinute(static_cast<double>(units / 1000000)) * 1000000.0, w);
        }
    } else if (shown - std::trunc(shown / 1000000.0) * 1000000.0 >= 600000.0) {
        w = std::copysign(NextMinute(std::trunc(shown / 1000000.0)) * 1000000.0, w);
    }
    char sign = hemisphereSign == '-' && w > 0.0 ? '-' : ' ';
    if (w < 0.0) {
        sign = '-';
        w = -w;
    }
    w += 0.0;  // no "-0" from a negative zero
    return {w, sign};
}

// A position item: " ddd'mm'ss't" or "-ddd'mm'ss't" after its key.
template <size_t N>
void PutPosition(PotLine& out, const char (&key)[N], PotPosition position) {
    // "%011.0f": the whole number, zero-padded to eleven digits; only the
    // first eight digits are shown.
    char digits[8];
    PositionDigits(position.w, digits);
    const char item[] = {position.sign, digits[0], digits[1], digits[2], '\'', digits[3],
                         digits[4],     '\'',      digits[5], digits[6], '\'', digits[7]};
    out.Put(key);
    out.Put(std::string_view(item, sizeof item));
}

// A date character written in place: a terminator would put a NUL byte into
// the text file, a blank keeps the item's layout.
char DateChar(const std::string& date, size_t i) {
    const char c = SlotChar(date, i);
    return c == '\0' ? ' ' : c;
}

// "dd-Mon-yy" of the record's UTC date. A date that is not known is its slot
// read by position: "00-" and the first month name of "000000", blanks of none.
// A known date's text is made once a day, in `scratch`.
void PutPotDate(PotLine& line, const TrackPoint& p, LineScratch& scratch) {
    if (p.Time.date == DateKind::Known) {
        if (!scratch.potDateKnown || scratch.potDay != p.Time.day) {
            const CivilDate civil = CivilFromDays(p.Time.day);
            char digits[6];
            PutDdmmyy(digits, p.Time.day);
            char* d = scratch.potDate;
            std::memcpy(d, digits, 2);
            d[2] = '-';
            std::memcpy(d + 3, kMonthNames[civil.month], 3);
            d[6] = '-';
            std::memcpy(d + 7, digits + 4, 2);
            scratch.potDay = p.Time.day;
            scratch.potDateKnown = true;
        }
        line.Put(std::string_view(scratch.potDate, sizeof scratch.potDate));
        return;
    }
    const std::string& date = UnknownDateText(p);
    char month[3] = {SlotChar(date, 2), SlotChar(date, 3), '\0'};
    const int32_t monthNumber = IntegerOf(month);
    const char* monthName = (monthNumber >= 0 && monthNumber <= 12) ? kMonthNames[monthNumber] : kMonthNames[0];
    const char day[] = {DateChar(date, 0), DateChar(date, 1), '-'};
    const char year[] = {'-', DateChar(date, 4), DateChar(date, 5)};
    line.Put(std::string_view(day, sizeof day));
    line.Put(std::string_view(monthName, 3));
    line.Put(std::string_view(year, sizeof year));
}

}  // namespace

void WritePotHead(TextWriter& out) {
    out.Write("DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\n");
}

void WritePotLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p, RecordNumbers numbers,
                  LineScratch& scratch) {
    // The whole line in one piece, made where the writer keeps it.
    char* const text = out.Room(kPotLineRoom);
    PotLine line{text};
    line.Put("ORD=POI/tex=");
    line.p += FormatPointLabel(options.label, p, numbers, line.p, kPointLabelSize);
    line.Put("/ide=");
    line.Integer(static_cast<long long>(numbers.read) + 1);
    line.Put("/des=(Sat=");
    line.Integer(p.SatCount);
    line.Put(" Mar=");
    line.Integer(p.DilutionValue);
    line.Put(')');
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns);
    const PotPosition latitude = PositionNumber(p.GgaPosition.latitude.nmea, signs.latitude);
    const PotPosition longitude = PositionNumber(p.GgaPosition.longitude.nmea, signs.longitude);
    PutPosition(line, "/ido=", latitude);
    PutPosition(line, "/kei=", longitude);
    line.Put("/adr=1");

    double altitude = p.Values.altitude.value;
    // A height of "-0" too: "+-0" would be no number to a reader of the line.
    if (!std::isfinite(altitude) || altitude <= 0.0) altitude = 0.0;
    // The integer part: as an integer where the double holds it exactly
    // (the same digits), else printed from the double, so that no height
    // overflows.
    line.Put("/alt=+");
    if (altitude < kExactIntegers) {
        line.Integer(static_cast<long long>(altitude));
    } else {
        line.p += FormatFixedText(line.p, std::trunc(altitude), 0, 0);
    }
    line.Put("/col=12");

    line.Put("/pda=");
    PutPotDate(line, p, scratch);

    // The UTC time as hh:mm:ss.
    line.Put("/pti=");
    if (p.Time.timeKnown) line.p = PutClockText(line.p, p.Time.second);
    const auto length = static_cast<size_t>(line.p - text);
    // Only a date that is not known is a text of the record's; every other
    // item is made of numbers.
    if (p.Time.date == DateKind::Known || std::memchr(text, '\n', length) == nullptr) {
        line.Put("\r\n");
        out.Commit(length + 2);
        return;
    }
    // A line break within a text of the record: written CR LF, as every line
    // end is, by the writer's own copy (from a copy of the line, as the room
    // is where the writer copies to).
    const std::string copy = std::string(text, length) + '\n';
    out.Write(copy);
}

}  // namespace geoplait
