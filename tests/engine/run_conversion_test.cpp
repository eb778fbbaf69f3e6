#include "engine/run_conversion.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mode_table.h"
#include "engine/run_steps.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using test::ShownMessage;

using ModeTable = std::array<ModeEntry, kModeCount>;

// The real table with every procedure taken out, so that these tests see the
// job alone whatever procedures are wired in.
ModeTable InertTable() {
    ModeTable table = kModeTable;
    for (ModeEntry& entry : table) entry.procedure = nullptr;
    return table;
}

// Row N's procedure leaves N + 1 in SplitIndex, which the job does not touch afterwards.
template <size_t N>
void MarkRow(RunContext& ctx) {
    ctx.store.SplitIndex = static_cast<int32_t>(N + 1);
}
template <size_t... N>
ModeTable MarkingTable(std::index_sequence<N...>) {
    ModeTable table = kModeTable;
    ((table[N].procedure = &MarkRow<N>), ...);
    return table;
}

void ReadFiveWriteThree(RunContext& ctx) {
    ctx.store.RecordIndex = 5;
    ctx.store.WrittenCount = 3;
}
void ReadFourWriteNone(RunContext& ctx) { ctx.store.RecordIndex = 4; }
void ReadNoneOmitSeven(RunContext& ctx) { ctx.store.OmitCount = 7; }
void WriteWithoutReading(RunContext& ctx) { ctx.store.WrittenCount = 2; }

constexpr const char* kRmcLine =
    "$GPRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*6E\n";
constexpr const char* kGgaLine =
    "$GPGGA,031500.00,3539.3300,N,13945.3100,E,1,08,1.0,40.0,M,39.0,M,,*61\n";

class RunConversionTest : public ::testing::Test {
protected:
    RunConversionTest() : ctx(settings, ui) {
        settings.startDir = dir.path();
        ConvertSettings& s = settings.current;
        s.TimeDifference = "+ 9:00";
        s.Interval = "1";
        s.Mode = "nmea(log) -> pot";
        s.InputFile = dir.File("in.log");
        s.OutputFile = dir.File("out.pot");
        test::WriteFileBytes(s.InputFile, std::string(kGgaLine) + kRmcLine);
    }

    ConvertSettings& Current() { return settings.current; }
    RunOutcome Run() { return RunConversionWithTable(ctx, table); }
    // Wires `procedure` into the row of the current mode.
    void Use(ModeProcedure procedure) {
        for (ModeEntry& entry : table) {
            if (Current().Mode == entry.displayText) entry.procedure = procedure;
        }
    }
    void Input(const std::string& bytes) { test::WriteFileBytes(Current().InputFile, bytes); }

    test::TempDir dir;
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx;
    ModeTable table = InertTable();
};

// ---- Validation, in the order of the steps ----

TEST_F(RunConversionTest, PhotoOnWithoutFolderEndsFirst) {
    Current().Photo = 1;
    Current().Kmz = 1;
    Current().OutputFile = dir.File("track.kmz");
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Not input Photo Folder.", "Error"}}));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.statusLines.empty());
}

TEST_F(RunConversionTest, PhotoOnWithFolderGoesOn) {
    Current().Photo = 1;
    Current().PhotoDir = dir.path();
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
}

TEST_F(RunConversionTest, KmzNeedsAKmlExtension) {
    struct Case {
        const char* output;
        const char* message;
    };
    const Case cases[] = {
        {"track.kmz", "(track.kmz)  OutFile Ext not [.kml .KML .Kml]"},
        {"track.kMl", "(track.kMl)  OutFile Ext not [.kml .KML .Kml]"},
        {"track.kml.zip", "(track.kml.zip)  OutFile Ext not [.kml .KML .Kml]"},
        {"sub.kml/track", "(track)  OutFile Ext not [.kml .KML .Kml]"},
        {".kmlx", "(.kmlx)  OutFile Ext not [.kml .KML .Kml]"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        Current().Kmz = 1;  // whatever the mode, the photo switch off
        Current().OutputFile = dir.File(c.output);
        EXPECT_EQ(Run(), RunOutcome::Stopped) << c.output;
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{c.message, "Check"}})) << c.output;
        EXPECT_FALSE(fs::exists(dir.File("sub.kml"))) << "no directory before validation";
    }
}

