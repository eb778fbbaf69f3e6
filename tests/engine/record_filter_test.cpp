#include "engine/record_filter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "geo/time_difference.h"
#include "support/recording_ui.h"

namespace geoplait {
namespace {

struct Fixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    ConvertSettings& s() { return settings.current; }
};

struct Record {
    std::string longitude = "13900.0000";
    std::string latitude = "3500.0000";
    std::string satellites = "8";
    std::string dilution = "1";
    std::string date = "010113";
    std::string time = "120000";
};

void Load(RunContext& ctx, const Record& r) {
    ctx.point.RmcLongitude = r.longitude;
    ctx.point.RmcLatitude = r.latitude;
    ctx.point.GgaSatellites = r.satellites;
    ctx.point.GgaDilution = r.dilution;
    ctx.point.RmcDate = r.date;
    ctx.point.RmcTime = r.time;
}

using Filter = std::function<bool(RunContext&)>;

struct Variant {
    const char* name;
    Filter accept;
    bool kml;  // the KML emitters zero SinceWrittenDistance after each written record
};

const Variant kEmitterNmea{"emitter nmea", [](RunContext& c) { return AcceptRecordForEmitter(c, true); }, false};
const Variant kEmitterCsv{"emitter csv", [](RunContext& c) { return AcceptRecordForEmitter(c, false); }, false};
const Variant kKmlNmea{"kml nmea", AcceptRecordForKmlNmea, true};
const Variant kKmlCsv{"kml csv", AcceptRecordForKmlCsv, true};
const Variant kInRange{"in range", AcceptRecordInRange, false};

// Runs records through a filter as a pass does; returns the numbers (from 1)
// of the records written.
std::vector<int> RunPass(Fixture& f, const Variant& v, const std::vector<Record>& records) {
    if (v.kml) f.ctx.store.SinceWrittenDistance = 9999999.0;
    std::vector<int> written;
    for (const Record& r : records) {
        Load(f.ctx, r);
        if (v.accept(f.ctx)) {
            written.push_back(f.ctx.store.RecordIndex + 1);
            ++f.ctx.store.WrittenCount;
            if (v.kml) f.ctx.store.SinceWrittenDistance = 0.0;
        }
        ++f.ctx.store.RecordIndex;
        ClearTrackPoint(f.ctx.point);
    }
    return written;
}

TEST(AcceptRecord, RecordRangeCountsEveryRecordRead) {
    // Record 2 is error data, dropped before the range is looked at.
    std::vector<Record> records(9);
    records[1].longitude = "";
    records[1].latitude = "";
    for (const Variant* v : {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv, &kInRange}) {
        Fixture f;
        f.s().IncludeData = 1;
        f.s().OmitErrorData = 1;
        f.ctx.run.RecordRangeStart = 5;
        f.ctx.run.RecordRangeEnd = 7;
        f.ctx.run.DilutionThreshold = 99;
        EXPECT_EQ(RunPass(f, *v, records), (std::vector<int>{5, 6, 7})) << v->name;
    }
}

TEST(AcceptRecord, RecordRangeOffWritesAll) {
    for (const Variant* v : {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv, &kInRange}) {
        Fixture f;
        f.ctx.run.RecordRangeStart = 5;
        f.ctx.run.RecordRangeEnd = 7;
        EXPECT_EQ(RunPass(f, *v, std::vector<Record>(3)), (std::vector<int>{1, 2, 3})) << v->name;
    }
}

TEST(AcceptRecord, SatelliteAndDilutionThresholdsActOnKmlWithIncludeDataOnly) {
    Record three;
    three.satellites = "3";
    Record none;
    none.satellites = "";
    Record junk;
    junk.satellites = "n/a";
    Record hazy;
    hazy.dilution = "6";
    const std::vector<Record> records = {three, none, junk, hazy, Record{}};
    const struct {
        const Variant* variant;
        int includeData;
        std::vector<int> want;
    } cases[] = {
        {&kKmlNmea, 0, {1, 2, 3, 4, 5}}, {&kKmlNmea, 1, {2, 3, 5}},
        {&kKmlCsv, 0, {1, 2, 3, 4, 5}},  {&kKmlCsv, 1, {2, 3, 5}},
        {&kEmitterNmea, 1, {1, 2, 3, 4, 5}}, {&kEmitterCsv, 1, {1, 2, 3, 4, 5}},
        {&kInRange, 1, {1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.s().IncludeData = c.includeData;
        f.ctx.run.RecordRangeStart = 1;
        f.ctx.run.RecordRangeEnd = 100;
        f.ctx.run.SatelliteThreshold = 5;
        f.ctx.run.DilutionThreshold = 5;
        EXPECT_EQ(RunPass(f, *c.variant, records), c.want)
            << c.variant->name << " IncludeData=" << c.includeData;
    }
    Fixture f;
    Load(f.ctx, none);
    AcceptRecordForKmlNmea(f.ctx);
    EXPECT_EQ(f.ctx.point.SatCount, 999);
}

// Points about 30 m apart northwards from 35 N.
std::vector<Record> PointsThirtyMetresApart(int count) {
    std::vector<Record> records(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        char latitude[32];
        std::snprintf(latitude, sizeof latitude, "%9.4f", 3500.0 + i * 0.016227);
        records[static_cast<size_t>(i)].latitude = latitude;
    }
    return records;
}

TEST(AcceptRecord, ThinningDistanceAlongTheTrack) {
    const struct {
        const Variant* variant;
        const char* meterMile;
        std::vector<int> want;
    } cases[] = {
        {&kKmlNmea, "Km/Meter", {1, 5, 9, 13}},
        {&kKmlCsv, "Km/Meter", {1, 5, 9, 13}},
        // In nautical miles the sum is compared with the km threshold as it is.
        {&kKmlNmea, "Nautical Mile/Feet", {1, 8}},
        {&kKmlCsv, "Nautical Mile/Feet", {1, 5, 9, 13}},
        {&kEmitterNmea, "Km/Meter", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.s().IncludeData = 1;
        f.s().MeterMile = c.meterMile;
        f.ctx.run.RecordRangeStart = 1;
        f.ctx.run.RecordRangeEnd = 100;
        f.ctx.run.DilutionThreshold = 99;
        f.ctx.run.ThinningDistance = 100 / 1000.0;
        EXPECT_EQ(RunPass(f, *c.variant, PointsThirtyMetresApart(14)), c.want)
            << c.variant->name << " " << c.meterMile;
    }
}

TEST(AcceptRecord, OmitErrorDataNeedsBothCoordinatesMissing) {
    Record latitudeOnly;
    latitudeOnly.longitude = "";
    Record longitudeOnly;
    longitudeOnly.latitude = "";
    Record neither;
    neither.longitude = "";
    neither.latitude = "";
    const std::vector<Record> records = {latitudeOnly, longitudeOnly, neither, Record{}};
    const struct {
        const Variant* variant;
        int omit;
        std::vector<int> want;
    } cases[] = {
        {&kEmitterNmea, 1, {1, 2, 4}}, {&kKmlNmea, 1, {1, 2, 4}}, {&kKmlCsv, 1, {1, 2, 4}},
        {&kEmitterNmea, 0, {1, 2, 3, 4}}, {&kKmlNmea, 0, {1, 2, 3, 4}},
        {&kKmlCsv, 0, {1, 2, 3, 4}}, {&kInRange, 1, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.s().OmitErrorData = c.omit;
        EXPECT_EQ(RunPass(f, *c.variant, records), c.want) << c.variant->name << " " << c.omit;
    }
}

TEST(AcceptRecord, DateWindowInLocalTimeBothEndsIncluded) {
    // UTC 23:00 on 31/12/12 is 08:00 on 01/01/13 at "+ 9:00".
    const struct {
        std::string date, time;
        bool inside;
    } records[] = {
        {"311212", "225959", false}, {"311212", "230000", true}, {"311212", "235959", true},
        {"010113", "010000", true},  {"010113", "010001", false}, {"", "230000", false},
    };
    for (const Variant* v : {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv}) {
        for (const auto& r : records) {
            Fixture f;
            f.s().IncludeData_date = 1;
            f.ctx.run.TimeDifferenceValue = 90000;
            f.ctx.run.RangeStartStamp = "20130101080000";
            f.ctx.run.RangeEndStamp = "20130101100000";
            Record record;
            record.date = r.date;
            record.time = r.time;
            const std::vector<int> want = r.inside ? std::vector<int>{1} : std::vector<int>{};
            EXPECT_EQ(RunPass(f, *v, {record}), want) << v->name << " " << r.date << " " << r.time;
        }
    }
    Fixture f;
    f.ctx.run.RangeStartStamp = "20990101000000";
    f.ctx.run.RangeEndStamp = "20000101000000";
    Record r;
    EXPECT_EQ(RunPass(f, kInRange, {r}), std::vector<int>{1});  // no date window here
}

TEST(AcceptRecord, ErrorDataMovesThePreviousPointOnlyInTheCsvVariant) {
    Record a;
    Record error;
    error.longitude = "";
    error.latitude = "";
    Record c;
    c.latitude = "3501.0000";
    const struct {
        const Variant* variant;
        double gap;  // km; the metric unit system keeps km
    } cases[] = {
        {&kKmlNmea, 1.8488168},
        {&kKmlCsv, 0.0},
        {&kEmitterNmea, 1.8488168},
    };
    for (const auto& k : cases) {
        Fixture f;
        f.s().OmitErrorData = 1;
        EXPECT_EQ(RunPass(f, *k.variant, {a, error, c}), (std::vector<int>{1, 3})) << k.variant->name;
        EXPECT_NEAR(f.ctx.store.GapDistance, k.gap, 1e-6) << k.variant->name;
    }
}

TEST(AcceptRecord, GapDistanceUnitAndRunningSum) {
    Record a;
    Record b;
    b.latitude = "3501.0000";
    const struct {
        const Variant* variant;
        double gap;
    } cases[] = {
        {&kEmitterNmea, 1.8488168 / 1.852},
        {&kKmlNmea, 1.8488168 / 1.852},
        {&kKmlCsv, 1.8488168},
    };
    for (const auto& k : cases) {
        Fixture f;
        f.s().MeterMile = "Nautical Mile/Feet";
        f.ctx.store.GapDistance = 42.0;
        f.ctx.store.SinceWrittenDistance = 1.0;
        Load(f.ctx, a);
        ASSERT_TRUE(k.variant->accept(f.ctx));
        EXPECT_EQ(f.ctx.store.GapDistance, 42.0) << "first record keeps the gap, " << k.variant->name;
        EXPECT_EQ(f.ctx.store.PreviousPoint, (PointTexts{a.longitude, a.latitude, ""}));
        Load(f.ctx, b);
        ASSERT_TRUE(k.variant->accept(f.ctx));
        EXPECT_NEAR(f.ctx.store.GapDistance, k.gap, 1e-6) << k.variant->name;
        EXPECT_NEAR(f.ctx.store.SinceWrittenDistance, 1.0 + k.gap, 1e-6) << k.variant->name;
    }
}

TEST(AcceptRecord, RejectedEmitterRecordLeavesTheStateAlone) {
    Fixture f;
    f.s().IncludeData = 1;
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 2;
    Load(f.ctx, Record{});
    EXPECT_FALSE(AcceptRecordForEmitter(f.ctx, true));
    EXPECT_TRUE(f.ctx.store.PreviousPoint.Longitude.empty());
    EXPECT_TRUE(f.ctx.store.DerivedPrevious.Longitude.empty());
    EXPECT_TRUE(f.ctx.store.GroupDate.empty());
    EXPECT_EQ(f.ctx.point.SatCount, 0);
}

TEST(AcceptRecord, GroupDateFromTheFirstAcceptedRecord) {
    Record first;
    first.date = "311212";
    first.time = "230000";
    Record second;
    second.date = "020113";
    const struct {
        const Variant* variant;
        std::string want;
    } cases[] = {
        {&kEmitterNmea, "010113"}, {&kEmitterCsv, ""}, {&kKmlNmea, "010113"},
        {&kKmlCsv, ""},            {&kInRange, ""},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ctx.run.TimeDifferenceValue = 90000;
        RunPass(f, *c.variant, {first, second});
        EXPECT_EQ(f.ctx.store.GroupDate, c.want) << c.variant->name;
    }
}

TEST(AcceptRecord, AcceptedRecordsGetTheirDerivedValues) {
    for (const Variant* v : {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv, &kInRange}) {
        Fixture f;
        Load(f.ctx, Record{});
        ASSERT_TRUE(v->accept(f.ctx)) << v->name;
        EXPECT_EQ(f.ctx.point.LocalTimeText, "12:00:00") << v->name;
        EXPECT_EQ(f.ctx.point.LatitudeDeg, "35.000000") << v->name;
    }
}

TEST(RecordStamp, LocalDateAndTime) {
    const struct {
        std::string date, time;
        int32_t difference;
        std::string want;
    } cases[] = {
        {"311213", "071502", 0, "20131231071502"},
        {"311213", "150000", 90000, "20140101000000"},
        {"010312", "010000", -50000, "20120229200000"},
        {"", "000000", 90000, "20    090000"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ctx.point.RmcDate = c.date;
        f.ctx.point.RmcTime = c.time;
        f.ctx.run.TimeDifferenceValue = c.difference;
        EXPECT_EQ(RecordStamp(f.ctx), c.want) << c.date << " " << c.time;
    }
}

}  // namespace
}  // namespace geoplait
