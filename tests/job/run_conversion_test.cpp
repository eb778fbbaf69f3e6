#include "job/run_conversion.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/csv_columns.h"
#include "job/mode_table.h"
#include "job/run_steps.h"
#include "support/record_position.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using Messages = test::Notices;
using Lines = std::vector<std::string>;
using ModeTable = std::array<ModeProcedure, kModeCount>;

// The real table with every procedure taken out, so that these tests see the
// job alone whatever procedures are wired in.
ModeTable InertTable() { return ModeTable{}; }

// Row N's procedure leaves N + 1 in SplitIndex, which the job does not touch afterwards.
template <size_t N>
void MarkRow(RunContext& ctx, const ConvertMode&) {
    ctx.store.SplitIndex = static_cast<int32_t>(N + 1);
}
template <size_t... N>
ModeTable MarkingTable(std::index_sequence<N...>) {
    return ModeTable{&MarkRow<N>...};
}

void ReadFiveWriteThree(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    ctx.store.RecordIndex = 5;
    ctx.store.WrittenCount = 3;
}
void ReadFourWriteNone(RunContext& ctx, const ConvertMode& = kConvertModes[0]) { ctx.store.RecordIndex = 4; }
void ReadNoneOmitSeven(RunContext& ctx, const ConvertMode& = kConvertModes[0]) { ctx.store.OmitCount = 7; }
void WriteWithoutReading(RunContext& ctx, const ConvertMode& = kConvertModes[0]) { ctx.store.WrittenCount = 2; }
// Writes "new" into the output, then reads five records and writes three;
// the second fails as a full disk would.
void WriteNew(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    TextWriter out;
    ASSERT_TRUE(out.Open(ctx.outputs, ctx.Current().OutputFile, WriteMode::Plain));
    out.Write("new");
    out.Close();
    ReadFiveWriteThree(ctx);
}
// The table holds no warning yet: one made by hand, as AddRunWarning takes it.
const NoticeText kLostOne{Notice::InputBroken, NoticeKind::Warning, "1 record lost", "Warning"};
void ReadFiveWriteThreeLosingOne(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    ReadFiveWriteThree(ctx);
    AddRunWarning(ctx, kLostOne);
    AddRunWarning(ctx, kLostOne);
}
void WriteNewThenFail(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    WriteNew(ctx);
    ctx.outputs.Fail();
}
void WriteNewThenCancel(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    WriteNew(ctx);
    ctx.cancelRequested = true;
}

const std::string kRmcLine = "$GPRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*67\n";
const std::string kGgaLine = "$GPGGA,031500.00,3539.3300,N,13945.3100,E,1,08,1.0,40.0,M,39.0,M,,*58\n";

