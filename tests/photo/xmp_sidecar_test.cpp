// XMP sidecars as photo programs read them: exiftool finds in each sidecar
// the position and altitude the photo's placemark has. The bytes are the
// golden cases photo_sidecar_*.
#include "photo/xmp_sidecar.h"

#include <sys/stat.h>
#include <unistd.h>

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

// Runs the case's photos against its track (with `options` more) and checks
// every sidecar this program wrote with exiftool: `owners` names, for each
// sidecar file, the photo whose placemark's position and altitude it holds,
// WGS-84. No other sidecar of ours is there, and the photos (and any file
// of another program) are untouched.
void CheckSidecars(const std::string& caseName, const std::string& options, const std::string& completion,
                   size_t photos, const std::map<std::string, std::string>& owners) {
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
                       "--set 'TimeDifference=+ 9:00' " + options + " 2>&1; echo status $?"),
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
    // One exiftool run over every sidecar of ours: "sidecar|lat lon alt datum" a line.
    const std::string listing = Shell("exiftool -q -n -ext xmp -if '$XMPToolkit =~ /^geoplait /' "
                                      "-p '$FileName|$GPSLatitude $GPSLongitude $GPSAltitude $GPSMapDatum' '" +
                                      work.File("photos") + "'");
    std::map<std::string, std::string> read;
    for (size_t at = 0, end; (end = listing.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = listing.substr(at, end - at);
        const size_t bar = line.find('|');
        if (bar != std::string::npos) read[line.substr(0, bar)] = line.substr(bar + 1);
    }
    EXPECT_EQ(read.size(), owners.size());
    for (const auto& [sidecar, name] : owners) {
        ASSERT_TRUE(read.count(sidecar) == 1) << sidecar;
        ASSERT_TRUE(placed.count(name) == 1) << name;
        const std::string& coordinates = placed[name];
        double lon = 0, lat = 0, alt = 0;
        ASSERT_EQ(std::sscanf(coordinates.c_str(), "%lf,%lf,%lf", &lon, &lat, &alt), 3) << coordinates;
        double xLat = 0, xLon = 0, xAlt = 0;
        char datum[16] = {};
        ASSERT_EQ(std::sscanf(read[sidecar].c_str(), "%lf %lf %lf %15s", &xLat, &xLon, &xAlt, datum), 4) << sidecar;
        EXPECT_NEAR(xLat, lat, 1e-6) << sidecar;
        EXPECT_NEAR(xLon, lon, 1e-6) << sidecar;
        EXPECT_NEAR(xAlt, alt, 0.005) << sidecar;
        EXPECT_STREQ(datum, "WGS-84") << sidecar;
    }
    // The photos themselves, and the sidecars of other programs, are untouched.
    for (const auto& entry : fs::directory_iterator(source / "photos")) {
        if (owners.count(entry.path().filename().string()) == 1) continue;
        EXPECT_EQ(ReadFileBytes((fs::path(work.path()) / "photos" / entry.path().filename()).string()),
                  ReadFileBytes(entry.path().string()))
            << entry.path().filename();
    }
}

// NAME.EXT.xmp for each of `names`.
std::map<std::string, std::string> FullNames(std::initializer_list<const char*> names) {
    std::map<std::string, std::string> owners;
    for (const char* name : names) owners[std::string(name) + ".xmp"] = name;
    return owners;
}

TEST(XmpSidecar, ExiftoolReadsThePlacemarkPosition) {
    // f_south_west.jpg has a GPS position of its own: no sidecar.
    CheckSidecars("photo_sidecar_written", "", "Complete: Complete Record=7/7\n\n\nstatus 0\n", 7,
                  FullNames({"a_between.jpg", "b_exact.JPG", "c_before.jpg", "d_after.jpg", "e_last.jpg",
                             "g #2 space.jpg"}));
}

