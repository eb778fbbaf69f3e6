// CSV output, one line per record ending in a line feed, after a header line
// naming the columns in English when CsvHeader asks for one (the CSV readers
// pass over it).
//
// Full: 50 fixed columns, the lossless layout the CSV Full reader takes back:
// the 15 GGA fields, the 12 RMC fields, a reserved slot, "$GP000", the written
// record number, then the derived values, and "geoplait" in column 50 after
// two empty columns. Numbers kept as text are written as they stand.
// Custom: the columns switched on by the Output_ flags, always in the same
// order, without the trailing comma. Without its hemisphere column a
// coordinate of the south or west is written with a "-" (the Custom reader
// takes the sign back). Custom numbers its lines by input
// record (RecordIndex + 1), Full by written record (WrittenCount + 1), so only
// Custom shows the gaps left by filtered records. The two texts a Custom line
// may carry from the input (the name and the extra text) are quoted as in
// RFC 4180 when they hold a comma or a double quote ("Bondi, NSW"), so that
// the line keeps its columns; the CSV readers take them back.
#include "writers/csv_writer.h"

#include <charconv>
#include <iterator>

#include "engine/csv_columns.h"
#include "engine/derived_values.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"

namespace geoplait {

namespace {

void AppendText(std::string& line, const std::string& text) {
    line.append(text);
    line.push_back(',');
}

// A text column that may hold commas or quotes: quoted, with each quote
// doubled, when it does; as it stands otherwise.
void AppendQuotable(std::string& line, const std::string& text) {
    AppendCsvField(line, text);
    line.push_back(',');
}

void AppendInt(std::string& line, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, result.ptr);
    line.push_back(',');
}

// "%f," and "%1.3f,".
void AppendDecimal(std::string& line, double value, int precision) {
    AppendFixed(line, value, precision, 1);
    line.push_back(',');
}

// Seconds as "%02d:%02d:%02d" (hours not limited to two digits; C division,
// so negative seconds give negative parts as they always have).
void FormatHms(char (&buffer)[48], int32_t seconds) {
    static_assert(sizeof buffer > kClockTextSize);
    buffer[FormatClock(buffer, seconds)] = '\0';
}

// The coordinate texts both layouts show, made in the scratch space: the
// decimal degrees of the RMC side (the track's position) and the d/m/s of
// the GGA side.
void MakeCoordinateTexts(const TrackPoint& p, LineScratch& scratch) {
    DegreesText(p.Position, p.Position.latitude, scratch.latitude);
    DegreesText(p.Position, p.Position.longitude, scratch.longitude);
    DmsText(p.GgaPosition, p.GgaPosition.latitude, scratch.latitudeDms);
    DmsText(p.GgaPosition, p.GgaPosition.longitude, scratch.longitudeDms);
}

// What a Custom column may need: the record and its input record number,
// and the texts made for the line.
struct CustomLine {
    const TrackPoint& point;
    int32_t recordIndex;
    const std::string& latitudeDegrees;  // of the RMC side
    const std::string& longitudeDegrees;
    const std::string& latitudeDms;
    const std::string& longitudeDms;
    const std::string& latitudeNmea;  // of the GGA side
    const std::string& longitudeNmea;
    char elapsed[48];
    char interval[48];
    // "-" before the coordinates of the south (west) when no hemisphere
    // column says so; else nothing.
    bool latitudeMinus;
    bool longitudeMinus;
};

void AppendCoordinate(std::string& line, bool minus, const std::string& text) {
    if (minus && NeedsMinus('-', text)) line.push_back('-');
    AppendText(line, text);
}

using CustomAppend = void (*)(std::string&, const CustomLine&);

// The Custom columns in the order of kCsvCustomFlags.
constexpr CustomAppend kCustomColumns[] = {
    [](std::string& l, const CustomLine& c) { AppendQuotable(l, c.point.PointName); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaNS); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.latitudeMinus, c.latitudeNmea); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.latitudeMinus, c.latitudeDegrees); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.latitudeMinus, c.latitudeDms); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaEW); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.longitudeMinus, c.longitudeNmea); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.longitudeMinus, c.longitudeDegrees); },
    [](std::string& l, const CustomLine& c) { AppendCoordinate(l, c.longitudeMinus, c.longitudeDms); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaAltitude); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.RmcSpeed); },
    [](std::string& l, const CustomLine& c) { AppendDecimal(l, c.point.Speed, 3); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.RmcCourse); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaSatellites); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaDilution); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.RmcDate); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.LocalDateText); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.GgaTime); },
    [](std::string& l, const CustomLine& c) { AppendText(l, c.point.LocalTimeText); },
    [](std::string& l, const CustomLine& c) { AppendDecimal(l, c.point.TotalDistance, 6); },
    [](std::string& l, const CustomLine& c) {
        l.append(c.elapsed);
        l.push_back(',');
    },
    [](std::string& l, const CustomLine& c) { AppendInt(l, c.point.ElapsedSec); },
    [](std::string& l, const CustomLine& c) { AppendDecimal(l, c.point.IntervalDistance, 6); },
    [](std::string& l, const CustomLine& c) {
        l.append(c.interval);
        l.push_back(',');
    },
    [](std::string& l, const CustomLine& c) { AppendInt(l, c.point.IntervalSec); },
    [](std::string& l, const CustomLine& c) { AppendInt(l, static_cast<long long>(c.recordIndex) + 1); },
    [](std::string& l, const CustomLine& c) { AppendQuotable(l, c.point.ExtendData); },
};
static_assert(std::size(kCustomColumns) == kCsvCustomColumnCount);
static_assert(kCsvCustomNameCount == kCsvCustomColumnCount);

}  // namespace

