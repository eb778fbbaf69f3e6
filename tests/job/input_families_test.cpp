// The family table and the procedures derived from it, and the track input
// reading each family through its reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <utility>
#include <cstdint>
#include <string>
#include <vector>

#include "job/input_families.h"
#include "job/kml_passes.h"
#include "job/mode_table.h"
#include "job/record_runs.h"
#include "engine/record_filter.h"
#include "job/track_input.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "support/record_time.h"

namespace geoplait {
namespace {

// The latitude a record was read with ("%g" of its degrees), empty without
// a position.
std::string LatitudeOf(const TrackPoint& p) {
    if (!p.Position.known) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%g", p.Position.latitude.degrees);
    return text;
}

// Each way of running an output, and the one pair run otherwise: an NMEA log
// to NMEA is copied, CSV Full to NMEA is rebuilt record by record.
TEST(ModeProcedures, EachModeRunsByItsOutputAndTheOnePairOtherwise) {
    const struct {
        const char* mode;
        ModeProcedure procedure;
    } cases[] = {
        {"nmea(log) -> kml", RunKmlPasses},
        {"Photo(Only) -> kml", RunKmlPasses},
        {"gpx -> pot", RunRecords},
        {"kml(Point) -> csv(Custom)", RunRecords},
        {"nmea(log) -> nmea(log)", RunNmeaPassThrough},
        {"csv(Full) -> nmea(log)", RunRecords},
        {"nmea(log) -> Summary(csv)", RunSummary},
        {"nmea(log) -> Summary(html)", RunSummary},
    };
    for (const auto& c : cases) {
        const ConvertMode* mode = FindModeByDisplayText(c.mode);
        ASSERT_NE(mode, nullptr) << c.mode;
        EXPECT_EQ(ProcedureOf(*mode), c.procedure) << c.mode;
        EXPECT_EQ(kModeTable[ModeRow(*mode)], c.procedure) << c.mode;
    }
    for (const ConvertMode& mode : kConvertModes) EXPECT_NE(kModeTable[ModeRow(mode)], nullptr) << mode.displayText;
}

TEST(InputFamilies, EveryFamilyHasItsRow) {
    for (const ConvertMode& mode : kConvertModes) {
        const InputFamily& family = FamilyOf(mode.kind);
        EXPECT_EQ(family.kind, mode.kind) << mode.displayText;
        // Only the photos have no track to read; only NMEA logs are checked for their first line.
        EXPECT_EQ(family.open == nullptr, mode.kind == ModeKind::Photo) << mode.displayText;
        EXPECT_EQ(family.firstSentence, mode.kind == ModeKind::Nmea) << mode.displayText;
        EXPECT_EQ(family.count == CountRule::Fixes, mode.kind == ModeKind::Nmea) << mode.displayText;
        // Every family whose KML mode exists has the passes it runs.
        if (mode.output == ModeOutput::Kml && mode.kind != ModeKind::Photo) {
            EXPECT_TRUE(family.kml.track) << mode.displayText;
        }
    }
    EXPECT_FALSE(FamilyOf(ModeKind::KmlLine).kml.track);
    EXPECT_FALSE(FamilyOf(ModeKind::Photo).kml.track);
}

struct TrackInputTest : ::testing::Test {
    TrackInputTest() : ctx(settings, ui) {}
    // Opens `bytes` as the input of family `kind`.
    bool Open(ModeKind kind, const std::string& bytes) {
        settings.current.InputFile = dir.File("input");
        test::WriteFileBytes(settings.current.InputFile, bytes);
        return input.Open(ctx, kind);
    }
    // What ForEach hands on: one text per record.
    std::vector<std::string> Records() {
        std::vector<std::string> records;
        input.ForEach(ctx, [&](RunContext& c) {
            records.push_back(LatitudeOf(c.point) + "/" + test::UtcTimeText(c.point));
            ClearTrackPoint(c.point);
        });
        return records;
    }