std::string Repeat(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

// One job: NMEA to POT in a fresh directory, with the inert table.
struct Job {
    Job() : ctx(settings, ui) {
        settings.startDir = dir.path();
        ConvertSettings& s = settings.current;
        s.TimeDifference = "+ 9:00";
        s.Interval = "1";
        s.Mode = "nmea(log) -> pot";
        s.InputFile = dir.File("in.log");
        s.OutputFile = dir.File("out.pot");
        test::WriteFileBytes(s.InputFile, kGgaLine + kRmcLine);
    }
    ConvertSettings& Current() { return settings.current; }
    RunOutcome Run() { return RunConversionWithTable(ctx, table); }
    // Wires `procedure` into the row of the current mode.
    void Use(ModeProcedure procedure) { table[ModeRow(*FindModeByDisplayText(Current().Mode))] = procedure; }
    void Input(const std::string& bytes) { test::WriteFileBytes(Current().InputFile, bytes); }

    test::TempDir dir;
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx;
    ModeTable table = InertTable();
};

// ---- Validation, in the order of the steps

TEST(RunConversion, ValidationStops) {
    const NoticeText sameName = MakeNotice(Notice::InputIsOutput);
    const NoticeText notFound = MakeNotice(Notice::InputNotFoundOnCheck);
    auto check = [](const char* name) { return MakeNotice(Notice::OutputNotKml, {name}); };
    // Names are relative to the job's directory; a leading "/" stands for it.
    struct Case {
        const char* name;
        int photo, kmz;
        std::string input, output;
        Messages messages;
        Lines messageLines = {};  // unless empty
        Messages questions = {};
    };
    const Case cases[] = {
        {"photo without folder ends first", 1, 1, "in.log", "track.kmz", {MakeNotice(Notice::PhotoFolderNotGiven)}},
        {"kmz", 0, 1, "in.log", "track.kmz", {check("track.kmz")}},  // whatever the mode
        {"kmz, .kml inside", 0, 1, "in.log", "track.kml.zip", {check("track.kml.zip")}},
        {"kmz, .kml directory", 0, 1, "in.log", "sub.kml/track", {check("track")}},
        {"kmz, .kmlx", 0, 1, "in.log", ".kmlx", {check(".kmlx")}},
        {"kmz, hidden .kml", 0, 1, "in.log", ".kml", {check(".kml")}},
        {"same name", 0, 0, "/in.log", "/in.log", {sameName}, {" *** Error ***"}},
        {"same file, ..", 0, 0, "/in.log", "/sub/../in.log", {sameName}},
        {"same file, //", 0, 0, "/in.log", "//in.log", {sameName}},
        {"same file, hard link", 0, 0, "/in.log", "/hard.log", {sameName}},
        {"same file, relative names", 0, 0, "./in.log", "in.log", {sameName}},
        // The file and the system's reason follow the text.
        {"input missing", 0, 0, "none.log", "out.pot", {WithCause(notFound, "none.log", ENOENT)}},
        {"input is a directory", 0, 0, "sub", "out.pot", {WithCause(notFound, "sub", EISDIR)}},
        {"no input", 0, 0, "", "out.pot", {notFound}},
        // A device may never end (a pipe read once: pipe_input_test.cpp).
        {"input is a device", 0, 0, "zero", "out.pot", {MakeNotice(Notice::InputNotRegular, {"zero"})}},
        {"output is the pipe that is the input", 0, 0, "fifo", "/fifo", {sameName}},
        {"replace cancelled", 0, 0, "in.log", "old.pot", {}, {" *** Wait ***"},
         {MakeNotice(Notice::ReplaceOutput)}},
    };
    const std::string here = fs::current_path().string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Job j;
        fs::create_directory(j.dir.File("sub"));
        fs::create_hard_link(j.dir.File("in.log"), j.dir.File("hard.log"));
        ASSERT_EQ(mkfifo(j.dir.File("fifo").c_str(), 0600), 0);
        fs::create_symlink("/dev/zero", j.dir.File("zero"));
        test::WriteFileBytes(j.dir.File("old.pot"), "old");
        j.ui.answerOk = false;
        j.Use(ReadFiveWriteThree);
        auto place = [&](const std::string& name) { return name.starts_with("/") ? j.dir.path() + name : name; };
        j.Current().Photo = c.photo;
        j.Current().Kmz = c.kmz;
        j.Current().InputFile = place(c.input);
        j.Current().OutputFile = place(c.output);
        ASSERT_EQ(chdir(j.dir.path().c_str()), 0);
        const RunOutcome outcome = j.Run();
        ASSERT_EQ(chdir(here.c_str()), 0);
        EXPECT_EQ(outcome, RunOutcome::Stopped);
        EXPECT_EQ(j.ui.messages, c.messages);
        EXPECT_EQ(j.ui.questions, c.questions);
        if (!c.messageLines.empty()) {
            EXPECT_EQ(j.ui.messageLines, c.messageLines);
        }
        EXPECT_TRUE(j.ui.statusLines.empty());
        EXPECT_EQ(j.ctx.store.RecordIndex, 0) << "the procedure did not run";
        EXPECT_FALSE(fs::exists(j.dir.File("sub.kml"))) << "no directory before validation";
        EXPECT_EQ(test::ReadFileBytes(j.dir.File("in.log")), kGgaLine + kRmcLine);
        EXPECT_EQ(test::ReadFileBytes(j.dir.File("old.pot")), "old");
        EXPECT_FALSE(fs::exists(j.dir.File("out.pot")));
    }
}