const std::array<int ConvertSettings::*, kCsvCustomColumnCount> kCsvCustomFlags = {
    &ConvertSettings::Output_Name,          &ConvertSettings::Output_Latitude_ns,
    &ConvertSettings::Output_Latitude_dmm,  &ConvertSettings::Output_Latitude_ddd,
    &ConvertSettings::Output_Latitude_dms,  &ConvertSettings::Output_Longitude_ew,
    &ConvertSettings::Output_Longitude_dmm, &ConvertSettings::Output_Longitude_ddd,
    &ConvertSettings::Output_Longitude_dms, &ConvertSettings::Output_Altitude,
    &ConvertSettings::Output_Speed_knots,   &ConvertSettings::Output_Speed_km,
    &ConvertSettings::Output_Degrees,       &ConvertSettings::Output_Satellites,
    &ConvertSettings::Output_Dilution,      &ConvertSettings::Output_Date_dmy,
    &ConvertSettings::Output_Date_ymd,      &ConvertSettings::Output_Time_utc,
    &ConvertSettings::Output_Time_utc9,     &ConvertSettings::Output_Elapsed_Distance,
    &ConvertSettings::Output_Elapsed_hms,   &ConvertSettings::Output_Elapsed_sec,
    &ConvertSettings::Output_interval_Distance, &ConvertSettings::Output_interval_hms,
    &ConvertSettings::Output_interval_sec,  &ConvertSettings::Output_No,
    &ConvertSettings::Output_Extend_Data,
};

void WriteCsvFullHead(TextWriter& out, const LineWriterOptions& options) {
    if (!options.csv.header) return;
    std::string line;
    for (const std::string_view name : kCsvFullColumnNames) line.append(name).push_back(',');
    line.back() = '\n';
    out.Write(line);
}

void WriteCsvCustomHead(TextWriter& out, const LineWriterOptions& options) {
    if (!options.csv.header) return;
    std::string line;
    for (size_t i = 0; i < kCsvCustomColumnCount; ++i) {
        if (options.csv.customColumns[i]) line.append(kCsvCustomColumnNames[i]).push_back(',');
    }
    if (line.empty()) return;
    line.back() = '\n';
    out.Write(line);
}

void WriteCsvFullLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p,
                      RecordNumbers numbers, LineScratch& scratch) {
    MakeCoordinateTexts(p, scratch);
    const std::string& ggaLatitude =
        NmeaTextOf(p.GgaLatitude, p.GgaPosition, p.GgaPosition.latitude, scratch.ggaLatitude);
    const std::string& ggaLongitude =
        NmeaTextOf(p.GgaLongitude, p.GgaPosition, p.GgaPosition.longitude, scratch.ggaLongitude);
    const std::string& rmcLatitude = NmeaTextOf(p.RmcLatitude, p.Position, p.Position.latitude, scratch.rmcLatitude);
    const std::string& rmcLongitude =
        NmeaTextOf(p.RmcLongitude, p.Position, p.Position.longitude, scratch.rmcLongitude);
    std::string& line = scratch.line;
    line.clear();
    const std::string* const nmeaFields[] = {
        &p.GgaId,     &p.GgaTime,      &ggaLatitude,      &p.GgaNS,        &ggaLongitude,
        &p.GgaEW,     &p.GgaQuality,   &p.GgaSatellites,  &p.GgaDilution,  &p.GgaAltitude,
        &p.GgaAltitudeUnit, &p.GgaGeoid, &p.GgaGeoidUnit, &p.GgaDgpsAge,   &p.GgaDgpsStation,
        &p.RmcId,     &p.RmcTime,      &p.RmcStatus,      &rmcLatitude,    &p.RmcNS,
        &rmcLongitude, &p.RmcEW,       &p.RmcSpeed,       &p.RmcCourse,    &p.RmcDate,
        &p.RmcMagVar, &p.RmcMagVarEW,
        &p.CsvReserved,
    };
    for (const std::string* field : nmeaFields) AppendText(line, *field);
    line.append("$GP000,");
    AppendInt(line, static_cast<long long>(numbers.written) + 1);
    AppendText(line, p.LocalDateText);
    AppendText(line, p.LocalTimeText);
    AppendText(line, scratch.latitude);
    AppendText(line, scratch.longitude);
    AppendText(line, p.GgaAltitude);
    AppendDecimal(line, p.TotalDistance, 6);
    AppendDecimal(line, p.Speed, 6);
    char elapsed[48];
    FormatHms(elapsed, p.ElapsedSec);
    line.append(elapsed);
    line.push_back(',');
    AppendInt(line, p.ElapsedSec);
    AppendInt(line, p.IntervalSec);
    AppendText(line, scratch.latitudeDms);
    AppendText(line, scratch.longitudeDms);
    AppendText(line, p.LocalDate);
    AppendText(line, p.LocalTime);
    AppendDecimal(line, p.IntervalDistance, 6);
    AppendInt(line, p.LocalOffset);
    AppendText(line, options.csv.meterMile);
    line.append(",,geoplait\n");
    out.Write(line);
}

void WriteCsvCustomLine(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p,
                        RecordNumbers numbers, LineScratch& scratch) {
    const CsvWriterOptions& csv = options.csv;
    MakeCoordinateTexts(p, scratch);
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns);
    const std::string& latitudeNmea =
        NmeaTextOf(p.GgaLatitude, p.GgaPosition, p.GgaPosition.latitude, scratch.ggaLatitude);
    const std::string& longitudeNmea =
        NmeaTextOf(p.GgaLongitude, p.GgaPosition, p.GgaPosition.longitude, scratch.ggaLongitude);
    CustomLine texts{p, numbers.read, scratch.latitude, scratch.longitude, scratch.latitudeDms, scratch.longitudeDms,
                     latitudeNmea, longitudeNmea, {}, {},
                     !csv.latitudeHemisphereColumn && signs.latitude == '-',
                     !csv.longitudeHemisphereColumn && signs.longitude == '-'};
    FormatHms(texts.elapsed, p.ElapsedSec);
    FormatHms(texts.interval, p.IntervalSec);
    std::string& line = scratch.line;
    line.clear();
    for (size_t i = 0; i < kCsvCustomColumnCount; ++i) {
        if (csv.customColumns[i]) kCustomColumns[i](line, texts);
    }
    // Every column ends with a comma; the line does not. With no column on
    // the line is empty.
    if (!line.empty()) line.pop_back();
    line.push_back('\n');
    out.Write(line);
}

}  // namespace geoplait
