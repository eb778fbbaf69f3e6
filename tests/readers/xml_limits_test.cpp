// Hostile and very long XML inputs: nesting and unfinished tokens beyond the
// bounds make the document broken there, the records before stay; a long
// KML path dated after its coordinates is held in a temporary file and every
// tuple gets its placemark's time.
#include <gtest/gtest.h>

#include <string>

#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"
#include "readers/xml_stream.h"
#include "support/temp_dir.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

using test::TempDir;
using test::WriteFileBytes;

std::string Nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += "<e>";
    for (int i = 0; i < levels; ++i) text += "</e>";
    return text;
}

// The points read from a GPX document and the reader's error.
struct GpxRead {
    int points = 0;
    std::string error;
};

GpxRead ReadGpx(const std::string& path) {
    TrackPoint point;
    GpxReader reader;
    EXPECT_TRUE(reader.Open(path));
    GpxRead read;
    for (;;) {
        ClearTrackPoint(point);
        if (!reader.Next(point)) break;
        ++read.points;
    }
    read.error = reader.Error();
    return read;
}

const std::string kGpxHead =
    "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n"
    "<trkpt lat=\"10\" lon=\"20\"/>\n";
const std::string kGpxTail = "<trkpt lat=\"11\" lon=\"21\"/></trkseg></trk></gpx>\n";

TEST(XmlLimits, NestingBeyond256LevelsBreaksTheDocumentThere) {
    TempDir dir;
    // gpx, trk and trkseg are three levels.
    const struct {
        int levels;
        int points;
        std::string error;
    } cases[] = {
        {253, 2, ""},
        {254, 1, "line 4, column 762: elements nested deeper than 256 levels"},
        {100000, 1, "line 4, column 762: elements nested deeper than 256 levels"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File("nested.gpx");
        WriteFileBytes(path, kGpxHead + Nested(c.levels) + "\n" + kGpxTail);
        const GpxRead read = ReadGpx(path);
        EXPECT_EQ(read.points, c.points) << c.levels;
        EXPECT_EQ(read.error, c.error) << c.levels;
    }
}

TEST(XmlLimits, SixteenMebibytesWithoutMarkupEndingBreakTheDocument) {
    TempDir dir;
    const std::string path = dir.File("attribute.gpx");
    const auto attribute = [&](size_t bytes) {
        WriteFileBytes(path, kGpxHead + "<trkpt lat=\"12\" lon=\"22\" note=\"" + std::string(bytes, 'a') +
                                 "\"/>\n" + kGpxTail);
        return ReadGpx(path);
    };
    // Long, but within the bound: the whole document reads.
    GpxRead read = attribute(size_t{1} << 20);
    EXPECT_EQ(read.points, 3);
    EXPECT_EQ(read.error, "");
    read = attribute(size_t{17} << 20);
    EXPECT_EQ(read.points, 1);
    EXPECT_EQ(read.error, "line 4, column 0: more than 16 MiB without markup ending");
}

// The records of a KML document in the Line variant: count, first and last
// time, and how many of them carry `time`.
struct KmlRead {
    int records = 0;
    int timed = 0;
    int named = 0;
    std::string firstLatitude;
    std::string lastLatitude;
};

KmlRead ReadKmlLine(const std::string& path, const std::string& time) {
    const ConvertSettings defaults;
    TrackPoint point;
    KmlReader reader;
    EXPECT_TRUE(reader.Open(path, {.line = true, .toCsvCustom = false}, defaults, 0));
    KmlRead read;
    for (;;) {
        ClearTrackPoint(point);
        if (!reader.Next(point)) break;
        DegreesText(point.Position, point.Position.latitude, read.lastLatitude);
        if (read.records++ == 0) read.firstLatitude = read.lastLatitude;
        if (test::UtcTimeText(point) == time) ++read.timed;
        if (!point.ExtendData.empty()) ++read.named;
    }
    EXPECT_EQ(reader.Error(), "");
    return read;
}

// One placemark of `tuples` distinct tuples on one line (as Google Earth
// writes them), its time stamp after the geometry.
std::string Placemark(int tuples, int first, const std::string& when) {
    std::string text = "<Placemark><name>p" + std::to_string(first) + "</name><LineString><coordinates>";
    char tuple[64];
    for (int i = first; i < first + tuples; ++i) {
        std::snprintf(tuple, sizeof tuple, "%s139.%06d,35.%06d,%d", i == first ? "" : " ", i, i, i % 100);
        text += tuple;
    }
    return text + "</coordinates></LineString><TimeStamp><when>" + when + "</when></TimeStamp></Placemark>\n";
}

TEST(KmlLongPath, HeldBeyondOneMebibyteEveryTupleGetsItsTime) {
    TempDir dir;
    const std::string path = dir.File("long.kml");
    // About 1.5 MiB of coordinates in the first placemark, a short second one.
    const int kLong = 60000;
    WriteFileBytes(path, "<?xml version=\"1.0\"?>\n<kml><Document>\n" +
                             Placemark(kLong, 0, "2024-05-05T05:05:05Z") +
                             Placemark(3, kLong, "2024-05-05T06:06:06Z") + "</Document></kml>\n");
    KmlRead read = ReadKmlLine(path, "050505");
    EXPECT_EQ(read.records, kLong + 3);
    EXPECT_EQ(read.timed, kLong);
    EXPECT_EQ(read.named, 2);
    EXPECT_EQ(read.firstLatitude, "35.000000");
    EXPECT_EQ(read.lastLatitude, "35.060002");
    read = ReadKmlLine(path, "060606");
    EXPECT_EQ(read.timed, 3);
}

TEST(KmlLongPath, UndatedPathReadsWhole) {
    TempDir dir;
    const std::string path = dir.File("undated.kml");
    std::string text = Placemark(50000, 0, "");
    text.erase(text.find("<TimeStamp>"), text.find("</Placemark>") - text.find("<TimeStamp>"));
    WriteFileBytes(path, "<kml><Document>" + text + Placemark(2, 50000, "2024-05-05T05:05:05Z") +
                             "</Document></kml>");
    const KmlRead read = ReadKmlLine(path, "050505");
    EXPECT_EQ(read.records, 50002);
    EXPECT_EQ(read.timed, 2);
    EXPECT_EQ(read.lastLatitude, "35.050001");  // the input's degrees, not rounded through minutes
}

}  // namespace
}  // namespace geoplait