TEST(RunConversion, ValidationPasses) {
    // Photo on with its folder; KMZ with the three spellings of ".kml"; a
    // case-different name is another file; Photo(Only) needs no input.
    const struct { const char *mode, *input, *output, *extension; int photo, kmz; } cases[] = {
        {"nmea(log) -> pot", "in.log", "out.pot", ".pot", 1, 0}, {"nmea(log) -> pot", "in.log", "t.kml", ".kml", 0, 1},
        {"nmea(log) -> pot", "in.log", "t.KML", ".KML", 0, 1},   {"nmea(log) -> pot", "in.log", "t.Kml", ".Kml", 0, 1},
        {"nmea(log) -> pot", "in.log", "IN.log", ".log", 0, 0},  {"Photo(Only) -> kml", "none.log", "p.kml", ".kml", 0, 0},
    };
    for (const auto& c : cases) {
        Job j;
        j.Current().Mode = c.mode;
        j.Use(ReadFiveWriteThree);
        j.Current().Photo = c.photo;
        j.Current().PhotoDir = j.dir.path();
        j.Current().Kmz = c.kmz;
        j.Current().InputFile = j.dir.File(c.input);
        j.Current().OutputFile = j.dir.File(c.output);
        EXPECT_EQ(j.Run(), RunOutcome::Complete) << c.output;
        EXPECT_EQ(j.ui.messages, (Messages{MakeNotice(Notice::RunComplete, {3, 5, "", ""})})) << c.output;
        EXPECT_EQ(j.ctx.run.OutputExtension, c.extension) << c.output;
    }
}

TEST(RunConversion, OkReplacesAndSaysSo) {
    Job j;
    test::WriteFileBytes(j.Current().OutputFile, "old");
    j.Use(WriteNew);
    EXPECT_EQ(j.Run(), RunOutcome::Complete);
    EXPECT_EQ(j.ui.questions.size(), 1u);
    EXPECT_EQ(j.ui.messageLines, (Lines{" *** Wait ***", " ***** Processing *****", " ***** Complete. *****"}));
    EXPECT_EQ(j.ctx.run.OverrideNote, "Output File Override.");
    EXPECT_EQ(j.ui.messages, (Messages{MakeNotice(Notice::RunComplete, {3, 5, "", "Output File Override."})}));
    EXPECT_EQ(test::ReadFileBytes(j.Current().OutputFile), "new");
    // A device is no file to replace: no question, and it is written where it is.
    j.ui = test::RecordingUi{};
    j.Current().OutputFile = "/dev/null";
    EXPECT_EQ(j.Run(), RunOutcome::Complete);
    EXPECT_TRUE(j.ui.questions.empty());
    EXPECT_EQ(j.ctx.run.OverrideNote, "");
}

TEST(RunConversion, OutputsFailedOrCancelledOnTheWayLeaveTheOldFiles) {
    for (const ModeProcedure procedure : {WriteNewThenFail, WriteNewThenCancel}) {
        Job j;
        test::WriteFileBytes(j.Current().OutputFile, "old");
        j.Use(procedure);
        const bool failed = procedure == WriteNewThenFail;
        EXPECT_EQ(j.Run(), failed ? RunOutcome::Stopped : RunOutcome::Cancelled);
        EXPECT_EQ(j.ui.messages, (failed ? Messages{MakeNotice(Notice::OutputNotCreated)}
                                         : Messages{MakeNotice(Notice::RunCancelled, {3, 5})}));
        Lines lines{" *** Wait ***", " ***** Processing *****"};
        if (!failed) lines.push_back(" *** Cancelled ***");
        EXPECT_EQ(j.ui.messageLines, lines);
        EXPECT_EQ(test::ReadFileBytes(j.Current().OutputFile), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(j.dir.path()), fs::directory_iterator()), 2)
            << "no temporary file is left";
    }
}