TEST_F(RunConversionTest, KmzAcceptsThreeSpellings) {
    Use(ReadFiveWriteThree);
    for (const char* output : {"t.kml", "t.KML", "t.Kml"}) {
        ui.messages.clear();
        Current().Kmz = 1;
        Current().OutputFile = dir.File(output);
        EXPECT_EQ(Run(), RunOutcome::Complete) << output;
        EXPECT_EQ(ctx.run.OutputExtension, std::string(output).substr(1));
    }
}

TEST_F(RunConversionTest, SameNameIsRefused) {
    Current().OutputFile = Current().InputFile;
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(ui.messageLines, (std::vector<std::string>{" *** Error ***"}));
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Input and Output File Same name.", "Error"}}));
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(test::ReadFileBytes(Current().InputFile), std::string(kGgaLine) + kRmcLine);
}

// Two names of one file would let the output overwrite the input while it is read.
TEST_F(RunConversionTest, OtherNamesOfTheInputAreRefused) {
    fs::create_directory(dir.File("sub"));
    fs::create_symlink(Current().InputFile, dir.File("link.log"));
    fs::create_hard_link(Current().InputFile, dir.File("hard.log"));
    const std::string names[] = {
        dir.path() + "/./in.log",
        dir.path() + "/sub/../in.log",
        dir.path() + "//in.log",
        dir.File("link.log"),
        dir.File("hard.log"),
    };
    for (const std::string& name : names) {
        ui.messages.clear();
        Current().OutputFile = name;
        EXPECT_EQ(Run(), RunOutcome::Stopped) << name;
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Input and Output File Same name.", "Error"}}))
            << name;
    }
}

TEST_F(RunConversionTest, RelativeNameOfTheInputIsRefused) {
    std::string here = fs::current_path().string();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    Current().InputFile = "./in.log";
    Current().OutputFile = "in.log";
    RunOutcome outcome = Run();
    ASSERT_EQ(chdir(here.c_str()), 0);
    EXPECT_EQ(outcome, RunOutcome::Stopped);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Input and Output File Same name.", "Error"}}));
}

TEST(SameFile, NamesCompared) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.log"), "a");
    test::WriteFileBytes(dir.File("A.log"), "A");
    EXPECT_TRUE(IsSameFile("x", "x"));
    EXPECT_TRUE(IsSameFile("", ""));
    EXPECT_FALSE(IsSameFile("C:\\a.log", "c:\\a.log"));  // case-sensitive
    EXPECT_FALSE(IsSameFile(dir.File("a.log"), dir.File("A.log")));
    EXPECT_FALSE(IsSameFile(dir.File("a.log"), ""));
    EXPECT_FALSE(IsSameFile(dir.File("a.log"), dir.File("b.log")));
    EXPECT_TRUE(IsSameFile(dir.File("new.log"), dir.path() + "/x/../new.log"));
}

TEST_F(RunConversionTest, MissingInputIsRefused) {
    for (const std::string& input : {dir.File("none.log"), dir.path(), std::string()}) {
        ui.messages.clear();
        Current().InputFile = input;
        EXPECT_EQ(Run(), RunOutcome::Stopped) << input;
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Input File Not Found.. ", "Error"}}))
            << input;
    }
}

TEST_F(RunConversionTest, PhotoOnlyNeedsNoInput) {
    Current().Mode = "Photo(Only) -> kml";
    Current().InputFile = dir.File("none.log");
    Current().OutputFile = dir.File("photos.kml");
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_EQ(ui.messages,
              (std::vector<ShownMessage>{{"Complete Record=3/5\n\n", "Complete"}}));
    EXPECT_EQ(ctx.run.PrescanCount, 0);
}

