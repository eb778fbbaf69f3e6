// The KMZ of the golden case photo_kmz as a ZIP reader sees it: its entry
// times come from the clock, so it is checked here with unzip instead of
// byte for byte.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "photo/kmz_packager.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace geoplait::test {
namespace {

namespace fs = std::filesystem;

TEST(Kmz, EntriesInOrderAndReadable) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz";
    TempDir work;
    fs::copy(source / "photos", fs::path(work.path()) / "photos");
    // A settings file of its own: the built-in defaults, not the machine's.
    WriteFileBytes(work.File("geoplait.ini"), "  AutoLoad=0\n");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out trip.kml --set Photo=1 --set PhotoDir=photos "
                       "--set Kmz=1 2>&1"),
              "Complete: Complete Record=3/3\n\n\n");
    EXPECT_NE(Shell(cd + "unzip -t trip.kmz").find("No errors detected"), std::string::npos);
    EXPECT_EQ(Shell(cd + "unzip -Z1 trip.kmz"),
              "trip.kml\ntrip_photo/a_between.jpg\ntrip_photo/b_exact.JPG\ntrip_photo/f_south_west.jpg\ntrip_photo/\n");
    // The KML deflated, the photos stored as they are.
    const std::string methods = Shell(cd + "unzip -Zs trip.kmz | grep -o ' \\(def.\\|stor\\) ' | cut -c2-4");
    EXPECT_EQ(methods, "def\nsto\nsto\nsto\nsto\n");
    EXPECT_EQ(Shell(cd + "unzip -p trip.kmz trip.kml"),
              ReadFileBytes((source / "expected" / "files" / "trip.kml").string()));
    EXPECT_EQ(Shell(cd + "unzip -p trip.kmz trip_photo/b_exact.JPG"),
              ReadFileBytes((source / "photos" / "b_exact.JPG").string()));
}

// RAW and HEIC photos are placed by the track but neither copied nor packed:
// the archive and the copy folder hold the JPEG alone.
TEST(Kmz, RawAndHeicPhotosStayOut) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz_raw_heic";
    TempDir work;
    fs::copy(source / "photos", fs::path(work.path()) / "photos");
    fs::copy(source / "track.log", fs::path(work.path()) / "track.log");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Geoplait --in track.log --out out.kml --set Placemark=0 "
                       "--set TrackLine=0 --set Photo=1 --set PhotoDir=photos --set Kmz=1 2>&1"),
              "Complete: Complete Record=6/6\n\n\n");
    EXPECT_EQ(Shell(cd + "unzip -Z1 out.kmz"), "out.kml\nout_photo/a_between.jpg\nout_photo/\n");
    EXPECT_EQ(Shell(cd + "ls out_photo"), "a_between.jpg\n");
    EXPECT_EQ(Shell(cd + "unzip -p out.kmz out.kml | grep -c '<Placemark>'"), "6\n");
}

// Names with blanks, quotes, commas and Shift_JIS bytes: each entry keeps
// the file's name byte for byte.
TEST(Kmz, EntriesKeepNamesThatAreNotUtf8) {
    TempDir work;
    fs::copy(fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_list_quoted_names" / "photos",
             fs::path(work.path()) / "photos");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out trip.kml --set Photo=1 --set PhotoDir=photos "
                       "--set Kmz=1 2>&1"),
              "Complete: Complete Record=3/3\n\n\n");
    EXPECT_NE(Shell(cd + "unzip -t trip.kmz").find("No errors detected"), std::string::npos);
    EXPECT_EQ(Shell(cd + "unzip -Z1 trip.kmz"),
              "trip.kml\ntrip_photo/Say \"cheese\".jpg\ntrip_photo/St Kilda, 1.jpg\n"
              "trip_photo/\x8e\xca\x90^.jpg\ntrip_photo/\n");
}

// A photo swapped for a link after it was checked and before the archive is
// written is left out, not the file the link points to packed in its place.
TEST(Kmz, APhotoSwappedForALinkBeforePackingIsLeftOut) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz";
    for (const bool copies : {false, true}) {
        TempDir work;
        fs::copy(source / "photos", fs::path(work.path()) / "photos");
        WriteFileBytes(work.File("secret.jpg"), "private bytes");
        const std::string cd = "cd '" + work.path() + "' && GEOPLAIT_LINK_BEFORE_PACK=photos/b_exact.JPG=../secret.jpg ";
        const std::string copy = copies ? "1" : "0";
        EXPECT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out trip.kml --set Photo=1 --set PhotoDir=photos "
                           "--set Kmz=1 --set Photo_CreateDirectory=" + copy + " 2>&1; echo status $?"),
                  copies ? "Complete: Complete Record=3/3\n\n\nstatus 0\n"
                         : "Complete: Complete Record=3/3\n\n\nWarning: Photo File Not Packed: b_exact.JPG\nstatus 5\n");
        EXPECT_NE(Shell(cd + "unzip -t trip.kmz").find("No errors detected"), std::string::npos);
        // With copies the archive packs the copy made before the swap.
        EXPECT_EQ(Shell(cd + "unzip -Z1 trip.kmz"),
                  copies ? "trip.kml\ntrip_photo/a_between.jpg\ntrip_photo/b_exact.JPG\ntrip_photo/f_south_west.jpg\ntrip_photo/\n"
                         : "trip.kml\ntrip_photo/a_between.jpg\ntrip_photo/f_south_west.jpg\ntrip_photo/\n");
        EXPECT_EQ(Shell(cd + "unzip -p trip.kmz | grep -c 'private bytes' || true"), "0\n");
        EXPECT_EQ(Shell(cd + "unzip -p trip.kmz trip_photo/a_between.jpg"),
                  ReadFileBytes((source / "photos" / "a_between.jpg").string()));
    }
}