// RAW (TIFF-structured) and HEIC photos of both byte orders get the same
// sidecars as JPEG photos.
TEST(XmpSidecar, RawAndHeicPhotosGetSidecars) {
    CheckSidecars("photo_sidecar_raw_heic", "", "Complete: Complete Record=6/6\n\n\nstatus 0\n", 6,
                  FullNames({"a_between.jpg", "b_raw_ii.dng", "c_raw_mm.DNG", "d_phone_ii.heic", "e_phone_mm.HEIC"}));
}

// Short names: each NAME.xmp holds the position of the photo that got it, a
// RAW or HEIC photo before a JPEG of its name (in any case), else the first
// by name; another program's sidecar stays, ours is replaced.
TEST(XmpSidecar, ShortNamesGoToOnePhotoEach) {
    CheckSidecars("photo_sidecar_short_names", "--set Photo_SidecarName=Short --yes",
                  "Complete: Complete Record=11/11\n\n\n"
                  "Warning: XMP File Not Create (Name Shared with IMG_0001.CR2): photos/IMG_0001.JPG\n"
                  "Warning: XMP File Not Create (Name Shared with IMG_0002.NEF): photos/IMG_0002.JPG\n"
                  "Warning: XMP File Not Create (Name Shared with IMG_0005.JPEG): photos/IMG_0005.JPG\n"
                  "Warning: XMP File Not Replaced: photos/IMG_0006.xmp\n"
                  "Warning: XMP File Not Create (Name Shared with IMG_0004.dng): photos/img_0004.jpg\nstatus 5\n",
                  11,
                  {{"IMG_0001.xmp", "IMG_0001.CR2"}, {"IMG_0002.xmp", "IMG_0002.NEF"}, {"IMG_0003.xmp", "IMG_0003.HEIC"},
                   {"IMG_0004.xmp", "IMG_0004.dng"}, {"IMG_0005.xmp", "IMG_0005.JPEG"}, {"IMG_0007.xmp", "IMG_0007.jpg"}});
}

// In a world-writable sticky folder (a shared card reader's mount, /tmp) a
// link another user planted where a sidecar goes costs that sidecar alone:
// the others are written, and the file the link points to stays as it was.
TEST(XmpSidecar, ALinkPlantedInAStickyFolderCostsOneSidecar) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_sidecar_written";
    TempDir work;
    fs::copy(source / "photos", fs::path(work.path()) / "photos");
    fs::copy(source / "track.log", fs::path(work.path()) / "track.log");
    const std::string own = ReadFileBytes((source / "expected" / "files" / "photos" / "b_exact.JPG.xmp").string());
    WriteFileBytes(work.File("theirs.xmp"), own);
    ASSERT_EQ(chmod(work.File("photos").c_str(), 01777), 0);
    fs::create_symlink("../theirs.xmp", work.File("photos/a_between.jpg.xmp"));
    ASSERT_EQ(lchown(work.File("photos/a_between.jpg.xmp").c_str(), 4242, 4242), 0);
    const std::string cd = "cd '" + work.path() + "' && ";
    EXPECT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Geoplait --in track.log --out out.kml --set Placemark=0 "
                       "--set TrackLine=0 --set Photo=1 --set PhotoDir=photos --set Photo_CreateDirectory=0 "
                       "--set Photo_Interpolate=1 --set Photo_Sidecar=1 --set 'TimeDifference=+ 9:00' --yes 2>&1; "
                       "echo status $?"),
              "Complete: Complete Record=7/7\n\n\nWarning: XMP File Not Replaced: photos/a_between.jpg.xmp\nstatus 5\n");
    EXPECT_EQ(ReadFileBytes(work.File("theirs.xmp")), own);
    EXPECT_TRUE(fs::is_symlink(work.File("photos/a_between.jpg.xmp")));
    for (const char* name : {"b_exact.JPG.xmp", "c_before.jpg.xmp", "d_after.jpg.xmp", "e_last.jpg.xmp"}) {
        EXPECT_EQ(ReadFileBytes(work.File(std::string("photos/") + name)),
                  ReadFileBytes((source / "expected" / "files" / "photos" / name).string()))
            << name;
    }
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