TEST_F(RunConversionTest, CancelKeepsTheExistingOutput) {
    test::WriteFileBytes(Current().OutputFile, "old");
    ui.answerOk = false;
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Stopped);
    EXPECT_EQ(ui.questions,
              (std::vector<ShownMessage>{
                  {"Already exists Output File. Do you want to replace it?", "Check!"}}));
    EXPECT_EQ(ui.messageLines, (std::vector<std::string>{" *** Wait ***"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ctx.store.RecordIndex, 0) << "the procedure did not run";
    EXPECT_EQ(test::ReadFileBytes(Current().OutputFile), "old");
}

TEST_F(RunConversionTest, OkReplacesAndSaysSo) {
    test::WriteFileBytes(Current().OutputFile, "old");
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.messageLines, (std::vector<std::string>{" *** Wait ***", " ***** Processing *****",
                                                         " ***** Complete. *****"}));
    EXPECT_EQ(ctx.run.OverrideNote, "Output File Override.");
    EXPECT_EQ(ui.messages,
              (std::vector<ShownMessage>{{"Complete Record=3/5\n\nOutput File Override.", "Complete"}}));
}

TEST_F(RunConversionTest, OutputFolderIsNotAnExistingOutput) {
    Current().OutputFile = dir.path();
    EXPECT_EQ(Run(), RunOutcome::NoData);
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(RunConversionTest, MissingDirectoriesAreCreated) {
    Current().OutputFile = dir.File("new/deeper/out.pot");
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_TRUE(fs::is_directory(dir.File("new/deeper")));
    EXPECT_EQ(ctx.run.DirectoryNote, "Create Directory.");
    EXPECT_EQ(ui.statusLines, (std::vector<std::string>{"Create Directory.", ""}));
    EXPECT_EQ(ui.messages,
              (std::vector<ShownMessage>{{"Complete Record=3/5\nCreate Directory.\n", "Complete"}}));

    // The second run finds the directory.
    ui = test::RecordingUi{};
    Current().OutputFile = dir.File("new/deeper/other.pot");
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_EQ(ctx.run.DirectoryNote, "");
    EXPECT_EQ(ui.statusLines, (std::vector<std::string>{""}));
}

TEST_F(RunConversionTest, DirectoryThatCannotBeMadeIsNoError) {
    Current().OutputFile = dir.File("in.log/sub/out.pot");  // below a file
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_EQ(ctx.run.DirectoryNote, "");
}

TEST_F(RunConversionTest, BareFileNameCreatesNothing) {
    Current().OutputFile = "bare-output-name.pot";
    EXPECT_EQ(Run(), RunOutcome::NoData);
    EXPECT_EQ(ctx.run.OutputDirectory, "");
    EXPECT_EQ(ctx.run.DirectoryNote, "");
}

// ---- Completion ----

TEST_F(RunConversionTest, CompletionMessages) {
    struct Case {
        ModeProcedure procedure;
        RunOutcome outcome;
        ShownMessage message;
    };
    const Case cases[] = {
        {ReadFiveWriteThree, RunOutcome::Complete, {"Complete Record=3/5\n\n", "Complete"}},
        {ReadFourWriteNone, RunOutcome::NothingIncluded,
         {"Include Record Not Found=0/4\n\n               Error!", "Complete"}},
        {ReadNoneOmitSeven, RunOutcome::NoData, {"No data?\n\nOmit=7\n", "Error!"}},
        {WriteWithoutReading, RunOutcome::NoData, {"No data?\n\nOmit=0\n", "Error!"}},
        {nullptr, RunOutcome::NoData, {"No data?\n\nOmit=0\n", "Error!"}},
    };
    for (const Case& c : cases) {
        ui = test::RecordingUi{};
        table = InertTable();
        Use(c.procedure);
        EXPECT_EQ(Run(), c.outcome) << c.message.text;
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{c.message}));
        EXPECT_EQ(ui.messageLines, (std::vector<std::string>{" ***** Complete. *****"}));
        EXPECT_EQ(ui.statusLines, (std::vector<std::string>{""}));
    }
}

