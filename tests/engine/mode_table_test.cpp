#include "engine/mode_table.h"

#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace geoplait {
namespace {

// The family is the text before " -> ".
struct FamilyPrefix {
    std::string_view prefix;
    ModeKind kind;
    int rows;
};
constexpr FamilyPrefix kFamilies[] = {
    {"nmea(log)", ModeKind::Nmea, 8},     {"csv(Full)", ModeKind::CsvFull, 6},
    {"csv(Custom)", ModeKind::CsvCustom, 5}, {"pot", ModeKind::Pot, 4},
    {"gpx", ModeKind::Gpx, 4},            {"kml(Line)", ModeKind::KmlLine, 4},
    {"kml(Point)", ModeKind::KmlPoint, 4}, {"Photo(Only)", ModeKind::Photo, 1},
};

TEST(ModeTable, FamilyIsTheTextBeforeTheArrow) {
    int counted[std::size(kFamilies)] = {};
    for (const ModeEntry& mode : kModeTable) {
        std::string_view text = mode.displayText;
        size_t arrow = text.find(" -> ");
        ASSERT_NE(arrow, std::string_view::npos) << text;
        bool found = false;
        for (size_t i = 0; i < std::size(kFamilies); ++i) {
            if (text.substr(0, arrow) == kFamilies[i].prefix) {
                EXPECT_EQ(mode.kind, kFamilies[i].kind) << text;
                ++counted[i];
                found = true;
            }
        }
        EXPECT_TRUE(found) << text;
    }
    for (size_t i = 0; i < std::size(kFamilies); ++i) {
        EXPECT_EQ(counted[i], kFamilies[i].rows) << kFamilies[i].prefix;
    }
}

TEST(ModeTable, FamiliesAreContiguousInTableOrder) {
    // Rows 1-8 Nmea, 9-14 CsvFull, ... 36 Photo.
    size_t row = 0;
    for (const FamilyPrefix& family : kFamilies) {
        for (int i = 0; i < family.rows; ++i, ++row) {
            EXPECT_EQ(kModeTable[row].kind, family.kind) << "row " << row + 1;
        }
    }
    EXPECT_EQ(row, kModeTable.size());
}

TEST(ModeTable, TextsAndValuesAreUnique) {
    std::set<std::string> texts;
    std::set<std::string> values;
    for (const ModeEntry& mode : kModeTable) {
        EXPECT_TRUE(texts.insert(mode.displayText).second) << mode.displayText;
        EXPECT_TRUE(values.insert(mode.fileValue).second) << mode.fileValue;
    }
}

struct Row {
    int number;  // from 1
    const char* displayText;
    const char* fileValue;
};
// Rows whose spelling is irregular, and the ends of each family.
constexpr Row kRows[] = {
    {1, "nmea(log) -> kml", "Geoplait"},
    {7, "nmea(log) -> Summary(csv)", "Nmea2Summary"},
    {8, "nmea(log) -> Summary(html)", "Nmea2SummaryHtml"},
    {12, "csv(Full) -> nmea(log)", "CsvFull2nmea"},
    {14, "csv(Full) -> csv(Custom)", "CsvFull2CsvCustom"},
    {19, "csv(Custom) -> csv(Custom)", "CsvCustom2CsvCustom"},
    {23, "pot -> gpx", "Pot2Gpx"},
    {27, "gpx -> pot", "Gpx2Pot"},
    {31, "kml(Line) -> csv(Custom)", "KmlLine2CsvCustom"},
    {35, "kml(Point) -> csv(Custom)", "KmlPoint2CsvCustom"},
    {36, "Photo(Only) -> kml", "Photo2kml"},
};

TEST(ModeTable, RowsAtTheirPlaces) {
    for (const Row& row : kRows) {
        const ModeEntry& mode = kModeTable[static_cast<size_t>(row.number - 1)];
        EXPECT_STREQ(mode.displayText, row.displayText) << "row " << row.number;
        EXPECT_STREQ(mode.fileValue, row.fileValue) << "row " << row.number;
        EXPECT_EQ(FindModeByDisplayText(row.displayText), &mode);
        EXPECT_EQ(FindModeByFileValue(row.fileValue), &mode);
    }
}

TEST(ModeTable, LookupIsExactAndCaseSensitive) {
    for (const char* text : {"nmea(log) -> KML", "nmea(log) -> kml ", " nmea(log) -> kml",
                             "nmea(log)->kml", "", "Geoplait"}) {
        EXPECT_EQ(FindModeByDisplayText(text), nullptr) << text;
    }
    for (const char* value : {"geoplait", "CsvFull2Nmea", "Photo2Kml", "", "nmea(log) -> kml"}) {
        EXPECT_EQ(FindModeByFileValue(value), nullptr) << value;
    }
}

}  // namespace
}  // namespace geoplait
