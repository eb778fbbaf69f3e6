// The KMZ of the golden case photo_kmz as a ZIP reader sees it: its entry
// times come from the clock, so it is checked here with unzip instead of
// byte for byte.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace geoplait::test {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return pclose(pipe) == 0 ? out : "failed: " + command + "\n" + out;
}

TEST(Kmz, EntriesInOrderAndReadable) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_kmz";
    TempDir work;
    fs::copy(source / "photos", fs::path(work.path()) / "photos");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --out trip.kml --set Photo=1 --set PhotoDir=photos "
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

// Names with blanks, quotes, commas and Shift_JIS bytes: each entry keeps
// the file's name byte for byte.
TEST(Kmz, EntriesKeepNamesThatAreNotUtf8) {
    TempDir work;
    fs::copy(fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_list_quoted_names" / "photos",
             fs::path(work.path()) / "photos");
    const std::string cd = "cd '" + work.path() + "' && ";
    ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --out trip.kml --set Photo=1 --set PhotoDir=photos "
                       "--set Kmz=1 2>&1"),
              "Complete: Complete Record=3/3\n\n\n");
    EXPECT_NE(Shell(cd + "unzip -t trip.kmz").find("No errors detected"), std::string::npos);
    EXPECT_EQ(Shell(cd + "unzip -Z1 trip.kmz"),
              "trip.kml\ntrip_photo/Say \"cheese\".jpg\ntrip_photo/St Kilda, 1.jpg\n"
              "trip_photo/\x8e\xca\x90^.jpg\ntrip_photo/\n");
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
        ASSERT_EQ(Shell(cd + GEOPLAIT_CLI " --mode Photo2kml --out '" + name +
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
