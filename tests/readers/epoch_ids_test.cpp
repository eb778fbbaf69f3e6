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
    // Identifiers that differ in their last two characters only, or in length;
    // the times 00:00:01 to 00:00:03 tell the epochs apart.
    const std::string log =
        "$GPRMC,000001,A\r\n$GPGGA,000001\r\n$GPRMB,x\r\n$GPRMCX,9\r\n$GPRM,8\r\n"
        "$GPRMC,000002,A\r\n$GPGGA,000002\r\n$GPGGB,7\r\n$GPGG,6\r\n,\r\n\r\n$GPRMC,000003,A\r\n";
    const struct {
        std::string firstId;
        std::vector<std::string> epochs;
    } cases[] = {
        {"$GPRMC", {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002", "/$GPRMC/000003"}},
        {"$GPRMB", {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
        {"$GPRMCX", {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
        {"$GPRM", {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
        {"$GPGGB", {"$GPGGA/$GPRMC/000002", "/$GPRMC/000003"}},
        // An empty identifier: the line "," and the empty line each open one.
        {"", {"$GPGGA/$GPRMC/000002", "//", "/$GPRMC/000003"}},
        {"$GPXXX", {"$GPGGA/$GPRMC/000002"}},
        // A GGA or RMC first: the GGA or RMC of every known talker too.
        {"$GNRMC", {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002", "/$GPRMC/000003"}},
        {"$GLGGA", {"/$GPRMC/000001", "$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Epochs(log, c.firstId), c.epochs) << "'" << c.firstId << "'";
}

TEST(EpochIds, AnEmptyLogGivesOneEmptyEpochAndALogOfOneLineOne) {
    EXPECT_EQ(Epochs("", "$GPRMC"), (std::vector<std::string>{"//"}));
    EXPECT_EQ(Epochs("$GPRMC,000001,A", "$GPRMC"), (std::vector<std::string>{"/$GPRMC/000001"}));
    // The line that opens an epoch is parsed into the next record, not the one handed on.
    EXPECT_EQ(Epochs("$GPGGA,000001\n$GPGGA,000002\n", "$GPGGA"),
              (std::vector<std::string>{"$GPGGA//000001", "$GPGGA//000002"}));
}

}  // namespace
}  // namespace geoplait

namespace geoplait {
namespace {

// The same epochs as their lines, for the pass-through: each line as read
// (CR LF read as "\n", a last line without an end as it is), an epoch of 30
// lines whole and one of 31 marked, nothing parsed into the point.
TEST(EpochIds, EpochsAsTheirLines) {
    std::string log = "$GPRMC,000001,A\r\n$PXXX,1\r\n";
    std::string thirty = "$GPRMC,000002,A\r\n";
    for (int i = 1; i < 30; ++i) thirty += "$GPGSV," + std::to_string(i) + "\r\n";
    log += thirty + thirty + "$GPGSV,30\r\n$GPRMC,000004,A";
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), log);
    NmeaReader reader;
    ASSERT_TRUE(reader.Open(dir.File("in.log"), "$GPRMC"));
    EpochLines epoch;
    reader.KeepLines(&epoch);
    TrackPoint point;
    std::vector<size_t> counts;
    std::vector<bool> tooLong;
    std::vector<std::string> firstLines;
    while (reader.Next(point)) {
        counts.push_back(epoch.count);
        tooLong.push_back(epoch.tooLong);
        firstLines.push_back(epoch.lines[0]);
    }
    EXPECT_EQ(counts, (std::vector<size_t>{2, 30, 30, 1}));
    EXPECT_EQ(tooLong, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(firstLines, (std::vector<std::string>{"$GPRMC,000001,A\n", "$GPRMC,000002,A\n",
                                                    "$GPRMC,000002,A\n", "$GPRMC,000004,A"}));
    EXPECT_TRUE(point.RmcId.empty()) << "kept lines are not parsed";
}

}  // namespace
}  // namespace geoplait
