// The texts and file values row by row are the golden case job_list_modes.
#include "settings/convert_modes.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "settings/convert_settings.h"

namespace geoplait {
namespace {

TEST(ConvertModes, FamiliesAreContiguousAndNamedByTheirTexts) {
    const struct { std::string_view prefix; ModeKind kind; int rows; } families[] = {
        {"nmea(log)", ModeKind::Nmea, 8}, {"csv(Full)", ModeKind::CsvFull, 6},
        {"csv(Custom)", ModeKind::CsvCustom, 5}, {"pot", ModeKind::Pot, 4}, {"gpx", ModeKind::Gpx, 4},
        {"kml(Line)", ModeKind::KmlLine, 4}, {"kml(Point)", ModeKind::KmlPoint, 4},
        {"Photo(Only)", ModeKind::Photo, 1},
    };
    const struct { std::string_view suffix; ModeOutput output; } outputs[] = {
        {"kml", ModeOutput::Kml}, {"pot", ModeOutput::Pot}, {"gpx", ModeOutput::Gpx},
        {"nmea(log)", ModeOutput::Nmea}, {"csv(Full)", ModeOutput::CsvFull},
        {"csv(Custom)", ModeOutput::CsvCustom}, {"Summary(csv)", ModeOutput::SummaryCsv},
        {"Summary(html)", ModeOutput::SummaryHtml},
    };
    size_t row = 0;
    for (const auto& family : families) {
        for (int i = 0; i < family.rows && row < kConvertModes.size(); ++i, ++row) {
            const ConvertMode& mode = kConvertModes[row];
            const std::string_view text = mode.displayText;
            EXPECT_EQ(mode.kind, family.kind) << text;
            EXPECT_EQ(text.substr(0, text.find(" -> ")), family.prefix) << text;
            int matches = 0;
            for (const auto& output : outputs) {
                if (text.substr(text.find(" -> ") + 4) == output.suffix && mode.output == output.output) ++matches;
            }
            EXPECT_EQ(matches, 1) << text;
            EXPECT_EQ(ModeRow(*FindModeByFileValue(mode.fileValue)), row) << text;
        }
    }
    EXPECT_EQ(row, kConvertModes.size());
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
    EXPECT_EQ(kmlModes, 6U);
}

}  // namespace
}  // namespace geoplait
