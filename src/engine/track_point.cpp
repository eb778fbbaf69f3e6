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

void CopyRecordTexts(const TrackPoint& from, TrackPoint& to) {
    // The numbers that follow the texts in TrackPoint, kept across the copy.
    struct Numbers {
        int32_t satCount, dilution;
        double altitude, speed, course, interval, start, total;
        int32_t elapsed, intervalSec;
    };
    const Numbers kept{to.SatCount, to.DilutionValue, to.AltitudeValue, to.Speed, to.CourseValue,
                       to.IntervalDistance, to.StartDistance, to.TotalDistance, to.ElapsedSec, to.IntervalSec};
    to = from;
    to.SatCount = kept.satCount;
    to.DilutionValue = kept.dilution;
    to.AltitudeValue = kept.altitude;
    to.Speed = kept.speed;
    to.CourseValue = kept.course;
    to.IntervalDistance = kept.interval;
    to.StartDistance = kept.start;
    to.TotalDistance = kept.total;
    to.ElapsedSec = kept.elapsed;
    to.IntervalSec = kept.intervalSec;
}

}  // namespace geoplait
