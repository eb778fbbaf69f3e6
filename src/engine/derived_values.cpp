// The record's derived values and the geodesy of a run: geo/ works out the
// numbers and texts, this file feeds it the record, the settings and the
// run's memo of the last distance.
#include "engine/derived_values.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#include "base/text_fields.h"
#include "geo/coordinates.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"

namespace geoplait {

HemisphereSigns HemisphereSign(const RunContext& ctx, const std::string& ns, const std::string& ew) {
    return HemisphereSign(ns, ew, ctx.settings.config.LatitudeNS, ctx.settings.config.LongitudeWE);
}

HemisphereSigns HemisphereSign(const RunContext& ctx) {
    return HemisphereSign(ctx, ctx.point.RmcNS, ctx.point.RmcEW);
}

const RecordReadings& ReadPosition(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    RecordReadings& r = point.Readings;
    if (!r.positionRead) {
        const HemisphereSigns signs = HemisphereSign(ctx);
        r.longitudeSign = signs.longitude;
        r.latitudeSign = signs.latitude;
        r.distanceCount = 0;
        r.positionRead = true;
    }
    return r;
}

namespace {

// The level distance in km between the record and a point, both in signed
// degrees other than 0: from the record's own distances when it was
// measured against the point already, else worked out (through the run's
// memo of the last distance) and kept with the record.
double LevelKm(RunContext& ctx, RecordReadings& here, double lon1, double lat1, double lon2, double lat2) {
    // Zeros are out of the way, so equal degrees are equal bits.
    for (size_t i = 0; i < here.distanceCount; ++i) {
        const RecordReadings::Distance& known = here.distances[i];
        if (known.longitude == lon2 && known.latitude == lat2) return known.km;
    }
    DistanceMemo& last = ctx.geo.distance;
    if (!last.valid || last.lon1 != lon1 || last.lat1 != lat1 || last.lon2 != lon2 || last.lat2 != lat2) {
        last = DistanceMemo{lon1, lat1, lon2, lat2, HubenyKm(lon1, lat1, lon2, lat2), true};
    }
    // The newest replaces the second: the first is the previous point's.
    const size_t slot = here.distanceCount < here.distances.size() ? here.distanceCount++ : here.distances.size() - 1;
    here.distances[slot] = {lon2, lat2, last.km};
    return last.km;
}

}  // namespace

double TrackDistance(RunContext& ctx, const PointPosition& other) {
    ReadPosition(ctx);
    RecordReadings& here = ctx.point.Readings;
    const RecordPosition& position = ctx.point.Position;
    const double lon1 = Signed(position.longitude.degrees, here.longitudeSign);
    const double lat1 = Signed(position.latitude.degrees, here.latitudeSign);
    const HemisphereSigns there = HemisphereSign(ctx, other.NS, other.EW);
    const double lon2 = Signed(other.Position.longitude.degrees, there.longitude);
    const double lat2 = Signed(other.Position.latitude.degrees, there.latitude);
    if (lon1 == 0.0 || lat1 == 0.0 || lon2 == 0.0 || lat2 == 0.0) return 0.0;
    const double d = LevelKm(ctx, here, lon1, lat1, lon2, lat2);

    if (ctx.Current().Altitude != 0 && d > 0.0) return SlopeKm(d, ctx.point.Values.altitude.value, other.altitudeMetres);
    return d;
}

namespace {

// LocalDateTime: the offset of the run's clock at the record's time, and
// the local time by it.
void DeriveLocalTime(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    const LocalClock clock = ClockOf(ctx.run);
    const int64_t instant = OffsetInstant(point.Time);
    OffsetSpan& span = ctx.geo.offset;
    if (!span.Holds(clock, instant)) span = OffsetSpanAtUtc(clock, instant);
    point.LocalOffset = span.offset;
    point.Local = LocalOf(point.Time, point.LocalOffset);
}

// Distances from the previous point and from the placemark anchor, in the
// unit system of the run.
void DeriveDistances(RunContext& ctx, UnitSystem unitSystem) {
    TrackPoint& point = ctx.point;
    TrackStore& store = ctx.store;
    if (store.DerivedPrevious.Position.known) {
        point.IntervalDistance = TrackDistance(ctx, store.DerivedPrevious);
        // Only the selection of placemarks by distance reads it.
        point.StartDistance = ctx.Current().PosDistance != 0 ? TrackDistance(ctx, store.PlacemarkAnchor) : 0.0;
    } else {
        point.IntervalDistance = 0.0;
        point.StartDistance = 0.0;
    }
    if (!store.PlacemarkAnchor.Position.known) store.PlacemarkAnchor.Take(point);
    store.DerivedPrevious.Take(point);
    point.IntervalDistance = DistanceInUnitSystem(unitSystem, point.IntervalDistance);
    point.StartDistance = DistanceInUnitSystem(unitSystem, point.StartDistance);
    point.TotalDistance += point.IntervalDistance;
}

// The day of the record's local date as its ddmmyy slot has always read: a
// known date as its two-digit year says, an unknown one by the positions of
// its characters ("000000" and an empty slot read as 30 November 1999).
int64_t LocalStampDay(const TrackPoint& point) {
    if (point.Local.date == DateKind::Known) return FoldedDay(point.Local.day);
    return DayNumberOf(UnknownDateText(point));
}

// The local time of day of the stamp: the one worked out, or, past a day
// (the raw time of a pass-through), that of its hhmmss digits read back.
int64_t LocalStampSecond(const RecordTime& local) {
    if (local.second >= 0 && local.second < kSecondsPerDay) return local.second;
    if (!local.timeKnown) return 0;
    std::string digits;
    AssignClockDigits(digits, local.second);
    return SecondsOfClock(digits);
}

// The calendar time in whole seconds of the local date and time. With a
// zone, whose local times jump where its offset changes, the stamp is taken
// back to UTC, so that the seconds across a change are those that passed.
int64_t DeriveLocalStamp(RunContext& ctx) {
    const TrackPoint& point = ctx.point;
    const int64_t offset = ctx.run.Zone != nullptr ? OffsetSeconds(point.LocalOffset) : 0;
    const int64_t days = LocalStampDay(point);
    const int64_t timeOfDay = LocalStampSecond(point.Local);
    const bool hasTime = point.Time.timeKnown;
    if (ctx.store.WrittenCount >= 1 && hasTime && point.Local.date != DateKind::Known) {
        // Without a date the record is on the day of the record before, or the
        // next day when its time of day is earlier: never before it. (A record
        // without a time either, an empty epoch, keeps its meaningless stamp,
        // which the range checks of DeriveSeconds turn into 0 s.)
        return SameOrNextDay(static_cast<int64_t>(ctx.store.PreviousTime) + offset, timeOfDay) - offset;
    }
    if (ctx.store.WrittenCount >= 1 && !hasTime) {
        // A record without a time (an unknown or impossible one) is taken as
        // no time passed since the record before: never a negative elapsed time.
        return static_cast<int64_t>(ctx.store.PreviousTime);
    }
    return days * kSecondsPerDay + timeOfDay - offset;
}

// Seconds from the first written record and from the previous one.
void DeriveSeconds(TrackPoint& point, TrackStore& store, int64_t stamp) {
    const auto stampTime = static_cast<std::time_t>(stamp);
    if (store.FirstTime == 0) store.FirstTime = stampTime;
    if (store.WrittenCount < 1) {
        point.ElapsedSec = 0;
        point.IntervalSec = 0;
        store.FirstTime = stampTime;
    } else {
        const int64_t elapsed = stamp - static_cast<int64_t>(store.FirstTime);
        const int64_t interval = stamp - static_cast<int64_t>(store.PreviousTime);
        point.ElapsedSec = elapsed < -864000 || elapsed > 864000 ? 0 : static_cast<int32_t>(elapsed);
        point.IntervalSec =
            interval < -8640000 || interval > 8640000 ? 0 : static_cast<int32_t>(interval);
    }
    store.PreviousTime = stampTime;
}

}  // namespace

void LocalDateTime(RunContext& ctx) { DeriveLocalTime(ctx); }

namespace {

// The values that depend on the record and the run's settings alone: the
// local date and time and the speed. (The writers format the coordinates
// from the record's position as they write them.)
void DeriveRecordOwnValues(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    ReadPosition(ctx);
    DeriveLocalTime(ctx);
    point.Speed = SpeedInUnitSystem(ctx.run.Units, point.Values.speed.value);
    point.Readings.valuesDerived = true;
}

}  // namespace

void ComputeDerived(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    if (!point.Readings.valuesDerived) DeriveRecordOwnValues(ctx);
    DeriveDistances(ctx, ctx.run.Units);
    const int64_t stamp = DeriveLocalStamp(ctx);
    DeriveSeconds(point, ctx.store, stamp);
}

}  // namespace geoplait