TEST_F(RunConversionTest, AutoSaveAfterACompleteRun) {
    settings.config.AutoSave = "1";
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_TRUE(fs::exists(dir.File("geoplait.ini")));
    EXPECT_FALSE(ctx.run.SettingsSaveFailed);
    EXPECT_EQ(ui.messages.size(), 1u) << "the automatic save shows nothing";
}

TEST_F(RunConversionTest, NoSaveWithoutCompletion) {
    settings.config.AutoSave = "1";
    for (ModeProcedure procedure : {&ReadFourWriteNone, &ReadNoneOmitSeven}) {
        Use(procedure);
        Run();
        EXPECT_FALSE(fs::exists(dir.File("geoplait.ini")));
    }
}

TEST_F(RunConversionTest, AutoSaveOnlyWhenExactlyOne) {
    settings.config.AutoSave = "yes";
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_FALSE(fs::exists(dir.File("geoplait.ini")));
}

TEST_F(RunConversionTest, FailedAutoSaveIsRecorded) {
    settings.config.AutoSave = "1";
    settings.startDir = dir.File("missing");
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_TRUE(ctx.run.SettingsSaveFailed);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1], (ShownMessage{"Config File Not Create. ", "Error"}));
}

TEST_F(RunConversionTest, ProtectedSettingsAreNoFailure) {
    settings.config.AutoSave = "1";
    settings.config.Protect = "1";
    Use(ReadFiveWriteThree);
    EXPECT_EQ(Run(), RunOutcome::Complete);
    EXPECT_FALSE(ctx.run.SettingsSaveFailed);
    EXPECT_FALSE(fs::exists(dir.File("geoplait.ini")));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1], (ShownMessage{"Save Inhibit. geoplait.ini(ProtectMode)", "Protect"}));
}

// ---- Run state and run values ----

void ExpectFreshState(RunContext& ctx) {
    const TrackStore& store = ctx.store;
    EXPECT_EQ(store.RecordIndex, 0);
    EXPECT_EQ(store.WrittenCount, 0);
    EXPECT_EQ(store.OmitCount, 0);
    EXPECT_EQ(store.SplitIndex, 0);
    EXPECT_EQ(store.PreviousPoint, PointTexts{});
    EXPECT_EQ(store.DerivedPrevious, PointTexts{});
    EXPECT_EQ(store.PlacemarkAnchor, PointTexts{});
    EXPECT_EQ(store.GroupDate, "");
    EXPECT_EQ(store.FirstTime, 0);
    EXPECT_EQ(ctx.point.ElapsedSec, 0);
    EXPECT_EQ(ctx.point.IntervalSec, 0);
    EXPECT_EQ(ctx.point.TotalDistance, 0.0);
    EXPECT_EQ(ctx.point.LatitudeDeg, "");
    EXPECT_EQ(ctx.point.LongitudeDeg, "");
    EXPECT_EQ(ctx.point.AltitudeText, "");
    EXPECT_EQ(ctx.point.GgaId, "") << "the record is cleared before the procedure";
    EXPECT_EQ(ctx.run.OverrideNote, "");
    EXPECT_EQ(ctx.run.DirectoryNote, "");
    ctx.store.RecordIndex = 1;
    ctx.store.WrittenCount = 1;
}

