#include "writers/nmea_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;

const std::string kBom = "\xEF\xBB\xBF";

// Lines written with "\n" as the files hold them.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The body with its NMEA checksum, computed here on its own: XOR of every
// byte between "$" and "*".
std::string Sealed(const std::string& body) {
    int x = 0;
    for (size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", x);
    return body + tail;
}

struct NmeaFixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    ConvertSettings& s() { return settings.current; }

    // The sentences of the current record.
    std::string Written() {
        const std::string path = dir.File("out.nmea");
        TextWriter out(path, WriteMode::Plain);
        WriteNmeaSentences(out, ctx);
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(path);
    }
};

// The textbook pair, as the reader leaves it: the old checksums still hang
// on the last fields.
void FillTextbookPair(TrackPoint& p) {
    p.GgaId = "$GPGGA";
    p.GgaTime = "123519";
    p.GgaLatitude = "4807.038";
    p.GgaNS = "N";
    p.GgaLongitude = "01131.000";
    p.GgaEW = "E";
    p.GgaQuality = "1";
    p.GgaSatellites = "08";
    p.GgaDilution = "0.9";
    p.GgaAltitude = "545.4";
    p.GgaAltitudeUnit = "M";
    p.GgaGeoid = "46.9";
    p.GgaGeoidUnit = "M";
    p.GgaDgpsAge = "";
    p.GgaDgpsStation = "*47";
    p.RmcId = "$GPRMC";
    p.RmcTime = "123519";
    p.RmcStatus = "A";
    p.RmcLatitude = "4807.038";
    p.RmcNS = "N";
    p.RmcLongitude = "01131.000";
    p.RmcEW = "E";
    p.RmcSpeed = "022.4";
    p.RmcCourse = "084.4";
    p.RmcDate = "230394";
    p.RmcMagVar = "003.1";
    p.RmcMagVarEW = "W*6A";
}

const std::string kTextbookGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const std::string kTextbookRmc =
    "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

// --- Sentence writer ---------------------------------------------------------

TEST(NmeaSentences, TextbookSentencesComeBackWithTheirPublishedChecksums) {
    NmeaFixture f;
    f.s().Create_GPGGA = 1;
    f.s().Create_GPRMC = 1;
    FillTextbookPair(f.ctx.point);
    EXPECT_EQ(f.Written(), kTextbookGga + kTextbookRmc);
}

TEST(NmeaSentences, CreateFlagsChooseTheSentences) {
    struct Case {
        int gga;
        int rmc;
        std::string expected;
    };
    const Case cases[] = {
        {1, 0, kTextbookGga},
        {0, 1, kTextbookRmc},
        {0, 0, ""},
    };
    for (const Case& c : cases) {
        NmeaFixture f;
        f.s().Create_GPGGA = c.gga;
        f.s().Create_GPRMC = c.rmc;
        FillTextbookPair(f.ctx.point);
        EXPECT_EQ(f.Written(), c.expected) << c.gga << c.rmc;
    }
}

TEST(NmeaSentences, OldChecksumIsCutByCharactersAndReplaced) {
    struct Case {
        std::string station;
        std::string writtenStation;
    };
    const Case cases[] = {
        {"0000*5F", "0000"},
        {"*47", ""},
        {"*4", ""},
        {"12", ""},
        {"", ""},
        {"ab\xE2\x82\xAC*12", "ab\xE2\x82\xAC"},  // multi-byte character before the cut
        {"\xE2\x82\xAC" "12", ""},                // three characters, five bytes
        {"7\xC3\xA9\xC3\xA9\xC3\xA9", "7"},       // the three cut characters are multi-byte
    };
    for (const Case& c : cases) {
        NmeaFixture f;
        f.s().Create_GPGGA = 1;
        FillTextbookPair(f.ctx.point);
        f.ctx.point.GgaDgpsStation = c.station;
        const std::string body = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,," +
                                 c.writtenStation;
        EXPECT_EQ(f.Written(), Sealed(body) + "\r\n") << c.station;
    }
}

