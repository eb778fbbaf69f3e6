// The current record's clearing and the position texts kept from it.
#include "engine/track_point.h"

namespace geoplait {

void PointTexts::Take(const TrackPoint& point) {
    Longitude.assign(point.RmcLongitude);
    Latitude.assign(point.RmcLatitude);
    Altitude.assign(point.GgaAltitude);
    EW.assign(point.RmcEW);
    NS.assign(point.RmcNS);
}

void ClearTrackPoint(TrackPoint& p) {
    // Spelled out rather than looped over a table of pointers: this runs once
    // per record and per pass.
    p.GgaId.clear();
    p.GgaTime.clear();
    p.GgaLatitude.clear();
    p.GgaNS.clear();
    p.GgaLongitude.clear();
    p.GgaEW.clear();
    p.GgaQuality.clear();
    p.GgaSatellites.clear();
    p.GgaDilution.clear();
    p.GgaAltitude.clear();
    p.GgaAltitudeUnit.clear();
    p.GgaGeoid.clear();
    p.GgaGeoidUnit.clear();
    p.GgaDgpsAge.clear();
    p.GgaDgpsStation.clear();
    p.RmcId.clear();
    p.RmcTime.clear();
    p.RmcStatus.clear();
    p.RmcLatitude.clear();
    p.RmcNS.clear();
    p.RmcLongitude.clear();
    p.RmcEW.clear();
    p.RmcSpeed.clear();
    p.RmcCourse.clear();
    p.RmcDate.clear();
    p.RmcMagVar.clear();
    p.RmcMagVarEW.clear();
    p.InLatitudeDeg.clear();
    p.InLongitudeDeg.clear();
    p.LatitudeDms.clear();
    p.LongitudeDms.clear();
    p.LatitudeDeg.clear();
    p.LongitudeDeg.clear();
    p.AltitudeText.clear();
    p.LocalDate.clear();
    p.LocalTime.clear();
    p.LocalDateText.clear();
    p.LocalTimeText.clear();
    for (std::string& slot : p.CsvSlot) slot.clear();
}

}  // namespace geoplait
