// CSV reader, Full and Custom layouts.
//
// Columns are counted from 1 and separated by commas. A column that starts
// with a double quote is quoted as in RFC 4180: it runs to the next lone
// quote, may hold commas, and "" stands for one quote (whatever follows the
// closing quote up to the next comma is kept as it stands). Only the first
// 2048 characters of a line are looked at; a column beyond them or beyond the
// last comma is empty. Lines longer than 4095 characters arrive in pieces,
// each read as a line.
//
// Custom: each item (hemisphere letters, latitude, longitude, altitude, date,
// time, speed, course) stands in the column its Imput_ setting names (0 =
// absent), in the notation its setting gives. A signed latitude or longitude
// gives the unsigned value and the letter S or W (N or E for "+"); a
// hemisphere column, when it holds a letter, overrides the sign. Local times
// are turned into UTC by the time difference; every hhmmss time and every
// six-digit date has its six digits (93000 is read as 093000).
#include "readers/csv_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/text_encoding.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kLineLimit = 4096;       // including the terminator
constexpr int kCsvFullColumns = 50;
constexpr std::string_view kUnsetDate = "010100";  // the default of Default_UTC_Date

bool EndsColumn(char c) { return c == ',' || c == '\r' || c == '\n'; }

// One column as found in the line: its text, and for a quoted column the
// text between the quotes (still with its doubled quotes) and what follows
// the closing quote.
struct CsvColumn {
    std::string_view text;
    bool quoted = false;
    std::string_view tail;
};

// The column's text, decoded into UTF-8 when a program wrote it in another
// encoding (DecodeInputText).
void AssignColumn(std::string& out, const CsvColumn& column) {
    if (!column.quoted) {
        out.assign(column.text);
        DecodeInputText(out);
        return;
    }
    out.clear();
    std::string_view rest = column.text;
    for (size_t q = rest.find('"'); q != std::string_view::npos; q = rest.find('"')) {
        out.append(rest.substr(0, q + 1));  // the first quote of a pair
        rest.remove_prefix(std::min(q + 2, rest.size()));
    }
    out.append(rest);
    out.append(column.tail);
    DecodeInputText(out);
}

// Calls visit(columnNumber, column) for columns 1 to lastColumn as far as the
// line has them.
template <typename Visit>
void ForEachColumn(std::string_view line, int lastColumn, Visit&& visit) {
    const size_t limit = ScanLimitBytes(line);
    const char* data = line.data();
    size_t i = 0;
    for (int number = 1; number <= lastColumn; ++number) {
        CsvColumn column;
        size_t end = i;
        if (i < limit && data[i] == '"') {
            // An unclosed quote ends with the line.
            size_t close = i + 1;
            while (close < limit && data[close] != '\n' && data[close] != '\r') {
                if (data[close] == '"') {
                    if (close + 1 < limit && data[close + 1] == '"') {
                        close += 2;
                        continue;
                    }
                    break;
                }
                ++close;
            }
            column.quoted = true;
            column.text = line.substr(i + 1, close - i - 1);
            end = close < limit && data[close] == '"' ? close + 1 : close;
            const size_t tailStart = end;
            while (end < limit && !EndsColumn(data[end])) ++end;
            column.tail = line.substr(tailStart, end - tailStart);
        } else {
            while (end < limit && !EndsColumn(data[end])) ++end;
            column.text = line.substr(i, end - i);
        }
        visit(number, column);
        if (end >= limit) return;
        if (data[end] != ',') {
            // A lone CR inside the line ends the column, not the line.
            const void* comma = std::memchr(data + end, ',', limit - end);
            if (comma == nullptr) return;
            end = static_cast<size_t>(static_cast<const char*>(comma) - data);
        }
        i = end + 1;
    }
}

// Where each column of the Full layout goes (nullptr: not read).
using FullTargets = std::array<std::string TrackPoint::*, kCsvFullColumns + 1>;

