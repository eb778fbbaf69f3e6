// GPX points are read ahead of the one given, each in a slot of its own: a
// point keeps its own values and its own place in the input however many
// points come between two pauses of the parser, and the points read before
// the document breaks are all given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geo/coordinates.h"
#include "readers/gpx_reader.h"
#include "readers/reader_text.h"
#include "readers/xml_stream.h"
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

// A document in a file of its own, opened by a reader.
struct GpxFile {
    explicit GpxFile(const std::string& doc) {
        test::WriteFileBytes(dir.File("in.gpx"), doc);
        opened = reader.Open(dir.File("in.gpx"));
    }
    test::TempDir dir;
    GpxReader reader;
    bool opened = false;
};

TEST(GpxPointsAhead, EachPointKeepsItsValuesAndItsPlace) {
    for (const int count : {0, 1, 62, 63, 64, 65, 126, 127, 128, 300}) {
        for (const bool broken : {false, true}) {
            SCOPED_TRACE(std::to_string(count) + (broken ? " broken" : ""));
            std::vector<Expected> expected;
            std::string doc = Points(count, expected);
            doc += broken ? "<trkpt lat=\"1\" lon=\"2\"><name>cut</trkpt>\n" : "</trkseg></trk></gpx>\n";
            GpxFile file(doc);
            ASSERT_TRUE(file.opened);
            GpxReader& reader = file.reader;
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

// The reader reads a record's numbers of the texts it fills as
// ReadRecordValues reads them, whatever the texts: a number kept as it
// stands, with a sign, cut to its characters, written out of an exponent,
// spaced, or no number at all; by the plain scan and by the parser (a
// reference makes the point's markup the parser's).
TEST(GpxPointsAhead, RecordNumbersAreThoseOfTheirTexts) {
    const char* const texts[] = {"43.1",   "-43.1",           "+5",    ".5",   "5.",    "0043.10",
                                 "1.397e2", "12345678901234", "123456789012345", "1234567890123.5",
                                 " 7\n",   "abc",             "",      "1e400", "-0",    "0.000000000001",
                                 "9007199254740993", "3.14159265358979"};
    std::string doc = "<gpx version=\"1.0\"><trk><trkseg>\n";
    size_t points = 0;
    for (const bool parsed : {false, true}) {
        for (const char* text : texts) {
            const std::string t = text;
            const char* const reference = parsed ? "<desc>&amp;</desc>" : "";
            doc += "<trkpt lat=\"1\" lon=\"2\">" + std::string(reference) + "<ele>" + t + "</ele><course>" + t +
                   "</course><sat>" + t + "</sat></trkpt>\n";
            // The course of the extension where the point has none.
            doc += "<trkpt lat=\"1\" lon=\"2\"><extensions><gpxtpx:TrackPointExtension><gpxtpx:course>" + t +
                   "</gpxtpx:course></gpxtpx:TrackPointExtension></extensions></trkpt>\n";
            points += 2;
        }
    }
    doc += "</trkseg></trk></gpx>\n";
    GpxFile file(doc);
    ASSERT_TRUE(file.opened);
    GpxReader& reader = file.reader;
    TrackPoint point;
    size_t given = 0;
    while (reader.Next(point)) {
        TrackPoint read = point;
        ReadRecordValues(read);
        const std::string text = texts[given / 2 % std::size(texts)];
        EXPECT_EQ(point.Values.altitude, read.Values.altitude) << text << " " << point.GgaAltitude;
        EXPECT_EQ(point.Values.course, read.Values.course) << text << " " << point.RmcCourse;
        EXPECT_EQ(point.Values.satellites, read.Values.satellites) << text;
        EXPECT_EQ(point.Values.dilution, read.Values.dilution) << text;
        // The texts held are those of TakeXmlNumber, cut to their characters.
        std::string tidy = text;
        TidyText(tidy);
        std::string held;
        TakeXmlNumber(tidy, 14, held);
        EXPECT_EQ(given % 2 == 0 ? point.GgaAltitude : held, held) << text;
        EXPECT_EQ(point.RmcCourse, held) << text;
        ClearTrackPoint(point);
        point.Values = RecordValues{{1.0, true}, {1.0, true}, {1.0, true}, {1.0, true}, {1.0, true}};
        ++given;
    }
    EXPECT_EQ(given, points);
    EXPECT_EQ(reader.PlainPointsRead(), points - std::size(texts)) << "some by the parser";
}

}  // namespace
}  // namespace geoplait
