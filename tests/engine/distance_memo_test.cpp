// TrackDistance and RecordCoordTexts remember the numbers of the texts they
// read in ctx.geo: a long run of calls, with texts coming back, replaced and
// look-alike, must give exactly what a fresh run and CoordTexts give.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/derived_values.h"
#include "support/recording_ui.h"

namespace geoplait {
namespace {

struct DistanceRun {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    explicit DistanceRun(int altitude) { settings.current.Altitude = altitude; }
};

double FreshDistance(int altitude, const std::string (&from)[3], const std::string (&to)[3]) {
    DistanceRun run(altitude);
    run.ctx.point.RmcLongitude = from[0];
    run.ctx.point.RmcLatitude = from[1];
    run.ctx.point.GgaAltitude = from[2];
    return TrackDistance(run.ctx, {to[0], to[1], to[2], "", ""});
}

TEST(TrackDistanceMemo, RememberedTextsGiveWhatFreshRunsGive) {
    // Texts that differ only late, only in length, by a NUL, or are longer than
    // what is remembered, among ordinary positions; more of them than entries.
    const std::vector<std::string> texts = {
        "3539.5158", "3539.5159", "3539.515", "3539.51580", "13944.7270", "13944.7271",
        "", "0", "N", std::string("3539.5158\0x", 11), "12345678901234.5", "12345678901234.56",
        "123456789012345.6", "0003539.5158", "-3539.5158", " 3539.5158", "43.1", "-12.5",
        "3539.5158*57", "99999999999999999999", "1e3", "12.3456", "12.3457", "1.23", "1.24",
        "9", "8", "12", "13", "123456789.123456", "123456789.123457",
    };
    std::mt19937 random(3);
    for (int altitude : {0, 1}) {
        DistanceRun run(altitude);
        for (int n = 0; n < 5000; ++n) {
            std::string from[3];
            std::string to[3];
            for (std::string& t : from) t = texts[random() % texts.size()];
            for (std::string& t : to) t = texts[random() % texts.size()];
            // Each a record of its own, as the readers hand them on.
            ClearTrackPoint(run.ctx.point);
            run.ctx.point.RmcLongitude = from[0];
            run.ctx.point.RmcLatitude = from[1];
            run.ctx.point.GgaAltitude = from[2];
            const double got = TrackDistance(run.ctx, {to[0], to[1], to[2], "", ""});
            const double want = FreshDistance(altitude, from, to);
            ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
                << from[0] << "," << from[1] << " to " << to[0] << "," << to[1];
            // A point taken from a record whose position was read keeps the
            // numbers, and measures exactly what its texts measure.
            {
                DistanceRun other(altitude);
                other.ctx.point.RmcLongitude = to[0];
                other.ctx.point.RmcLatitude = to[1];
                other.ctx.point.GgaAltitude = to[2];
                ReadPosition(other.ctx);
                PointTexts taken;
                taken.Take(other.ctx.point);
                ASSERT_TRUE(taken.numbersKnown);
                const double fromTaken = TrackDistance(run.ctx, taken);
                ASSERT_EQ(std::bit_cast<uint64_t>(fromTaken), std::bit_cast<uint64_t>(want))
                    << from[0] << "," << from[1] << " to " << to[0] << "," << to[1];
            }
            // The record's texts come out as CoordTexts makes them.
            for (const std::string& nmea : {from[0], to[1]}) {
                std::string degrees = "stale";
                std::string dms = "stale";
                RecordCoordTexts(run.ctx, nmea, degrees, dms);
                std::string nmeaCopy = nmea;
                std::string wantDegrees;
                std::string wantDms;
                CoordTexts(nmeaCopy, wantDegrees, wantDms);
                ASSERT_EQ(degrees, wantDegrees) << nmea;
                ASSERT_EQ(dms, wantDms) << nmea;
            }
        }
    }
}

TEST(TrackDistanceMemo, ARecordMeasuredAgainstManyPointsGivesFreshDistances) {
    // One record measured again and again against a few points, more of them
    // than the record keeps distances to, in every order.
    const std::string points[][3] = {
        {"13944.7287", "3539.5175", "42.5"}, {"13944.7270", "3539.5158", "43.1"},
        {"13944.9000", "3539.6000", ""},     {"13944.7287", "3539.5175", "12"},
        {"00030.0000", "5130.0000", "7"},
    };
    const std::string here[3] = {"13944.7310", "3539.5200", "42.2"};
    std::mt19937 random(7);
    for (int altitude : {0, 1}) {
        DistanceRun run(altitude);
        run.ctx.point.RmcLongitude = here[0];
        run.ctx.point.RmcLatitude = here[1];
        run.ctx.point.GgaAltitude = here[2];
        for (int n = 0; n < 200; ++n) {
            const auto& to = points[random() % std::size(points)];
            const double want = FreshDistance(altitude, here, to);
            ASSERT_EQ(std::bit_cast<uint64_t>(TrackDistance(run.ctx, {to[0], to[1], to[2], "", ""})),
                      std::bit_cast<uint64_t>(want))
                << to[0] << "," << to[1] << "," << to[2];
        }
    }
}

}  // namespace
}  // namespace geoplait