// One warning for all the photos lost: a line each, at most 20, then how
// many more; none when nothing was lost.
TEST(Kmz, LostPhotosAreOneWarning) {
    for (const int lost : {0, 1, 20, 23}) {
        RunValues run;
        PhotoState state;
        std::string expected;
        for (int i = 0; i < lost; ++i) {
            const std::string name = "p" + std::to_string(i) + ".jpg";
            state.LostLines.push_back(MakeNotice(i % 2 == 0 ? Notice::PhotoLostOnCopy : Notice::PhotoNotPacked, {name}));
            if (i < 20) expected += (i > 0 ? "\n" : "") + state.LostLines.back().text;
        }
        if (lost > 20) expected += "\n(3 more)";
        ReportLostPhotos(run, state);
        ASSERT_EQ(run.Warnings.size(), lost == 0 ? 0u : 1u) << lost;
        if (lost == 0) continue;
        EXPECT_EQ(run.Warnings[0].text, expected);
        EXPECT_EQ(run.Warnings[0].caption, "Warning");
        EXPECT_EQ(run.Warnings[0].kind, NoticeKind::Warning);
    }
}

// A name with a control character, which libzip takes only as bytes, packs
// like any other; the run completes.
TEST(Kmz, NameWithAControlCharacterIsPacked) {
    TempDir work;
    const fs::path photos = fs::path(work.path()) / "photos";
    fs::copy(fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz" / "photos", photos);
    fs::rename(photos / "b_exact.JPG", photos / "b\x01\x1b.jpg");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out trip.kml --set Photo=1 --set PhotoDir=photos "
                       "--set Kmz=1 2>&1"),
              "Complete: Complete Record=3/3\n\n\n");
    EXPECT_NE(Shell(cd + "unzip -t trip.kmz").find("No errors detected"), std::string::npos);
    // unzip shows control characters as ^A, ^[; the bytes themselves are in the archive.
    EXPECT_NE(Shell(cd + "unzip -Z1 trip.kmz").find("trip_photo/b^A^[.jpg\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(work.File("trip.kmz")).find("trip_photo/b\x01\x1b.jpg"), std::string::npos);
}

// Photos behind links stay out of the copies and the archive; a photo gone
// before the copy is left out of both and named in a warning (status 5); the
// archive leaves no temporary file of libzip's beside it.
TEST(Kmz, LinkedAndVanishedPhotosAreLeftOut) {
    TempDir work;
    const fs::path photos = fs::path(work.path()) / "photos";
    fs::copy(fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz" / "photos", photos);
    WriteFileBytes(work.File("secret"), "private key");
    fs::create_symlink("../secret", photos / "c_key.jpg");
    const std::string cd = "cd '" + work.path() + "' && GEOPLAIT_REMOVE_BEFORE_COPY=photos/a_between.jpg ";
    EXPECT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out trip.kml --set Photo=1 --set PhotoDir=photos "
                       "--set Kmz=1 --set Photo_CreateDirectory=1 2>&1; echo status $?"),
              "Complete: Complete Record=3/3\n\n\nWarning: Photo File Not Copy: a_between.jpg\nstatus 5\n");
    EXPECT_EQ(Shell("cd '" + work.path() + "' && unzip -Z1 trip.kmz"),
              "trip.kml\ntrip_photo/b_exact.JPG\ntrip_photo/f_south_west.jpg\ntrip_photo/\n");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(work.path())) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"photos", "secret", "trip.kml", "trip.kmz", "trip_photo"}));
}

// The path a relative URL names, as a viewer reads it: up to a fragment
// ('#') or a query ('?'), percent-escapes decoded.
std::string UrlDecoded(std::string link) {
    link = link.substr(0, link.find_first_of("#?"));
    std::string out;
    for (size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            out.push_back(static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(link[i]);
        }
    }
    return out;
}

// Output names that mean something in a URL: every photo link of the KML,
// URL-decoded, names an entry of the KMZ and a copy beside the KML. The mode
// alone turns the photos on.
TEST(Kmz, LinksOfOutputNamesWithUrlCharactersOpen) {
    for (const std::string name : {"trip #1", "cafe q?", "50%20off"}) {
        TempDir work;
        fs::copy(fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz" / "photos", fs::path(work.path()) / "photos");
        const std::string cd = "cd '" + work.path() + "' && ";
        ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --in photos --out '" + name +
                        ".kml' --set PhotoDir=photos --set Photo_IconThumbnail=1 --set Kmz=1 2>&1"),
                  "Complete: Complete Record=3/3\n\n\n");
        const std::string listing = Shell(cd + "unzip -Z1 '" + name + ".kmz'");
        std::set<std::string> entries;
        for (size_t at = 0, end; (end = listing.find('\n', at)) != std::string::npos; at = end + 1) {
            entries.insert(listing.substr(at, end - at));
        }
        const std::string kml = ReadFileBytes(work.File(name + ".kml"));
        int links = 0;
        for (const std::string opening : {"src=\"", "<href>"}) {
            for (size_t at = kml.find(opening); at != std::string::npos; at = kml.find(opening, at + 1)) {
                const size_t start = at + opening.size();
                const std::string link = kml.substr(start, kml.find_first_of("\"<", start) - start);
                const std::string decoded = UrlDecoded(link);
                EXPECT_TRUE(entries.contains(decoded)) << name << ": " << link;
                EXPECT_TRUE(fs::is_regular_file(fs::path(work.path()) / decoded)) << name << ": " << decoded;
                ++links;
            }
        }
        EXPECT_EQ(links, 6) << name;  // image and thumbnail of each of the three photos
    }
}

}  // namespace
}  // namespace geoplait::test
