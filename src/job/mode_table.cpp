// The mode table, one row per conversion mode in the order of the mode list.
// A row whose procedure is nullptr runs nothing: the job goes straight to its
// completion message. Procedures with another signature are wired through a
// captureless lambda in their row.
#include "job/mode_table.h"

#include "job/record_runs.h"
#include "job/kml_passes.h"
#include "photo/photo_steps.h"
#include "writers/csv_writer.h"
#include "writers/gpx_writer.h"
#include "writers/nmea_writer.h"
#include "writers/summary_writer.h"

namespace geoplait {

const std::array<ModeEntry, kModeCount> kModeTable = {{
    {"nmea(log) -> kml", "Geoplait", ModeKind::Nmea, RunKmlPasses},
    {"nmea(log) -> pot", "Nmea2Pot", ModeKind::Nmea, RunNmeaToPot},
    {"nmea(log) -> gpx", "Nmea2Gpx", ModeKind::Nmea, [](RunContext& c) { RunNmeaToGpx(c); }},
    {"nmea(log) -> csv(Full)", "Nmea2CsvFull", ModeKind::Nmea,
     [](RunContext& c) { RunNmeaToCsvFull(c); }},
    {"nmea(log) -> csv(Custom)", "Nmea2CsvCustom", ModeKind::Nmea,
     [](RunContext& c) { RunNmeaToCsvCustom(c); }},
    {"nmea(log) -> nmea(log)", "Nmea2Nmea", ModeKind::Nmea, [](RunContext& c) { RunNmeaToNmea(c); }},
    {"nmea(log) -> Summary(csv)", "Nmea2Summary", ModeKind::Nmea,
     [](RunContext& c) { RunSummary(c, 'T'); }},
    {"nmea(log) -> Summary(html)", "Nmea2SummaryHtml", ModeKind::Nmea,
     [](RunContext& c) { RunSummary(c, 'H'); }},
    {"csv(Full) -> kml", "CsvFull2Kml", ModeKind::CsvFull, nullptr},
    {"csv(Full) -> pot", "CsvFull2Pot", ModeKind::CsvFull, nullptr},
    {"csv(Full) -> gpx", "CsvFull2Gpx", ModeKind::CsvFull, nullptr},
    {"csv(Full) -> nmea(log)", "CsvFull2nmea", ModeKind::CsvFull, nullptr},
    {"csv(Full) -> csv(Full)", "CsvFull2CsvFull", ModeKind::CsvFull, nullptr},
    {"csv(Full) -> csv(Custom)", "CsvFull2CsvCustom", ModeKind::CsvFull, nullptr},
    {"csv(Custom) -> kml", "CsvCustom2Kml", ModeKind::CsvCustom, nullptr},
    {"csv(Custom) -> pot", "CsvCustom2Pot", ModeKind::CsvCustom, nullptr},
    {"csv(Custom) -> gpx", "CsvCustom2Gpx", ModeKind::CsvCustom, nullptr},
    {"csv(Custom) -> nmea(log)", "CsvCustom2Nmea", ModeKind::CsvCustom, nullptr},
    {"csv(Custom) -> csv(Custom)", "CsvCustom2CsvCustom", ModeKind::CsvCustom, nullptr},
    {"pot -> kml", "Pot2Kml", ModeKind::Pot, nullptr},
    {"pot -> nmea(log)", "Pot2Nmea", ModeKind::Pot, nullptr},
    {"pot -> csv(Custom)", "Pot2CsvCustom", ModeKind::Pot, nullptr},
    {"pot -> gpx", "Pot2Gpx", ModeKind::Pot, nullptr},
    {"gpx -> kml", "Gpx2Kml", ModeKind::Gpx, nullptr},
    {"gpx -> nmea(log)", "Gpx2Nmea", ModeKind::Gpx, nullptr},
    {"gpx -> csv(Custom)", "Gpx2CsvCustom", ModeKind::Gpx, nullptr},
    {"gpx -> pot", "Gpx2Pot", ModeKind::Gpx, nullptr},
    {"kml(Line) -> pot", "KmlLine2Pot", ModeKind::KmlLine, nullptr},
    {"kml(Line) -> gpx", "KmlLine2Gpx", ModeKind::KmlLine, nullptr},
    {"kml(Line) -> nmea(log)", "KmlLine2Nmea", ModeKind::KmlLine, nullptr},
    {"kml(Line) -> csv(Custom)", "KmlLine2CsvCustom", ModeKind::KmlLine, nullptr},
    {"kml(Point) -> pot", "KmlPoint2Pot", ModeKind::KmlPoint, nullptr},
    {"kml(Point) -> gpx", "KmlPoint2Gpx", ModeKind::KmlPoint, nullptr},
    {"kml(Point) -> nmea(log)", "KmlPoint2Nmea", ModeKind::KmlPoint, nullptr},
    {"kml(Point) -> csv(Custom)", "KmlPoint2CsvCustom", ModeKind::KmlPoint, nullptr},
    {"Photo(Only) -> kml", "Photo2kml", ModeKind::Photo, RunPhotoOnly},
}};

const ModeEntry* FindModeByDisplayText(std::string_view text) {
    for (const ModeEntry& entry : kModeTable) {
        if (text == entry.displayText) return &entry;
    }
    return nullptr;
}

const ModeEntry* FindModeByFileValue(std::string_view value) {
    for (const ModeEntry& entry : kModeTable) {
        if (value == entry.fileValue) return &entry;
    }
    return nullptr;
}

}  // namespace geoplait
