// The texts and file values row by row are the golden case job_list_modes;
// the window's layouts are checked by the window's tests.
#include "settings/convert_modes.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "settings/convert_settings.h"

namespace geoplait {
namespace {

// The display text is made of the two sides' file types; each pair is found
// again by both of its names.
TEST(ConvertModes, EachPairIsNamedByItsSides) {
    for (const ConvertMode& mode : kConvertModes) {
        const std::string text = std::string(ModeFamilyOf(mode.kind).file.type) + " -> " +
                                 OutputKindOf(mode.output).file.type;
        EXPECT_EQ(mode.displayText, text);
        EXPECT_EQ(FindModeByDisplayText(text), &mode) << text;
        EXPECT_EQ(FindModeByFileValue(mode.fileValue), &mode) << text;
    }
    EXPECT_EQ(FindModeByDisplayText("nmea(log) -> kml "), nullptr);
    EXPECT_EQ(FindModeByFileValue("geoplait"), nullptr);
}

// What an output adds to its family's layout: the datum check of an NMEA
// output only from a family that can shift the datum, the column dialog of
// CSV Custom output, no split file for the summaries.
TEST(ConvertModes, LayoutIsTheFamilysWithWhatTheOutputAdds) {
    const struct {
        const char* mode;
        bool tokyoShown, tokyoCleared, outputItem, splitFile;
    } cases[] = {
        {"nmea(log) -> nmea(log)", true, false, false, true},
        {"nmea(log) -> csv(Full)", false, true, false, true},
        {"csv(Custom) -> nmea(log)", true, false, false, false},
        {"pot -> nmea(log)", false, true, false, false},
        {"gpx -> csv(Custom)", false, true, true, false},
        {"nmea(log) -> Summary(html)", false, true, false, false},
        {"kml(Line) -> gpx", false, true, true, false},
        {"fit -> nmea(log)", false, true, false, false},
        {"fit -> csv(Custom)", false, true, true, false},
    };
    for (const auto& c : cases) {
        const ModeLayout layout = LayoutOfMode(*FindModeByDisplayText(c.mode));
        EXPECT_EQ((layout.shown & kTokyoCheck) != 0, c.tokyoShown) << c.mode;
        EXPECT_EQ((layout.actions & kClearTokyo) != 0, c.tokyoCleared) << c.mode;
        EXPECT_EQ((layout.shown & kOutputItem) != 0, c.outputItem) << c.mode;
        EXPECT_EQ((layout.shown & kSplitFile) != 0, c.splitFile) << c.mode;
    }
}

// Each mode's rule from both starting states: what it writes decides Bom,
// Photo and Kmz, and a KML mode keeps the photo choices it found.
TEST(ConvertModes, OutputRuleSetsBomPhotoAndKmz) {
    size_t kmlModes = 0;
    for (const ConvertMode& mode : kConvertModes) {
        const std::string_view text = mode.displayText;
        const bool kml = text.ends_with("-> kml");
        kmlModes += kml ? 1 : 0;
        for (int before : {0, 1}) {
            ConvertSettings s;
            s.Bom = s.Photo = s.Kmz = before;
            s.Tokyo2WGS84 = 1;
            ApplyModeOutputRule(mode, s);
            EXPECT_EQ(s.Bom, kml ? 1 : 0) << text;
            EXPECT_EQ(s.Photo, !kml ? 0 : text.starts_with("Photo(Only)") ? 1 : before) << text;
            EXPECT_EQ(s.Kmz, kml ? before : 0) << text;
            EXPECT_EQ(s.Tokyo2WGS84, 1) << text;
        }
    }
    EXPECT_EQ(kmlModes, 7U);
}

}  // namespace
}  // namespace geoplait
