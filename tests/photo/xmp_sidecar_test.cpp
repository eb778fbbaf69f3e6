// XMP sidecars as photo programs read them: exiftool finds in each sidecar
// the position and altitude the photo's placemark has. The bytes are the
// golden cases photo_sidecar_*.
#include "photo/xmp_sidecar.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "support/shell.h"
#include "support/temp_dir.h"

namespace geoplait::test {
namespace {

namespace fs = std::filesystem;

// Runs the case's photos against its track and checks every sidecar with
// exiftool: the placemark's position and altitude, WGS-84; `ownGps` is the
// photo placed by its own GPS position, which gets none.
void CheckSidecars(const std::string& caseName, const std::string& completion, size_t photos,
                   const std::string& ownGps) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / caseName;
    TempDir work;
    fs::copy(source / "photos", fs::path(work.path()) / "photos");
    fs::copy(source / "track.log", fs::path(work.path()) / "track.log");
    // A settings file of its own: the built-in defaults, not the machine's.
    WriteFileBytes(work.File("geoplait.ini"), "  AutoLoad=0\n");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Geoplait --in track.log --out out.kml --set Placemark=0 "
                       "--set TrackLine=0 --set Photo=1 --set PhotoDir=photos --set Photo_CreateDirectory=0 "
                       "--set Photo_Interpolate=1 --set Photo_Sidecar=1 --set Altitude=1 "
                       "--set 'TimeDifference=+ 9:00' 2>&1"),
              completion);

    // name -> "lon,lat,alt" of every photo placemark.
    const std::string kml = ReadFileBytes(work.File("out.kml"));
    std::map<std::string, std::string> placed;
    for (size_t at = kml.find("<Placemark>"); at != std::string::npos; at = kml.find("<Placemark>", at + 1)) {
        const size_t name = kml.find("<name>", at) + 6;
        const size_t coordinates = kml.find("<coordinates>", at) + 13;
        placed[kml.substr(name, kml.find('<', name) - name)] =
            kml.substr(coordinates, kml.find('<', coordinates) - coordinates);
    }
    ASSERT_EQ(placed.size(), photos);
    // One exiftool run over every sidecar: "photo name|lat lon alt datum" a line.
    const std::string listing = Shell("exiftool -q -n -ext xmp -p '$FileName|$GPSLatitude $GPSLongitude $GPSAltitude "
                                      "$GPSMapDatum' '" + work.File("photos") + "'");
    std::map<std::string, std::string> read;
    for (size_t at = 0, end; (end = listing.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = listing.substr(at, end - at);
        const size_t bar = line.find('|');
        if (bar != std::string::npos && line.compare(bar - 4, 4, ".xmp") == 0) {
            read[line.substr(0, bar - 4)] = line.substr(bar + 1);
        }
    }
    size_t sidecars = 0;
    for (const auto& [name, coordinates] : placed) {
        const fs::path sidecar = fs::path(work.path()) / "photos" / (name + ".xmp");
        if (name == ownGps) {  // its own GPS position: no sidecar
            EXPECT_FALSE(fs::exists(sidecar));
            continue;
        }
        ASSERT_TRUE(fs::exists(sidecar)) << name;
        ++sidecars;
        double lon = 0, lat = 0, alt = 0;
        ASSERT_EQ(std::sscanf(coordinates.c_str(), "%lf,%lf,%lf", &lon, &lat, &alt), 3) << coordinates;
        double xLat = 0, xLon = 0, xAlt = 0;
        char datum[16] = {};
        ASSERT_EQ(std::sscanf(read[name].c_str(), "%lf %lf %lf %15s", &xLat, &xLon, &xAlt, datum), 4) << name;
        EXPECT_NEAR(xLat, lat, 1e-6) << name;
        EXPECT_NEAR(xLon, lon, 1e-6) << name;
        EXPECT_NEAR(xAlt, alt, 0.005) << name;
        EXPECT_STREQ(datum, "WGS-84") << name;
    }
    EXPECT_EQ(sidecars, photos - 1);
    EXPECT_EQ(read.size(), photos - 1);
    // The photos themselves are untouched.
    for (const auto& entry : fs::directory_iterator(source / "photos")) {
        EXPECT_EQ(ReadFileBytes((fs::path(work.path()) / "photos" / entry.path().filename()).string()),
                  ReadFileBytes(entry.path().string()))
            << entry.path().filename();
    }
}

TEST(XmpSidecar, ExiftoolReadsThePlacemarkPosition) {
    CheckSidecars("photo_sidecar_written", "Complete: Complete Record=7/7\n\n\n", 7, "f_south_west.jpg");
}

// RAW (TIFF-structured) and HEIC photos of both byte orders get the same
// sidecars as JPEG photos.
TEST(XmpSidecar, RawAndHeicPhotosGetSidecars) {
    CheckSidecars("photo_sidecar_raw_heic", "Complete: Complete Record=6/6\n\n\n", 6, "f_own_gps.heic");
}

TEST(XmpSidecar, OwnSidecarsAreKnownByTheirToolkit) {
    const struct {
        const char* bytes;
        bool own;
    } cases[] = {
        {"<?xpacket begin=\"\"?>\n<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"geoplait Ver 0.33\">", true},
        {"<x:xmpmeta xmlns:x='adobe:ns:meta/' x:xmptk='Image::ExifTool 12.57'>", false},
        // The marker counts only in the packet's own start tag.
        {"<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><dc:title>x:xmptk=\"geoplait </dc:title>", false},
        {"x:xmptk=\"geoplait Ver 0.33\"", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsOwnSidecar(c.bytes), c.own) << c.bytes;
}

}  // namespace
}  // namespace geoplait::test