TEST(NmeaSentences, RmcDirectionLosesItsChecksum) {
    NmeaFixture f;
    f.s().Create_GPRMC = 1;
    FillTextbookPair(f.ctx.point);
    f.ctx.point.RmcMagVarEW = "E*00";
    f.ctx.point.RmcMagVar = "";
    EXPECT_EQ(f.Written(),
              Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,E") + "\r\n");
}

void FillTokyoPoint(TrackPoint& p) {
    FillTextbookPair(p);
    p.GgaLatitude = "3500.0000";
    p.GgaLongitude = "13900.0000";
    p.RmcLatitude = "3500.0000";
    p.RmcLongitude = "13900.0000";
}

TEST(NmeaSentences, DatumShiftMovesBothSidesAndStoresTheNewTexts) {
    NmeaFixture f;
    f.s().Create_GPGGA = 1;
    f.s().Create_GPRMC = 1;
    f.s().Tokyo2WGS84 = 1;
    // 35.0 / 139.0 (Tokyo) is 35.003286 / 138.996886 (WGS 84).
    const std::string expected =
        Sealed("$GPGGA,123519,3500.1972,N,13859.8132,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n" +
        Sealed("$GPRMC,123519,A,3500.1972,N,13859.8132,E,022.4,084.4,230394,003.1,W") + "\r\n";
    FillTokyoPoint(f.ctx.point);
    EXPECT_EQ(f.Written(), expected);
    EXPECT_EQ(f.ctx.point.GgaLatitude, "3500.1972");
    EXPECT_EQ(f.ctx.point.GgaLongitude, "13859.8132");
    EXPECT_EQ(f.ctx.point.RmcLatitude, "3500.1972");
    EXPECT_EQ(f.ctx.point.RmcLongitude, "13859.8132");
}

TEST(NmeaSentences, DatumShiftOnlyOnTheSidesWritten) {
    NmeaFixture f;
    f.s().Create_GPGGA = 1;
    f.s().Tokyo2WGS84 = 1;
    FillTokyoPoint(f.ctx.point);
    f.Written();
    EXPECT_EQ(f.ctx.point.GgaLatitude, "3500.1972");
    EXPECT_EQ(f.ctx.point.RmcLatitude, "3500.0000");
}

TEST(NmeaSentences, WithoutDatumShiftPositionsStayAsRead) {
    NmeaFixture f;
    f.s().Create_GPGGA = 1;
    FillTokyoPoint(f.ctx.point);
    f.Written();
    EXPECT_EQ(f.ctx.point.GgaLatitude, "3500.0000");
    EXPECT_EQ(f.ctx.point.GgaLongitude, "13900.0000");
}

// --- Pass-through run --------------------------------------------------------

struct PassFixture : NmeaFixture {
    std::string input = dir.File("in.nmea");
    std::string output = dir.File("out.nmea");

    PassFixture() {
        s().InputFile = input;
        s().OutputFile = output;
        s().Bom = 0;
        s().TimeDifference = "  0:00";
        ctx.run.FirstSentenceId = "$GPGGA";
    }

    int Run(const std::string& log) {
        WriteFileBytes(input, log);
        return RunNmeaToNmea(ctx);
    }
};

// One epoch: GGA, RMC and a satellite line.
std::string Epoch(const char* time, const char* date, const char* lat = "3539.1234",
                  const char* lon = "13945.6789") {
    return Sealed(std::string("$GPGGA,") + time + "," + lat + ",N," + lon +
                  ",E,1,08,0.9,12.5,M,36.0,M,,") +
           "\n" +
           Sealed(std::string("$GPRMC,") + time + ",A," + lat + ",N," + lon + ",E,1.0,90.0," +
                  date + ",,,A") +
           "\n" + "$GPGSV,1,1,01,01,40,083,46*7F\n";
}

TEST(NmeaPassThrough, AcceptedEpochsAreCopiedByteForByte) {
    PassFixture f;
    const std::string log = Epoch("120000", "010312") + "$PGRMZ,93,f,3*21\n" +
                            Epoch("120001", "010312") + Epoch("120002", "010312");
    EXPECT_EQ(f.Run(log), 0);
    EXPECT_EQ(ReadFileBytes(f.output), Crlf(log));
    EXPECT_EQ(f.ctx.store.RecordIndex, 3);
    EXPECT_EQ(f.ctx.store.WrittenCount, 3);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(NmeaPassThrough, BomFollowsTheSetting) {
    for (int bom : {0, 1}) {
        PassFixture f;
        f.s().Bom = bom;
        const std::string log = Epoch("120000", "010312");
        EXPECT_EQ(f.Run(log), 0);
        EXPECT_EQ(ReadFileBytes(f.output), (bom ? kBom : "") + Crlf(log)) << bom;
    }
}

TEST(NmeaPassThrough, LastLineWithoutLineEndStaysWithout) {
    PassFixture f;
    const std::string log = Epoch("120000", "010312") + "$GPGGA,120001,,,,,0,00,,,M,,M,,*66";
    EXPECT_EQ(f.Run(log), 0);
    EXPECT_EQ(ReadFileBytes(f.output), Crlf(log));
}

TEST(NmeaPassThrough, FiltersDropWholeEpochs) {
    PassFixture f;
    f.s().OmitErrorData = 1;
    f.s().IncludeData = 1;
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 4;
    const std::string noFix = "$GPGGA,120001,,,,,0,00,,,M,,M,,*66\n$GPGSV,1,1,00*79\n";
    const std::string log = Epoch("120000", "010312") + noFix + Epoch("120002", "010312") +
                            Epoch("120003", "010312") + Epoch("120004", "010312");
    EXPECT_EQ(f.Run(log), 0);
    // Epoch 1 is outside the range, epoch 2 has no position, epoch 5 is past the end.
    EXPECT_EQ(ReadFileBytes(f.output), Crlf(Epoch("120002", "010312") + Epoch("120003", "010312")));
    EXPECT_EQ(f.ctx.store.RecordIndex, 5);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
}

TEST(NmeaPassThrough, NothingAcceptedCreatesNoFile) {
    PassFixture f;
    f.s().OmitErrorData = 1;
    EXPECT_EQ(f.Run(""), 0);
    EXPECT_FALSE(FileExists(f.output));
    EXPECT_EQ(f.ctx.store.RecordIndex, 1);
    EXPECT_EQ(f.ctx.store.WrittenCount, 0);
}

TEST(NmeaPassThrough, EmptyLogWithoutFiltersGivesAnEmptyFile) {
    for (int bom : {0, 1}) {
        PassFixture f;
        f.s().Bom = bom;
        EXPECT_EQ(f.Run(""), 0);
        EXPECT_EQ(ReadFileBytes(f.output), bom ? kBom : "");
        EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    }
}

TEST(NmeaPassThrough, FirstLineNeverRepeatedIsOneEpoch) {
    PassFixture f;
    f.ctx.run.FirstSentenceId = "$GPZDA";
    const std::string log = "$GPZDA,120000.00,01,03,2012,00,00*6D\n" + Epoch("120000", "010312") +
                            Epoch("120001", "010312");
    EXPECT_EQ(f.Run(log), 0);
    EXPECT_EQ(ReadFileBytes(f.output), Crlf(log));
    EXPECT_EQ(f.ctx.store.RecordIndex, 1);
}

TEST(NmeaPassThrough, DatumShiftRebuildsGgaAndRmcWhateverTheCreateFlags) {
    PassFixture f;
    f.s().Tokyo2WGS84 = 1;
    f.s().Create_GPGGA = 0;
    f.s().Create_GPRMC = 0;
    const std::string log = Epoch("120000", "010312", "3500.0000", "13900.0000");
    EXPECT_EQ(f.Run(log), 0);
    const std::string expected =
        Sealed("$GPGGA,120000,3500.1972,N,13859.8132,E,1,08,0.9,12.5,M,36.0,M,,") + "\n" +
        Sealed("$GPRMC,120000,A,3500.1972,N,13859.8132,E,1.0,90.0,010312,,") + "\n" +
        "$GPGSV,1,1,01,01,40,083,46*7F\n";
    EXPECT_EQ(ReadFileBytes(f.output), Crlf(expected));
}

TEST(NmeaPassThrough, SplitFilesAreNamedByLocalDateAndTime) {
    PassFixture f;
    f.s().FileSplit = 1;
    f.s().TrackGroupDate = 1;
    f.ctx.run.TimeDifferenceValue = 90000;  // "+ 9:00"
    const std::string day1 = Epoch("143000", "290212") + Epoch("145959", "290212");
    const std::string day2 = Epoch("150000", "290212") + Epoch("150001", "290212");
    EXPECT_EQ(f.Run(day1 + day2), 0);
    // 2012 is a leap year: 29 Feb 23:30 local, then 1 Mar 00:00 local.
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120229-233000.nmea")), Crlf(day1));
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-000000.nmea")), Crlf(day2));
    EXPECT_FALSE(FileExists(f.output));
    EXPECT_EQ(f.ctx.store.GroupDate, "010312");
}

TEST(NmeaPassThrough, SplitByIntervalSecondsAndByDistance) {
    {
        PassFixture f;
        f.s().FileSplit = 1;
        f.ctx.run.GapSecondsLimit = 60.0;
        const std::string a = Epoch("120000", "010312") + Epoch("120100", "010312");
        const std::string b = Epoch("120201", "010312");
        EXPECT_EQ(f.Run(a + b), 0);
        EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-120000.nmea")), Crlf(a));
        EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-120201.nmea")), Crlf(b));
    }
    {
        PassFixture f;
        f.s().FileSplit = 1;
        f.ctx.run.GapDistanceLimit = 1.0;  // km; one minute of latitude is about 1.85 km
        const std::string a = Epoch("120000", "010312", "3539.0000") +
                              Epoch("120001", "010312", "3539.5000");
        const std::string b = Epoch("120002", "010312", "3540.5000");
        EXPECT_EQ(f.Run(a + b), 0);
        EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-120000.nmea")), Crlf(a));
        EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-120002.nmea")), Crlf(b));
    }
}

TEST(NmeaPassThrough, SplitWithoutDateChangeKeepsOneFile) {
    PassFixture f;
    f.s().FileSplit = 1;
    f.s().TrackGroupDate = 0;
    const std::string log = Epoch("235959", "290212") + Epoch("000000", "010312");
    EXPECT_EQ(f.Run(log), 0);
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120229-235959.nmea")), Crlf(log));
}

TEST(NmeaPassThrough, SplitNameWithoutExtensionAndWithDottedDirectory) {
    PassFixture f;
    std::filesystem::create_directory(f.dir.File("logs.d"));
    f.s().OutputFile = f.dir.File("logs.d/track");
    f.s().FileSplit = 1;
    EXPECT_EQ(f.Run(Epoch("120000", "010312")), 0);
    EXPECT_EQ(ReadFileBytes(f.dir.File("logs.d/track_20120301-120000")),
              Crlf(Epoch("120000", "010312")));
}

TEST(NmeaPassThrough, EpochOfThirtyLinesPassesAndThirtyOneStopsTheRun) {
    std::string gsv;
    for (int i = 0; i < 28; ++i) gsv += "$GPGSV,1,1,00*79\n";
    // GGA, RMC and 28 more lines: 30 lines, and one more makes 31.
    const std::string thirty = Sealed("$GPGGA,120000,3539.1234,N,13945.6789,E,1,08,0.9,12.5,M,36.0,M,,") +
                               "\n" + Sealed("$GPRMC,120000,A,3539.1234,N,13945.6789,E,1.0,90.0,010312,,,A") +
                               "\n" + gsv;
    {
        PassFixture f;
        EXPECT_EQ(f.Run(thirty + Epoch("120001", "010312")), 0);
        EXPECT_EQ(ReadFileBytes(f.output), Crlf(thirty + Epoch("120001", "010312")));
        EXPECT_TRUE(f.ui.messages.empty());
    }
    {
        PassFixture f;
        const std::string log = Epoch("115959", "010312") + thirty + "$GPGSV,1,1,00*79\n" +
                                Epoch("120001", "010312");
        EXPECT_EQ(f.Run(log), -1);
        EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"buf_table Over!(30 up)", "error!"}}));
        // What was written before stays, complete on disk once the run returns.
        EXPECT_EQ(ReadFileBytes(f.output), Crlf(Epoch("115959", "010312")));
        EXPECT_EQ(f.ctx.store.WrittenCount, 1);
    }
}

