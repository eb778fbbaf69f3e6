// Documents written by the GPX writer must be well-formed and readable by
// another GPX consumer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "writers/gpx_writer.h"

namespace geoplait {
namespace {

using test::TempDir;

bool HaveTool(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Standard output of a shell command; `status` gets its exit status.
std::string Capture(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
    status = pclose(pipe);
    return output;
}

// A route of three points: a typical one, a GGA-only one and one whose texts
// hold markup, CDATA ends, control characters and malformed UTF-8.
std::string WriteSampleDocument(const TempDir& dir, int bom) {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx(settings, ui);
    settings.current.Name = "Ride <1> & \xE6\x97\xA5 ]]>";
    settings.current.Label_No = 1;
    settings.current.Label_Elapsed = 1;
    settings.current.Label_Km = 1;
    settings.current.Label_Speed = 1;
    const std::string path = dir.File("sample.gpx");
    TextWriter out(path, WriteMode::Create);
    if (bom == 0) out.DropBom();
    WriteGpxHead(out, ctx, true);

    TrackPoint& p = ctx.point;
    p.GgaLatitude = "3539.1234";
    p.GgaLongitude = "13945.6789";
    p.GgaAltitude = "12.5";
    p.GgaSatellites = "08";
    p.GgaDilution = "1.2";
    p.RmcDate = "150613";
    p.RmcTime = "123456.789";
    p.RmcCourse = "45.6";
    p.RmcSpeed = "3.2";
    WriteGpxRoutePoint(out, ctx);

    ClearTrackPoint(p);
    ctx.store.RecordIndex = 2;
    p.GgaLatitude = "4231.8291";
    p.GgaLongitude = "08807.3033";
    p.GgaAltitude = "-3.0";
    p.RmcDate = "000000";
    p.RmcTime = "032908.379";
    p.RmcSpeed = "0";
    p.RmcCourse = "0";
    p.ElapsedSec = 7;
    p.TotalDistance = 0.25;
    WriteGpxRoutePoint(out, ctx);

    ClearTrackPoint(p);
    ctx.store.RecordIndex = 3;
    p.GgaLatitude = "0100.0000";
    p.GgaLongitude = "00100.0000";
    p.GgaAltitude = "<&>";
    p.GgaSatellites = "]]>";
    p.GgaDilution = std::string("\x01\xFF\0", 3);
    p.RmcDate = "010120";
    p.RmcTime = "000000";
    WriteGpxRoutePoint(out, ctx);

    WriteGpxTail(out);
    EXPECT_TRUE(out.Close());
    return path;
}

TEST(GpxReadback, WellFormedForXmllint) {
    if (!HaveTool("xmllint")) GTEST_SKIP() << "xmllint is not installed";
    for (int bom : {0, 1}) {
        TempDir dir;
        const std::string path = WriteSampleDocument(dir, bom);
        int status = 0;
        const std::string errors = Capture("xmllint --noout '" + path + "' 2>&1", status);
        EXPECT_EQ(status, 0) << errors;
        EXPECT_EQ(errors, "");
    }
}

TEST(GpxReadback, RoutePointsArriveInGpsbabel) {
    if (!HaveTool("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
    for (int bom : {0, 1}) {
        TempDir dir;
        const std::string path = WriteSampleDocument(dir, bom);
        int status = 0;
        const std::string csv = Capture(
            "gpsbabel -r -i gpx -f '" + path + "' -o unicsv -F - 2>&1",
            status);
        EXPECT_EQ(status, 0) << csv;
        EXPECT_EQ(csv,
                  "No,Latitude,Longitude,Name,Altitude,Description,HDOP,Satellites,Date,Time\r\n"
                  "1,35.652057,139.761315,\"1.[00:00:00](0.00Km)[0.00Km(h)]\",12.5,\"(08/1.2)\","
                  "1.20,8,2013/06/15,12:34:56\r\n"
                  "2,42.530485,88.121722,\"3.[00:00:07](0.25Km)[0.00Km(h)]\",-3.0,\"(/)\",,,,\r\n"
                  "3,1.000000,1.000000,\"4.[00:00:07](0.25Km)[0.00Km(h)]\",0.0,"
                  "\"(]]>/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD)\",,,2020/01/01,00:00:00\r\n")
            << "bom " << bom;
    }
}

// Every document the whole-program cases expect: each route point arrives.
TEST(GpxReadback, GoldenDocumentsArriveInGpsbabel) {
    if (!HaveTool("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
    namespace fs = std::filesystem;
    int documents = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(GEOPLAIT_TEST_DATA) / "cli")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("gpx_", 0) != 0) continue;
        const fs::path file = entry.path() / "expected" / "files" / "out.gpx";
        if (!fs::exists(file)) continue;
        ++documents;
        const std::string text = test::ReadFileBytes(file.string());
        size_t points = 0;
        for (size_t at = text.find("<rtept "); at != std::string::npos;
             at = text.find("<rtept ", at + 1)) {
            ++points;
        }
        int status = 0;
        const std::string csv =
            Capture("gpsbabel -r -i gpx -f '" + file.string() + "' -o unicsv -F - 2>&1", status);
        EXPECT_EQ(status, 0) << name << "\n" << csv;
        size_t lines = 0;
        for (char c : csv) lines += c == '\n' ? 1 : 0;
        EXPECT_EQ(lines, points + 1) << name << "\n" << csv;  // a header line, then one per point
    }
    EXPECT_GE(documents, 5);
}

}  // namespace
}  // namespace geoplait
