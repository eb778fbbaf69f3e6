// The record's derived values and the geodesy of a run: geo/ works out the
// numbers and texts, this file feeds it the record, the settings and the
// run's memo of the texts it read.
#include "engine/derived_values.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#include "base/text_fields.h"
#include "geo/coordinates.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

// NumberOf(text) through the run's memo of recently read texts; the entry
// also holds the number read as NMEA degrees.
const NumberMemo::Entry& RememberedNumberOf(NumberMemo& memo, const std::string& text,
                                            NumberMemo::Entry& scratch) {
    const size_t size = text.size();
    if (size > NumberMemo::kTextSize) {
        scratch.value = NumberOf(text);
        scratch.degrees = DegreesOfNmea(scratch.value);
        return scratch;
    }
    // The key: the first and the last eight bytes, which overlap or leave
    // zeros for shorter texts; with the size it identifies the text.
    uint64_t key[2] = {0, 0};
    const char* data = text.data();
    if (size >= 8) {
        std::memcpy(&key[0], data, 8);
        std::memcpy(&key[1], data + size - 8, 8);
    } else if (size >= 4) {
        uint32_t head = 0;
        uint32_t tail = 0;
        std::memcpy(&head, data, 4);
        std::memcpy(&tail, data + size - 4, 4);
        key[0] = head;
        key[1] = tail;
    } else {
        for (size_t i = 0; i < size; ++i) {
            key[0] |= static_cast<uint64_t>(static_cast<unsigned char>(data[i])) << (8 * i);
        }
    }
    for (const NumberMemo::Entry& entry : memo.entries) {
        if (entry.key[0] == key[0] && entry.key[1] == key[1] && entry.size == size) return entry;
    }
    NumberMemo::Entry& entry = memo.entries[memo.next];
    memo.next = (memo.next + 1) % memo.entries.size();
    entry.key[0] = key[0];
    entry.key[1] = key[1];
    entry.size = size;
    entry.value = NumberOf(text);
    entry.degrees = DegreesOfNmea(entry.value);
    return entry;
}

}  // namespace

void RecordCoordTexts(RunContext& ctx, const std::string& nmea, std::string& degrees,
                      std::string& dms) {
    degrees.clear();
    dms.clear();
    if (nmea.empty()) return;
    NumberMemo::Entry scratch;
    const NumberMemo::Entry& number = RememberedNumberOf(ctx.geo.numbers, nmea, scratch);
    TextsOfNmea(number.value, number.degrees, degrees, dms);
}

HemisphereSigns HemisphereSign(const RunContext& ctx, const std::string& ns, const std::string& ew) {
    return HemisphereSign(ns, ew, ctx.settings.config.LatitudeNS, ctx.settings.config.LongitudeWE);
}

HemisphereSigns HemisphereSign(const RunContext& ctx) {
    return HemisphereSign(ctx, ctx.point.RmcNS, ctx.point.RmcEW);
}

double TrackDistance(RunContext& ctx, const PointTexts& other) {
    const TrackPoint& point = ctx.point;
    NumberMemo& memo = ctx.geo.numbers;
    NumberMemo::Entry scratch;
    const HemisphereSigns here = HemisphereSign(ctx);
    const HemisphereSigns there = HemisphereSign(ctx, other.NS, other.EW);
    const double lon1 = Signed(RememberedNumberOf(memo, point.RmcLongitude, scratch).degrees, here.longitude);
    const double lat1 = Signed(RememberedNumberOf(memo, point.RmcLatitude, scratch).degrees, here.latitude);
    const double lon2 = Signed(RememberedNumberOf(memo, other.Longitude, scratch).degrees, there.longitude);
    const double lat2 = Signed(RememberedNumberOf(memo, other.Latitude, scratch).degrees, there.latitude);
    if (lon1 == 0.0 || lat1 == 0.0 || lon2 == 0.0 || lat2 == 0.0) return 0.0;

    // Zeros are out of the way, so equal degrees are equal bits.
    DistanceMemo& last = ctx.geo.distance;
    if (!last.valid || last.lon1 != lon1 || last.lat1 != lat1 || last.lon2 != lon2 || last.lat2 != lat2) {
        last = DistanceMemo{lon1, lat1, lon2, lat2, HubenyKm(lon1, lat1, lon2, lat2), true};
    }
    const double d = last.km;

    if (ctx.Current().Altitude != 0 && d > 0.0) {
        return SlopeKm(d, RememberedNumberOf(memo, point.GgaAltitude, scratch).value,
                       RememberedNumberOf(memo, other.Altitude, scratch).value);
    }
    return d;
}

