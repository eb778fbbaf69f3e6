// CSV reader, Full and Custom layouts.
//
// Columns are counted from 1 and separated by commas. A column that starts
// with a double quote is quoted as in RFC 4180: it runs to the next lone
// quote, may hold commas, and "" stands for one quote (whatever follows the
// closing quote up to the next comma is kept as it stands). Only the first
// 2048 characters of a line are looked at; a column beyond them or beyond the
// last comma is empty. A line is read whole up to 1 MiB; a longer one is
// passed over and counted (ReadWholeLine), never cut into records.
//
// Custom: each item (hemisphere letters, latitude, longitude, altitude, date,
// time, speed, course) stands in the column its Imput_ setting names (0 =
// absent), in the notation its setting gives. A signed latitude or longitude
// gives the unsigned value and the letter S or W (N or E for "+"); a
// hemisphere column, when it holds a letter, overrides the sign. Local times
// are turned into UTC by the time difference; every hhmmss time and every
// six-digit date has its six digits (93000 is read as 093000). Numbers are
// read whole or not at all (spreadsheet_text.h): a coordinate in its
// column's notation or in degrees with their marks, an altitude with "m"
// after it, a decimal comma; a cell that is no number is unknown and counted.
#include "readers/csv_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/text_encoding.h"
#include "engine/csv_columns.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"
#include "readers/reader_text.h"
#include "readers/spreadsheet_text.h"

