// Records of an NMEA log are fixes: a record begins at a fix sentence whose
// time differs from the record's or whose kind the record holds already,
// whatever sentence the log starts with and whatever stands before a "$".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/nmea_reader.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

// The GgaId, RmcId and GgaTime of every record, joined.
std::vector<std::string> Records(const std::string& log, int32_t* badChecksums = nullptr) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), log);
    NmeaReader reader;
    EXPECT_TRUE(reader.Open(dir.File("in.log")));
    TrackPoint point;
    std::vector<std::string> records;
    while (reader.Next(point)) {
        records.push_back(point.GgaId + "/" + point.RmcId + "/" + point.GgaTime);
        ClearTrackPoint(point);
    }
    EXPECT_FALSE(reader.Next(point)) << "the end stays the end";
    if (badChecksums != nullptr) *badChecksums = reader.Losses().BadChecksums;
    return records;
}

struct RecordCase {
    const char* name;
    std::string log;
    std::vector<std::string> records;
};

TEST(EpochsByFix, OneRecordPerFix) {
    const std::vector<RecordCase> cases = {
        {"rmc then gga", "$GPRMC,000001,A\n$GPGGA,000001\n$GPGSA,x\n$GPRMC,000002,A\n$GPGGA,000002\n",
         {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
        {"zda first, every other second",
         "$GPZDA,000001.00,01,02,2024,00,00\n$GPGGA,000001\n$GPGGA,000002\n"
         "$GPZDA,000003.00,01,02,2024,00,00\n$GPGGA,000003\n",
         {"$GPGGA//000001", "$GPGGA//000002", "$GPGGA//000003"}},
        {"gsv first, every fifth epoch",
         "$GPGSV,2,1,08\n$GPGSV,2,2,08\n$GPRMC,000001,A\n$GPGGA,000001\n$GPRMC,000002,A\n$GPGGA,000002\n"
         "$GPGSV,2,1,08\n$GPGSV,2,2,08\n$GPRMC,000003,A\n$GPGGA,000003\n",
         {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002", "$GPGGA/$GPRMC/000003"}},
        {"10 Hz", "$GPGGA,000001.0\n$GPVTG,x\n$GPGGA,000001.1\n$GPVTG,x\n$GPGGA,000001.2\n",
         {"$GPGGA//000001.0", "$GPGGA//000001.1", "$GPGGA//000001.2"}},
        {"same time with other zeros", "$GPRMC,000001.00,A\n$GPGGA,000001\n",
         {"$GPGGA/$GPRMC/000001"}},
        {"a gga again without a time", "$GPGGA,\n$GPGGA,\n", {"$GPGGA//", "$GPGGA//"}},
        {"gll and gns open records too",
         "$GPGGA,000001\n$GPGLL,1,N,2,E,000002,A\n$GPGGA,000002\n$GNGNS,000003\n$GPGGA,000003\n",
         {"$GPGGA//000001", "$GPGGA//000002", "$GPGGA//000003"}},
        {"bytes before the dollar", std::string("\0\0\0$GPGGA,000001\n\xB5" "b$GPGGA,000002\nx$GPGGA,000003\n", 49),
         {"$GPGGA//000001", "$GPGGA//000002", "$GPGGA//000003"}},
        {"banner, blank line, half a sentence",
         "$GNTXT,01,01,02,u-blox*12\n\nA,000000\n$GNRMC,000001,A\n$GNGGA,000001\n",
         {"$GNGGA/$GNRMC/000001"}},
        {"cr only", "$GPRMC,000001,A\r$GPGGA,000001\r$GPRMC,000002,A\r$GPGGA,000002\r",
         {"$GPGGA/$GPRMC/000001", "$GPGGA/$GPRMC/000002"}},
        {"lower case is no sentence", "$gpgga,000001\n$GPGGA,000002\n", {"$GPGGA//000002"}},
    };
    for (const RecordCase& c : cases) EXPECT_EQ(Records(c.log), c.records) << c.name;
}

TEST(EpochsByFix, AnEmptyLogGivesOneEmptyRecordAndALogOfOneLineOne) {
    EXPECT_EQ(Records(""), (std::vector<std::string>{"//"}));
    EXPECT_EQ(Records("$GPRMC,000001,A"), (std::vector<std::string>{"/$GPRMC/000001"}));
}

TEST(EpochsByFix, ASentenceWhoseChecksumFailsIsNotUsed) {
    // "$GPGGA,000001,*57" is right; a wrong one, a checksum cut short or
    // followed by more bytes fails; a sentence without "*" is used, and
    // lower-case digits count.
    const std::string log =
        "$GPGGA,000001,*57\r\n$GPGGA,000002,*57\r\n$GPGGA,000003,*7\r\n$GPGGA,000004,*7Ex\r\n$GPGGA,000005\r\n"
        "$GPGGA,000006,*50\r\n";
    int32_t bad = 0;
    EXPECT_EQ(Records(log, &bad), (std::vector<std::string>{"$GPGGA//000001", "$GPGGA//000005", "$GPGGA//000006"}));
    EXPECT_EQ(bad, 3);
}

TEST(EpochsByFix, Checksums) {
    EXPECT_FALSE(FailsChecksum("$GPGGA,000001*7B\n"));
    EXPECT_FALSE(FailsChecksum("$GPGGA,000001*7b\r\n"));
    EXPECT_FALSE(FailsChecksum("$GPGGA,000001"));
    EXPECT_TRUE(FailsChecksum("$GPGGA,000001*7A"));
    EXPECT_TRUE(FailsChecksum("$GPGGA,000002*7B"));
    EXPECT_TRUE(FailsChecksum("$GPGGA,000001*"));
    EXPECT_TRUE(FailsChecksum("$GPGGA,000001*7G"));
    EXPECT_TRUE(FailsChecksum("$GPGGA,000001*7B5"));
}

TEST(EpochsByFix, SentencesAreFoundAtAnIdentifier) {
    NmeaSentence s;
    ASSERT_TRUE(FindNmeaSentence("ab$$GPGGA,1\n", s));
    EXPECT_EQ(s.id, "$GPGGA");
    EXPECT_EQ(s.text, "$GPGGA,1\n");
    EXPECT_EQ(s.kind, SentenceKind::Gga);
    ASSERT_TRUE(FindNmeaSentence("$PGRME,1", s));
    EXPECT_EQ(s.kind, SentenceKind::Other);
    ASSERT_TRUE(FindNmeaSentence("$GPRMC", s));
    EXPECT_EQ(s.kind, SentenceKind::Rmc);
    EXPECT_FALSE(FindNmeaSentence("$GP,1", s));
    EXPECT_FALSE(FindNmeaSentence("$ABCDEFGHIJ,1", s));
    EXPECT_FALSE(FindNmeaSentence("no sentence\n", s));
    EXPECT_FALSE(FindNmeaSentence("$gpgga,1", s));
    // Five characters and a "," after the "$", or the "$" further on.
    EXPECT_FALSE(FindNmeaSentence("$GPG$A,1", s));
    EXPECT_FALSE(FindNmeaSentence("$GPGGa,1", s));
    ASSERT_TRUE(FindNmeaSentence("$GPGGA,", s));
    EXPECT_EQ(s.id, "$GPGGA");
    EXPECT_EQ(s.kind, SentenceKind::Gga);
    ASSERT_TRUE(FindNmeaSentence("$GP,$GNRMC,1", s));
    EXPECT_EQ(s.id, "$GNRMC");
    EXPECT_EQ(s.text, "$GNRMC,1");
    ASSERT_TRUE(FindNmeaSentence("$GPGSV,1", s));
    EXPECT_EQ(s.kind, SentenceKind::Other);
}

// The epochs the shared loop makes of a log, each its lines' texts joined,
// with what it left out.
struct LoopRun {
    std::vector<std::string> epochs;
    int32_t badChecksums = 0;
    int32_t longLines = 0;
};

LoopRun LoopEpochs(const std::string& log) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), log);
    TextReader input;
    EXPECT_TRUE(input.Open(dir.File("in.log")));
    NmeaEpochLoop loop;
    NmeaLine line;
    LoopRun run;
    do {
        std::string epoch;
        while (loop.NextLine(input, line)) epoch += line.text;
        run.epochs.push_back(epoch);
    } while (!loop.Ended());
    EXPECT_FALSE(loop.NextLine(input, line)) << "the end stays the end";
    run.badChecksums = loop.BadChecksums();
    run.longLines = loop.LongLines();
    return run;
}

TEST(EpochLoop, HandsOnTheLinesOfEachEpoch) {
    // Lines of text stay in their epoch (the pass-through copies them), from
    // the "$" where a sentence stands; binary lines and damaged sentences go.
    const LoopRun run = LoopEpochs(std::string("$GPRMC,000001,A\nnote\n\0\0\1\nxy$GPGSV,1\n$GPGGA,000001,*56\n"
                                               "$GPGGA,000001\n\n$GPRMC,000002,A\r\n$GPGGA,000002",
                                               99));
    EXPECT_EQ(run.epochs, (std::vector<std::string>{"$GPRMC,000001,A\nnote\n$GPGSV,1\n$GPGGA,000001\n\n",
                                                    "$GPRMC,000002,A\n$GPGGA,000002"}));
    EXPECT_EQ(run.badChecksums, 1);
    EXPECT_EQ(run.longLines, 0);
    EXPECT_EQ(LoopEpochs("").epochs, (std::vector<std::string>{""}));
    EXPECT_EQ(LoopEpochs("\n").epochs, (std::vector<std::string>{"\n"}));
}

TEST(EpochLoop, LinesOverTheLimitArePassedOverWhole) {
    // A sentence after 4095 characters less its own length is on a line of
    // 4095 (read), one character more makes the line too long (passed over,
    // its tail never read as a sentence); the same for characters of two
    // bytes, and for a last line without its end.
    const std::string tail = "$GPGGA,000009\n";
    const auto line = [&](size_t chars, const std::string& fill) {
        std::string text;
        for (size_t i = 0; i + tail.size() - 1 < chars; ++i) text += fill;
        return text + tail;
    };
    const std::string first = "$GPGGA,000001\n";
    const std::string last = "$GPGGA,000002\n";
    const struct {
        std::string middle;
        bool kept;
    } cases[] = {
        {line(4095, "x"), true},
        {line(4096, "x"), false},
        {line(10000, "x"), false},
        {line(4095, "\xC3\xA9"), true},
        {line(4096, "\xC3\xA9"), false},
    };
    for (const auto& c : cases) {
        const LoopRun run = LoopEpochs(first + c.middle + last);
        const std::vector<std::string> kept = {first, tail, last};
        const std::vector<std::string> passed = {first, last};
        EXPECT_EQ(run.epochs, c.kept ? kept : passed) << c.middle.size();
        EXPECT_EQ(run.longLines, c.kept ? 0 : 1) << c.middle.size();
    }
    std::string end = line(4095, "x");
    end.pop_back();
    EXPECT_EQ(LoopEpochs(first + end).epochs, (std::vector<std::string>{first, "$GPGGA,000009"}));
    const LoopRun over = LoopEpochs(first + "x" + end);
    EXPECT_EQ(over.epochs, (std::vector<std::string>{first}));
    EXPECT_EQ(over.longLines, 1);
}

}  // namespace
}  // namespace geoplait
