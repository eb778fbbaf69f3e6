// POT point files: the DAT header line, then one line per record of
// "/"-separated key=value items:
//   ORD=POI/tex=LABEL/ide=N/des=(Sat=S Mar=M)/ido=Sddd'mm'ss't/kei=Sddd'mm'ss't
//   /adr=1/alt=+A/col=12/pda=dd-MON-yy/pti=hh:mm:ss
// The sign of a position is "-" for the south and west (the record's
// hemisphere letter, or the system default; not for 0) or for a negative
// number, else a blank. Quirk kept on purpose: negative altitudes become +0.
#include "writers/pot_writer.h"

#include <charconv>
#include <cmath>
#include <limits>
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

// A position item: " ddd'mm'ss't" or "-ddd'mm'ss't" after its key.
void AppendPosition(std::string& out, const char* key, double v, char hemisphereSign) {
    const double whole = std::trunc(v);
    // Decimal minutes become minutes, seconds and fractions laid out as digits.
    double w = ((v - whole) / (1.0 / 60.0) / 100.0 + whole) * 1000000.0;
    if (!std::isfinite(w)) w = 0.0;
    // Seconds that round to 60 carry into the minute (and the degree).
    const double shown = std::round(std::fabs(w));
    if (shown - std::trunc(shown / 1000000.0) * 1000000.0 >= 600000.0) {
        w = std::copysign(NextMinute(std::trunc(shown / 1000000.0)) * 1000000.0, w);
    }
    char sign = hemisphereSign == '-' && w > 0.0 ? '-' : ' ';
    if (w < 0.0) {
        sign = '-';
        w = -w;
    }
    w += 0.0;  // no "-0" from a negative zero
    // "%011.0f": the whole number, zero-padded to eleven digits.
    char number[kFixedTextSize];
    const size_t n = FormatFixedText(number, w, 0, 0);
    // Only the first eight digits are shown.
    char digits[8];
    const size_t zeros = n < 11 ? 11 - n : 0;
    for (size_t i = 0; i < sizeof digits; ++i) digits[i] = i < zeros ? '0' : number[i - zeros];
    const char item[] = {sign,      digits[0], digits[1], digits[2], '\'', digits[3],
                         digits[4], '\'',      digits[5], digits[6], '\'', digits[7]};
    out.append(key);
    out.append(item, sizeof item);
}

void AppendInteger(std::string& out, long long value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<size_t>(end - digits));
}

// A date character written in place: a terminator would put a NUL byte into
// the text file, a blank keeps the item's layout.
char DateChar(const std::string& date, size_t i) {
    const char c = SlotChar(date, i);
    return c == '\0' ? ' ' : c;
}

// "dd-Mon-yy" of the record's UTC date. A date that is not known is its slot
// read by position: "00-" and the first month name of "000000", blanks of none.
void AppendPotDate(std::string& line, const TrackPoint& p) {
    if (p.Time.date == DateKind::Known) {
        const CivilDate civil = CivilFromDays(p.Time.day);
        char digits[6];
        PutDdmmyy(digits, p.Time.day);
        line.append(digits, 2).push_back('-');
        line.append(kMonthNames[civil.month]);
        line.push_back('-');
        line.append(digits + 4, 2);
        return;
    }
    const std::string& date = UnknownDateText(p);
    char month[3] = {SlotChar(date, 2), SlotChar(date, 3), '\0'};
    const int32_t monthNumber = IntegerOf(month);
    const char* monthName = (monthNumber >= 0 && monthNumber <= 12) ? kMonthNames[monthNumber] : kMonthNames[0];
    const char day[] = {DateChar(date, 0), DateChar(date, 1), '-'};
    const char year[] = {'-', DateChar(date, 4), DateChar(date, 5)};
    line.append(std::string_view(day, sizeof day));
    line.append(monthName);
    line.append(std::string_view(year, sizeof year));
}

}  // namespace

void WritePotHead(TextWriter& out) {
    out.Write("DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\n");
}

void WritePotLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p, RecordNumbers numbers,
                  LineScratch& scratch) {
    char buffer[kPointLabelSize];
    // The whole line in one piece, in the run's reused line buffer.
    std::string& line = scratch.line;
    line.assign("ORD=POI");
    const size_t labelLength = FormatPointLabel(options.label, p, numbers, buffer, sizeof buffer);
    line.append("/tex=");
    line.append(std::string_view(buffer, labelLength));
    line.append("/ide=");
    AppendInteger(line, static_cast<long long>(numbers.read) + 1);
    line.append("/des=(Sat=");
    AppendInteger(line, p.SatCount);
    line.append(" Mar=");
    AppendInteger(line, p.DilutionValue);
    line.append(")");
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns);
    AppendPosition(line, "/ido=", p.GgaPosition.latitude.nmea, signs.latitude);
    AppendPosition(line, "/kei=", p.GgaPosition.longitude.nmea, signs.longitude);
    line.append("/adr=1");

    double altitude = p.Values.altitude.value;
    if (!std::isfinite(altitude) || altitude < 0.0) altitude = 0.0;
    // The integer part, printed from the double so that no height overflows.
    line.append("/alt=+");
    char number[kFixedTextSize];
    line.append(std::string_view(number, FormatFixedText(number, std::trunc(altitude), 0, 0)));
    line.append("/col=12");

    line.append("/pda=");
    AppendPotDate(line, p);

    // The UTC time as hh:mm:ss.
    char timeText[8];
    const size_t timeLength =
        p.Time.timeKnown ? static_cast<size_t>(PutClockText(timeText, p.Time.second) - timeText) : 0;
    line.append("/pti=");
    line.append(timeText, timeLength);
    line.append("\n");
    out.Write(line);
}

}  // namespace geoplait