constexpr FullTargets MakeFullTargets() {
    FullTargets t{};
    std::string TrackPoint::* const nmea[] = {
        &TrackPoint::GgaId,        &TrackPoint::GgaTime,       &TrackPoint::GgaLatitude,
        &TrackPoint::GgaNS,        &TrackPoint::GgaLongitude,  &TrackPoint::GgaEW,
        &TrackPoint::GgaQuality,   &TrackPoint::GgaSatellites, &TrackPoint::GgaDilution,
        &TrackPoint::GgaAltitude,  &TrackPoint::GgaAltitudeUnit, &TrackPoint::GgaGeoid,
        &TrackPoint::GgaGeoidUnit, &TrackPoint::GgaDgpsAge,    &TrackPoint::GgaDgpsStation,
        &TrackPoint::RmcId,        &TrackPoint::RmcTime,       &TrackPoint::RmcStatus,
        &TrackPoint::RmcLatitude,  &TrackPoint::RmcNS,         &TrackPoint::RmcLongitude,
        &TrackPoint::RmcEW,        &TrackPoint::RmcSpeed,      &TrackPoint::RmcCourse,
        &TrackPoint::RmcDate,      &TrackPoint::RmcMagVar,     &TrackPoint::RmcMagVarEW,
    };
    for (size_t k = 0; k < std::size(nmea); ++k) t[k + 1] = nmea[k];
    t[33] = &TrackPoint::InLatitudeDeg;
    t[34] = &TrackPoint::InLongitudeDeg;
    t[41] = &TrackPoint::LatitudeDms;
    t[42] = &TrackPoint::LongitudeDms;
    t[43] = &TrackPoint::LocalDate;
    t[44] = &TrackPoint::LocalTime;
    return t;
}

constexpr FullTargets kFullTargets = MakeFullTargets();
constexpr int kFullReservedColumn = 28;  // the reserved slot, CsvSlot[0]

std::string* FullTarget(TrackPoint& p, int column) {
    if (column == kFullReservedColumn) return &p.CsvSlot[0];
    auto member = kFullTargets[static_cast<size_t>(column)];
    return member != nullptr ? &(p.*member) : nullptr;
}

// Custom: a latitude or longitude column. Blanks are tidied; a hemisphere
// letter before or after the number is taken off and sets the letter
// (`written`), so does a leading "+" or "-", which is replaced by a blank and
// tidied away; a sign that contradicts the letter leaves no position, nor
// does what does not start like a number. Returns the letter, or '\0' when
// the column has neither.
char TakeCustomSign(std::string& text, char positive, char negative, char& written) {
    CollapseBlanks(text);
    std::string_view number = text;
    written = TakeHemisphereLetter(number, positive, negative);
    if (written != '\0') text = std::string(number);
    char letter = '\0';
    for (const char sign : {'+', '-'}) {
        if (!text.empty() && text.front() == sign) {
            letter = sign == '+' ? positive : negative;
            text.front() = ' ';
            CollapseBlanks(text);
        }
    }
    if (written != '\0') {
        if (letter != '\0' && letter != written) {
            text.clear();
            written = '?';  // contradicts: no position at all
            return '\0';
        }
        letter = written;
    }
    // A column that is not a number (the "lat" of a header line) is no
    // position, not 0 degrees.
    if (!text.empty() && text.front() != '.' && (text.front() < '0' || text.front() > '9')) text.clear();
    return letter;
}

// The hemisphere letters of one axis: a hemisphere column that holds a
// letter wins, then the sign, then the default already in place.
void SetHemisphere(TrackPoint& p, std::string TrackPoint::*gga, std::string TrackPoint::*rmc,
                   bool columnGiven, char signLetter) {
    // The hemisphere column was read into the RMC letter.
    std::string& column = p.*rmc;
    if (columnGiven) CollapseBlanks(column);
    if (columnGiven && !column.empty()) {
        // "s" or "w" written in lower case is still the hemisphere.
        if (column.size() == 1 && std::strchr("nsew", column[0]) != nullptr) {
            column[0] = static_cast<char>(column[0] - 'a' + 'A');
        }
        (p.*gga).assign(column);
        return;
    }
    if (signLetter != '\0') (p.*gga).assign(1, signLetter);
    column.assign(p.*gga);
}

// The field a latitude or longitude column goes to by its notation.
std::string* NotationTarget(const std::string& notation, std::string& degrees, std::string& nmea,
                            std::string& dms) {
    if (notation == "dd.dddddd") return &degrees;
    if (notation == "ddmm.mmmm") return &nmea;
    if (notation == "ddmmss.ss") return &dms;
    return nullptr;
}

