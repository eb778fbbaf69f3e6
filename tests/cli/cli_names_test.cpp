// Mode and key names as people type them, the mode the file names give, the
// output named after the input, and the order of a batch's exit statuses.
#include "cli/cli_names.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "cli/cli_run.h"

namespace geoplait {
namespace {

std::string FileValue(const ConvertMode* mode) { return mode == nullptr ? "(none)" : mode->fileValue; }

TEST(CliNames, ModesMatchInAnyCaseAndByTheirGuessedNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"Geoplait", "Geoplait"},           {"geoplait", "Geoplait"},
        {"NMEA(LOG) -> KML", "Geoplait"},   {"nmea2kml", "Geoplait"},
        {"log2kml", "Geoplait"},            {"nmea-to-kml", "Geoplait"},
        {"nmea2gpx", "Nmea2Gpx"},           {"Nmea2Csvfull", "Nmea2CsvFull"},
        {"nmea2custom", "Nmea2CsvCustom"},  {"nmea2nmea", "Nmea2Nmea"},
        {"nmea2summary", "Nmea2Summary"},   {"nmea2html", "Nmea2SummaryHtml"},
        {"csvfull2nmea", "CsvFull2nmea"},   {"CSVFULL2NMEA", "CsvFull2nmea"},
        {"gpx2kml", "Gpx2Kml"},             {"gpx2pot", "Gpx2Pot"},
        {"kml2gpx", "KmlLine2Gpx"},         {"kmlpoint2gpx", "KmlPoint2Gpx"},
        {"photo2kml", "Photo2kml"},         {"Photo(Only) -> kml", "Photo2kml"},
        // One name of several modes names none.
        {"nmea2csv", "(none)"},             {"csv2kml", "(none)"},
        {"nmea2gxp", "(none)"},             {"", "(none)"},
    };
    for (const auto& [name, mode] : cases) EXPECT_EQ(FileValue(MatchMode(name)), mode) << name;
}

TEST(CliNames, ANearMissGetsTheNearestOneOrTwo) {
    EXPECT_EQ(NearestModes("nmea2gxp"), std::vector<std::string>{"Nmea2Gpx"});
    EXPECT_EQ(NearestModes("nmea2csv"), (std::vector<std::string>{"Nmea2CsvFull", "Nmea2CsvCustom"}));
    EXPECT_EQ(NearestModes("Gpx2Kmll"), std::vector<std::string>{"Gpx2Kml"});
    EXPECT_EQ(DidYouMean({"A", "B"}), "did you mean A or B?");
    EXPECT_EQ(DidYouMean({"A"}), "did you mean A?");
    EXPECT_EQ(DidYouMean({}), "");
}