    test::TempDir dir;
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx;
    TrackInput input;
};

const char* const kKmlWithBadTuples =
    "<kml><Placemark><LineString><coordinates>139,35 x 140,36 1,2,3,4 141,37</coordinates>"
    "</LineString></Placemark></kml>";

TEST_F(TrackInputTest, DroppedTuplesCountForTheRunNotForThePrescan) {
    ASSERT_TRUE(Open(ModeKind::KmlLine, kKmlWithBadTuples));
    ctx.store.OmitCount = 5;
    EXPECT_EQ(input.Count(ctx), 3);
    EXPECT_EQ(ctx.store.OmitCount, 5);
    ASSERT_TRUE(input.Open(ctx, ModeKind::KmlLine));
    EXPECT_EQ(Records(), (std::vector<std::string>{"35/", "36/", "37/"}));
    EXPECT_EQ(ctx.store.OmitCount, 7);
    // Each pass counts what it drops.
    ASSERT_TRUE(input.Open(ctx, ModeKind::KmlPoint));
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(ctx.store.OmitCount, 7);
}

TEST_F(TrackInputTest, OneInputReadsOneFamilyAfterAnother) {
    ctx.run.FirstSentenceId = "$GPRMC";
    ASSERT_TRUE(Open(ModeKind::Nmea, "$GPRMC,010203,A,3539.3300,N\n$GPGGA,010203\n$GPRMC,010204,A\n"));
    EXPECT_EQ(Records(), (std::vector<std::string>{"/010203", "/010204"}));
    ASSERT_TRUE(Open(ModeKind::Pot, "DAT=WGS84\nido=+35'30'00'0/kei=+139'00'00'0/pti=01:02:05\n"));
    EXPECT_EQ(Records(), (std::vector<std::string>{"35.5/010205"}));
    EXPECT_FALSE(Open(ModeKind::Photo, "a\n"));
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(input.Count(ctx), 0);
}

TEST_F(TrackInputTest, NmeaEpochsStopWhenTheRunMust) {
    ctx.run.FirstSentenceId = "$GPRMC";
    ASSERT_TRUE(Open(ModeKind::Nmea, "$GPRMC,1\n$GPRMC,2\n$GPRMC,3\n"));
    int taken = 0;
    input.ForEach(ctx, [&](RunContext& c) {
        ++taken;
        ClearTrackPoint(c.point);
        c.cancelRequested = true;
    });
    EXPECT_EQ(taken, 1);
}

TEST_F(TrackInputTest, ABrokenDocumentIsReportedOnceARun) {
    ASSERT_TRUE(Open(ModeKind::Gpx, "<gpx><wpt lat=\"1\" lon=\"2\"/><wpt"));
    EXPECT_EQ(input.Count(ctx), 1);
    ASSERT_TRUE(input.Open(ctx, ModeKind::Gpx));
    EXPECT_EQ(Records().size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].notice, Notice::InputBroken);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Input File Broken\n")) << ui.messages[0].text;
}

// Reading one record ahead marks the last record read, in every family,
// whether the reader knows it as it gives it (NMEA) or the next read finds
// nothing; the records and their texts are those of a plain read, the bytes
// read grow to the input's size, and each read is a pass of the progress.
TEST_F(TrackInputTest, ReadingAheadMarksTheLastRecordAndKeepsTheRecords) {
    const struct {
        ModeKind kind;
        std::string bytes;
        std::vector<std::string> records;
    } cases[] = {
        {ModeKind::Nmea, "$GPRMC,010203,A,3539.3300,N\n$GPGGA,010203\n$GPRMC,010204,A\n$GPRMC,010205\n",
         {"/010203", "/010204", "/010205"}},
        {ModeKind::Nmea, "$GPRMC,010203\n", {"/010203"}},
        {ModeKind::Pot,
         "DAT=WGS84\nido=+35'30'00'0/kei=+139'00'00'0/pti=01:02:05\n"
         "ido=+35'45'00'0/kei=+139'00'00'0/pti=01:02:06\n",
         {"35.5/010205", "35.75/010206"}},
        {ModeKind::KmlLine, kKmlWithBadTuples, {"35/", "36/", "37/"}},
        {ModeKind::Gpx, "<gpx><wpt lat=\"1\" lon=\"2\"/><wpt lat=\"3\" lon=\"4\"/></gpx>", {"1/", "3/"}},
        {ModeKind::Gpx, "<gpx></gpx>", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        ctx.run = RunValues{};
        ctx.run.FirstSentenceId = "$GPRMC";
        ASSERT_TRUE(Open(c.kind, c.bytes));
        EXPECT_EQ(Records(), c.records) << "a plain read";
        ASSERT_TRUE(input.Open(ctx, c.kind));
        std::vector<std::string> records;
        std::vector<bool> last;
        std::vector<uint64_t> bytes;
        input.ForEach(
            ctx,
            [&](RunContext& r) {
                records.push_back(LatitudeOf(r.point) + "/" + test::UtcTimeText(r.point));
                last.push_back(r.run.LastRecord);
                bytes.push_back(r.run.InputBytesRead);
                ClearTrackPoint(r.point);
            },
            true);
        EXPECT_EQ(records, c.records);
        std::vector<bool> expectedLast(c.records.size(), false);
        if (!expectedLast.empty()) expectedLast.back() = true;
        EXPECT_EQ(last, expectedLast);
        EXPECT_TRUE(std::is_sorted(bytes.begin(), bytes.end()));
        // Up to and with the last record: a document's closing tags may follow.
        if (!bytes.empty()) {
            EXPECT_GT(bytes.back(), c.bytes.size() - 8);
            EXPECT_LE(bytes.back(), c.bytes.size());
        }
        EXPECT_FALSE(ctx.run.LastRecord) << "only while the last record is taken";
        EXPECT_EQ(ctx.run.ProgressPass, 2);
        EXPECT_EQ(ctx.run.RecordsRead, static_cast<int32_t>(c.records.size()));
    }
}

// What ForEach hands on with the reading on a thread of its own and on the
// run's thread: every record's texts, the state the taker leaves a record in
// (here a text it fills after clearing), the last-record mark and the bytes
// read, across the batches the thread hands over (64 records each).
struct ReadRun {
    std::vector<std::string> records;
    std::vector<std::string> speeds;  // computed from the records before where they have none
    std::vector<bool> last;
    std::vector<uint64_t> bytes;
    // What each record found in the numbers the taker keeps from one record
    // to the next, and what the run's own record holds when the reading ends.
    std::vector<int32_t> kept;
    int32_t keptAtEnd = 0;
    std::string qualityAtEnd;
    bool operator==(const ReadRun&) const = default;
};

void PrintTo(const ReadRun& run, std::ostream* out) {
    for (size_t i = 0; i < run.records.size(); ++i) {
        *out << "\n" << run.records[i] << " " << run.speeds[i] << (run.last[i] ? " last " : " ") << run.bytes[i];
    }
}

class ReadingThreadTest : public TrackInputTest {
protected:
    ReadRun Read(ModeKind kind, const std::string& bytes, bool oneThread, bool lookAhead, int stopAfter = -1) {
        if (oneThread) setenv("GEOPLAIT_READ_THREAD", "0", 1);
        ctx.run = RunValues{};
        ctx.run.FirstSentenceId = "$GPRMC";
        ctx.cancelRequested = false;
        ClearTrackPoint(ctx.point);
        ctx.point.ElapsedSec = 0;
        ReadRun run;
        if (Open(kind, bytes)) {
            input.ForEach(
                ctx,
                [&](RunContext& c) {
                    run.records.push_back(LatitudeOf(c.point) + "/" + test::UtcTimeText(c.point) + "/" + c.point.GgaQuality);
                    run.speeds.push_back(c.point.RmcSpeed);
                    run.last.push_back(c.run.LastRecord);
                    run.bytes.push_back(c.run.InputBytesRead);
                    run.kept.push_back(c.point.ElapsedSec);
                    ++c.point.ElapsedSec;
                    ClearTrackPoint(c.point);
                    c.point.GgaQuality = "9";
                    if (static_cast<int>(run.records.size()) == stopAfter) c.cancelRequested = true;
                },
                lookAhead);
        }
        run.keptAtEnd = ctx.point.ElapsedSec;
        run.qualityAtEnd = ctx.point.GgaQuality;
        unsetenv("GEOPLAIT_READ_THREAD");
        return run;
    }
};

// Point i, a second apart and a degree of latitude on: each gets its speed
// from the point before.
std::string TimeOfPoint(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "03%02d%02d", i / 60 % 60, i % 60);
    return text;
}

std::string Waypoints(int n) {
    std::string gpx = "<gpx>";
    for (int i = 1; i <= n; ++i) {
        const std::string t = TimeOfPoint(i);
        gpx += "<wpt lat=\"" + std::to_string(i % 89 + 1) + "\" lon=\"2\"><time>2024-01-02T" + t.substr(0, 2) + ":" +
               t.substr(2, 2) + ":" + t.substr(4, 2) + "Z</time></wpt>\n";
    }
    return gpx + "</gpx>";
}

std::string Epochs(int n) {
    std::string log;
    for (int i = 0; i < n; ++i) log += "$GPRMC,0102" + std::to_string(10 + i % 50) + ",A,3539.3300,N\n";
    return log;
}

TEST_F(ReadingThreadTest, KeepsTheRecordsOfAPlainReadAcrossBatches) {
    // Around a batch, the half of the batches that wakes a sleeping side
    // (four) and all eight of them in flight.
    for (const int n : {0, 1, 2, 63, 64, 65, 128, 129, 255, 256, 257, 300, 511, 512, 513, 1100}) {
        for (const bool lookAhead : {false, true}) {
            for (const auto& [kind, bytes] : {std::pair{ModeKind::Gpx, Waypoints(n)}, std::pair{ModeKind::Nmea, Epochs(n)}}) {
                SCOPED_TRACE(std::to_string(n) + (lookAhead ? " ahead " : " ") + (kind == ModeKind::Gpx ? "gpx" : "nmea"));
                const ReadRun threaded = Read(kind, bytes, false, lookAhead);
                const ReadRun plain = Read(kind, bytes, true, lookAhead);
                EXPECT_EQ(threaded, plain);
                // An empty log still hands on one, empty epoch.
                const size_t records = static_cast<size_t>(n) + (kind == ModeKind::Nmea && n == 0 ? 1 : 0);
                ASSERT_EQ(threaded.records.size(), records);
                EXPECT_EQ(ctx.run.RecordsRead, static_cast<int32_t>(records));
                for (size_t i = 0; i < records; ++i) {
                    EXPECT_EQ(threaded.last[i], lookAhead && i + 1 == records) << i;
                    // Each record finds the numbers the taker left in the one before.
                    EXPECT_EQ(threaded.kept[i], static_cast<int32_t>(i)) << i;
                }
                // The run's own record ends as the taker left the last one.
                EXPECT_EQ(threaded.keptAtEnd, static_cast<int32_t>(records));
                EXPECT_EQ(threaded.qualityAtEnd, records > 0 ? "9" : "");
                // The count passes over the same points without building them
                // (an NMEA log counts its fixes).
                ASSERT_TRUE(Open(kind, bytes));
                EXPECT_EQ(input.Count(ctx), n);
                // A text the reader leaves alone is what the taker left
                // (the record read ahead starts cleared).
                if (kind == ModeKind::Gpx && n >= 3) {
                    EXPECT_EQ(threaded.records[1], lookAhead ? "3/030002/" : "3/030002/9");
                    EXPECT_EQ(threaded.records.back(), std::to_string(n % 89 + 1) + "/" + TimeOfPoint(n) + "/9");
                    EXPECT_NE(threaded.speeds[1], "") << "computed from the first point";
                }
            }
        }
    }
}

// Track points of every kind of value, in m/s (GPX 1.0): names from short
// to long, values with line breaks, southern and western ones, a speed of
// an extension, points without a speed of their own (computed from the one
// before) and now and then one without a longitude (no record).
std::string VariedPoints(int n) {
    std::string gpx = "<gpx version=\"1.0\"><trk><trkseg>\n";
    char text[400];
    for (int i = 1; i <= n; ++i) {
        if (i % 13 == 0) {
            gpx += "<trkpt lat=\"1\"><ele>9</ele></trkpt>\n";
            continue;
        }
        std::snprintf(text, sizeof text,
                      "<trkpt lat=\"%s%d.%04d\" lon=\"%s%d.5\"><ele>%d.5</ele><time>2024-01-02T03:%02d:%02dZ</time>"
                      "<course>%d</course><sat>%d</sat><name>P%d %s</name><desc>not read</desc>",
                      i % 3 == 0 ? "-" : "", i % 80, i, i % 5 == 0 ? "-" : "", i % 170, i, i / 60 % 60, i % 60,
                      i % 360, i % 12, i, std::string(static_cast<size_t>(i % 40), 'x').c_str());
        gpx += text;
        if (i % 2 == 0) gpx += "<speed>" + std::to_string(i % 30) + ".25</speed>";
        if (i % 11 == 0) gpx += "<cmt>a</cmt><sat>1\r\n2</sat>";
        if (i % 7 == 0) {
            gpx += "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>3.5</gpxtpx:speed>"
                   "<gpxtpx:course>12</gpxtpx:course></gpxtpx:TrackPointExtension></extensions>";
        }
        gpx += "</trkpt>\n";
    }
    return gpx + "</trkseg></trk></gpx>";
}

// Epochs of GGA and RMC sentences, some without a speed of their own.
std::string VariedEpochs(int n) {
    std::string log;
    char line[200];
    for (int i = 1; i <= n; ++i) {
        const std::string t = TimeOfPoint(i);
        std::snprintf(line, sizeof line, "$GPGGA,%s,35%02d.%04d,N,139%02d.5000,E,1,%02d,0.9,%d.5,M,39.4,M,,\n", t.c_str(),
                      i % 60, i, i % 60, i % 12, i);
        log += line;
        std::snprintf(line, sizeof line, "$GPRMC,%s,A,35%02d.%04d,N,139%02d.5000,E,%s,%d.5,020124,,\n", t.c_str(),
                      i % 60, i, i % 60, i % 3 == 0 ? "" : std::to_string(i % 40).c_str(), i % 360);
        log += line;
    }
    return log;
}

// Every text and number a point gives a record, and its speed.
std::string RecordText(const TrackPoint& p) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%d %.9f %.9f %.9f %d/%g %d/%g", p.Position.known,
                  p.Position.latitude.degrees, p.Position.longitude.degrees, p.GgaPosition.latitude.nmea,
                  p.Values.altitude.known, p.Values.altitude.value, p.Values.speed.known, p.Values.speed.value);
    return std::string(numbers) + " " + p.GgaNS + p.RmcNS + p.GgaEW + p.RmcEW + " " + p.GgaAltitude + " " +
           p.RmcSpeed + " " + p.RmcCourse + " " + p.GgaSatellites + " [" + p.PointName + "] " +
           test::UtcTimeText(p);
}