TEST_F(RunConversionTest, RunStartsFromAFreshState) {
    ctx.store.RecordIndex = 9;
    ctx.store.WrittenCount = 8;
    ctx.store.OmitCount = 7;
    ctx.store.SplitIndex = 6;
    ctx.store.PreviousPoint = {"13945.0", "3539.0", "10"};
    ctx.store.DerivedPrevious = ctx.store.PreviousPoint;
    ctx.store.PlacemarkAnchor = ctx.store.PreviousPoint;
    ctx.store.GroupDate = "150424";
    ctx.store.FirstTime = 1000;
    ctx.point.ElapsedSec = 5;
    ctx.point.IntervalSec = 5;
    ctx.point.TotalDistance = 3.5;
    ctx.point.LatitudeDeg = "35.6";
    ctx.point.LongitudeDeg = "139.7";
    ctx.point.AltitudeText = "40";
    ctx.point.GgaId = "$GPGGA";
    ctx.run.OverrideNote = "Output File Override.";
    ctx.run.DirectoryNote = "Create Directory.";
    Use(ExpectFreshState);
    EXPECT_EQ(Run(), RunOutcome::Complete);
}

TEST_F(RunConversionTest, RunValuesFromTheTexts) {
    ConvertSettings& s = Current();
    s.RecordStart = "12abc";
    s.RecordEnd = " 345";
    s.Satellites = "4";
    s.Margin = "x";
    s.Distance = "1500.9";
    s.PosDistance_edit = "250";
    s.LineDistance = "2500.5";
    s.LineDistanceSec = "90.5";
    s.TimeDifference = "- 5:00";
    Run();
    const RunValues& run = ctx.run;
    EXPECT_EQ(run.RecordRangeStart, 12);
    EXPECT_EQ(run.RecordRangeEnd, 345);
    EXPECT_EQ(run.SatelliteThreshold, 4);
    EXPECT_EQ(run.DilutionThreshold, 0);
    EXPECT_DOUBLE_EQ(run.ThinningDistance, 1.5);
    EXPECT_DOUBLE_EQ(run.PlacemarkDistance, 0.25);
    EXPECT_DOUBLE_EQ(run.GapDistanceLimit, 2.5005);
    EXPECT_DOUBLE_EQ(run.GapSecondsLimit, 90.5);
    EXPECT_EQ(run.TimeDifferenceValue, -50000);
}

TEST_F(RunConversionTest, GapLimitsDefaultToNoSplit) {
    struct Case {
        const char* text;
        double distanceKm;
        double seconds;
    };
    const Case cases[] = {
        {"", 99999.0, 99999999.0},  {"0", 99999.0, 99999999.0}, {"0.0", 99999.0, 99999999.0},
        {"abc", 99999.0, 99999999.0}, {"600", 0.6, 600.0},     {"12.5m", 0.0125, 12.5},
    };
    for (const Case& c : cases) {
        Current().LineDistance = c.text;
        Current().LineDistanceSec = c.text;
        Run();
        EXPECT_DOUBLE_EQ(ctx.run.GapDistanceLimit, c.distanceKm) << c.text;
        EXPECT_DOUBLE_EQ(ctx.run.GapSecondsLimit, c.seconds) << c.text;
    }
}

TEST_F(RunConversionTest, UnknownTimeDifferenceKeepsTheValueBefore) {
    Current().TimeDifference = "+ 9:00";
    Run();
    EXPECT_EQ(ctx.run.TimeDifferenceValue, 90000);
    Current().TimeDifference = "+9:00";
    Run();
    EXPECT_EQ(ctx.run.TimeDifferenceValue, 90000);
}

TEST(RangeStamp, FromPickerTexts) {
    struct Case {
        const char* date;
        const char* time;
        const char* stamp;
    };
    const Case cases[] = {
        {"2024/04/15", "03:15:00", "20240415031500"},
        {"2024/04/15", "3:15:00", "20240415031500"},
        {"2024/12/31", "23:59:59", "20241231235959"},
        {"1999/01/02", "0:00:00", "20990102000000"},  // only the last two year digits
        {"", "", "200"},
        {"ab日d/04/05", "12:34:56", "20日d0405123456"},  // characters, not bytes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RangeStamp(c.date, c.time), c.stamp) << c.date << " " << c.time;
    }
}