// A six-digit column that lost its leading zeros (93000 where a spreadsheet
// saved the time 093000, with or without decimals; 40324 for the date
// 040324) gets them back, so that every writer that takes it by character
// position reads 09:30:00 or 04/03/24. Any other text stays as it stands.
void RestoreLeadingZeros(std::string& time) {
    constexpr std::string_view kDigits = "0123456789";
    const size_t whole = std::min(time.find_first_not_of(kDigits), time.size());
    if (whole == 0 || whole >= 6) return;
    if (whole < time.size() &&
        (time[whole] != '.' || time.find_first_not_of(kDigits, whole + 1) != std::string::npos)) {
        return;
    }
    time.insert(0, 6 - whole, '0');
}

constexpr unsigned char kYymmddToDdmmyy[] = {4, 5, 2, 3, 0, 1};
constexpr unsigned char kSlashedToDdmmyy[] = {8, 9, 5, 6, 2, 3};
constexpr unsigned char kColonsToHhmmss[] = {0, 1, 3, 4, 6, 7};

}  // namespace

void ParseCsvFullLine(std::string_view line, TrackPoint& p) {
    for (int column = 1; column <= kCsvFullColumns; ++column) {
        if (std::string* target = FullTarget(p, column)) target->clear();
    }
    ForEachColumn(line, 44, [&p](int column, const CsvColumn& text) {
        if (std::string* target = FullTarget(p, column)) AssignColumn(*target, text);
    });
    SettleRecord(p);
}

