// The times of KML tracks (gx:Track) read from a pipe, where the whens are
// collected as they come instead of by a second cursor over the file: every
// coordinate gets the time it gets from the file, whatever the tracks hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "readers/kml_reader.h"
#include "support/fed_pipe.h"
#include "support/temp_dir.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

// One line per record: its date, time and position, then the reader's end.
std::string ReadTracks(const std::string& path, bool toCsvCustom = false) {
    const ConvertSettings defaults;
    TrackPoint point;
    KmlReader reader;
    if (!reader.Open(path, {.line = true, .toCsvCustom = toCsvCustom}, defaults, 0)) return "not opened";
    std::string dump;
    std::string latitude;
    std::string longitude;
    for (;;) {
        ClearTrackPoint(point);
        if (!reader.Next(point)) break;
        DegreesText(point.Position, point.Position.latitude, latitude);
        DegreesText(point.Position, point.Position.longitude, longitude);
        dump += test::UtcDateText(point) + " " + test::UtcTimeText(point) + " " + latitude + " " + longitude + "\n";
    }
    return dump + "dropped " + std::to_string(reader.Dropped()) + ", " + reader.Error() + "\n";
}

// Empty when equal, else the first line where two dumps part (a dump of a
// long track is too long to be shown whole).
std::string FirstDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected) return {};
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const size_t line = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t from = line == std::string::npos ? 0 : line + 1;
    return "from byte " + std::to_string(from) + ":\n" + actual.substr(from, 60) + "\ninstead of\n" +
           expected.substr(from, 60);
}

std::string When(int second) {
    char text[40];
    std::snprintf(text, sizeof text, "<when>2024-04-%02dT%02d:%02d:%02dZ</when>", 1 + second / 86400 % 28,
                  second / 3600 % 24, second / 60 % 60, second % 60);
    return text;
}

std::string Coord(int i) {
    char text[64];
    std::snprintf(text, sizeof text, "<gx:coord>139.%06d 35.%06d %d</gx:coord>", i, i, i % 100);
    return text;
}

// A track of `points` whens, then as many coordinates (as the schema orders them).
std::string Track(int points, int first) {
    std::string text = "<gx:Track>";
    for (int i = 0; i < points; ++i) text += When(first + i) + "\n";
    for (int i = 0; i < points; ++i) text += Coord(first + i) + "\n";
    return text + "</gx:Track>";
}

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">"
           "<Document>\n" +
           body + "</Document></kml>\n";
}

TEST(KmlTrackFromPipe, EveryCoordinateGetsTheTimeTheFileGives) {
    std::string interleaved = "<gx:Track>";
    for (int i = 0; i < 5; ++i) interleaved += When(i) + Coord(i);
    interleaved += "</gx:Track>";
    std::string lagging = "<gx:Track>" + When(0) + When(1);
    for (int i = 0; i < 6; ++i) lagging += Coord(i) + When(i + 2);
    lagging += "</gx:Track>";
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        {"one track", "<Placemark>" + Track(5, 0) + "</Placemark>"},
        {"two tracks", "<Placemark>" + Track(3, 0) + "</Placemark><Placemark>" + Track(4, 100) + "</Placemark>"},
        {"one placemark, a multi-track", "<Placemark><gx:MultiTrack>" + Track(3, 0) + Track(3, 50) +
                                             "</gx:MultiTrack></Placemark>"},
        {"more coordinates than whens", "<Placemark><gx:Track>" + When(1) + Coord(0) + Coord(1) + Coord(2) +
                                            "</gx:Track></Placemark>"},
        {"more whens than coordinates", "<Placemark><gx:Track>" + When(1) + When(2) + When(3) + Coord(0) +
                                            "</gx:Track>" + Track(2, 10) + "</Placemark>"},
        {"whens between the coordinates", "<Placemark>" + interleaved + "</Placemark>"},
        {"whens a step ahead", "<Placemark>" + lagging + "</Placemark>"},
        {"a track inside a track", "<Placemark><gx:Track>" + When(0) + When(1) + Coord(0) + Track(2, 1) +
                                       Coord(1) + When(2) + Coord(2) + "</gx:Track></Placemark>"},
        {"whens of a time stamp and a track", "<Placemark><TimeStamp>" + When(7) + "</TimeStamp>" + Track(2, 0) +
                                                  "<LineString><coordinates>1,2 3,4</coordinates></LineString>"
                                                  "</Placemark>"},
        {"a when too long", "<Placemark><gx:Track><when>" + std::string(10000, '9') + "</when>" + When(1) +
                                Coord(0) + Coord(1) + "</gx:Track></Placemark>"},
        {"broken in a track", "<Placemark>" + Track(4, 0).substr(0, 240)},
        // Beyond a mebibyte of whens: the rest wait in a temporary file.
        {"a long track", "<Placemark>" + Track(60000, 0) + "</Placemark>"},
        {"two long tracks", "<Placemark>" + Track(50000, 0) + Track(50000, 100000) + "</Placemark>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string document = Document(c.body);
        test::TempDir dir;
        test::WriteFileBytes(dir.File("in.kml"), document);
        const std::string fromFile = ReadTracks(dir.File("in.kml"));
        test::FedPipe pipe(document);
        EXPECT_EQ(FirstDifference(ReadTracks(pipe.Path()), fromFile), "");
        EXPECT_NE(fromFile.find(" 000001 "), std::string::npos) << "the times were read";
    }
}

TEST(KmlTrackFromPipe, NoTimesForCsvCustomOutput) {
    const std::string document = Document("<Placemark>" + Track(3, 0) + "</Placemark>");
    test::FedPipe pipe(document);
    const std::string dump = ReadTracks(pipe.Path(), true);
    EXPECT_EQ(dump.find("010424"), std::string::npos) << dump;
    EXPECT_NE(dump.find("35.000002"), std::string::npos) << dump;
}

}  // namespace
}  // namespace geoplait