TEST(RunConversion, OutputDirectories) {
    Job j;
    j.Use(ReadFiveWriteThree);
    j.Current().OutputFile = j.dir.File("new/deeper/out.pot");
    EXPECT_EQ(j.Run(), RunOutcome::Complete);
    EXPECT_EQ(j.ui.statusLines, (Lines{"Create Directory.", ""}));
    // A directory found, or one that cannot be made (below a file), is no note.
    for (const char* output : {"new/deeper/other.pot", "in.log/sub/out.pot"}) {
        j.ui = test::RecordingUi{};
        j.Current().OutputFile = j.dir.File(output);
        j.Run();
        EXPECT_EQ(j.ctx.run.DirectoryNote, "") << output;
        EXPECT_EQ(j.ui.statusLines, (Lines{""})) << output;
    }
    // An output folder is no existing output.
    j.table = InertTable();
    j.Current().OutputFile = j.dir.path();
    EXPECT_EQ(j.Run(), RunOutcome::NoData);
    EXPECT_TRUE(j.ui.questions.empty());
}

// ---- Completion

TEST(RunConversion, CompletionAndAutoSave) {
    const NoticeText complete = MakeNotice(Notice::RunComplete, {3, 5, "", ""});
    const NoticeText omitZero = MakeNotice(Notice::NoData, {0});
    struct Case { ModeProcedure procedure; const char *autoSave, *protect; bool startDirMissing;
                  RunOutcome outcome; bool saved, failed; Messages messages; };
    const Case cases[] = {
        {ReadFiveWriteThree, "1", "0", false, RunOutcome::Complete, true, false, {complete}},  // saved silently
        {ReadFourWriteNone, "1", "0", false, RunOutcome::NothingIncluded, false, false,
         {MakeNotice(Notice::NothingIncluded, {0, 4})}},
        {ReadNoneOmitSeven, "1", "0", false, RunOutcome::NoData, false, false, {MakeNotice(Notice::NoData, {7})}},
        {WriteWithoutReading, "1", "0", false, RunOutcome::NoData, false, false, {omitZero}},
        {nullptr, "1", "0", false, RunOutcome::NoData, false, false, {omitZero}},
        {ReadFiveWriteThree, "yes", "0", false, RunOutcome::Complete, false, false, {complete}},  // "1" only
        {ReadFiveWriteThree, "1", "0", true, RunOutcome::Complete, false, true,
         {complete, MakeNotice(Notice::SettingsNotCreated)}},
        {ReadFiveWriteThree, "1", "1", false, RunOutcome::Complete, false, false,
         {complete, MakeNotice(Notice::SettingsProtected)}},  // protected is no failure
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messages.back().text + " AutoSave=" + c.autoSave + " Protect=" + c.protect);
        Job j;
        j.settings.config.AutoSave = c.autoSave;
        j.settings.config.Protect = c.protect;
        if (c.startDirMissing) j.settings.startDir = j.dir.File("missing");
        j.Use(c.procedure);
        EXPECT_EQ(j.Run(), c.outcome);
        EXPECT_EQ(j.ui.messages, c.messages);
        EXPECT_EQ(j.ui.messageLines, (Lines{" ***** Complete. *****"}));
        EXPECT_EQ(j.ui.statusLines, (Lines{""}));
        EXPECT_EQ(fs::exists(j.dir.File("geoplait.ini")), c.saved);
        EXPECT_EQ(j.ctx.run.SettingsSaveFailed, c.failed);
    }
}

// ---- Run state and run values