TEST_F(RunConversionTest, RangeStampsOfTheRun) {
    Current().DATE_IncludeStart = "2024/04/15";
    Current().TIME_IncludeStart = "9:05:00";
    Current().DATE_IncludeEnd = "2024/04/16";
    Current().TIME_IncludeEnd = "18:30:15";
    Run();
    EXPECT_EQ(ctx.run.RangeStartStamp, "20240415090500");
    EXPECT_EQ(ctx.run.RangeEndStamp, "20240416183015");
}

TEST(SplitOutputPath, Parts) {
    struct Case {
        const char* path;
        const char* directory;
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"/data/gps/track.kml", "/data/gps/", "track", ".kml"},
        {"track.kml", "", "track", ".kml"},
        {"track", "", "track", ""},
        {"a.b/track", "a.b/", "track", ""},
        {"dir/.kml", "dir/", "", ".kml"},
        {"t.tar.gz", "", "t.tar", ".gz"},
        {"/track.", "/", "track", "."},
        {"C:\\KMLFile.kml", "", "C:\\KMLFile", ".kml"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        RunValues run;
        SplitOutputPath(c.path, run);
        EXPECT_EQ(run.OutputDrive, "") << c.path;
        EXPECT_EQ(run.OutputDirectory, c.directory) << c.path;
        EXPECT_EQ(run.OutputName, c.name) << c.path;
        EXPECT_EQ(run.OutputExtension, c.extension) << c.path;
    }
}

TEST_F(RunConversionTest, PhotoListBesideTheOutput) {
    Current().Photo_CsvOut = 1;
    Current().OutputFile = dir.File("trip.kml");
    Run();
    EXPECT_EQ(ctx.run.PhotoListPath, dir.File("trip_Photo.csv"));
    Current().Photo_CsvOut = 0;
    Run();
    EXPECT_EQ(ctx.run.PhotoListPath, "");
}

// ---- Pre-scan ----

