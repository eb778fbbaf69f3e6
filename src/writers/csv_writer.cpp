// CSV output, no header line, one line per record ending in a line feed.
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

// LatitudeDms and LongitudeDms recomputed from the GGA position, as both
// layouts show the GGA side.
void RecomputeDms(RunContext& ctx) {
    TrackPoint& p = ctx.point;
    std::string& scratch = ctx.scratch.degrees;
    p.LatitudeDms.clear();
    scratch.clear();
    CoordTexts(p.GgaLatitude, scratch, p.LatitudeDms);
    p.LongitudeDms.clear();
    scratch.clear();
    CoordTexts(p.GgaLongitude, scratch, p.LongitudeDms);
}

// The texts a Custom column may need beside the record.
struct CustomTexts {
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

using CustomAppend = void (*)(std::string&, const RunContext&, const CustomTexts&);

struct CustomColumn {
    int ConvertSettings::*flag;
    CustomAppend append;
};

// The Custom columns in their fixed order.
constexpr CustomColumn kCustomColumns[] = {
    {&ConvertSettings::Output_Name,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendQuotable(l, c.point.PointName); }},
    {&ConvertSettings::Output_Latitude_ns,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaNS); }},
    {&ConvertSettings::Output_Latitude_dmm,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.latitudeMinus, c.point.GgaLatitude); }},
    {&ConvertSettings::Output_Latitude_ddd,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.latitudeMinus, c.point.LatitudeDeg); }},
    {&ConvertSettings::Output_Latitude_dms,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.latitudeMinus, c.point.LatitudeDms); }},
    {&ConvertSettings::Output_Longitude_ew,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaEW); }},
    {&ConvertSettings::Output_Longitude_dmm,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.longitudeMinus, c.point.GgaLongitude); }},
    {&ConvertSettings::Output_Longitude_ddd,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.longitudeMinus, c.point.LongitudeDeg); }},
    {&ConvertSettings::Output_Longitude_dms,
     [](std::string& l, const RunContext& c, const CustomTexts& t) { AppendCoordinate(l, t.longitudeMinus, c.point.LongitudeDms); }},
    {&ConvertSettings::Output_Altitude,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaAltitude); }},
    {&ConvertSettings::Output_Speed_knots,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.RmcSpeed); }},
    {&ConvertSettings::Output_Speed_km,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendDecimal(l, c.point.Speed, 3); }},
    {&ConvertSettings::Output_Degrees,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.RmcCourse); }},
    {&ConvertSettings::Output_Satellites,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaSatellites); }},
    {&ConvertSettings::Output_Dilution,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaDilution); }},
    {&ConvertSettings::Output_Date_dmy,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.RmcDate); }},
    {&ConvertSettings::Output_Date_ymd,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.LocalDateText); }},
    {&ConvertSettings::Output_Time_utc,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.GgaTime); }},
    {&ConvertSettings::Output_Time_utc9,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendText(l, c.point.LocalTimeText); }},
    {&ConvertSettings::Output_Elapsed_Distance,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendDecimal(l, c.point.TotalDistance, 6); }},
    {&ConvertSettings::Output_Elapsed_hms,
     [](std::string& l, const RunContext&, const CustomTexts& t) {
         l.append(t.elapsed);
         l.push_back(',');
     }},
    {&ConvertSettings::Output_Elapsed_sec,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendInt(l, c.point.ElapsedSec); }},
    {&ConvertSettings::Output_interval_Distance,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendDecimal(l, c.point.IntervalDistance, 6); }},
    {&ConvertSettings::Output_interval_hms,
     [](std::string& l, const RunContext&, const CustomTexts& t) {
         l.append(t.interval);
         l.push_back(',');
     }},
    {&ConvertSettings::Output_interval_sec,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendInt(l, c.point.IntervalSec); }},
    {&ConvertSettings::Output_No,
     [](std::string& l, const RunContext& c, const CustomTexts&) {
         AppendInt(l, static_cast<long long>(c.store.RecordIndex) + 1);
     }},
    {&ConvertSettings::Output_Extend_Data,
     [](std::string& l, const RunContext& c, const CustomTexts&) { AppendQuotable(l, c.point.ExtendData); }},
};

}  // namespace

void WriteCsvFullLine(TextWriter& out, RunContext& ctx) {
    RecomputeDms(ctx);
    const TrackPoint& p = ctx.point;
    std::string& line = ctx.scratch.line;
    line.clear();
    const std::string* const nmeaFields[] = {
        &p.GgaId,     &p.GgaTime,      &p.GgaLatitude,    &p.GgaNS,        &p.GgaLongitude,
        &p.GgaEW,     &p.GgaQuality,   &p.GgaSatellites,  &p.GgaDilution,  &p.GgaAltitude,
        &p.GgaAltitudeUnit, &p.GgaGeoid, &p.GgaGeoidUnit, &p.GgaDgpsAge,   &p.GgaDgpsStation,
        &p.RmcId,     &p.RmcTime,      &p.RmcStatus,      &p.RmcLatitude,  &p.RmcNS,
        &p.RmcLongitude, &p.RmcEW,     &p.RmcSpeed,       &p.RmcCourse,    &p.RmcDate,
        &p.RmcMagVar, &p.RmcMagVarEW,
        &p.CsvSlot[kCsvFullReservedSlot],
    };
    for (const std::string* field : nmeaFields) AppendText(line, *field);
    line.append("$GP000,");
    AppendInt(line, static_cast<long long>(ctx.store.WrittenCount) + 1);
    AppendText(line, p.LocalDateText);
    AppendText(line, p.LocalTimeText);
    AppendText(line, p.LatitudeDeg);
    AppendText(line, p.LongitudeDeg);
    AppendText(line, p.AltitudeText);
    AppendDecimal(line, p.TotalDistance, 6);
    AppendDecimal(line, p.Speed, 6);
    char elapsed[48];
    FormatHms(elapsed, p.ElapsedSec);
    line.append(elapsed);
    line.push_back(',');
    AppendInt(line, p.ElapsedSec);
    AppendInt(line, p.IntervalSec);
    AppendText(line, p.LatitudeDms);
    AppendText(line, p.LongitudeDms);
    AppendText(line, p.LocalDate);
    AppendText(line, p.LocalTime);
    AppendDecimal(line, p.IntervalDistance, 6);
    AppendInt(line, ctx.run.TimeDifferenceValue);
    AppendText(line, ctx.Current().MeterMile);
    line.append(",,geoplait\n");
    out.Write(line);
}

void WriteCsvCustomLine(TextWriter& out, RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    CustomTexts texts;
    FormatHms(texts.elapsed, ctx.point.ElapsedSec);
    FormatHms(texts.interval, ctx.point.IntervalSec);
    const HemisphereSigns signs = HemisphereSign(ctx);
    texts.latitudeMinus = s.Output_Latitude_ns <= 0 && signs.latitude == '-';
    texts.longitudeMinus = s.Output_Longitude_ew <= 0 && signs.longitude == '-';
    RecomputeDms(ctx);
    std::string& line = ctx.scratch.line;
    line.clear();
    for (const CustomColumn& column : kCustomColumns) {
        if (s.*column.flag > 0) column.append(line, ctx, texts);
    }
    // Every column ends with a comma; the line does not. With no column on
    // the line is empty.
    if (!line.empty()) line.pop_back();
    line.push_back('\n');
    out.Write(line);
}

}  // namespace geoplait