TEST_F(ReadingThreadTest, RecordsMadeWhereTakenAreThoseMadeWhereRead) {
    // The run makes the records complete as it takes them, of the texts the
    // reading thread hands over (GPX): around the batches, and past the texts
    // kept (all eight batches of 64).
    for (const int n : {1, 2, 4, 64, 66, 530, 1100, 2300}) {
      for (const ModeKind kind : {ModeKind::Gpx, ModeKind::Nmea}) {
        const std::string bytes = kind == ModeKind::Gpx ? VariedPoints(n) : VariedEpochs(n);
        std::vector<std::vector<std::string>> runs;
        for (const bool oneThread : {true, false}) {
            for (const MakeRecords make : {MakeRecords::kWhereRead, MakeRecords::kWhereTaken}) {
                for (const bool lookAhead : {false, true}) {
                    if (oneThread) setenv("GEOPLAIT_READ_THREAD", "0", 1);
                    ctx.run = RunValues{};
                    ClearTrackPoint(ctx.point);
                    ASSERT_TRUE(Open(kind, bytes));
                    std::vector<std::string> records;
                    input.ForEach(
                        ctx,
                        [&](RunContext& c) {
                            records.push_back(RecordText(c.point));
                            ClearTrackPoint(c.point);
                            c.point.PointName.clear();
                        },
                        lookAhead, nullptr, make);
                    unsetenv("GEOPLAIT_READ_THREAD");
                    runs.push_back(records);
                }
            }
        }
        SCOPED_TRACE(std::to_string(n) + (kind == ModeKind::Gpx ? " gpx" : " nmea"));
        ASSERT_EQ(runs[0].size(), static_cast<size_t>(kind == ModeKind::Gpx ? n - n / 13 : n));
        for (size_t r = 1; r < runs.size(); ++r) EXPECT_EQ(runs[r], runs[0]) << r;
        if (kind == ModeKind::Nmea && n >= 4) {
            EXPECT_EQ(runs[0][2], "1 35.050005000 139.058333333 3503.000300000 1/3.5 1/4653.39 NNEE 3.5 4653.393 3.5 03 [] 030003")
                << "none of its own: the speed from the epoch before";
        }
        if (kind == ModeKind::Gpx && n >= 4) {
            EXPECT_EQ(runs[0][2], "1 3.000300000 3.500000000 300.018000000 1/3.5 1/1.09626e+06 SSEE 3.5 1096263.086 3 3 [P3 xxx] 030003")
                << "south, the speed from the point before";
            EXPECT_EQ(runs[0][3], "1 4.000400000 4.500000000 400.024000000 1/4.5 1/8.261 NNEE 4.5 8.261 4 4 [P4 xxxx] 030004")
                << "a speed in m/s as knots";
        }
      }
    }
}