std::string Lines(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

TEST_F(RunConversionTest, PrescanCountsByFamily) {
    const std::string gsa = "$GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1*39\n";
    const std::string mixed = std::string(kGgaLine) + kRmcLine + gsa + kGgaLine + kRmcLine +
                              "$GPGSV,$GPRMC,\n" + kGgaLine + kRmcLine;
    struct Case {
        const char* mode;
        std::string input;
        int32_t count;
    };
    const Case cases[] = {
        {"nmea(log) -> kml", mixed, 3},
        {"nmea(log) -> pot", mixed, 3},
        {"nmea(log) -> nmea(log)", Lines(kGgaLine, 5), 5},  // no RMC: the GGA lines
        {"nmea(log) -> gpx", std::string(kGgaLine) + gsa + kGgaLine, 2},
        {"nmea(log) -> csv(Full)", gsa + gsa, 0},
        {"nmea(log) -> Summary(csv)", mixed, 0},
        {"nmea(log) -> Summary(html)", mixed, 0},
        {"nmea(log) -> kml", "", 0},
        {"csv(Full) -> kml", "a\nb\nc\nd", 4},
        {"csv(Full) -> pot", "a\r\nb\r\n\r\n", 3},
        {"csv(Custom) -> gpx", "x\ny\nz\n", 3},
        {"pot -> kml", "DAT=WGS84\n1\n2\n3\n", 3},
        {"pot -> gpx", "DAT=WGS84\n", 0},
        {"pot -> nmea(log)", "", 0},
        {"gpx -> kml",
         "<gpx>\n<rtept lat=\"35.1\" lon=\"139.1\">\n<trkpt lat=\"35.2\" lon=\"139.2\"/>\n"
         "<wpt lat=\"1\"\tlon=\"2\"/>\n<rtept lon=\"139.3\" lat=\"35.3\"/>\n</gpx>\n",
         3},
        {"kml(Line) -> pot", "<kml>\n<coordinates>\n139,35,0 139,35,0\n</coordinates>\n</kml>\n", 5},
        {"kml(Point) -> gpx", "<kml>\n</kml>", 2},
        {"Photo(Only) -> kml", "a\nb\n", 0},
    };
    for (const Case& c : cases) {
        Current().Mode = c.mode;
        Input(c.input);
        Run();
        EXPECT_EQ(ctx.run.PrescanCount, c.count) << c.mode << " " << c.input;
    }
}

TEST_F(RunConversionTest, PrescanWithoutInputGoesOnWithZero) {
    Current().InputFile = dir.File("gone.csv");
    const ModeEntry* mode = FindModeByDisplayText("csv(Full) -> kml");
    EXPECT_EQ(CountInputRecords(ctx, mode), 0);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
    ui.messages.clear();
    EXPECT_EQ(CountInputRecords(ctx, nullptr), 0);
    EXPECT_EQ(CountInputRecords(ctx, FindModeByDisplayText("Photo(Only) -> kml")), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(PlacemarkInterval, FromIntervalAndType) {
    struct Case {
        const char* interval;
        int posType;
        const char* type;
        int32_t prescan;
        int32_t expected;
    };
    const Case cases[] = {
        {"4", 0, "Start & End", 100, 4},   {"0", 0, "", 100, 1},
        {"-3", 0, "", 100, 1},             {"", 0, "", 100, 1},
        {"1", 1, "Start & End", 250, 250}, {"1", 1, "Start & End", 0, 1},
        {"1", 1, "Point 3", 10, 3},        {"1", 1, "Point 3", 2, 1},
        {"1", 1, "Point 5", 11, 2},        {"1", 1, "Point 10", 99, 9},
        {"1", 1, "Point 30", 90, 3},       {"1", 1, "Point 50", 149, 2},
        {"1", 1, "Point 100", 250, 2},     {"7", 1, "Point 7", 250, 7},
        {"7", 1, "point 3", 250, 7},       {"7", 0, "Point 3", 250, 7},
    };
    for (const Case& c : cases) {
        ConvertSettings s;
        s.Interval = c.interval;
        s.PosType = c.posType;
        s.PosType_edit = c.type;
        EXPECT_EQ(PlacemarkIntervalOf(s, c.prescan), c.expected)
            << c.interval << " " << c.type << " " << c.prescan;
    }
}

TEST_F(RunConversionTest, PlacemarkIntervalOfAGgaOnlyLog) {
    Current().PosType = 1;
    Current().PosType_edit = "Point 3";
    Input(Lines(kGgaLine, 10));
    Run();
    EXPECT_EQ(ctx.run.PrescanCount, 10);
    EXPECT_EQ(ctx.run.PlacemarkInterval, 3);
    Input(Lines(kGgaLine, 2));
    Run();
    EXPECT_EQ(ctx.run.PlacemarkInterval, 1);
}

// ---- First-line check ----

TEST(FirstSentenceIds, ThirtyThreeKnown) {
    const char* known[] = {
        "$GPAAM", "$GPRMC", "$GPALM", "$GPRTE", "$GPAPA", "$GPTRF", "$GPAPB", "$GPSTN", "$GPBOD",
        "$GPVBW", "$GPBWC", "$GPVTG", "$GPDTM", "$GPWCV", "$GPGGA", "$GPWPL", "$GPGLL", "$GPXTC",
        "$GPGRS", "$GPXTE", "$GPGSA", "$GPZTG", "$GPGST", "$GPZDA", "$GPGSV", "$PGRME", "$GPMSK",
        "$PGRMM", "$GPMSS", "$PGRMZ", "$GPRMA", "$PSLIB", "$GPRMB"};
    for (const char* id : known) EXPECT_TRUE(IsKnownFirstSentenceId(id)) << id;
    for (const char* id : {"$GNRMC", "$GLGSV", "$gprmc", "$GPRMC ", "GPRMC", "$GP", "", "$GPTXT"}) {
        EXPECT_FALSE(IsKnownFirstSentenceId(id)) << id;
    }
}

TEST_F(RunConversionTest, FirstLineCheck) {
    struct Case {
        std::string input;
        bool passes;
        const char* id;
    };
    const Case cases[] = {
        {kRmcLine, true, "$GPRMC"},
        {kGgaLine, true, "$GPGGA"},
        {"$PSLIB,,,J*22\n", true, "$PSLIB"},
        {"$GPRMC\n", true, "$GPRMC"},
        {"$GPRMC\r\n", true, "$GPRMC"},
        {"$GPGGA", true, "$GPGGA"},
        {"", true, ""},  // an empty log passes
        {"\xEF\xBB\xBF$GPGSV,3,1,12*70\n", true, "$GPGSV"},
        {"$GNRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*70\n", false, "$GNRMC"},
        {"$gprmc,031500.00,A\n", false, "$gprmc"},
        {" $GPRMC,1\n", false, " $GPRMC"},
        {"\n$GPRMC,1\n", false, ""},
        {"garbage\n", false, "garbage"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        table = InertTable();
        Use(ReadFiveWriteThree);
        Input(c.input);
        RunOutcome outcome = Run();
        EXPECT_EQ(ctx.run.FirstSentenceId, c.id) << c.input;
        if (c.passes) {
            EXPECT_EQ(outcome, RunOutcome::Complete) << c.input;
        } else {
            EXPECT_EQ(outcome, RunOutcome::Stopped) << c.input;
            EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"Data First ID Not $Gxxxx", "Error!"}}));
        }
    }
}