void ExpectFreshState(RunContext& ctx, const ConvertMode& = kConvertModes[0]) {
    const TrackStore& s = ctx.store;
    const TrackPoint& p = ctx.point;
    EXPECT_EQ(std::tie(s.RecordIndex, s.WrittenCount, s.OmitCount, s.SplitIndex, s.FirstTime),
              std::make_tuple(0, 0, 0, 0, std::time_t{0}));
    EXPECT_EQ(std::tie(s.PreviousPoint, s.DerivedPrevious, s.PlacemarkAnchor),
              std::make_tuple(PointPosition{}, PointPosition{}, PointPosition{}));
    EXPECT_EQ(std::tie(p.ElapsedSec, p.IntervalSec, p.TotalDistance), std::make_tuple(0, 0, 0.0));
    EXPECT_FALSE(s.GroupDated);
    EXPECT_EQ(p.PointName + p.ExtendData + ctx.run.OverrideNote + ctx.run.DirectoryNote, "");
    EXPECT_EQ(p.GgaId, "") << "the record is cleared before the procedure";
    ctx.store.RecordIndex = ctx.store.WrittenCount = 1;
}

TEST(RunConversion, RunStartsFromAFreshState) {
    Job j;
    TrackStore& s = j.ctx.store;
    TrackPoint& p = j.ctx.point;
    s.RecordIndex = s.WrittenCount = s.OmitCount = s.SplitIndex = 6;
    s.PreviousPoint = s.DerivedPrevious = s.PlacemarkAnchor = test::PointOf("13945.0", "3539.0", "10", "E", "N");
    s.GroupDay = 19828;
    s.GroupDated = true;
    s.FirstTime = 1000;
    p.ElapsedSec = p.IntervalSec = 5;
    p.TotalDistance = 3.5;
    p.PointName = p.ExtendData = p.GgaId = "x";
    j.ctx.run.OverrideNote = j.ctx.run.DirectoryNote = "x";
    j.Use(ExpectFreshState);
    EXPECT_EQ(j.Run(), RunOutcome::Complete);
}

TEST(RunConversion, RunValuesFromTheTexts) {
    Job j;
    ConvertSettings& s = j.Current();
    s.RecordStart = "12abc";
    s.RecordEnd = " 345";
    s.Satellites = "4";
    s.Margin = "x";
    s.Distance = "1500.9";
    s.PosDistance_edit = "250";
    s.LineDistance = "2500.5";
    s.LineDistanceSec = "90.5";
    s.TimeDifference = "- 5:00";
    s.DATE_IncludeStart = "2024/04/15";
    s.TIME_IncludeStart = "9:05:00";
    s.DATE_IncludeEnd = "2024/04/16";
    s.TIME_IncludeEnd = "18:30:15";
    s.Photo_CsvOut = 1;
    s.OutputFile = j.dir.File("trip.kml");
    j.Run();
    const RunValues& run = j.ctx.run;
    EXPECT_EQ(std::tie(run.RecordRangeStart, run.RecordRangeEnd, run.SatelliteThreshold, run.DilutionThreshold),
              std::make_tuple(12, 345, 4, 0));
    EXPECT_DOUBLE_EQ(run.ThinningDistance, 1.5);
    EXPECT_DOUBLE_EQ(run.PlacemarkDistance, 0.25);
    EXPECT_DOUBLE_EQ(run.GapDistanceLimit, 2.5005);
    EXPECT_DOUBLE_EQ(run.GapSecondsLimit, 90.5);
    EXPECT_EQ(run.TimeDifferenceValue, -50000);
    EXPECT_EQ(run.RangeStartStamp, "20240415090500");
    EXPECT_EQ(run.RangeEndStamp, "20240416183015");
    EXPECT_EQ(run.PhotoListPath, j.dir.File("trip_Photo.csv"));
    // An unknown time difference keeps the value before; no photo list when off.
    s.TimeDifference = "+9:00";
    s.Photo_CsvOut = 0;
    j.Run();
    EXPECT_EQ(run.TimeDifferenceValue, -50000);
    EXPECT_EQ(run.PhotoListPath, "");
}