namespace geoplait {

namespace {

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
    t[43] = &TrackPoint::LocalDate;
    t[44] = &TrackPoint::LocalTime;
    return t;
}

constexpr FullTargets kFullTargets = MakeFullTargets();
constexpr int kFullReservedColumn = 28;  // the reserved slot, CsvReserved

std::string* FullTarget(TrackPoint& p, int column) {
    if (column == kFullReservedColumn) return &p.CsvReserved;
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
std::string* NotationTarget(CsvCoordNotation notation, std::string& degrees, std::string& nmea,
                            std::string& dms) {
    switch (notation) {
        case CsvCoordNotation::Degrees: return &degrees;
        case CsvCoordNotation::Nmea: return &nmea;
        case CsvCoordNotation::Dms: return &dms;
        case CsvCoordNotation::Unknown: break;
    }
    return nullptr;
}

CsvCoordNotation CoordNotationOf(const std::string& text) {
    if (text == "dd.dddddd") return CsvCoordNotation::Degrees;
    if (text == "ddmm.mmmm") return CsvCoordNotation::Nmea;
    if (text == "ddmmss.ss") return CsvCoordNotation::Dms;
    return CsvCoordNotation::Unknown;
}

CsvDateNotation DateNotationOf(const std::string& text) {
    if (text == "ddmmyy") return CsvDateNotation::Ddmmyy;
    if (text == "yymmdd") return CsvDateNotation::Yymmdd;
    if (text == "yyyy/mm/dd") return CsvDateNotation::YearSlashed;
    return CsvDateNotation::AsItStands;
}

CsvTimeNotation TimeNotationOf(const std::string& text) {
    if (text == "hhmmss UTC") return CsvTimeNotation::Utc;
    if (text == "hhmmss UTC+Diff") return CsvTimeNotation::LocalDigits;
    if (text == "hh:mm:ss UTC+Diff") return CsvTimeNotation::LocalColons;
    return CsvTimeNotation::AsItStands;
}

CsvSpeedUnit SpeedUnitOf(const std::string& text) {
    if (text == "knots") return CsvSpeedUnit::Knots;
    if (text == "km") return CsvSpeedUnit::KmPerHour;
    return CsvSpeedUnit::Unknown;
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

int32_t ParseCsvFullLine(std::string_view line, TrackPoint& p) {
    for (int column = 1; column <= kCsvFullColumns; ++column) {
        if (std::string* target = FullTarget(p, column)) target->clear();
    }
    ForEachColumn(line, 44, [&p](int column, const CsvColumn& text) {
        if (std::string* target = FullTarget(p, column)) AssignColumn(*target, text);
    });
    SettleRecord(p);
    // A file edited in a spreadsheet may hold "#N/A": no altitude, not that text.
    return !p.GgaAltitude.empty() && !TakeCellNumber(p.GgaAltitude, true, true) ? 1 : 0;
}

CsvCustomFormat DecodeCsvCustomFormat(const ConvertSettings& s) {
    CsvCustomFormat f;
    f.latitudeNs = s.Imput_Latitude_ns;
    f.latitude = s.Imput_Latitude;
    f.longitudeEw = s.Imput_Longitude_ew;
    f.longitude = s.Imput_Longitude;
    f.altitude = s.Imput_Altitude;
    f.date = s.Imput_Date;
    f.time = s.Imput_Time;
    f.speed = s.Imput_Speed;
    f.course = s.Imput_Degrees;
    f.latitudeNotation = CoordNotationOf(s.Imput_Latitude_dms);
    f.longitudeNotation = CoordNotationOf(s.Imput_Longitude_dms);
    f.dateNotation = DateNotationOf(s.Imput_Date_ymd);
    f.timeNotation = TimeNotationOf(s.Imput_Time_hms);
    f.speedUnit = SpeedUnitOf(s.Imput_Speed_nk);
    return f;
}

namespace {

// Where a line's latitude and longitude columns went (nullptr: a notation
// that reads no position).
struct CustomPosition {
    std::string* latitude = nullptr;
    std::string* longitude = nullptr;
};

// The record before its columns: the NMEA defaults, no position, the default
// altitude, date and time, no speed (the track gives it one) and course 0.
// Without a date column the dates are unknown, unless the user set a date of
// their own: the default 1 January 2000 dates nothing.
void FillCustomDefaults(TrackPoint& p, const ConvertSettings& s, CsvCoordinateTexts& c) {
    FillNmeaDefaults(p, s);
    p.GgaLatitude.clear();
    p.GgaLongitude.clear();
    c.latitudeDegrees.clear();
    c.longitudeDegrees.clear();
    c.latitudeDms.clear();
    c.longitudeDms.clear();
    p.GgaAltitude.assign(s.Default_Altitude);
    if (s.Imput_Date > 0 || s.Default_UTC_Date != kUnsetDate) {
        p.RmcDate.assign(s.Default_UTC_Date);
    } else {
        p.RmcDate.assign("000000");
    }
    p.RmcTime.assign(s.Default_UTC_Time);
    p.RmcSpeed.clear();
    p.RmcCourse.assign(1, '0');  // assign(1, c): GCC 12 warns falsely on "0"
}

// The columns, each straight into the field it ends up in (or, for the
// hemisphere letters, the RMC letter until the sign is known).
CustomPosition ReadCustomColumns(std::string_view line, const CsvCustomFormat& f, TrackPoint& p,
                                 CsvCoordinateTexts& c) {
    const CustomPosition position{
        NotationTarget(f.latitudeNotation, c.latitudeDegrees, p.GgaLatitude, c.latitudeDms),
        NotationTarget(f.longitudeNotation, c.longitudeDegrees, p.GgaLongitude, c.longitudeDms)};
    const struct {
        int position;
        std::string* target;
    } items[] = {
        {f.latitudeNs, &p.RmcNS},     {f.latitude, position.latitude},
        {f.longitudeEw, &p.RmcEW},    {f.longitude, position.longitude},
        {f.altitude, &p.GgaAltitude}, {f.date, &p.RmcDate},
        {f.time, &p.RmcTime},         {f.speed, &p.RmcSpeed},
        {f.course, &p.RmcCourse},
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
    return position;
}

// A coordinate column as a number of its notation, or degrees written with
// their marks, which go to `degrees` instead. 1 when it held no number.
int32_t TakeCustomCoordinate(std::string* column, std::string& degrees) {
    if (column == nullptr) return 0;
    switch (TakeCoordinateCell(*column)) {
        case CoordinateCell::Degrees:
            if (column != &degrees) {
                degrees.swap(*column);
                column->clear();
            }
            return 0;
        case CoordinateCell::Unknown: return 1;
        case CoordinateCell::Empty:
        case CoordinateCell::Number: break;
    }
    return 0;
}

// Which axes of a record had their NMEA text made from a degree column.
struct DegreeAxes {
    bool latitude = false;
    bool longitude = false;
};

// Signs and hemisphere columns into the letters, the coordinates read as
// numbers, then the two other notations from the one given; adds the
// coordinates that were no number to `unknown`. Returns the axes whose NMEA
// text was made from degrees.
DegreeAxes TakeCustomHemispheres(const CustomPosition& position, const CsvCustomFormat& f, TrackPoint& p,
                                 CsvCoordinateTexts& c, int32_t& unknown) {
    char latitudeSign = '\0';
    char longitudeSign = '\0';
    char latitudeLetter = '\0';
    char longitudeLetter = '\0';
    if (position.latitude != nullptr && f.latitude > 0) {
        latitudeSign = TakeCustomSign(*position.latitude, 'N', 'S', latitudeLetter);
    }
    if (position.longitude != nullptr && f.longitude > 0) {
        longitudeSign = TakeCustomSign(*position.longitude, 'E', 'W', longitudeLetter);
    }
    const int32_t unknownCoordinates = TakeCustomCoordinate(position.latitude, c.latitudeDegrees) +
                                       TakeCustomCoordinate(position.longitude, c.longitudeDegrees);
    if (unknownCoordinates > 0) {
        // Half a position is none.
        for (std::string* text : {position.latitude, position.longitude, &c.latitudeDegrees, &c.longitudeDegrees}) {
            if (text != nullptr) text->clear();
        }
    }
    unknown += unknownCoordinates;
    SetHemisphere(p, &TrackPoint::GgaNS, &TrackPoint::RmcNS, f.latitudeNs > 0, latitudeSign);
    SetHemisphere(p, &TrackPoint::GgaEW, &TrackPoint::RmcEW, f.longitudeEw > 0, longitudeSign);
    // A letter at the number that the hemisphere column contradicts: which
    // one is right is unknown, so the record has no position. (A sign that
    // contradicts its letter leaves no position either.)
    if ((latitudeLetter != '\0' && p.RmcNS != std::string_view(&latitudeLetter, 1)) ||
        (longitudeLetter != '\0' && p.RmcEW != std::string_view(&longitudeLetter, 1))) {
        if (position.latitude != nullptr) position.latitude->clear();
        if (position.longitude != nullptr) position.longitude->clear();
    }
    const DegreeAxes fromDegrees{p.GgaLatitude.empty() && !c.latitudeDegrees.empty(),
                                 p.GgaLongitude.empty() && !c.longitudeDegrees.empty()};
    CoordTexts(p.GgaLatitude, c.latitudeDegrees, c.latitudeDms);
    CoordTexts(p.GgaLongitude, c.longitudeDegrees, c.longitudeDms);
    return fromDegrees;
}

// The NMEA texts made from degree columns hold four decimals of a minute;
// the positions take the degrees themselves, so that every output rounds
// the input's own value once. A side whose texts are not the made ones (or
// that has no position) keeps what its texts gave.
void KeepDegreeValues(TrackPoint& p, DegreeAxes axes, const CsvCoordinateTexts& c) {
    if (!axes.latitude && !axes.longitude) return;
    const bool rmcSame = p.RmcLatitude == p.GgaLatitude && p.RmcLongitude == p.GgaLongitude;
    RecordPosition& position = p.GgaPosition;
    if (!position.known) return;
    if (axes.latitude) position.latitude = CoordinateOfDegrees(NumberOf(c.latitudeDegrees));
    if (axes.longitude) position.longitude = CoordinateOfDegrees(NumberOf(c.longitudeDegrees));
    if (rmcSame && p.Position.known) p.Position = position;
}

// The date column as ddmmyy. `scratch` is any string free for the moment.
void NormalizeCustomDate(CsvDateNotation notation, std::string& date, std::string& scratch) {
    switch (notation) {
        case CsvDateNotation::Ddmmyy:
            RestoreLeadingZeros(date);
            break;
        case CsvDateNotation::Yymmdd:
            RestoreLeadingZeros(date);
            PickChars(scratch, date, kYymmddToDdmmyy, std::size(kYymmddToDdmmyy));
            date.swap(scratch);
            break;
        case CsvDateNotation::YearSlashed: {
            // A year of another century is an unknown date, not one of 20yy.
            const bool thisCentury = date.starts_with("20");
            PickChars(scratch, date, kSlashedToDdmmyy, std::size(kSlashedToDdmmyy));
            date.swap(scratch);
            if (!thisCentury) date.assign("000000");
            break;
        }
        case CsvDateNotation::AsItStands:
            break;
    }
}

// The time column as UTC hhmmss; a local time moves the date with it.
void NormalizeCustomTime(CsvTimeNotation notation, const LocalClock& clock, std::string& date, std::string& time,
                         std::string& scratch) {
    switch (notation) {
        case CsvTimeNotation::Utc:
            RestoreLeadingZeros(time);
            break;
        case CsvTimeNotation::LocalDigits:
            AssignSixDigits(time, IntegerOf(time));
            UtcFromLocal(date, time, clock);
            break;
        case CsvTimeNotation::LocalColons:
            PickChars(scratch, time, kColonsToHhmmss, std::size(kColonsToHhmmss));
            time.swap(scratch);
            UtcFromLocal(date, time, clock);
            break;
        case CsvTimeNotation::AsItStands:
            break;
    }
}

// The speed column in knots.
void NormalizeCustomSpeed(CsvSpeedUnit unit, std::string& speed) {
    switch (unit) {
        case CsvSpeedUnit::Knots: break;
        case CsvSpeedUnit::KmPerHour: AssignFixed(speed, NumberOf(speed) / 1.852, 1, 1); break;
        case CsvSpeedUnit::Unknown: speed.assign(1, '0'); break;
    }
}

// The altitude, speed and course columns as numbers; the number of those
// that held none (and are unknown now). `speedKnown`: the speed column is
// a number or empty.
int32_t TakeCustomNumbers(const CsvCustomFormat& f, TrackPoint& p, bool& speedKnown) {
    int32_t unknown = 0;
    const struct {
        int position;
        std::string* text;
        bool sign;
        bool metres;
    } cells[] = {
        {f.altitude, &p.GgaAltitude, true, true},
        {f.speed, &p.RmcSpeed, false, false},
        {f.course, &p.RmcCourse, false, false},
    };
    for (const auto& cell : cells) {
        if (cell.position <= 0 || cell.text->empty()) continue;
        if (TakeCellNumber(*cell.text, cell.sign, cell.metres)) continue;
        ++unknown;
        if (cell.text == &p.RmcSpeed) speedKnown = false;
    }
    return unknown;
}

// The RMC side of the position and the GGA time from the fields read.
void CopyToRmcSide(TrackPoint& p) {
    p.RmcLatitude.assign(p.GgaLatitude);
    p.RmcLongitude.assign(p.GgaLongitude);
    p.GgaTime.assign(p.RmcTime);
}

}  // namespace

int32_t ParseCsvCustomLine(std::string_view line, const CsvCustomFormat& format, const ConvertSettings& settings,
                           const LocalClock& clock, TrackPoint& p, CsvCoordinateTexts& coordinates) {
    FillCustomDefaults(p, settings, coordinates);
    const CustomPosition position = ReadCustomColumns(line, format, p, coordinates);
    bool speedKnown = true;
    int32_t unknown = TakeCustomNumbers(format, p, speedKnown);
    const DegreeAxes fromDegrees = TakeCustomHemispheres(position, format, p, coordinates, unknown);
    std::string& scratch = p.LocalDate;  // free until ComputeDerived fills it
    if (format.date > 0) NormalizeCustomDate(format.dateNotation, p.RmcDate, scratch);
    if (format.time > 0) NormalizeCustomTime(format.timeNotation, clock, p.RmcDate, p.RmcTime, scratch);
    scratch.clear();
    // A speed that is no number stays unknown: the track gives it one.
    if (format.speed > 0 && speedKnown) NormalizeCustomSpeed(format.speedUnit, p.RmcSpeed);
    CopyToRmcSide(p);
    SettleRecord(p);
    KeepDegreeValues(p, fromDegrees, coordinates);
    return unknown;
}

bool CsvReader::Open(const std::string& path, CsvLayout layout, const ConvertSettings& items,
                     const LocalClock& clock) {
    layout_ = layout;
    items_ = &items;
    losses_ = {};
    clock_ = clock;
    if (layout == CsvLayout::Custom) custom_ = DecodeCsvCustomFormat(items);
    firstLine_ = true;
    return input_.Open(path);
}

bool CsvReader::NextLine(std::string_view& line, bool& mayBeHeader) {
    mayBeHeader = false;
    if (!ReadWholeLine(input_, line, losses_.BrokenLines)) return false;
    // A header line of ours names the columns: it is no record. Another
    // first line may be a header of another program ("lat,lon,alt"): names,
    // not numbers lost.
    if (firstLine_) {
        firstLine_ = false;
        if (IsCsvHeaderLine(line)) return ReadWholeLine(input_, line, losses_.BrokenLines);
        mayBeHeader = true;
    }
    return true;
}

bool CsvReader::Skip() {
    std::string_view line;
    bool mayBeHeader = false;
    return NextLine(line, mayBeHeader);
}

bool CsvReader::Next(TrackPoint& point) {
    std::string_view line;
    bool mayBeHeader = false;
    if (!NextLine(line, mayBeHeader)) return false;
    const int32_t unknown = layout_ == CsvLayout::Full
                                ? ParseCsvFullLine(line, point)
                                : ParseCsvCustomLine(line, custom_, *items_, clock_, point, coordinates_);
    if (!mayBeHeader) losses_.UnknownValues += unknown;
    return true;
}

}  // namespace geoplait
