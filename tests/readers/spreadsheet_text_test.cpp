// Numbers as spreadsheets write them are read whole or not at all, and lines
// of any length are read whole or passed over, never cut into records.
#include "readers/spreadsheet_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace geoplait {
namespace {

struct CellCase {
    std::string text;
    bool sign, metres;
    bool ok;
    std::string want;
};

TEST(CellNumbers, NumbersOrNothing) {
    const std::vector<CellCase> cases = {
        {"408.9", true, true, true, "408.9"},
        {" 408.9 m", true, true, true, "408.9"},
        {"408.9M", true, true, true, "408.9"},
        {"408.9 m", true, false, false, ""},
        {"408,4", true, true, true, "408.4"},
        {"1,234.5", true, true, false, ""},  // a thousands comma: no guess
        {"1,2,3", true, true, false, ""},
        {"-3.5", true, true, true, "-3.5"},
        {"+12", true, true, true, "+12"},
        {"-3.5", false, false, false, ""},
        {".5", false, false, true, ".5"},
        {"5.", false, false, true, "5."},
        {"1.5E1", false, false, true, "15"},
        {"2e-3", false, false, true, "0.002"},
        {"1e", false, false, false, ""},
        {"1e9999", false, false, false, ""},
        {"#N/A", true, true, false, ""},
        {"47.3770xyz", false, false, false, ""},
        {"1.2.3", false, false, false, ""},
        {".", false, false, false, ""},
        {"", false, false, false, ""},
        {"m", true, true, false, ""},
    };
    for (const CellCase& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(TakeCellNumber(text, c.sign, c.metres), c.ok) << "'" << c.text << "'";
        EXPECT_EQ(text, c.want) << "'" << c.text << "'";
    }
}

struct CoordinateCase {
    std::string text;
    CoordinateCell kind;
    std::string want;
};

TEST(CellNumbers, CoordinatesInTheirNotationOrWithTheirMarks) {
    const std::vector<CoordinateCase> cases = {
        {"47.376901", CoordinateCell::Number, "47.376901"},
        {"47,376901", CoordinateCell::Number, "47.376901"},
        {"4722.6141", CoordinateCell::Number, "4722.6141"},
        {"47.376901\xC2\xB0", CoordinateCell::Degrees, "47.376901000"},
        {"47\xC2\xB0" "22'36.92\"", CoordinateCell::Degrees, "47.376922222"},
        {"47\xC2\xB0 22.6153'", CoordinateCell::Degrees, "47.376921667"},
        {"47\xC2\xBA" "22\xE2\x80\xB2" "36,92\xE2\x80\xB3", CoordinateCell::Degrees, "47.376922222"},
        {"47\xC2\xB0" "22'36.92''", CoordinateCell::Degrees, "47.376922222"},
        {"47\xC2\xB0" "60'", CoordinateCell::Unknown, ""},         // minutes below 60
        {"47\xC2\xB0" "22'60\"", CoordinateCell::Unknown, ""},     // seconds below 60
        {"47.5\xC2\xB0" "22'", CoordinateCell::Unknown, ""},       // minutes after whole degrees only
        {"47\xC2\xB0" "22.5'10\"", CoordinateCell::Unknown, ""},   // seconds after whole minutes only
        {"47\xC2\xB0" "22'36.92\"x", CoordinateCell::Unknown, ""},
        {"47 22 36", CoordinateCell::Unknown, ""},
        {"47.3770xyz", CoordinateCell::Unknown, ""},
        {"  ", CoordinateCell::Empty, ""},
    };
    for (const CoordinateCase& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(TakeCoordinateCell(text), c.kind) << c.text;
        EXPECT_EQ(text, c.want) << c.text;
    }
}

std::vector<std::string> WholeLines(const std::string& bytes, int32_t& broken) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in"), bytes);
    TextReader input;
    EXPECT_TRUE(input.Open(dir.File("in")));
    std::vector<std::string> lines;
    std::string_view line;
    broken = 0;
    while (ReadWholeLine(input, line, broken)) lines.emplace_back(line.substr(0, 12));
    return lines;
}

TEST(WholeLines, LongLinesAreReadWholeAndOverLongOnesPassedOver) {
    // Just within the bound, just beyond it, far beyond it, then a short line.
    const std::string within(kLongestCellLine - 1, 'a');
    const std::string beyond(kLongestCellLine, 'b');
    const std::string far(3 * kLongestCellLine + 7, 'c');
    int32_t broken = 0;
    const std::vector<std::string> lines = WholeLines(within + "\n" + beyond + "\r\n" + far + "\rlast,1\n", broken);
    EXPECT_EQ(lines, (std::vector<std::string>{std::string(12, 'a'), "last,1\n"}));
    EXPECT_EQ(broken, 2);
    // A last line within the bound and without an end is whole too.
    EXPECT_EQ(WholeLines("x\n" + within, broken), (std::vector<std::string>{"x\n", std::string(12, 'a')}));
    EXPECT_EQ(broken, 0);
}

TEST(WholeLines, TheBoundCountsCharactersNotBytes) {
    // A last line without its end, of characters of two bytes: within the
    // bound in characters though beyond it in bytes, it is whole.
    std::string within;
    for (size_t i = 0; i + 1 < kLongestCellLine; ++i) within += "\xC3\xA9";
    int32_t broken = 0;
    EXPECT_EQ(WholeLines("x\n" + within, broken), (std::vector<std::string>{"x\n", within.substr(0, 12)}));
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(WholeLines("x\n" + within + "\xC3\xA9", broken), (std::vector<std::string>{"x\n"}));
    EXPECT_EQ(broken, 1);
}

}  // namespace
}  // namespace geoplait
