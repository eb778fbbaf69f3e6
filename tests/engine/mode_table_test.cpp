// The texts and file values row by row are the golden case job_list_modes.
#include "engine/mode_table.h"

#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace geoplait {
namespace {

TEST(ModeTable, FamiliesAreContiguousAndNamedBeforeTheArrow) {
    const struct { std::string_view prefix; ModeKind kind; int rows; } families[] = {
        {"nmea(log)", ModeKind::Nmea, 8}, {"csv(Full)", ModeKind::CsvFull, 6},
        {"csv(Custom)", ModeKind::CsvCustom, 5}, {"pot", ModeKind::Pot, 4}, {"gpx", ModeKind::Gpx, 4},
        {"kml(Line)", ModeKind::KmlLine, 4}, {"kml(Point)", ModeKind::KmlPoint, 4},
        {"Photo(Only)", ModeKind::Photo, 1},
    };
    size_t row = 0;
    for (const auto& family : families) {
        for (int i = 0; i < family.rows && row < kModeTable.size(); ++i, ++row) {
            std::string_view text = kModeTable[row].displayText;
            EXPECT_EQ(kModeTable[row].kind, family.kind) << text;
            EXPECT_EQ(text.substr(0, text.find(" -> ")), family.prefix) << text;
        }
    }
    EXPECT_EQ(row, kModeTable.size());
}

}  // namespace
}  // namespace geoplait
