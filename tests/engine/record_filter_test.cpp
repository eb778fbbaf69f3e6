#include "engine/record_filter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "geo/time_difference.h"
#include "settings/settings_keys.h"
#include "support/record_position.h"
#include "support/recording_ui.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

struct Fixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
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
    // As a reader hands the next record on: the one before was cleared.
    ClearTrackPoint(ctx.point);
    test::SetPositionTexts(ctx.point, r.longitude, r.latitude);
    ctx.point.GgaSatellites = r.satellites;
    ctx.point.GgaDilution = r.dilution;
    ctx.point.RmcDate = r.date;
    ctx.point.RmcTime = r.time;
    ReadTimeTexts(ctx.point);
    ReadRecordValues(ctx.point);
}

struct Variant {
    const char* name;
    std::function<bool(RunContext&)> accept;
    bool kml;  // the KML emitters zero SinceWrittenDistance after each written record
};

const Variant kEmitterNmea{"emitter nmea", [](RunContext& c) { return AcceptRecordForEmitter(c, true); }, false};
const Variant kEmitterCsv{"emitter csv", [](RunContext& c) { return AcceptRecordForEmitter(c, false); }, false};
const Variant kKmlNmea{"kml nmea", AcceptRecordForKmlNmea, true};
const Variant kKmlCsv{"kml csv", AcceptRecordForKmlCsv, true};
const Variant kInRange{"in range", AcceptRecordInRange, false};
const std::vector<const Variant*> kAll = {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv, &kInRange};

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

