// Documents written by the GPX writer must be well-formed and readable by
// another GPX consumer.
#include <cstdio>
#include <cstdlib>

#include "writer_fixture.h"
#include "writers/gpx_writer.h"

namespace geoplait::test {
namespace {

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output and error of a shell command; `status` gets its exit status.
std::string Capture(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    status = -1;
    if (pipe == nullptr) return output;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    status = pclose(pipe);
    return output;
}

// A route of three points: a typical one, a GGA-only one and one whose texts
// hold markup, CDATA ends, control characters and malformed UTF-8.
std::string WriteSampleDocument(WriterFixture& f, int bom) {
    f.s().Name = "Ride <1> & \xE6\x97\xA5 ]]>";
    f.s().Label_No = f.s().Label_Elapsed = f.s().Label_Km = f.s().Label_Speed = 1;
    const std::string path = f.dir.File("sample.gpx");
    TextWriter out(path, WriteMode::Create);
    if (bom == 0) out.DropBom();
    WriteGpxHead(out, f.ctx, true);
    TrackPoint& p = f.ctx.point;
    struct Point {
        int32_t index, elapsed;
        double total;
        const char *latitude, *longitude, *altitude, *satellites;
        std::string dilution;
        const char *date, *time, *course, *speed;
    };
    const Point points[] = {
        {0, 0, 0, "3539.1234", "13945.6789", "12.5", "08", "1.2", "150613", "123456.789", "45.6", "3.2"},
        {2, 7, 0.25, "4231.8291", "08807.3033", "-3.0", "", "", "000000", "032908.379", "0", "0"},
        {3, 7, 0.25, "0100.0000", "00100.0000", "<&>", "]]>", std::string("\x01\xFF\0", 3), "010120", "000000", "", ""},
    };
    for (const Point& q : points) {
        ClearTrackPoint(p);
        f.ctx.store.RecordIndex = q.index;
        p.ElapsedSec = q.elapsed;
        p.TotalDistance = q.total;
        p.GgaLatitude = q.latitude;
        p.GgaLongitude = q.longitude;
        p.GgaAltitude = q.altitude;
        p.GgaSatellites = q.satellites;
        p.GgaDilution = q.dilution;
        p.RmcDate = q.date;
        p.RmcTime = q.time;
        p.RmcCourse = q.course;
        p.RmcSpeed = q.speed;
        WriteGpxRoutePoint(out, f.ctx);
    }
    WriteGpxTail(out);
    EXPECT_TRUE(out.Close());
    return path;
}

TEST(GpxReadback, WellFormedAndEveryRoutePointArrives) {
    const bool xmllint = HaveTool("xmllint"), gpsbabel = HaveTool("gpsbabel");
    if (!xmllint && !gpsbabel) GTEST_SKIP() << "neither xmllint nor gpsbabel is installed";
    for (int bom : {0, 1}) {
        WriterFixture f;
        const std::string path = WriteSampleDocument(f, bom);
        int status = 0;
        if (xmllint) {
            EXPECT_EQ(Capture("xmllint --noout '" + path + "'", status), "");
            EXPECT_EQ(status, 0);
        }
        if (!gpsbabel) continue;
        EXPECT_EQ(Capture("gpsbabel -r -i gpx -f '" + path + "' -o unicsv -F -", status),
                  "No,Latitude,Longitude,Name,Altitude,Description,HDOP,Satellites,Date,Time\r\n"
                  "1,35.652057,139.761315,\"1.[00:00:00](0.00Km)[0.00Km(h)]\",12.5,\"(08/1.2)\","
                  "1.20,8,2013/06/15,12:34:56\r\n"
                  "2,42.530485,88.121722,\"3.[00:00:07](0.25Km)[0.00Km(h)]\",-3.0,\"(/)\",,,,\r\n"
                  "3,1.000000,1.000000,\"4.[00:00:07](0.25Km)[0.00Km(h)]\",0.0,"
                  "\"(]]>/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD)\",,,2020/01/01,00:00:00\r\n")
            << "bom " << bom;
        EXPECT_EQ(status, 0);
    }
}

// Every document the whole-program cases expect: each route point arrives.
TEST(GpxReadback, GoldenDocumentsArriveInGpsbabel) {
    if (!HaveTool("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
    namespace fs = std::filesystem;
    int documents = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(GEOPLAIT_TEST_DATA) / "cli")) {
        const fs::path file = entry.path() / "expected" / "files" / "out.gpx";
        if (entry.path().filename().string().rfind("gpx_", 0) != 0 || !fs::exists(file)) continue;
        ++documents;
        const std::string text = ReadFileBytes(file.string());
        size_t points = 0;
        for (size_t at = text.find("<rtept "); at != std::string::npos; at = text.find("<rtept ", at + 1)) ++points;
        int status = 0;
        const std::string csv = Capture("gpsbabel -r -i gpx -f '" + file.string() + "' -o unicsv -F -", status);
        EXPECT_EQ(status, 0) << file << "\n" << csv;
        // A header line, then one per point.
        EXPECT_EQ(static_cast<size_t>(std::count(csv.begin(), csv.end(), '\n')), points + 1) << file << "\n" << csv;
    }
    EXPECT_GE(documents, 5);
}

}  // namespace
}  // namespace geoplait::test
