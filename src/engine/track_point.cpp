// The current record's clearing and the position texts kept from it.
#include "engine/track_point.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

#include "geo/coordinates.h"
#include "geo/time_difference.h"

namespace geoplait {

Coordinate CoordinateOfNmea(double nmea) { return {nmea, DegreesOfNmea(nmea)}; }

Coordinate CoordinateOfDegrees(double degrees) { return {ExactNmeaOfDegrees(degrees), degrees}; }


void DegreesText(const RecordPosition& position, const Coordinate& axis, std::string& degrees) {
    if (position.known) {
        AssignFixed(degrees, axis.degrees, 6, 7);
    } else {
        degrees.clear();
    }
}

void DmsText(const RecordPosition& position, const Coordinate& axis, std::string& dms) {
    if (position.known) {
        AssignFixed(dms, DmsOfNmea(axis.nmea), 2, 3);
    } else {
        dms.clear();
    }
}

const std::string& NmeaTextOf(const std::string& asRead, const RecordPosition& position, const Coordinate& axis,
                              std::string& scratch) {
    if (!asRead.empty()) return asRead;
    if (position.known) {
        AssignFixed(scratch, RoundedNmea(axis.nmea), 4, 5);
    } else {
        scratch.clear();
    }
    return scratch;
}

namespace {

void ReadSide(const std::string& latitude, const std::string& longitude, RecordPosition& position) {
    if (latitude.empty() || longitude.empty()) {
        position = {};
        return;
    }
    position.latitude = CoordinateOfNmea(NumberOf(latitude));
    position.longitude = CoordinateOfNmea(NumberOf(longitude));
    position.known = true;
}

}  // namespace

void ReadPositionTexts(TrackPoint& p) {
    ReadSide(p.RmcLatitude, p.RmcLongitude, p.Position);
    // The GGA texts are most often the RMC texts again, read once.
    if (p.GgaLatitude == p.RmcLatitude && p.GgaLongitude == p.RmcLongitude) {
        p.GgaPosition = p.Position;
    } else {
        ReadSide(p.GgaLatitude, p.GgaLongitude, p.GgaPosition);
    }
}

// An empty text (mostly a field the input has none of) is no reading, read without a call.
Reading ReadingOf(std::string_view text) { return text.empty() ? Reading{} : Reading{NumberOf(text), true}; }

void ReadTimeTexts(TrackPoint& p) { p.Time = TimeOfTexts(p.RmcDate, p.RmcTime); }

std::string_view DateTextOf(const std::string& asRead, const RecordTime& time, std::string& scratch) {
    if (time.fromTexts || !asRead.empty()) return asRead;
    switch (time.date) {
        case DateKind::None: return {};
        case DateKind::Unknown: return "000000";
        case DateKind::Known: break;
    }
    char digits[6];
    scratch.assign(digits, static_cast<size_t>(PutDdmmyy(digits, time.day) - digits));
    return scratch;
}

std::string_view TimeTextOf(const std::string& asRead, const RecordTime& time, std::string& scratch) {
    if (time.fromTexts || !asRead.empty()) return asRead;
    if (!time.timeKnown) return {};
    AssignClockDigits(scratch, time.second);
    return scratch;
}

const std::string& UnknownDateText(const TrackPoint& point) {
    static const std::string kUnknown = "000000";
    static const std::string kNone;
    if (point.Time.fromTexts || !point.RmcDate.empty()) return point.RmcDate;
    return point.Time.date == DateKind::Unknown ? kUnknown : kNone;
}

void AppendDateSlotDigits(std::string& out, const std::string& ddmmyy) {
    for (size_t i : {4, 5, 2, 3, 0, 1}) {
        const char c = SlotChar(ddmmyy, i);
        if (c == '\0') break;
        out.push_back(c);
    }
}

void LocalDateText(const TrackPoint& point, std::string& out) {
    if (point.Local.date == DateKind::Known) {
        char text[10];
        out.assign(text, static_cast<size_t>(PutDateText(text, point.Local.day, '/') - text));
    } else {
        LocalDateText(out, UnknownDateText(point));
    }
}

void LocalTimeText(const TrackPoint& point, std::string& out) {
    const RecordTime& local = point.Local;
    if (!local.timeKnown) {
        out.clear();
    } else if (local.second >= 0 && local.second < kSecondsPerDay) {
        char text[8];
        out.assign(text, static_cast<size_t>(PutClockText(text, local.second) - text));
    } else {
        // A raw time of a pass-through, past a day: its digits as they come.
        std::string digits;
        AssignClockDigits(digits, local.second);
        LocalTimeText(out, digits);
    }
}

void LocalDateDigits(const TrackPoint& point, std::string& out) {
    if (point.Local.date == DateKind::Known) {
        char digits[6];
        out.assign(digits, static_cast<size_t>(PutDdmmyy(digits, point.Local.day) - digits));
    } else {
        out.assign(UnknownDateText(point));
    }
}

void LocalTimeDigits(const TrackPoint& point, std::string& out) {
    if (point.Local.timeKnown) {
        AssignClockDigits(out, point.Local.second);
    } else {
        out.clear();
    }
}

void ReadRecordValues(TrackPoint& p) {
    p.Values.altitude = ReadingOf(p.GgaAltitude);
    p.Values.speed = ReadingOf(p.RmcSpeed);
    p.Values.course = ReadingOf(p.RmcCourse);
    p.Values.satellites = ReadingOf(p.GgaSatellites);
    p.Values.dilution = ReadingOf(p.GgaDilution);
}

int32_t WholeOf(const Reading& reading) {
    if (!reading.known || std::isnan(reading.value)) return 0;
    if (reading.value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (reading.value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(reading.value);  // toward zero
}

void PointPosition::Take(const TrackPoint& point) {
    Position = point.Position;
    EW = HemisphereLetter(point.RmcEW);
    NS = HemisphereLetter(point.RmcNS);
    altitudeMetres = point.Values.altitude.value;
}

void DropHalfPosition(TrackPoint& p) {
    const bool rmcHalf = p.RmcLatitude.empty() != p.RmcLongitude.empty();
    if (rmcHalf) {
        p.RmcLatitude.clear();
        p.RmcNS.clear();
        p.RmcLongitude.clear();
        p.RmcEW.clear();
        p.Position = {};
    }
    // The GGA side, filled from the RMC side of a log without GGA.
    if (rmcHalf || p.GgaLatitude.empty() != p.GgaLongitude.empty()) {
        p.GgaLatitude.clear();
        p.GgaNS.clear();
        p.GgaLongitude.clear();
        p.GgaEW.clear();
        p.GgaPosition = {};
    }
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
    p.CsvReserved.clear();
    p.Position = {};
    p.GgaPosition = {};
    p.Values = {};
    p.Time = {};
    p.Local = {};
    p.Readings.positionRead = false;
    p.Readings.valuesDerived = false;
    p.Readings.speedRead = false;
}

namespace {

// Every text field of TrackPoint, in declaration order.
constexpr std::string TrackPoint::*kTextFields[] = {
    &TrackPoint::GgaId,         &TrackPoint::GgaTime,        &TrackPoint::GgaLatitude,    &TrackPoint::GgaNS,
    &TrackPoint::GgaLongitude,  &TrackPoint::GgaEW,          &TrackPoint::GgaQuality,     &TrackPoint::GgaSatellites,
    &TrackPoint::GgaDilution,   &TrackPoint::GgaAltitude,    &TrackPoint::GgaAltitudeUnit, &TrackPoint::GgaGeoid,
    &TrackPoint::GgaGeoidUnit,  &TrackPoint::GgaDgpsAge,     &TrackPoint::GgaDgpsStation, &TrackPoint::RmcId,
    &TrackPoint::RmcTime,       &TrackPoint::RmcStatus,      &TrackPoint::RmcLatitude,    &TrackPoint::RmcNS,
    &TrackPoint::RmcLongitude,  &TrackPoint::RmcEW,          &TrackPoint::RmcSpeed,       &TrackPoint::RmcCourse,
    &TrackPoint::RmcDate,       &TrackPoint::RmcMagVar,      &TrackPoint::RmcMagVarEW,    &TrackPoint::CsvReserved,
    &TrackPoint::PointName,     &TrackPoint::ExtendData,
};
// A text field added to TrackPoint belongs in the list above: the record is
// its texts, its two positions, its measured values, its UTC and local
// times, nine numbers of 56 bytes in all (with padding) and its readings.
// A number added goes with the record (SwapRecordTexts, HandOnRecord) or
// with the run state (CarryRunNumbers, SwapSectionNumbers).
static_assert(sizeof(TrackPoint) == std::size(kTextFields) * sizeof(std::string) + 2 * sizeof(RecordPosition) +
                                        sizeof(RecordValues) + 2 * sizeof(RecordTime) + 56 + sizeof(RecordReadings));

}  // namespace

void CopyRecordTexts(const TrackPoint& from, TrackPoint& to) {
    // Field by field: the numbers of `to` stay, and no field is built anew.
    for (std::string TrackPoint::*field : kTextFields) (to.*field).assign(from.*field);
    to.Position = from.Position;
    to.GgaPosition = from.GgaPosition;
    to.Values = from.Values;
    to.Time = from.Time;
    to.Local = from.Local;
    to.LocalOffset = from.LocalOffset;  // what Local was worked out with
}

void SwapRecordTexts(TrackPoint& a, TrackPoint& b) {
    // Once per record read ahead, and once per batch of a reading thread:
    // most fields are empty on both sides (a cleared record and one its
    // reader filled in part), and those are left.
    const auto swapField = [](std::string& x, std::string& y) {
        if (!x.empty() || !y.empty()) x.swap(y);
    };
    for (std::string TrackPoint::*field : kTextFields) swapField(a.*field, b.*field);
    std::swap(a.Position, b.Position);
    std::swap(a.GgaPosition, b.GgaPosition);
    std::swap(a.Values, b.Values);
    std::swap(a.Time, b.Time);
    std::swap(a.Local, b.Local);
    std::swap(a.LocalOffset, b.LocalOffset);
}

void CarryRunNumbers(const TrackPoint& from, TrackPoint& to) {
    to.SatCount = from.SatCount;
    to.DilutionValue = from.DilutionValue;
    to.Speed = from.Speed;
    to.IntervalDistance = from.IntervalDistance;
    to.StartDistance = from.StartDistance;
    to.TotalDistance = from.TotalDistance;
    to.ElapsedSec = from.ElapsedSec;
    to.IntervalSec = from.IntervalSec;
    to.Readings = from.Readings;
}

void SwapSectionNumbers(TrackPoint& a, TrackPoint& b) {
    std::swap(a.SatCount, b.SatCount);
    std::swap(a.DilutionValue, b.DilutionValue);
    std::swap(a.IntervalDistance, b.IntervalDistance);
    std::swap(a.StartDistance, b.StartDistance);
    std::swap(a.TotalDistance, b.TotalDistance);
    std::swap(a.ElapsedSec, b.ElapsedSec);
    std::swap(a.IntervalSec, b.IntervalSec);
}

void HandOnRecord(TrackPoint& from, TrackPoint& to) {
    if (&from == &to) return;
    // Each text changes places and what `from` gets back is emptied: `from`
    // ends with no text at all, PointName and ExtendData empty too.
    const auto moveField = [](std::string& x, std::string& y) {
        if (x.empty() && y.empty()) return;
        // The move takes x's buffer and gives x the one y had (GCC's
        // library, inline): with long texts on both sides, two pointers
        // change places, as a swap would change them.
        y = std::move(x);
        x.clear();
    };
    for (std::string TrackPoint::*field : kTextFields) moveField(from.*field, to.*field);
    to.Position = from.Position;
    to.GgaPosition = from.GgaPosition;
    to.Values = from.Values;
    to.Time = from.Time;
    to.Local = from.Local;
    from.Position = {};
    from.GgaPosition = {};
    from.Values = {};
    from.Time = {};
    from.Local = {};
    to.Readings = from.Readings;
    to.Speed = from.Speed;
    to.LocalOffset = from.LocalOffset;
    from.Readings.positionRead = false;
    from.Readings.valuesDerived = false;
}

void SetGroupDate(const TrackPoint& point, TrackStore& store) {
    if (point.Local.date != DateKind::Known) return;
    store.GroupDay = FoldedDay(point.Local.day);
    store.GroupDated = true;
}

bool DateGroupChanges(bool byDate, const TrackPoint& point, const TrackStore& store) {
    return byDate && store.GroupDated && point.Local.date == DateKind::Known &&
           FoldedDay(point.Local.day) != store.GroupDay;
}

}  // namespace geoplait