TEST(AcceptRecord, Passes) {
    const Record error{.longitude = "", .latitude = ""};
    std::vector<Record> nine(9);
    nine[1] = error;  // dropped as error data before the range is looked at
    const std::vector<Record> sats = {{.satellites = "3"}, {.satellites = ""}, {.satellites = "n/a"},
                                      {.dilution = "6"}, {}};
    // Against limits of 2 (HDOP) and 5 (satellites): each counts by its whole
    // part, whatever the notation.
    const std::vector<Record> hdops = {{.dilution = "2"},   {.dilution = "2.9"}, {.dilution = "3.0"},
                                       {.dilution = "3"},   {.dilution = "1e3"}, {.dilution = "2e0"},
                                       {.dilution = "0.9"}, {.dilution = ""},    {.dilution = "-4"}};
    const std::vector<Record> satCounts = {{.satellites = "5"},   {.satellites = "4.9"}, {.satellites = "05.0"},
                                           {.satellites = "0"},   {.satellites = "1e1"}, {.satellites = "4"},
                                           {.satellites = "5e-1"}};
    const std::vector<Record> halfErrors = {{.longitude = ""}, {.latitude = ""}, error, {}};
    // UTC 23:00 on 31/12/12 is 08:00 on 01/01/13 at "+ 9:00"; both ends are inside.
    const std::vector<Record> window = {{.date = "311212", .time = "225959"}, {.date = "311212", .time = "230000"},
                                        {.date = "311212", .time = "235959"}, {.date = "010113", .time = "010000"},
                                        {.date = "010113", .time = "010001"}, {.date = "", .time = "230000"}};
    const std::vector<Record> errorBetween = {{}, error, {.latitude = "3501.0000"}};
    const std::vector<Record> dates = {{.date = "311212", .time = "230000"}, {.date = "020113"}};
    struct Case {
        const char* name;
        std::vector<const Variant*> variants;
        std::vector<Record> records;
        std::vector<int> want;
        int includeData = 0, omitError = 0, includeDate = 0;
        const char* meterMile = "";
        int32_t rangeStart = 1, rangeEnd = 100, satellites = 0, dilution = 99;  // act with IncludeData only
        double thinningKm = 0;
        int32_t timeDifference = 0;
        const char *stampStart = "", *stampEnd = "";
        double gap = -1;                  // GapDistance afterwards, unless negative
        const char* groupDate = nullptr;  // the date group afterwards (ddmmyy), unless null
    };
    const std::vector<Record> track = PointsThirtyMetresApart(14);
    const Case cases[] = {
        {.name = "record range counts every record read", .variants = kAll, .records = nine, .want = {5, 6, 7},
         .includeData = 1, .omitError = 1, .rangeStart = 5, .rangeEnd = 7},
        {.name = "thresholds off without IncludeData", .variants = {&kKmlNmea, &kKmlCsv}, .records = sats,
         .want = {1, 2, 3, 4, 5}, .satellites = 5, .dilution = 5},
        {.name = "thresholds of the KML filters", .variants = {&kKmlNmea, &kKmlCsv}, .records = sats,
         .want = {2, 3, 5}, .includeData = 1, .satellites = 5, .dilution = 5},
        {.name = "HDOP by its whole part", .variants = {&kKmlNmea, &kKmlCsv}, .records = hdops,
         .want = {1, 2, 6, 7, 8, 9}, .includeData = 1, .dilution = 2},
        {.name = "satellites by their whole part", .variants = {&kKmlNmea, &kKmlCsv}, .records = satCounts,
         .want = {1, 3, 4, 5, 7}, .includeData = 1, .satellites = 5},
        {.name = "no thresholds elsewhere", .variants = {&kEmitterNmea, &kEmitterCsv, &kInRange}, .records = sats,
         .want = {1, 2, 3, 4, 5}, .includeData = 1, .satellites = 5, .dilution = 5},
        {.name = "thinning along the track", .variants = {&kKmlNmea, &kKmlCsv}, .records = track,
         .want = {1, 5, 9, 13}, .includeData = 1, .meterMile = "Km/Meter", .thinningKm = 0.1},
        // The distance in metres is compared in km whatever the unit shown.
        {.name = "thinning in nautical miles", .variants = {&kKmlNmea, &kKmlCsv}, .records = track,
         .want = {1, 5, 9, 13}, .includeData = 1, .meterMile = "Nautical Mile/Feet", .thinningKm = 0.1},
        {.name = "error data needs both coordinates missing",
         .variants = {&kEmitterNmea, &kKmlNmea, &kKmlCsv, &kInRange}, .records = halfErrors, .want = {1, 2, 4},
         .omitError = 1},
        {.name = "date window in local time", .variants = {&kEmitterNmea, &kEmitterCsv, &kKmlNmea, &kKmlCsv},
         .records = window, .want = {2, 3, 4}, .includeDate = 1, .timeDifference = 90000,
         .stampStart = "20130101080000", .stampEnd = "20130101100000"},
        {.name = "no date window in range", .variants = {&kInRange}, .records = {{}}, .want = {1}, .includeDate = 1,
         .stampStart = "20990101000000", .stampEnd = "20000101000000"},
        // The metric unit system keeps km.
        {.name = "error data leaves the previous point", .variants = {&kKmlNmea, &kEmitterNmea},
         .records = errorBetween, .want = {1, 3}, .omitError = 1, .gap = 1.8488168},
        {.name = "error data moves the csv previous point", .variants = {&kKmlCsv}, .records = errorBetween,
         .want = {1, 3}, .omitError = 1, .gap = 0.0},
        {.name = "group date of the first record", .variants = {&kEmitterNmea, &kKmlNmea}, .records = dates,
         .want = {1, 2}, .timeDifference = 90000, .groupDate = "010113"},
        {.name = "no group date", .variants = {&kEmitterCsv, &kKmlCsv, &kInRange}, .records = dates,
         .want = {1, 2}, .timeDifference = 90000, .groupDate = ""},
        {.name = "no group date from a record without a date", .variants = {&kEmitterNmea, &kKmlNmea},
         .records = {{.date = "000000"}, {.date = "020113"}}, .want = {1, 2}, .groupDate = "020113"},
    };
    for (const Case& c : cases) {
        for (const Variant* v : c.variants) {
            SCOPED_TRACE(std::string(c.name) + ", " + v->name);
            Fixture f;
            ConvertSettings& s = f.settings.current;
            s.IncludeData = c.includeData;
            s.OmitErrorData = c.omitError;
            s.IncludeData_date = c.includeDate;
            s.MeterMile = c.meterMile;
            RunValues& run = f.ctx.run;
            run.Units = UnitSystemOf(c.meterMile);
            run.RecordRangeStart = c.rangeStart;
            run.RecordRangeEnd = c.rangeEnd;
            run.SatelliteThreshold = c.satellites;
            run.DilutionThreshold = c.dilution;
            run.ThinningDistance = c.thinningKm;
            run.TimeDifferenceValue = c.timeDifference;
            run.RangeStartStamp = c.stampStart;
            run.RangeEndStamp = c.stampEnd;
            EXPECT_EQ(RunPass(f, *v, c.records), c.want);
            if (c.gap >= 0) {
                EXPECT_NEAR(f.ctx.store.GapDistance, c.gap, 1e-6);
            }
            if (c.groupDate != nullptr) {
                EXPECT_EQ(test::GroupDateText(f.ctx.store), c.groupDate);
            }
        }
    }
}

