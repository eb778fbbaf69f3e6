// The "nmea(log) -> gpx" run in process: files, byte-order mark, messages,
// the whole document for a small log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/mode_table.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "writers/gpx_writer.h"

namespace geoplait {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;

std::string Crlf(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

// Whether xmllint accepts the file as well-formed (true when it is not installed).
bool WellFormed(const std::string& path) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) return true;
    return std::system(("xmllint --noout '" + path + "'").c_str()) == 0;
}

const char* const kTwoEpochLog =
    "$GPRMC,123456.00,A,3539.1234,N,13945.6789,E,3.2,45.6,150613,,,A*00\r\n"
    "$GPGGA,123456.00,3539.1234,N,13945.6789,E,1,08,1.2,12.5,M,39.0,M,,*00\r\n"
    "$GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,2.0,1.2,1.6*00\r\n"
    "$GPRMC,123501.00,A,3539.1300,N,13945.6800,E,3.0,46.0,150613,,,A*00\r\n"
    "$GPGGA,123501.00,3539.1300,N,13945.6800,E,1,07,1.3,13.0,M,39.0,M,,*00\r\n";

const char* const kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"geoplait Ver 0.33  By Geoplait  "
    "https://geoplait.example.org/ \" "
    "xmlns:kashmir3d=\"http://www.kashmir3d.com/namespace/kashmir3d\">\n"
    "<metadata></metadata>\n"
    "  <rte>\n";

const char* const kTail =
    "  </rte>\n"
    "</gpx>\n";

struct RunFixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    RunFixture() {
        ConvertSettings& s = settings.current;
        s.Mode = "nmea(log) -> gpx";
        s.InputFile = dir.File("in.log");
        s.OutputFile = dir.File("out.gpx");
        s.Name = "R&D";
        ctx.run.FirstSentenceId = "$GPRMC";
    }
};

TEST(NmeaToGpxRun, WholeDocumentWithAndWithoutMark) {
    const std::string document = Crlf(std::string(kHead) +
        "  <name>R&amp;D</name>\n"
        "      <rtept lat=\"35.652057\" lon=\"139.761315\">\n"
        "        <ele>12.5</ele>\n"
        "        <time>2013-06-15T12:34:56Z</time>\n"
        "        <course>45.6</course>\n"
        "        <speed>3.2</speed>\n"
        "        <sat>08</sat>\n"
        "        <hdop>1.2</hdop>\n"
        "        <name><![CDATA[1.[00:00:00]]]></name>\n"
        "        <cmt><![CDATA[(08/1.2)]]></cmt>\n"
        "        <extensions>\n"
        "        <kashmir3d:ident><![CDATA[1]]></kashmir3d:ident>\n"
        "        </extensions>\n"
        "      </rtept>\n"
        "      <rtept lat=\"35.652167\" lon=\"139.761333\">\n"
        "        <ele>13.0</ele>\n"
        "        <time>2013-06-15T12:35:01Z</time>\n"
        "        <course>46.0</course>\n"
        "        <speed>3.0</speed>\n"
        "        <sat>07</sat>\n"
        "        <hdop>1.3</hdop>\n"
        "        <name><![CDATA[2.[00:00:05]]]></name>\n"
        "        <cmt><![CDATA[(07/1.3)]]></cmt>\n"
        "        <extensions>\n"
        "        <kashmir3d:ident><![CDATA[2]]></kashmir3d:ident>\n"
        "        </extensions>\n"
        "      </rtept>\n" + kTail);
    for (int bom : {0, 1}) {
        RunFixture f;
        f.settings.current.Bom = bom;
        f.settings.current.Label_No = 1;
        f.settings.current.Label_Elapsed = 1;
        WriteFileBytes(f.settings.current.InputFile, kTwoEpochLog);
        EXPECT_EQ(RunNmeaToGpx(f.ctx), 0);
        EXPECT_EQ(ReadFileBytes(f.settings.current.OutputFile),
                  (bom ? "\xEF\xBB\xBF" : "") + document)
            << "bom " << bom;
        EXPECT_TRUE(WellFormed(f.settings.current.OutputFile));
        EXPECT_TRUE(f.ui.messages.empty());
        EXPECT_EQ(f.ctx.store.RecordIndex, 2);
        EXPECT_EQ(f.ctx.store.WrittenCount, 2);
    }
}

TEST(NmeaToGpxRun, FilteredRecordsKeepTheirInputNumbers) {
    RunFixture f;
    f.settings.current.IncludeData = 1;
    f.settings.current.RecordStart = "2";
    f.settings.current.RecordEnd = "2";
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 2;
    WriteFileBytes(f.settings.current.InputFile, kTwoEpochLog);
    EXPECT_EQ(RunNmeaToGpx(f.ctx), 0);
    const std::string bytes = ReadFileBytes(f.settings.current.OutputFile);
    EXPECT_EQ(bytes.find("<![CDATA[1]]></kashmir3d:ident>"), std::string::npos);
    EXPECT_NE(bytes.find("<![CDATA[2]]></kashmir3d:ident>"), std::string::npos);
    EXPECT_TRUE(WellFormed(f.settings.current.OutputFile));
    EXPECT_EQ(f.ctx.store.RecordIndex, 2);
    EXPECT_EQ(f.ctx.store.WrittenCount, 1);
}

TEST(NmeaToGpxRun, EmptyLogGivesEmptyRoute) {
    RunFixture f;
    f.settings.current.OmitErrorData = 1;  // drops the one empty record
    WriteFileBytes(f.settings.current.InputFile, "");
    EXPECT_EQ(RunNmeaToGpx(f.ctx), 0);
    EXPECT_EQ(ReadFileBytes(f.settings.current.OutputFile),
              Crlf(std::string(kHead) + "  <name>R&amp;D</name>\n" + kTail));
    EXPECT_TRUE(WellFormed(f.settings.current.OutputFile));
    EXPECT_EQ(f.ctx.store.RecordIndex, 1);
    EXPECT_EQ(f.ctx.store.WrittenCount, 0);
}

TEST(NmeaToGpxRun, MissingInput) {
    RunFixture f;
    EXPECT_EQ(RunNmeaToGpx(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
    EXPECT_FALSE(FileExists(f.settings.current.OutputFile));
}

TEST(NmeaToGpxRun, OutputCannotBeCreated) {
    RunFixture f;
    WriteFileBytes(f.settings.current.InputFile, kTwoEpochLog);
    f.settings.current.OutputFile = f.dir.File("no/such/dir/out.gpx");
    EXPECT_EQ(RunNmeaToGpx(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
}

TEST(NmeaToGpxRun, OutputThatCannotBeWrittenIsReported) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    RunFixture f;
    WriteFileBytes(f.settings.current.InputFile, kTwoEpochLog);
    f.settings.current.OutputFile = "/dev/full";
    EXPECT_EQ(RunNmeaToGpx(f.ctx), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
}

TEST(NmeaToGpxRun, ModeTableRowRunsIt) {
    const ModeEntry* entry = FindModeByDisplayText("nmea(log) -> gpx");
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->procedure, nullptr);
    RunFixture f;
    WriteFileBytes(f.settings.current.InputFile, kTwoEpochLog);
    entry->procedure(f.ctx);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
    EXPECT_EQ(ReadFileBytes(f.settings.current.OutputFile).substr(0, 5), "<?xml");
}

}  // namespace
}  // namespace geoplait