TEST_F(ReadingThreadTest, AStopEndsTheReadingWhereverTheThreadIs) {
    // Also with the reader asleep, all eight batches filled, or woken again.
    for (const int stopAfter : {1, 63, 64, 65, 200, 256, 513, 900}) {
        SCOPED_TRACE(stopAfter);
        for (const bool lookAhead : {false, true}) {
            const ReadRun run = Read(ModeKind::Gpx, Waypoints(1100), false, lookAhead, stopAfter);
            EXPECT_EQ(run.records.size(), static_cast<size_t>(stopAfter));
            // Stopped within a batch, the run's own record holds what the
            // taker left in the last record it took.
            EXPECT_EQ(run.keptAtEnd, stopAfter);
        }
    }
    // A taker that throws (a cancelled run) leaves no thread behind, and the
    // next read starts afresh.
    ASSERT_TRUE(Open(ModeKind::Gpx, Waypoints(300)));
    ctx.cancelRequested = false;
    ctx.point.TotalDistance = 0.0;
    int taken = 0;
    EXPECT_THROW(input.ForEach(ctx,
                               [&](RunContext& c) {
                                   ClearTrackPoint(c.point);
                                   c.point.TotalDistance += 1.0;
                                   if (++taken == 100) throw geoplait::RunCancelled{};
                               }),
                 geoplait::RunCancelled);
    EXPECT_EQ(ctx.point.TotalDistance, 100.0);
    EXPECT_EQ(Read(ModeKind::Gpx, Waypoints(300), false, false).records.size(), 300u);
}

