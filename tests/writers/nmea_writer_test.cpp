// NMEA output: sentences rebuilt with checksums computed here on their own,
// and the pass-through run's cases that the whole-program cases do not reach
// (odd last lines and epochs, split names, split files that fail).
#include "writers/nmea_writer.h"

#include <cstdio>
#include <functional>
#include <optional>

#include "readers/nmea_reader.h"
#include "writer_fixture.h"

namespace geoplait::test {
namespace {

// The body with its NMEA checksum: XOR of every byte between "$" and "*".
std::string Sealed(const std::string& body) {
    int x = 0;
    for (size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", x);
    return body + tail;
}

// The textbook pair with its published checksums.
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

TEST(NmeaSentences, RebuiltWithFreshChecksums) {
    struct Case {
        const char* name;
        int gga, rmc, tokyo;
        std::function<void(TrackPoint&)> change;
        std::string expected;
    };
    const auto none = [](TrackPoint&) {};
    const Case cases[] = {
        {"textbook pair", 1, 1, 0, none, kGga + "\r\n" + kRmc + "\r\n"},
        {"GGA only", 1, 0, 0, none, kGga + "\r\n"},
        {"RMC only", 0, 1, 0, none, kRmc + "\r\n"},
        {"neither", 0, 0, 0, none, ""},
        {"RMC direction loses its checksum", 0, 1, 0,
         [](TrackPoint& p) { p.RmcMagVar = ""; p.RmcMagVarEW = "E*00"; },
         Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,E") + "\r\n"},
        // 35.0 / 139.0 (Tokyo) is 35.003286 / 138.996886 (WGS 84).
        {"datum shift on both", 1, 1, 1,
         [](TrackPoint& p) {
             p.GgaLatitude = p.RmcLatitude = "3500.0000";
             p.GgaLongitude = p.RmcLongitude = "13900.0000";
         },
         Sealed("$GPGGA,123519,3500.1972,N,13859.8132,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n" +
             Sealed("$GPRMC,123519,A,3500.1972,N,13859.8132,E,022.4,084.4,230394,003.1,W") + "\r\n"},
    };
    for (const Case& c : cases) {
        WriterFixture f;
        f.s().Create_GPGGA = c.gga;
        f.s().Create_GPRMC = c.rmc;
        f.s().Tokyo2WGS84 = c.tokyo;
        ParseGga(kGga, f.ctx.point);
        ParseRmc(kRmc, f.ctx.point);
        c.change(f.ctx.point);
        EXPECT_EQ(f.Written([&](TextWriter& out) { WriteNmeaSentences(out, f.ctx); }), c.expected) << c.name;
    }
}

TEST(NmeaSentences, OldChecksumIsCutByCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"0000*5F", "0000"}, {"*47", ""}, {"*4", ""}, {"12", ""}, {"", ""},
        {"ab\xE2\x82\xAC*12", "ab\xE2\x82\xAC"},  // a multi-byte character before the cut
        {"\xE2\x82\xAC" "12", ""},                // three characters, five bytes
        {"7\xC3\xA9\xC3\xA9\xC3\xA9", "7"},       // the three cut characters are multi-byte
    };
    for (const auto& [station, written] : cases) {
        WriterFixture f;
        f.s().Create_GPGGA = 1;
        ParseGga(kGga, f.ctx.point);
        f.ctx.point.GgaDgpsStation = station;
        EXPECT_EQ(f.Written([&](TextWriter& out) { WriteNmeaSentences(out, f.ctx); }),
                  Sealed(std::string("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + written) +
                      "\r\n")
            << station;
    }
}

// One epoch: GGA, RMC and a satellite line.
std::string Epoch(const char* time, const char* date) {
    return Sealed(std::string("$GPGGA,") + time + ",3539.1234,N,13945.6789,E,1,08,0.9,12.5,M,36.0,M,,") + "\n" +
           Sealed(std::string("$GPRMC,") + time + ",A,3539.1234,N,13945.6789,E,1.0,90.0," + date + ",,,A") + "\n" +
           "$GPGSV,1,1,01,01,40,083,46*7F\n";
}

TEST(NmeaPassThrough, Runs) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string empty, first = Epoch("120000", "010312");
    const std::string lastLine = first + "$GPGGA,120001,,,,,0,00,,,M,,M,,*66";
    const std::string zda = "$GPZDA,120000.00,01,03,2012,00,00*6D\n" + first + Epoch("120001", "010312");
    const std::string overMidnight = Epoch("235959", "290212") + first;
    const std::string threeDays = first + Epoch("120000", "020312") + Epoch("120000", "030312");
    const ShownMessage notCreated{"Output File Not Create", "Error"};
    using Files = std::vector<std::pair<const char*, std::optional<std::string>>>;  // nullopt: absent
    struct Case {
        const char* name;
        std::function<void(WriterFixture&)> setup;
        const std::string& log;
        int status;
        Files files;
        std::vector<ShownMessage> messages;
    };
    const Case cases[] = {
        {"last line without line end", [](WriterFixture&) {}, lastLine, 0, {{"out.nmea", Crlf(lastLine)}}, {}},
        {"first line never repeated: one epoch",
         [](WriterFixture& f) { f.ctx.run.FirstSentenceId = "$GPZDA"; }, zda, 0, {{"out.nmea", Crlf(zda)}}, {}},
        {"nothing accepted: no file", [](WriterFixture& f) { f.s().OmitErrorData = 1; }, empty, 0,
         {{"out.nmea", std::nullopt}}, {}},
        {"split without TrackGroupDate keeps the date change", [](WriterFixture& f) { f.s().FileSplit = 1; },
         overMidnight, 0, {{"out_20120229-235959.nmea", Crlf(overMidnight)}}, {}},
        {"split name without extension in a dotted directory",
         [](WriterFixture& f) {
             std::filesystem::create_directory(f.dir.File("logs.d"));
             f.s().OutputFile = f.dir.File("logs.d/track");
             f.s().FileSplit = 1;
         },
         first, 0, {{"logs.d/track_20120301-120000", Crlf(first)}}, {}},
        {"split file cut short ends the run at the next file",
         [](WriterFixture& f) {
             f.s().FileSplit = f.s().TrackGroupDate = 1;
             std::filesystem::create_symlink("/dev/full", f.dir.File("out_20120301-120000.nmea"));
         },
         threeDays, -1, {{"out_20120302-120000.nmea", std::nullopt}}, {notCreated}},
        {"split file not created keeps the earlier files",
         [](WriterFixture& f) {
             f.s().FileSplit = f.s().TrackGroupDate = 1;
             std::filesystem::create_directory(f.dir.File("out_20120302-120000.nmea"));
         },
         threeDays, -1, {{"out_20120301-120000.nmea", Crlf(first)}, {"out_20120303-120000.nmea", std::nullopt}},
         {notCreated}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriterFixture f;
        f.s().InputFile = f.dir.File("in.nmea");
        f.s().OutputFile = f.dir.File("out.nmea");
        f.s().Bom = 0;
        f.s().TimeDifference = "  0:00";
        f.ctx.run.FirstSentenceId = "$GPGGA";
        c.setup(f);
        f.Input(c.log);
        EXPECT_EQ(RunNmeaToNmea(f.ctx), c.status);
        EXPECT_EQ(f.ui.messages, c.messages);
        for (const auto& [name, bytes] : c.files) {
            if (bytes) {
                EXPECT_EQ(ReadFileBytes(f.dir.File(name)), *bytes) << name;
            } else {
                EXPECT_FALSE(FileExists(f.dir.File(name))) << name;
            }
        }
    }
}

}  // namespace
}  // namespace geoplait::test