TEST(AcceptRecord, GapDistanceInKmAndRunningSum) {
    const Record a, b{.latitude = "3501.0000"};
    for (const Variant* variant : {&kEmitterNmea, &kKmlNmea, &kKmlCsv}) {
        const double gap = 1.8488168;
        Fixture f;
        f.settings.current.MeterMile = "Nautical Mile/Feet";
        f.ctx.run.Units = UnitSystem::NauticalMile;
        f.ctx.store.GapDistance = 42.0;
        f.ctx.store.SinceWrittenDistance = 1.0;
        Load(f.ctx, a);
        ASSERT_TRUE(variant->accept(f.ctx));
        EXPECT_EQ(f.ctx.store.GapDistance, 42.0) << "first record keeps the gap, " << variant->name;
        EXPECT_EQ(f.ctx.store.PreviousPoint, test::PointOf(a.longitude, a.latitude));
        Load(f.ctx, b);
        ASSERT_TRUE(variant->accept(f.ctx));
        EXPECT_NEAR(f.ctx.store.GapDistance, gap, 1e-6) << variant->name;
        EXPECT_NEAR(f.ctx.store.SinceWrittenDistance, 1.0 + gap, 1e-6) << variant->name;
    }
}

TEST(AcceptRecord, RecordState) {
    // A rejected emitter record leaves the state alone; a missing satellite
    // count reads as 999.
    Fixture f;
    f.settings.current.IncludeData = 1;
    f.ctx.run.RecordRangeStart = f.ctx.run.RecordRangeEnd = 2;
    Load(f.ctx, Record{.satellites = ""});
    EXPECT_FALSE(AcceptRecordForEmitter(f.ctx, true));
    EXPECT_TRUE(!f.ctx.store.PreviousPoint.Position.known && !f.ctx.store.DerivedPrevious.Position.known);
    EXPECT_FALSE(f.ctx.store.GroupDated);
    EXPECT_EQ(f.ctx.point.SatCount, 0);
    AcceptRecordForKmlNmea(f.ctx);
    EXPECT_EQ(f.ctx.point.SatCount, 999);
}

TEST(RangeStamp, FromPickerTexts) {
    const struct { const char *date, *time, *stamp; } cases[] = {
        {"2024/04/15", "03:15:00", "20240415031500"}, {"2024/04/15", "3:15:00", "20240415031500"},
        {"2024/12/31", "23:59:59", "20241231235959"},
        {"1999/01/02", "0:00:00", "20990102000000"},  // only the last two year digits
        {"", "", "200"},
        {"ab日d/04/05", "12:34:56", "20日d0405123456"},  // characters, not bytes
    };
    for (const auto& c : cases) EXPECT_EQ(RangeStamp(c.date, c.time), c.stamp) << c.date << " " << c.time;
}

}  // namespace
}  // namespace geoplait