TEST(NmeaPassThrough, MissingInputIsReported) {
    PassFixture f;
    f.s().InputFile = f.dir.File("missing.nmea");
    EXPECT_EQ(RunNmeaToNmea(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
}

TEST(NmeaPassThrough, OutputThatCannotBeCreatedEndsTheRunNotTheProgram) {
    PassFixture f;
    f.s().OutputFile = f.dir.File("no-such-dir/out.nmea");
    EXPECT_EQ(f.Run(Epoch("120000", "010312") + Epoch("120001", "010312")), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_EQ(f.ctx.store.RecordIndex, 1);
}

TEST(NmeaPassThrough, OutputCutShortIsReported) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    PassFixture f;
    f.s().OutputFile = "/dev/full";  // every write fails: disk full
    EXPECT_EQ(f.Run(Epoch("120000", "010312") + Epoch("120001", "010312")), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
}

TEST(NmeaPassThrough, SplitFileCutShortEndsTheRunAtTheNextFile) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    PassFixture f;
    f.s().FileSplit = 1;
    f.s().TrackGroupDate = 1;
    // The first day's file lands on a full disk.
    std::filesystem::create_symlink("/dev/full", f.dir.File("out_20120301-120000.nmea"));
    EXPECT_EQ(f.Run(Epoch("120000", "010312") + Epoch("120000", "020312")), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_FALSE(FileExists(f.dir.File("out_20120302-120000.nmea")));
}

TEST(NmeaPassThrough, SplitFileThatCannotBeCreatedKeepsTheEarlierFiles) {
    PassFixture f;
    f.s().FileSplit = 1;
    f.s().TrackGroupDate = 1;
    // A directory in the way of the second file's name.
    std::filesystem::create_directory(f.dir.File("out_20120302-120000.nmea"));
    const std::string day1 = Epoch("120000", "010312");
    EXPECT_EQ(f.Run(day1 + Epoch("120000", "020312") + Epoch("120000", "030312")), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
    EXPECT_EQ(ReadFileBytes(f.dir.File("out_20120301-120000.nmea")), Crlf(day1));
    EXPECT_FALSE(FileExists(f.dir.File("out_20120303-120000.nmea")));
}

}  // namespace
}  // namespace geoplait
