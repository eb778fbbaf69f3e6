// GPX points are read ahead of the one given, each in a slot of its own: a
// point keeps its own values and its own place in the input however many
// points come between two pauses of the parser, and the points read before
// the document breaks are all given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geo/coordinates.h"
#include "readers/gpx_reader.h"
#include "support/temp_dir.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

struct Expected {
    std::string latitude;
    std::string name;
    std::string altitude;
    std::string time;
    uint64_t bytes;  // the input up to the end of the point
};

// Points of three kinds in turn: an empty element, one with a name and an
// altitude, one with a time alone (a slot that held a name before must not
// give it again).
std::string Points(int count, std::vector<Expected>& expected) {
    std::string doc = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        const std::string latitude = std::to_string(i % 90) + "." + std::to_string(i);
        Expected e{latitude, "", "", "", 0};
        switch (i % 3) {
            case 0:
                doc += "<wpt lat=\"" + latitude + "\" lon=\"1\"/>";
                break;
            case 1:
                doc += "<trkpt lat=\"" + latitude + "\" lon=\"1\">\n <name>p" + n + "</name><ele>" + n +
                       "</ele>\n</trkpt>";
                e.name = "p" + n;
                e.altitude = n;
                break;
            default:
                doc += "<rtept lat=\"" + latitude + "\" lon=\"1\"><time>2024-05-01T10:00:" +
                       std::string(i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + "Z</time></rtept>";
                e.time = std::string(i % 60 < 10 ? "10000" : "1000") + std::to_string(i % 60);
                break;
        }
        e.bytes = doc.size();
        expected.push_back(e);
        doc += "\n";
    }
    return doc;
}

TEST(GpxPointsAhead, EachPointKeepsItsValuesAndItsPlace) {
    for (const int count : {0, 1, 14, 15, 16, 17, 30, 31, 32, 100}) {
        for (const bool broken : {false, true}) {
            SCOPED_TRACE(std::to_string(count) + (broken ? " broken" : ""));
            std::vector<Expected> expected;
            std::string doc = Points(count, expected);
            doc += broken ? "<trkpt lat=\"1\" lon=\"2\"><name>cut</trkpt>\n" : "</trkseg></trk></gpx>\n";
            test::TempDir dir;
            test::WriteFileBytes(dir.File("in.gpx"), doc);
            GpxReader reader;
            ASSERT_TRUE(reader.Open(dir.File("in.gpx")));
            TrackPoint point;
            size_t given = 0;
            while (reader.Next(point)) {
                ASSERT_LT(given, expected.size());
                const Expected& e = expected[given];
                EXPECT_EQ(point.Position.latitude.degrees, std::stod(e.latitude)) << given;
                EXPECT_EQ(point.PointName, e.name) << given;
                EXPECT_EQ(point.GgaAltitude, e.altitude) << given;
                EXPECT_EQ(test::UtcTimeText(point), e.time) << given;
                EXPECT_EQ(reader.BytesRead(), e.bytes) << given;
                ClearTrackPoint(point);
                ++given;
            }
            EXPECT_EQ(given, expected.size());
            EXPECT_EQ(reader.Error().empty(), !broken) << reader.Error();
        }
    }
}

}  // namespace
}  // namespace geoplait