TEST_F(RunConversionTest, OnlyNmeaInputsAreChecked) {
    Input("$GNRMC,1\n");
    for (const char* mode : {"csv(Full) -> kml", "pot -> kml", "gpx -> pot", "kml(Line) -> gpx"}) {
        Current().Mode = mode;
        EXPECT_EQ(Run(), RunOutcome::NoData) << mode;
        EXPECT_EQ(ctx.run.FirstSentenceId, "");
    }
}

// ---- Dispatch ----

TEST_F(RunConversionTest, EachModeRunsItsOwnRow) {
    table = MarkingTable(std::make_index_sequence<kModeCount>());
    Input(kRmcLine);
    for (size_t row = 0; row < kModeTable.size(); ++row) {
        Current().Mode = kModeTable[row].displayText;
        Run();
        EXPECT_EQ(ctx.store.SplitIndex, static_cast<int32_t>(row + 1)) << kModeTable[row].displayText;
    }
}

TEST_F(RunConversionTest, UnknownModeRunsNothing) {
    table = MarkingTable(std::make_index_sequence<kModeCount>());
    Input("$GNRMC,1\n");
    for (const char* mode : {"Nmea2Pot", "nmea(log) -> KML", ""}) {
        ui.messages.clear();
        Current().Mode = mode;
        EXPECT_EQ(Run(), RunOutcome::NoData) << mode;
        EXPECT_EQ(ctx.store.SplitIndex, 0);
        EXPECT_EQ(ctx.run.PrescanCount, 0);
        EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{"No data?\n\nOmit=0\n", "Error!"}}));
    }
}

TEST_F(RunConversionTest, RealTableDispatches) {
    // RunConversion uses the program's table; a run over it ends with a
    // completion message whatever the procedure does.
    Current().Mode = "Photo(Only) -> kml";
    Current().OutputFile = dir.File("photo.kml");
    RunOutcome outcome = RunConversion(ctx);
    EXPECT_NE(outcome, RunOutcome::Stopped);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messageLines.back(), " ***** Complete. *****");
}

}  // namespace
}  // namespace geoplait
