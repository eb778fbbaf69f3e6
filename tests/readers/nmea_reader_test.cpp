#include "readers/nmea_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace geoplait {
namespace {

// How epochs are made and sentences parsed, field by field, is shown by the
// whole-program cases csv_full_epochs_* (CSV Full writes every field of both
// sides). Here: what a log of the usual size cannot show.

TEST(ParseSentences, FieldsAreFoundOnlyWhenTheirCommaLiesInTheFirst2048Characters) {
    // Field 1 of n characters puts the second "," at character 7 + n.
    auto gga = [](const std::string& field1) {
        TrackPoint point;
        ParseGga("$GPGGA," + field1 + ",4807.038,N,01131.000\r\n", point);
        return point;
    };
    TrackPoint p = gga(std::string(2040, 't'));  // second "," at 2047
    EXPECT_EQ(p.GgaTime.size(), 2040u);
    EXPECT_EQ(p.GgaLatitude, "4807.038");  // found, and copied whole past 2048
    EXPECT_EQ(p.GgaNS + p.GgaLongitude, "");  // the next "," is at 2056
    p = gga(std::string(2041, 't'));  // second "," at 2048
    EXPECT_EQ(p.GgaTime.size(), 2041u);
    EXPECT_EQ(p.GgaLatitude + p.RmcLatitude, "");
    // Characters, not bytes: 2040 two-byte characters still leave the "," at 2047.
    std::string wide;
    for (int i = 0; i < 2040; ++i) wide += "\xC3\xA9";
    p = gga(wide);
    EXPECT_EQ(p.GgaTime, wide);
    EXPECT_EQ(p.GgaLatitude, "4807.038");
    EXPECT_EQ(p.GgaNS, "");
    EXPECT_EQ(gga(wide + "\xC3\xA9").GgaLatitude, "");
    // A found field is copied whole, however long.
    p = gga(std::string(3000, 't'));
    EXPECT_EQ(p.GgaTime, std::string(3000, 't'));
    EXPECT_EQ(p.GgaLatitude, "");
}

TEST(SentenceIdOf, CharactersBeforeTheFirstCommaOrLineEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {"$GPGGA,123519,4807.038", "$GPGGA"}, {"$GPZDA\n", "$GPZDA"}, {"$GPZDA\r\n", "$GPZDA"},
        {"$GPRMC", "$GPRMC"}, {"$PGRMZ\r,246,f", "$PGRMZ"}, {",$GPGGA", ""}, {"", ""}, {"\n", ""},
        {"Date: 2009/10/15 Time: 10:48:31\n", "Date: 2009/10/15 Time: 10:48:31"}, {"$GPGSA*1E\n", "$GPGSA*1E"},
    };
    for (const auto& [line, id] : cases) EXPECT_EQ(SentenceIdOf(line), id) << line;
}

}  // namespace
}  // namespace geoplait