TEST(CliNames, TheExtensionsNameTheModes) {
    struct Case {
        const char* input;
        const char* output;
        std::vector<std::string> modes;
    };
    const Case cases[] = {
        {"walk.nmea", "walk.gpx", {"Nmea2Gpx"}},
        {"walk.LOG", "out/walk.kml", {"Geoplait"}},
        {"walk.txt", "walk.pot", {"Nmea2Pot"}},
        {"walk.log", "walk.html", {"Nmea2SummaryHtml"}},
        {"walk.log", "walk.csv", {"Nmea2CsvFull", "Nmea2CsvCustom", "Nmea2Summary"}},
        {"walk.kml", "walk.gpx", {"KmlLine2Gpx"}},
        {"walk.gpx", "walk.kml", {"Gpx2Kml"}},
        {"walk.pot", "walk.nmea", {"Pot2Nmea"}},
        {"walk.csv", "walk.kml", {"CsvFull2Kml", "CsvCustom2Kml"}},
        {"walk.gpx", "walk.html", {}},
        {"walk.gpx", "-", {"Gpx2Kml", "Gpx2Nmea", "Gpx2CsvCustom", "Gpx2Pot", "Gpx2GeoJson"}},
        {"walk.nmea", "walk.geojson", {"Nmea2GeoJson"}},
        {"walk.kml", "walk.geojson", {"KmlLine2GeoJson"}},
        {"walk.gpx", "walk.gpx", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> modes;
        for (const ConvertMode* mode : ModesByExtensions(c.input, c.output)) modes.emplace_back(mode->fileValue);
        EXPECT_EQ(modes, c.modes) << c.input << " " << c.output;
    }
    // No extension, or an unknown one, leaves its side open.
    size_t toGpx = 0;
    for (const ConvertMode& mode : kConvertModes) toGpx += mode.output == ModeOutput::Gpx ? 1 : 0;
    EXPECT_EQ(ModesByExtensions("walk", "walk.gpx").size(), toGpx);
    EXPECT_EQ(ModesByExtensions("walk.dat", "").size(), kConvertModes.size());
    // A family the names table does not list reads the files of its row's extension.
    EXPECT_EQ(ModesByExtensions("ride.FIT", "ride.gpx").size(), 1u);
    EXPECT_EQ(FileValue(MatchMode("fit2gpx")), "Fit2Gpx");
}

TEST(CliNames, OutputsAreNamedAsTheFButtonNamesThem) {
    const ConvertMode& gpx = *FindModeByFileValue("Nmea2Gpx");
    const ConvertMode& summary = *FindModeByFileValue("Nmea2SummaryHtml");
    const ConvertMode& nmea = *FindModeByFileValue("CsvFull2nmea");
    EXPECT_EQ(OutputNamedAfter("walk.log", gpx), "walk.gpx");
    EXPECT_EQ(OutputNamedAfter("/card/r1.2/walk", gpx), "/card/r1.2/walk.gpx");
    EXPECT_EQ(OutputNamedAfter("logs/.hidden", gpx), "logs/.hidden.gpx");
    EXPECT_EQ(OutputNamedAfter("a.b.log", summary), "a.b.html");
    EXPECT_EQ(OutputNamedAfter("x.csv", nmea), "x.log");
    EXPECT_EQ(OutputNamedAfter("logs/walk.log", gpx, "out"), "out/walk.gpx");
    EXPECT_EQ(OutputNamedAfter("logs/walk.log", gpx, "out/"), "out/walk.gpx");
    EXPECT_EQ(OutputNamedAfter("photos/", *FindModeByFileValue("Photo2kml")), "photos.kml");
}

TEST(CliNames, InputFilesOfAFamilyGoByExtensionInAnyCase) {
    const ConvertMode& nmea = *FindModeByFileValue("Nmea2Gpx");
    const ConvertMode& gpx = *FindModeByFileValue("Gpx2Pot");
    EXPECT_TRUE(IsInputFileOf(nmea, "a.log"));
    EXPECT_TRUE(IsInputFileOf(nmea, "A.NMEA"));
    EXPECT_TRUE(IsInputFileOf(nmea, "dir.x/a.txt"));
    EXPECT_FALSE(IsInputFileOf(nmea, "a.gpx"));
    EXPECT_FALSE(IsInputFileOf(nmea, "log"));
    EXPECT_FALSE(IsInputFileOf(nmea, ".log"));
    EXPECT_TRUE(IsInputFileOf(gpx, "t.GPX"));
}

TEST(CliNames, KeysMatchInAnyCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"label_date=1", "Label_Date=1"},
        {" LABEL_DATE =1", "Label_Date=1"},
        {"linecolorrgb_03=0,128,255", "LineColorRGB_03=0,128,255"},
        {"Label_Date=1", "Label_Date=1"},
        {"trackline=0", "TrackLine=0"},
        {"NoSuchKey=1", "NoSuchKey=1"},
        {"no equals sign", "no equals sign"},
    };
    for (const auto& [line, canonical] : cases) EXPECT_EQ(CanonicalSettingLine(line), canonical) << line;
    EXPECT_EQ(NearestKeys("Label_Dat=1"), std::vector<std::string>{"Label_Date"});
    const std::vector<std::string> keys = AllSettingKeyNames();
    EXPECT_NE(std::find(keys.begin(), keys.end(), "SpeedRange_12"), keys.end());
    EXPECT_EQ(std::find(keys.begin(), keys.end(), "SpeedRange_13"), keys.end());
}

TEST(CliNames, ABatchEndsWithTheFirstStatusOfItsOrder) {
    // 2 before 4 before 3 before 1 before 5 before 0.
    const int order[] = {2, 4, 3, 1, 5, 0};
    for (size_t i = 0; i < std::size(order); ++i) {
        for (size_t j = 0; j < std::size(order); ++j) {
            EXPECT_EQ(WorstStatus(order[i], order[j]), order[std::min(i, j)]) << order[i] << " " << order[j];
        }
    }
}

}  // namespace
}  // namespace geoplait