TEST(RunConversion, DefaultHemispheresDecodedAtTheStart) {
    const struct { const char *ns, *ew; char latitude, longitude; } cases[] = {
        {"N", "E", '+', '+'}, {"S", "W", '-', '-'}, {"S", "E", '-', '+'},
        {"", "W", ' ', '-'},  {"NN", "w", ' ', ' '}, {"E", "N", ' ', ' '},
    };
    for (const auto& c : cases) {
        Job j;
        j.settings.config.LatitudeNS = c.ns;
        j.settings.config.LongitudeWE = c.ew;
        j.Current().OutputFile = j.dir.File("trip.kml");
        j.Run();
        EXPECT_EQ(j.ctx.run.DefaultSigns.latitude, c.latitude) << c.ns;
        EXPECT_EQ(j.ctx.run.DefaultSigns.longitude, c.longitude) << c.ew;
    }
}

TEST(RunConversion, GapLimitsDefaultToNoSplit) {
    const std::tuple<const char*, double, double> cases[] = {
        {"", 99999.0, 99999999.0}, {"0.0", 99999.0, 99999999.0}, {"abc", 99999.0, 99999999.0}, {"12.5m", 0.0125, 12.5}};
    for (const auto& [text, distanceKm, seconds] : cases) {
        Job j;
        j.Current().LineDistance = j.Current().LineDistanceSec = text;
        j.Run();
        EXPECT_DOUBLE_EQ(j.ctx.run.GapDistanceLimit, distanceKm) << text;
        EXPECT_DOUBLE_EQ(j.ctx.run.GapSecondsLimit, seconds) << text;
    }
}

TEST(SplitOutputPath, Parts) {
    const struct { const char *path, *directory, *name, *extension; } cases[] = {
        {"/data/gps/track.kml", "/data/gps/", "track", ".kml"}, {"track.kml", "", "track", ".kml"},
        {"track", "", "track", ""}, {"a.b/track", "a.b/", "track", ""}, {"dir/.kml", "dir/", ".kml", ""},
        {"t.tar.gz", "", "t.tar", ".gz"}, {"/track.", "/", "track", "."}, {"a.b/.hidden", "a.b/", ".hidden", ""},
        {"C:\\KMLFile.kml", "", "C:\\KMLFile", ".kml"}, {"", "", "", ""},
    };
    for (const auto& c : cases) {
        RunValues run;
        SplitOutputPath(c.path, run);
        EXPECT_EQ(std::tie(run.OutputDrive, run.OutputDirectory, run.OutputName, run.OutputExtension),
                  std::make_tuple(std::string(), std::string(c.directory), std::string(c.name),
                                  std::string(c.extension)))
            << c.path;
    }
}

// ---- Pre-scan