void ParseCsvCustomLine(std::string_view line, const ConvertSettings& s, int32_t timeDifference,
                        TrackPoint& p) {
    // 1. Defaults.
    FillNmeaDefaults(p, s);
    p.GgaLatitude.clear();
    p.GgaLongitude.clear();
    p.InLatitudeDeg.clear();
    p.InLongitudeDeg.clear();
    p.LatitudeDms.clear();
    p.LongitudeDms.clear();
    p.GgaAltitude.assign(s.Default_Altitude);
    // Without a date column the dates are unknown, unless the user set a
    // date of their own: the default 1 January 2000 dates nothing.
    if (s.Imput_Date > 0 || s.Default_UTC_Date != kUnsetDate) {
        p.RmcDate.assign(s.Default_UTC_Date);
    } else {
        p.RmcDate.assign("000000");
    }
    p.RmcTime.assign(s.Default_UTC_Time);
    p.RmcSpeed.clear();  // without a speed column the track gives the speed
    p.RmcCourse.assign(1, '0');  // assign(1, c): GCC 12 warns falsely on "0"

    // 2. The columns, each straight into the field it ends up in (or, for
    // the hemisphere letters, the RMC letter until the sign is known).
    std::string* const latitude =
        NotationTarget(s.Imput_Latitude_dms, p.InLatitudeDeg, p.GgaLatitude, p.LatitudeDms);
    std::string* const longitude =
        NotationTarget(s.Imput_Longitude_dms, p.InLongitudeDeg, p.GgaLongitude, p.LongitudeDms);
    const struct {
        int position;
        std::string* target;
    } items[] = {
        {s.Imput_Latitude_ns, &p.RmcNS},   {s.Imput_Latitude, latitude},
        {s.Imput_Longitude_ew, &p.RmcEW},  {s.Imput_Longitude, longitude},
        {s.Imput_Altitude, &p.GgaAltitude}, {s.Imput_Date, &p.RmcDate},
        {s.Imput_Time, &p.RmcTime},        {s.Imput_Speed, &p.RmcSpeed},
        {s.Imput_Degrees, &p.RmcCourse},
    };
    int lastColumn = 0;
    for (const auto& item : items) {
        if (item.position <= 0 || item.target == nullptr) continue;
        item.target->clear();  // a column the line does not reach is empty
        lastColumn = std::max(lastColumn, item.position);
    }
    ForEachColumn(line, lastColumn, [&items](int column, const CsvColumn& text) {
        for (const auto& item : items) {
            if (item.position == column && item.target != nullptr) AssignColumn(*item.target, text);
        }
    });

    // 3-5. Signs and hemisphere columns.
    char latitudeSign = '\0';
    char longitudeSign = '\0';
    char latitudeLetter = '\0';
    char longitudeLetter = '\0';
    if (latitude != nullptr && s.Imput_Latitude > 0) {
        latitudeSign = TakeCustomSign(*latitude, 'N', 'S', latitudeLetter);
    }
    if (longitude != nullptr && s.Imput_Longitude > 0) {
        longitudeSign = TakeCustomSign(*longitude, 'E', 'W', longitudeLetter);
    }
    SetHemisphere(p, &TrackPoint::GgaNS, &TrackPoint::RmcNS, s.Imput_Latitude_ns > 0, latitudeSign);
    SetHemisphere(p, &TrackPoint::GgaEW, &TrackPoint::RmcEW, s.Imput_Longitude_ew > 0, longitudeSign);
    // A letter at the number that the hemisphere column contradicts: which
    // one is right is unknown, so the record has no position.
    // (A sign that contradicts its letter leaves no position either.)
    if ((latitudeLetter != '\0' && p.RmcNS != std::string_view(&latitudeLetter, 1)) ||
        (longitudeLetter != '\0' && p.RmcEW != std::string_view(&longitudeLetter, 1))) {
        if (latitude != nullptr) latitude->clear();
        if (longitude != nullptr) longitude->clear();
    }

    // 6. The two other notations from the one given.
    CoordTexts(p.GgaLatitude, p.InLatitudeDeg, p.LatitudeDms);
    CoordTexts(p.GgaLongitude, p.InLongitudeDeg, p.LongitudeDms);

    // 7. Date as ddmmyy.
    std::string& scratch = p.LocalDate;  // free until ComputeDerived fills it
    if (s.Imput_Date > 0) {
        if (s.Imput_Date_ymd == "ddmmyy" || s.Imput_Date_ymd == "yymmdd") RestoreLeadingZeros(p.RmcDate);
        if (s.Imput_Date_ymd == "yymmdd") {
            PickChars(scratch, p.RmcDate, kYymmddToDdmmyy, std::size(kYymmddToDdmmyy));
            p.RmcDate.swap(scratch);
        } else if (s.Imput_Date_ymd == "yyyy/mm/dd") {
            // A year of another century is an unknown date, not one of 20yy.
            const bool thisCentury = p.RmcDate.starts_with("20");
            PickChars(scratch, p.RmcDate, kSlashedToDdmmyy, std::size(kSlashedToDdmmyy));
            p.RmcDate.swap(scratch);
            if (!thisCentury) p.RmcDate.assign("000000");
        }
    }

    // 8. Time as UTC hhmmss.
    if (s.Imput_Time > 0) {
        if (s.Imput_Time_hms == "hhmmss UTC") {
            RestoreLeadingZeros(p.RmcTime);
        } else if (s.Imput_Time_hms == "hhmmss UTC+Diff") {
            AssignSixDigits(p.RmcTime, IntegerOf(p.RmcTime));
            UtcFromLocal(p.RmcDate, p.RmcTime, timeDifference);
        } else if (s.Imput_Time_hms == "hh:mm:ss UTC+Diff") {
            PickChars(scratch, p.RmcTime, kColonsToHhmmss, std::size(kColonsToHhmmss));
            p.RmcTime.swap(scratch);
            UtcFromLocal(p.RmcDate, p.RmcTime, timeDifference);
        }
    }
    scratch.clear();

    // 9. Speed in knots.
    if (s.Imput_Speed <= 0) {
        // none read
    } else if (s.Imput_Speed_nk == "km") {
        AssignFixed(p.RmcSpeed, NumberOf(p.RmcSpeed) / 1.852, 1, 1);
    } else if (s.Imput_Speed_nk != "knots") {
        p.RmcSpeed.assign(1, '0');
    }

    // 10. The RMC side from the GGA side.
    p.RmcLatitude.assign(p.GgaLatitude);
    p.RmcLongitude.assign(p.GgaLongitude);
    p.GgaTime.assign(p.RmcTime);
    SettleRecord(p);
}

bool CsvReader::Open(const std::string& path, CsvLayout layout) {
    layout_ = layout;
    return input_.Open(path);
}

bool CsvReader::Next(RunContext& ctx) {
    std::string_view line;
    if (!input_.ReadLine(line, kLineLimit)) return false;
    if (layout_ == CsvLayout::Full) {
        ParseCsvFullLine(line, ctx.point);
    } else {
        ParseCsvCustomLine(line, ctx.Current(), ctx.run.TimeDifferenceValue, ctx.point);
    }
    return true;
}

}  // namespace geoplait
