// A record keeps the distances it was measured with, and the run the last
// distance: measured again and again, a record must give exactly what a
// fresh run gives.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

#include "engine/derived_values.h"
#include "support/record_position.h"
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
    test::SetPositionTexts(run.ctx.point, from[0], from[1]);
    run.ctx.point.GgaAltitude = from[2];
    ReadRecordValues(run.ctx.point);
    return TrackDistance(run.ctx, test::PointOf(to[0], to[1], to[2]));
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
        test::SetPositionTexts(run.ctx.point, here[0], here[1]);
        run.ctx.point.GgaAltitude = here[2];
        ReadRecordValues(run.ctx.point);
        for (int n = 0; n < 200; ++n) {
            const auto& to = points[random() % std::size(points)];
            const double want = FreshDistance(altitude, here, to);
            ASSERT_EQ(std::bit_cast<uint64_t>(TrackDistance(run.ctx, test::PointOf(to[0], to[1], to[2]))),
                      std::bit_cast<uint64_t>(want))
                << to[0] << "," << to[1] << "," << to[2];
        }
    }
}

}  // namespace
}  // namespace geoplait