TEST(RunConversion, PrescanCountsByFamily) {
    const std::string gsa = "$GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1*3F\n";
    const std::string mixed = kGgaLine + kRmcLine + gsa + kGgaLine + kRmcLine + "$GPGSV,$GPRMC,\n" + kGgaLine +
                              kRmcLine;
    const std::string ours = std::string(kCsvFullColumnNames[0]) + "," + std::string(kCsvFullColumnNames[1]) + "\n";
    const std::string tooLong(size_t{1} << 20, '7');
    // Records as the family's reader gives them; the summaries count nothing.
    const std::tuple<const char*, std::string, int32_t> cases[] = {
        {"nmea(log) -> kml", mixed, 3}, {"nmea(log) -> kml", "", 0},
        {"nmea(log) -> kml", Repeat(kGgaLine, 5), 5},  // no RMC: the GGA lines
        {"nmea(log) -> kml", "$GNRMC,1\n$GPRMC,2\n$GXRMC,3\n$GNGGA,1\n", 2},  // every known talker
        {"nmea(log) -> kml", kGgaLine + gsa + kGgaLine, 2}, {"nmea(log) -> kml", gsa + gsa, 0},
        // The fix at the end of a line over 4095 characters is none.
        {"nmea(log) -> kml", std::string(4096, 'x') + kRmcLine + kRmcLine, 1},
        {"nmea(log) -> pot", mixed, 3}, {"nmea(log) -> Summary(csv)", mixed, 0},
        {"nmea(log) -> Summary(html)", mixed, 0},
        {"csv(Full) -> kml", "a\nb\nc\nd", 4}, {"csv(Full) -> pot", "a\r\nb\r\n\r\n", 3},
        {"csv(Custom) -> kml", "x\ny\nz\n", 3}, {"pot -> kml", "DAT=WGS84\n1\n2\n3\n", 3},
        {"pot -> kml", "DAT=WGS84\n", 0},
        // The count passes over the lines without reading their cells, as
        // the reader passes over them: our own header line is no record,
        // another program's is; a line over 1 MiB is none.
        {"csv(Full) -> kml", ours + "a\nb\n", 2}, {"csv(Custom) -> kml", ours, 0},
        {"csv(Full) -> kml", "lat,lon\na\n", 2}, {"csv(Full) -> kml", "a\n" + tooLong + "\nb", 2},
        {"csv(Custom) -> kml", tooLong + "\n" + ours + "a\n", 1},
        {"pot -> kml", "DAT=WGS84\r1\r2\r", 2}, {"pot -> kml", "DAT=WGS84\n" + tooLong + "\n1\n", 1},
        // Points of the document, whatever its lines; none without lat and lon.
        {"gpx -> kml",
         "<gpx><rte><rtept lat=\"35.1\" lon=\"139.1\"/><rtept lat=\"35.2\" lon=\"139.2\"></rtept>\n"
         "</rte><wpt lat=\"1\"\tlon=\"2\"/><wpt lon=\"139.3\"/></gpx>\n",
         3},
        {"kml(Line) -> pot",
         "<kml><Placemark><LineString><coordinates>139,35,0 139,35,0 x 140,36</coordinates></LineString>"
         "</Placemark></kml>",
         2},
        {"kml(Point) -> gpx", "<kml>\n</kml>", 0},
        {"Photo(Only) -> kml", "a\nb\n", 0},
    };
    for (const auto& [mode, input, count] : cases) {
        Job j;
        j.Current().Mode = mode;
        // A placemark type that divides the track: the only runs that count.
        j.Current().Placemark = 1;
        j.Current().PosType = 1;
        j.Current().PosType_edit = "Point 3";
        j.Input(input);
        j.Run();
        const bool kml = FindModeByDisplayText(mode)->output == ModeOutput::Kml;
        EXPECT_EQ(j.ctx.run.PrescanCount, kml ? count : 0) << mode << " " << input;
        if (!kml) {
            EXPECT_EQ(CountInputRecords(j.ctx, FindModeByDisplayText(mode)), count) << mode << " " << input;
        }
    }
}

TEST(RunConversion, WarningsFollowTheCompletionAndMarkTheOutcome) {
    Job j;
    j.Use(ReadFiveWriteThreeLosingOne);
    EXPECT_EQ(j.Run(), RunOutcome::CompleteWithWarnings);
    EXPECT_EQ(j.ui.messages, (Messages{MakeNotice(Notice::RunComplete, {3, 5, "", ""}), kLostOne, kLostOne}));
    // The next run starts without them.
    j.ui = test::RecordingUi{};
    j.Use(ReadFiveWriteThree);
    EXPECT_EQ(j.Run(), RunOutcome::Complete);
    EXPECT_EQ(j.ui.messages, (Messages{MakeNotice(Notice::RunComplete, {3, 5, "", ""})}));
}