namespace {

// LocalDateTime, returning the local time of day in seconds as it computed it.
int64_t LocalDateTimeSeconds(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    return LocalFromUtc(point.RmcDate, point.RmcTime, ctx.run.TimeDifferenceValue, point.LocalDate,
                        point.LocalTime);
}

// Distances from the previous point and from the placemark anchor, in the
// unit system of the run.
void DeriveDistances(RunContext& ctx, UnitSystem unitSystem) {
    TrackPoint& point = ctx.point;
    TrackStore& store = ctx.store;
    if (!store.DerivedPrevious.Longitude.empty()) {
        point.IntervalDistance = TrackDistance(ctx, store.DerivedPrevious);
        point.StartDistance = TrackDistance(ctx, store.PlacemarkAnchor);
    } else {
        point.IntervalDistance = 0.0;
        point.StartDistance = 0.0;
    }
    if (store.PlacemarkAnchor.Longitude.empty()) store.PlacemarkAnchor.Take(point);
    store.DerivedPrevious.Take(point);
    point.IntervalDistance = DistanceInUnitSystem(unitSystem, point.IntervalDistance);
    point.StartDistance = DistanceInUnitSystem(unitSystem, point.StartDistance);
    point.TotalDistance += point.IntervalDistance;
}

// Local date and time, and their calendar time in whole seconds. A time of
// day within the day reads back from LocalTime as it was written.
int64_t DeriveLocalStamp(RunContext& ctx) {
    const TrackPoint& point = ctx.point;
    const int64_t seconds = LocalDateTimeSeconds(ctx);
    const int64_t days = DayNumberOf(point.LocalDate);
    const int64_t timeOfDay = seconds >= 0 && seconds < kSecondsPerDay ? seconds : SecondsOfClock(point.LocalTime);
    const bool hasTime = !point.RmcTime.empty() && point.RmcTime[0] >= '0' && point.RmcTime[0] <= '9';
    if (ctx.store.WrittenCount >= 1 && hasTime && !IsCalendarDate(point.LocalDate)) {
        // Without a date the record is on the day of the record before, or the
        // next day when its time of day is earlier: never before it. (A record
        // without a time either, an empty epoch, keeps its meaningless stamp,
        // which the range checks of DeriveSeconds turn into 0 s.)
        return SameOrNextDay(static_cast<int64_t>(ctx.store.PreviousTime), timeOfDay);
    }
    return days * kSecondsPerDay + timeOfDay;
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

void LocalDateTime(RunContext& ctx) { LocalDateTimeSeconds(ctx); }

void ComputeDerived(RunContext& ctx) {
    TrackPoint& point = ctx.point;
    const UnitSystem unitSystem = ctx.run.Units;
    DeriveDistances(ctx, unitSystem);
    const int64_t stamp = DeriveLocalStamp(ctx);

    // The coordinate texts, altitude, speed, date and time texts, course.
    RecordCoordTexts(ctx, point.RmcLongitude, point.LongitudeDeg, point.LongitudeDms);
    RecordCoordTexts(ctx, point.RmcLatitude, point.LatitudeDeg, point.LatitudeDms);
    point.AltitudeText.assign(point.GgaAltitude);
    point.AltitudeValue = NumberOf(point.AltitudeText);
    point.Speed = SpeedInUnitSystem(unitSystem, NumberOf(point.RmcSpeed));
    LocalTimeText(point.LocalTimeText, point.LocalTime);
    LocalDateText(point.LocalDateText, point.LocalDate);
    point.CourseValue = NumberOf(point.RmcCourse);

    DeriveSeconds(point, ctx.store, stamp);
}

}  // namespace geoplait
