// The current record's clearing and the position texts kept from it.
#include "engine/track_point.h"

#include <utility>

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

namespace {

// The numbers that follow the texts in TrackPoint.
struct TrackNumbers {
    int32_t satCount, dilution;
    double altitude, speed, course, interval, start, total;
    int32_t elapsed, intervalSec;
};

TrackNumbers NumbersOf(const TrackPoint& p) {
    return {p.SatCount,         p.DilutionValue, p.AltitudeValue, p.Speed,      p.CourseValue,
            p.IntervalDistance, p.StartDistance, p.TotalDistance, p.ElapsedSec, p.IntervalSec};
}

void SetNumbers(TrackPoint& p, const TrackNumbers& n) {
    p.SatCount = n.satCount;
    p.DilutionValue = n.dilution;
    p.AltitudeValue = n.altitude;
    p.Speed = n.speed;
    p.CourseValue = n.course;
    p.IntervalDistance = n.interval;
    p.StartDistance = n.start;
    p.TotalDistance = n.total;
    p.ElapsedSec = n.elapsed;
    p.IntervalSec = n.intervalSec;
}

}  // namespace

void CopyRecordTexts(const TrackPoint& from, TrackPoint& to) {
    const TrackNumbers kept = NumbersOf(to);
    to = from;
    SetNumbers(to, kept);
}

void SwapRecordTexts(TrackPoint& a, TrackPoint& b) {
    const TrackNumbers numbersA = NumbersOf(a);
    const TrackNumbers numbersB = NumbersOf(b);
    std::swap(a, b);
    SetNumbers(a, numbersA);
    SetNumbers(b, numbersB);
}

}  // namespace geoplait