TEST(RunConversion, PrescanWithoutInputGoesOnWithZero) {
    Job j;
    j.Current().InputFile = j.dir.File("gone.csv");
    EXPECT_EQ(CountInputRecords(j.ctx, FindModeByDisplayText("csv(Full) -> kml")), 0);
    EXPECT_EQ(j.ui.messages, (Messages{WithCause(MakeNotice(Notice::InputNotFound), j.dir.File("gone.csv"), ENOENT)}));
    j.ui.messages.clear();
    EXPECT_EQ(CountInputRecords(j.ctx, nullptr), 0);
    EXPECT_EQ(CountInputRecords(j.ctx, FindModeByDisplayText("Photo(Only) -> kml")), 0);
    EXPECT_TRUE(j.ui.messages.empty());
}

TEST(PlacemarkInterval, FromIntervalAndType) {
    const struct { const char* interval; int posType; const char* type; int32_t prescan, expected; } cases[] = {
        {"4", 0, "Start & End", 100, 4},   {"0", 0, "", 100, 1},            {"-3", 0, "", 100, 1},
        {"", 0, "", 100, 1},               {"1", 1, "Start & End", 250, 250}, {"1", 1, "Start & End", 0, 1},
        {"1", 1, "Point 3", 10, 3},        {"1", 1, "Point 3", 2, 1},        {"1", 1, "Point 5", 11, 2},
        {"1", 1, "Point 10", 99, 9},       {"1", 1, "Point 30", 90, 3},      {"1", 1, "Point 50", 149, 2},
        {"1", 1, "Point 100", 250, 2},     {"7", 1, "Point 7", 250, 7},      {"7", 1, "point 3", 250, 7},
        {"7", 0, "Point 3", 250, 7},
    };
    for (const auto& c : cases) {
        ConvertSettings s;
        s.Interval = c.interval;
        s.PosType = c.posType;
        s.PosType_edit = c.type;
        EXPECT_EQ(PlacemarkIntervalOf(s, c.prescan), c.expected) << c.interval << " " << c.type << " " << c.prescan;
    }
}

// ---- First-line check

TEST(FirstSentenceIds, KnownExactly) {
    for (const char* id : {"$GPAAM", "$GPRMC", "$GPGGA", "$GPGSV", "$PGRME", "$PGRMZ", "$PSLIB", "$GPRMB",
                           "$GNRMC", "$GLGSV", "$GAGGA", "$GBGSA", "$BDRMC", "$GQZDA"}) {
        EXPECT_TRUE(IsKnownFirstSentenceId(id)) << id;
    }
    for (const char* id : {"$GXRMC", "$PNRME", "$gprmc", "$GPRMC ", "GPRMC", "$GP", "", "$GPTXT", "$GNTXT"}) {
        EXPECT_FALSE(IsKnownFirstSentenceId(id)) << id;
    }
}

// ---- Dispatch

TEST(RunConversion, EachModeRunsItsOwnRowAndUnknownModesNone) {
    Job j;
    j.table = MarkingTable(std::make_index_sequence<kModeCount>());
    j.Input(kRmcLine);
    for (size_t row = 0; row < kConvertModes.size(); ++row) {
        j.Current().Mode = kConvertModes[row].displayText;
        j.Run();
        EXPECT_EQ(j.ctx.store.SplitIndex, static_cast<int32_t>(row + 1)) << kConvertModes[row].displayText;
    }
    j.Input("$GNRMC,1\n");
    for (const char* mode : {"Nmea2Pot", "nmea(log) -> KML", ""}) {
        j.ui.messages.clear();
        j.Current().Mode = mode;
        EXPECT_EQ(j.Run(), RunOutcome::NoData) << mode;
        EXPECT_EQ(j.ctx.store.SplitIndex, 0);
        EXPECT_EQ(j.ctx.run.PrescanCount, 0);
        EXPECT_EQ(j.ui.messages, (Messages{MakeNotice(Notice::NoData, {0})}));
    }
}

}  // namespace
}  // namespace geoplait
