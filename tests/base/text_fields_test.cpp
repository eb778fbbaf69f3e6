#include "base/text_fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace geoplait {
namespace {

TEST(SlotChar, BlankSlotsAfterTheText) {
    const struct { std::string text; size_t index; char want; } cases[] = {
        {"", 0, '\0'}, {"", 1, ' '}, {"", 7, ' '}, {"", 8, '\0'}, {"", 100, '\0'}, {"123456", 0, '1'},
        {"123456", 5, '6'}, {"123456", 6, '\0'}, {"123456", 7, ' '}, {"123456", 8, '\0'}, {"12", 2, '\0'},
        {"12", 3, ' '}, {"1234567890", 9, '0'}, {"1234567890", 10, '\0'}, {"1234567890", 11, '\0'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SlotChar(c.text, c.index), c.want) << "'" << c.text << "' " << c.index;
    }
}

TEST(ReplaceExtension, CutsAtTheLastDotOfTheFileName) {
    const struct { std::string path, suffix, want; } cases[] = {
        {"track.nmea", ".kml", "track.kml"}, {"/data/track.log.txt", "_Photo.csv", "/data/track.log_Photo.csv"},
        {"/maps.old/track", "_Photo.csv", "/maps.old/track_Photo.csv"}, {"track", ".kml", "track.kml"},
        {"/home/ann/.gps/track", "_Photo.csv", "/home/ann/.gps/track_Photo.csv"}, {"a/.b", "_x", "a/.b_x"},
        {".hidden", "_x", ".hidden_x"}, {"a.", "", "a"}, {"a.b", "", "a"}, {"", ".kml", ".kml"}, {".", "", "."},
        {"..", "x", ".x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplaceExtension(c.path, c.suffix), c.want) << c.path;
    }
}

TEST(FieldAt, FieldsBySeparator) {
    const std::string gga = "$GPGGA,123456,3539.1234,N,13945.5000,E,1,08,0.9,10.5,M,,M,,*47\r\n";
    const struct { std::string line; int n; char separator; std::string want; } cases[] = {
        {gga, 1, ',', "$GPGGA"}, {gga, 3, ',', "3539.1234"}, {gga, 12, ',', ""}, {gga, 15, ',', "*47"},
        {gga, 16, ',', ""}, {"a;b;c\n", 3, ';', "c"}, {"a,b", 2, ';', ""}, {"a,b", 1, ';', "a,b"}, {"", 1, ',', ""},
        {",", 2, ',', ""}, {"a\rb,c", 1, ',', "a"}, {"a,b\nc,d", 3, ',', "d"}, {"a,b", 0, ',', ""},
        {"a,b", -3, ',', ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FieldAt(c.line, c.n, c.separator), c.want) << c.line << " #" << c.n;
        std::string into = "stale";
        FieldAt(into, c.line, c.n, c.separator);
        EXPECT_EQ(into, c.want) << c.line << " #" << c.n;
    }
}

TEST(FieldAt, ScansOnlyTheFirst2048Characters) {
    // Separator as character 2048 (index 2047) is found, one further is not.
    const std::string found = std::string(2047, 'a') + ",b";
    const std::string missed = std::string(2048, 'a') + ",b";
    EXPECT_EQ(FieldAt(found, 2, ','), "");  // "b" lies beyond the scan
    EXPECT_EQ(FieldAt(found, 1, ','), std::string(2047, 'a'));
    EXPECT_EQ(FieldAt(missed, 2, ','), "");
    EXPECT_EQ(FieldAt(missed, 1, ','), std::string(2048, 'a'));
    const std::string shortField = std::string(2040, 'a') + ",bcdefghijk";
    EXPECT_EQ(FieldAt(shortField, 2, ','), "bcdefgh");
    // Characters, not bytes: 2046 two-byte characters, then ",b" is still
    // inside, and a cut never splits a character.
    std::string wide;
    for (int i = 0; i < 2046; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(FieldAt(wide + ",bc", 2, ','), "b");
    EXPECT_EQ(FieldAt(wide + "\xC3\xA9\xC3\xA9\xC3\xA9", 1, ','), wide + "\xC3\xA9\xC3\xA9");
}

TEST(NumericOnly, KeepsDigitsPointsCommasAndSigns) {
    const struct { std::string source, want; } cases[] = {
        {"12.5 km/h", "12.5"}, {"+1,234-5", "+1,234-5"}, {"abc", ""}, {"", ""}, {"N35\xC2\xB0 39'", "3539"},
        {"1e5", "15"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumericOnly(c.source), c.want) << c.source;
}

TEST(CollapseBlanks, OneBlankBetweenWordsNoneAtTheEnds) {
    const struct { std::string text, want; } cases[] = {
        {"a  b", "a b"}, {"  a   b  ", "a b"}, {" a ", "a"}, {"a", "a"}, {"", ""}, {" ", ""}, {"   ", ""},
        {"a\t\tb", "a\t\tb"}, {"a b c", "a b c"}, {"\xE3\x81\x82  \xE3\x81\x84", "\xE3\x81\x82 \xE3\x81\x84"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        CollapseBlanks(text);
        EXPECT_EQ(text, c.want) << "'" << c.text << "'";
    }
}

TEST(IntegerOf, LeadingIntegerOrZero) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const struct { std::string text; int32_t want; } cases[] = {
        {"", 0}, {"12", 12}, {"  12", 12}, {"\t\r\n 7", 7}, {"+5", 5}, {"-5", -5}, {"12abc", 12}, {"3.9", 3},
        {"1e5", 1}, {"abc", 0}, {"-", 0}, {"+", 0}, {"+-5", 0}, {" - 5", 0}, {"08", 8}, {"0x1A", 0},
        {"2147483647", kMax}, {"2147483648", kMax}, {"99999999999999999999999", kMax}, {"-2147483648", kMin},
        {"-2147483649", kMin}, {"-99999999999999999999999", kMin}, {std::string("5\0" "6", 3), 5},
    };
    for (const auto& c : cases) EXPECT_EQ(IntegerOf(c.text), c.want) << "'" << c.text << "'";
}

TEST(NumberOf, LeadingDecimalNumberOrZero) {
    constexpr double kMax = std::numeric_limits<double>::max();
    const struct { std::string text; double want; } cases[] = {
        {"", 0.0}, {"3539.1234", 3539.1234}, {"  -1.5", -1.5}, {"+.5", 0.5}, {".", 0.0}, {"-.", 0.0}, {"5.", 5.0},
        {"1e3", 1000.0}, {"1e", 1.0}, {"1,5", 1.0}, {"12abc", 12.0}, {"abc", 0.0}, {"inf", 0.0}, {"-nan", 0.0},
        {"0x10", 0.0}, {"+", 0.0}, {"1e999", kMax}, {"-1e999", -kMax}, {"1e-999", 0.0}, {"-1e-999", -0.0},
        {"0." + std::string(400, '0') + "1", 0.0}, {"1" + std::string(400, '0'), kMax}, {"0.00000e400", 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberOf(c.text), c.want) << "'" << c.text << "'";
}

}  // namespace
}  // namespace geoplait
