// The epoch reader compares identifiers of six characters as numbers: epochs
// must start exactly where the text comparison starts them, whatever length
// the first identifier has and wherever two identifiers differ.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/nmea_reader.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

// The RmcId and GgaId of every epoch, joined.
std::vector<std::string> Epochs(const std::string& log, const std::string& firstId) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), log);
    NmeaReader reader;
    EXPECT_TRUE(reader.Open(dir.File("in.log"), firstId));
    TrackPoint point;
    std::vector<std::string> epochs;
    while (reader.Next(point)) {
        epochs.push_back(point.GgaId + "/" + point.RmcId + "/" + point.GgaTime);
        ClearTrackPoint(point);
    }
    EXPECT_FALSE(reader.Next(point)) << "the end stays the end";
    return epochs;
}

TEST(EpochIds, EpochsStartAtTheFirstIdentifierOfAnyLength) {
    // Identifiers that differ in their last two characters only, or in length.
    const std::string log =
        "$GPRMC,1,A\r\n$GPGGA,1\r\n$GPRMB,x\r\n$GPRMCX,9\r\n$GPRM,8\r\n"
        "$GPRMC,2,A\r\n$GPGGA,2\r\n$GPGGB,7\r\n$GPGG,6\r\n,\r\n\r\n$GPRMC,3,A\r\n";
    const struct {
        std::string firstId;
        std::vector<std::string> epochs;
    } cases[] = {
        {"$GPRMC", {"$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2", "/$GPRMC/3"}},
        {"$GPRMB", {"$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2"}},
        {"$GPRMCX", {"$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2"}},
        {"$GPRM", {"$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2"}},
        {"$GPGGB", {"$GPGGA/$GPRMC/2", "/$GPRMC/3"}},
        // An empty identifier: the line "," and the empty line each open one.
        {"", {"$GPGGA/$GPRMC/2", "//", "/$GPRMC/3"}},
        {"$GPXXX", {"$GPGGA/$GPRMC/2"}},
        // A GGA or RMC first: the GGA or RMC of every known talker too.
        {"$GNRMC", {"$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2", "/$GPRMC/3"}},
        {"$GLGGA", {"/$GPRMC/1", "$GPGGA/$GPRMC/1", "$GPGGA/$GPRMC/2"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Epochs(log, c.firstId), c.epochs) << "'" << c.firstId << "'";
}

TEST(EpochIds, AnEmptyLogGivesOneEmptyEpochAndALogOfOneLineOne) {
    EXPECT_EQ(Epochs("", "$GPRMC"), (std::vector<std::string>{"//"}));
    EXPECT_EQ(Epochs("$GPRMC,1,A", "$GPRMC"), (std::vector<std::string>{"/$GPRMC/1"}));
    // The line that opens an epoch is parsed into the next record, not the one handed on.
    EXPECT_EQ(Epochs("$GPGGA,1\n$GPGGA,2\n", "$GPGGA"), (std::vector<std::string>{"$GPGGA//1", "$GPGGA//2"}));
}

}  // namespace
}  // namespace geoplait
