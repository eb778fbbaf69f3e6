// The mode list, one row per conversion mode in the order of the window's list.
#include "settings/convert_modes.h"

#include "settings/convert_settings.h"

namespace geoplait {

namespace {

using K = ModeKind;
using O = ModeOutput;

}  // namespace

const std::array<ConvertMode, kModeCount> kConvertModes = {{
    {"nmea(log) -> kml", "Geoplait", K::Nmea, O::Kml},
    {"nmea(log) -> pot", "Nmea2Pot", K::Nmea, O::Pot},
    {"nmea(log) -> gpx", "Nmea2Gpx", K::Nmea, O::Gpx},
    {"nmea(log) -> csv(Full)", "Nmea2CsvFull", K::Nmea, O::CsvFull},
    {"nmea(log) -> csv(Custom)", "Nmea2CsvCustom", K::Nmea, O::CsvCustom},
    {"nmea(log) -> nmea(log)", "Nmea2Nmea", K::Nmea, O::Nmea},
    {"nmea(log) -> Summary(csv)", "Nmea2Summary", K::Nmea, O::SummaryCsv},
    {"nmea(log) -> Summary(html)", "Nmea2SummaryHtml", K::Nmea, O::SummaryHtml},
    {"csv(Full) -> kml", "CsvFull2Kml", K::CsvFull, O::Kml},
    {"csv(Full) -> pot", "CsvFull2Pot", K::CsvFull, O::Pot},
    {"csv(Full) -> gpx", "CsvFull2Gpx", K::CsvFull, O::Gpx},
    {"csv(Full) -> nmea(log)", "CsvFull2nmea", K::CsvFull, O::Nmea},
    {"csv(Full) -> csv(Full)", "CsvFull2CsvFull", K::CsvFull, O::CsvFull},
    {"csv(Full) -> csv(Custom)", "CsvFull2CsvCustom", K::CsvFull, O::CsvCustom},
    {"csv(Custom) -> kml", "CsvCustom2Kml", K::CsvCustom, O::Kml},
    {"csv(Custom) -> pot", "CsvCustom2Pot", K::CsvCustom, O::Pot},
    {"csv(Custom) -> gpx", "CsvCustom2Gpx", K::CsvCustom, O::Gpx},
    {"csv(Custom) -> nmea(log)", "CsvCustom2Nmea", K::CsvCustom, O::Nmea},
    {"csv(Custom) -> csv(Custom)", "CsvCustom2CsvCustom", K::CsvCustom, O::CsvCustom},
    {"pot -> kml", "Pot2Kml", K::Pot, O::Kml},
    {"pot -> nmea(log)", "Pot2Nmea", K::Pot, O::Nmea},
    {"pot -> csv(Custom)", "Pot2CsvCustom", K::Pot, O::CsvCustom},
    {"pot -> gpx", "Pot2Gpx", K::Pot, O::Gpx},
    {"gpx -> kml", "Gpx2Kml", K::Gpx, O::Kml},
    {"gpx -> nmea(log)", "Gpx2Nmea", K::Gpx, O::Nmea},
    {"gpx -> csv(Custom)", "Gpx2CsvCustom", K::Gpx, O::CsvCustom},
    {"gpx -> pot", "Gpx2Pot", K::Gpx, O::Pot},
    {"kml(Line) -> pot", "KmlLine2Pot", K::KmlLine, O::Pot},
    {"kml(Line) -> gpx", "KmlLine2Gpx", K::KmlLine, O::Gpx},
    {"kml(Line) -> nmea(log)", "KmlLine2Nmea", K::KmlLine, O::Nmea},
    {"kml(Line) -> csv(Custom)", "KmlLine2CsvCustom", K::KmlLine, O::CsvCustom},
    {"kml(Point) -> pot", "KmlPoint2Pot", K::KmlPoint, O::Pot},
    {"kml(Point) -> gpx", "KmlPoint2Gpx", K::KmlPoint, O::Gpx},
    {"kml(Point) -> nmea(log)", "KmlPoint2Nmea", K::KmlPoint, O::Nmea},
    {"kml(Point) -> csv(Custom)", "KmlPoint2CsvCustom", K::KmlPoint, O::CsvCustom},
    {"Photo(Only) -> kml", "Photo2kml", K::Photo, O::Kml},
}};

const ConvertMode* FindModeByDisplayText(std::string_view text) {
    for (const ConvertMode& mode : kConvertModes) {
        if (text == mode.displayText) return &mode;
    }
    return nullptr;
}

const ConvertMode* FindModeByFileValue(std::string_view value) {
    for (const ConvertMode& mode : kConvertModes) {
        if (value == mode.fileValue) return &mode;
    }
    return nullptr;
}

size_t ModeRow(const ConvertMode& mode) { return static_cast<size_t>(&mode - kConvertModes.data()); }

void ApplyModeOutputRule(const ConvertMode& mode, ConvertSettings& s) {
    const bool kml = mode.output == ModeOutput::Kml;
    s.Bom = kml ? 1 : 0;
    if (mode.kind == ModeKind::Photo) s.Photo = 1;
    if (!kml) s.Photo = s.Kmz = 0;
}

}  // namespace geoplait