TEST_F(ReadingThreadTest, PositionsMadeAheadAreThoseOfTheRecordTakenAndOnlyWhileItIsTaken) {
    // Around the batches, with and without the record read ahead, and with an
    // adjustment: each record a reading thread read comes with its position
    // as AdjustPosition makes it; the first ones, read on the run's thread,
    // and all of a plain read come without one.
    PositionAdjustment adjust = PositionAdjustmentOf("-000036.00", "000036.00", "1.25", false);
    const HemisphereSigns defaults{'+', '-'};
    for (const int n : {1, 2, 64, 65, 300}) {
        for (const bool lookAhead : {false, true}) {
            for (const bool oneThread : {false, true}) {
                SCOPED_TRACE(std::to_string(n) + (lookAhead ? " ahead" : "") + (oneThread ? " one thread" : ""));
                if (oneThread) setenv("GEOPLAIT_READ_THREAD", "0", 1);
                const AdjustedPosition* current = nullptr;
                const PositionsAhead positions{adjust, defaults, &current};
                ctx.run = RunValues{};
                ClearTrackPoint(ctx.point);
                ASSERT_TRUE(Open(ModeKind::Gpx, Waypoints(n)));
                int made = 0;
                int taken = 0;
                input.ForEach(
                    ctx,
                    [&](RunContext& c) {
                        ++taken;
                        if (current != nullptr) {
                            ++made;
                            PositionTexts want;
                            HemisphereSigns signs = HemisphereSign(c.point.RmcNS, c.point.RmcEW, defaults);
                            AdjustPosition(adjust, c.point.Position, c.point.Values.altitude.value, want, signs);
                            EXPECT_EQ(current->texts.latitude, want.latitude) << taken;
                            EXPECT_EQ(current->texts.longitude, want.longitude) << taken;
                            EXPECT_EQ(current->texts.altitude, want.altitude) << taken;
                            EXPECT_EQ(current->signs.latitude, signs.latitude) << taken;
                            EXPECT_TRUE(current->from == c.point.Position) << taken;
                        }
                        ClearTrackPoint(c.point);
                    },
                    lookAhead, &positions);
                unsetenv("GEOPLAIT_READ_THREAD");
                EXPECT_EQ(taken, n);
                EXPECT_EQ(current, nullptr) << "not once the reading ends";
                const int onRunThread = n == 1 ? n : (lookAhead ? 2 : 1);
                EXPECT_EQ(made, oneThread ? 0 : n - onRunThread);
            }
        }
    }
}

}  // namespace
}  // namespace geoplait
