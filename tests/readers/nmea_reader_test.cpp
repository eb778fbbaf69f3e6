#include "readers/nmea_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

// The two sides of a record, GGA and RMC, each as its fields joined by "|".
using Sides = std::pair<std::string, std::string>;
using P = TrackPoint;

Sides SidesOf(const TrackPoint& p) {
    static constexpr std::string TrackPoint::*kGga[] = {
        &P::GgaId, &P::GgaTime, &P::GgaLatitude, &P::GgaNS, &P::GgaLongitude, &P::GgaEW, &P::GgaQuality,
        &P::GgaSatellites, &P::GgaDilution, &P::GgaAltitude, &P::GgaAltitudeUnit, &P::GgaGeoid, &P::GgaGeoidUnit,
        &P::GgaDgpsAge, &P::GgaDgpsStation};
    static constexpr std::string TrackPoint::*kRmc[] = {
        &P::RmcId, &P::RmcTime, &P::RmcStatus, &P::RmcLatitude, &P::RmcNS, &P::RmcLongitude, &P::RmcEW,
        &P::RmcSpeed, &P::RmcCourse, &P::RmcDate, &P::RmcMagVar, &P::RmcMagVarEW};
    Sides sides;
    for (auto field : kGga) sides.first += (field == kGga[0] ? "" : "|") + p.*field;
    for (auto field : kRmc) sides.second += (field == kRmc[0] ? "" : "|") + p.*field;
    return sides;
}

// A sentence's own side: its fields joined by "|".
std::string Side(std::string sentence) {
    for (char& c : sentence) c = c == ',' ? '|' : c;
    return sentence;
}

const Sides kEmpty = {"||||||||||||||", "|||||||||||"};
const std::string kGga1 = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc1 = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kGga2 = "$GPGGA,123520,4807.040,N,01131.010,E,1,07,1.1,546.0,M,46.9,M,,*4B";
const std::string kRmc2 = "$GPRMC,123520,A,4807.040,N,01131.010,E,020.0,085.0,230394,003.1,W*61";
const std::string kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";
const std::string kGsv1 = "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";
const std::string kGsv2 = "$GPGSV,2,2,08,15,40,083,46,16,17,308,41,17,07,344,39,18,22,228,45*76";
// What a line gives its own side, and the other side it fills on its own.
const Sides kFull1 = {Side(kGga1), Side(kRmc1)}, kFull2 = {Side(kGga2), Side(kRmc2)};
const Sides kGgaOnly1 = {Side(kGga1), "|123519||4807.038|N|01131.000|E|0|0|000000||"};
const Sides kGgaOnly2 = {Side(kGga2), "|123520||4807.040|N|01131.010|E|0|0|000000||"};
const Sides kRmcOnly1 = {"|123519|4807.038|N|01131.000|E|||||||||", Side(kRmc1)};

std::string Lines(std::initializer_list<std::string> lines, const char* end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// Reads `bytes` as a log the way a run does: the first line's identifier is
// taken first, then every epoch is captured and the record cleared.
std::vector<Sides> ReadEpochs(const std::string& bytes) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.nmea"), bytes);
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx(settings, ui);
    TextReader input(dir.File("in.nmea"));
    EXPECT_TRUE(input.IsOpen());
    std::string first;
    if (input.ReadLine(first, 4096)) ctx.run.FirstSentenceId = std::string(SentenceIdOf(first));
    input.Rewind();
    std::vector<Sides> epochs;
    ReadNmeaEpochs(input, ctx, [&](RunContext& c) {
        epochs.push_back(SidesOf(c.point));
        ClearTrackPoint(c.point);
    });
    EXPECT_TRUE(ui.messages.empty());
    return epochs;
}

TEST(ReadNmeaEpochs, GroupsLinesFromOneFirstIdentifierToTheNext) {
    std::string utf16 = "\xFF\xFE";
    for (char ch : Lines({kRmc1, kGga1, kRmc2, kGga2})) utf16 += std::string{ch, '\0'};
    // A line longer than 4095 characters arrives as two: the first piece ends
    // just before the second "$GPGGA", which therefore opens an epoch of its own.
    const std::string head = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const std::string padded = head + std::string(4095 - head.size(), 'x');
    const Sides paddedSides = {Side(padded), kGgaOnly1.second};
    const struct { const char* name; std::string log; std::vector<Sides> epochs; } cases[] = {
        {"rmc first", Lines({kRmc1, kGga1, kGsa, kRmc2, kGga2, kGsa}), {kFull1, kFull2}},
        {"gga first", Lines({kGga1, kRmc1, kGga2, kRmc2}), {kFull1, kFull2}},
        {"gsa first, once per epoch", Lines({kGsa, kRmc1, kGga1, kGsa, kGga2}), {kFull1, kGgaOnly2}},
        // Two GSV lines per epoch: one empty record beside each full one.
        {"gsv first, several per epoch", Lines({kGsv1, kGsv2, kRmc1, kGga1, kGsv1, kGsv2, kRmc2, kGga2}),
         {kEmpty, kFull1, kEmpty, kFull2}},
        {"gga only", Lines({kGga1, kGga2}), {kGgaOnly1, kGgaOnly2}},
        {"rmc only", Lines({kRmc1}), {kRmcOnly1}},
        {"empty log", "", {kEmpty}},
        {"utf-8 mark only", "\xEF\xBB\xBF", {kEmpty}},
        {"single line without end", kGga1, {kGgaOnly1}},
        {"last epoch without line end", Lines({kRmc1, kGga1, kRmc2}) + kGga2, {kFull1, kFull2}},
        {"only non-position sentences", Lines({kGsa, kGsv1, kGsa}), {kEmpty, kEmpty}},
        // The talkers of multi-system receivers are read as GPS; an RMC of another
        // talker opens the next epoch of a log that starts with an RMC; lower
        // case is no sentence.
        {"other talkers",
         Lines({kRmc1, "$GNGGA,999999,1111.111,S,22222.222,W,1,12,0.5,1.0,M,0.0,M,,*00",
                "$GNRMC,999999,A,1111.111,S,22222.222,W,1.0,1.0,010100,,*00",
                "$gpgga,999999,1111.111,S,22222.222,W,1,12,0.5,1.0,M,0.0,M,,*00"}),
         {{"$GNGGA|999999|1111.111|S|22222.222|W|1|12|0.5|1.0|M|0.0|M||*00", Side(kRmc1)},
          {"|999999|1111.111|S|22222.222|W|||||||||", "$GNRMC|999999|A|1111.111|S|22222.222|W|1.0|1.0|010100||*00"}}},
        {"blank lines inside", Lines({kGga1, "", kRmc1, ""}), {kFull1}},
        {"lf line ends", Lines({kRmc1, kGga1, kRmc2, kGga2}, "\n"), {kFull1, kFull2}},
        {"stray cr ends the last field too", Lines({kGga1}, "\r\r\n"), {kGgaOnly1}},
        {"utf-16", utf16, {kFull1, kFull2}},
        {"long line", padded + kGga2 + "\r\n", {paddedSides, kGgaOnly2}},
        // A continuation that is no sentence is a line of its own that nothing parses.
        {"long line, continuation", padded + ",tail\r\n" + kGga2 + "\r\n", {paddedSides, kGgaOnly2}},
        // Cross-filling within an epoch. RMC then GGA: the GGA line overwrites
        // its own side (an empty latitude stays empty) and leaves the RMC side.
        {"rmc, then gga without latitude",
         Lines({kRmc1, "$GPGGA,123519,,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"}),
         {{"$GPGGA|123519||N|01131.000|E|1|08|0.9|545.4|M|46.9|M||*47", Side(kRmc1)}}},
        // RMC fields left empty by the receiver are completed by the GGA line.
        {"empty rmc, then gga", Lines({"$GPRMC,,V,,,,,,,,,*53", kGga1}),
         {{Side(kGga1), "$GPRMC|123519|V|4807.038|N|01131.000|E|0|0|000000||*53"}}},
        // GGA then RMC: the GGA line's "000000", "0", "0" give way to the RMC
        // line, and the empty GGA latitude is taken from the RMC side.
        {"gga without latitude, then rmc",
         Lines({"$GPGGA,123519,,,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", kRmc1}), {kFull1}},
        {"gga, then rmc without speed, course, date",
         Lines({kGga1, "$GPRMC,123519,A,4807.038,N,01131.000,E,,,,,*6A"}),
         {{Side(kGga1), "$GPRMC|123519|A|4807.038|N|01131.000|E|||||*6A"}}},
        {"second gga of an epoch overwrites its side", Lines({kRmc1, kGga1, "$GPGGA,123521,4807.050,S"}),
         {{"$GPGGA|123521|4807.050|S|||||||||||", Side(kRmc1)}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadEpochs(c.log), c.epochs) << c.name;
}

TEST(ReadNmeaEpochs, EachCallStartsCountingLinesAgain) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in"), Lines({kRmc1, kGga1, kRmc2, kGga2}));
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx(settings, ui);
    ctx.run.FirstSentenceId = "$GPRMC";
    TextReader input(dir.File("in"));
    int calls = 0;
    auto emit = [&](RunContext& c) {
        ++calls;
        ClearTrackPoint(c.point);
    };
    ReadNmeaEpochs(input, ctx, emit);
    EXPECT_EQ(calls, 2);
    input.Rewind();
    ReadNmeaEpochs(input, ctx, emit);
    EXPECT_EQ(calls, 4);
    ReadNmeaEpochs(input, ctx, emit);  // at the end of the input only the closing call remains
    EXPECT_EQ(calls, 5);
}

TEST(ParseSentences, FieldsOfLinesParsedInTurn) {
    const struct { const char* name; std::vector<std::string> lines; Sides sides; } cases[] = {
        {"gga", {kGga1 + "\n"}, kGgaOnly1},
        {"rmc", {kRmc1 + "\n"}, kRmcOnly1},
        {"gga ends after field 3", {"$GPGGA,123519,4807.038,N\n"},
         {"$GPGGA|123519|4807.038|N|||||||||||", "|123519||4807.038|N|||0|0|000000||"}},
        {"gga with only its identifier", {"$GPGGA\n"}, {"$GPGGA||||||||||||||", "|||||||0|0|000000||"}},
        {"station keeps what follows it", {"$GPGGA,1,2,N,3,E,2,09,1.0,4,M,5,M,3.2,0120*5C\n"},
         {"$GPGGA|1|2|N|3|E|2|09|1.0|4|M|5|M|3.2|0120*5C", "|1||2|N|3|E|0|0|000000||"}},
        {"gga fields beyond 14 ignored", {"$GPGGA,1,2,N,3,E,1,09,1.0,4,M,5,M,,*47,extra\n"},
         {"$GPGGA|1|2|N|3|E|1|09|1.0|4|M|5|M||*47", "|1||2|N|3|E|0|0|000000||"}},
        {"rmc mode indicator ignored",
         {"$GPRMC,081836,A,3751.65,S,14507.36,E,000.0,360.0,130998,011.3,E,A*0D\n"},
         {"|081836|3751.65|S|14507.36|E|||||||||",
          "$GPRMC|081836|A|3751.65|S|14507.36|E|000.0|360.0|130998|011.3|E"}},
        {"rmc checksum after empty variation", {"$GPRMC,1,A,2,N,3,E,4,5,010203,,*6A\n"},
         {"|1|2|N|3|E|||||||||", "$GPRMC|1|A|2|N|3|E|4|5|010203||*6A"}},
        {"values kept as written", {"$GPGGA, 12:35 ,+48.1,n,x,e,,,,,,,,,\n"},
         {"$GPGGA| 12:35 |+48.1|n|x|e|||||||||", "| 12:35 ||+48.1|n|x|e|0|0|000000||"}},
        // Absent fields become empty over old values; the filled RMC side stays.
        {"second, shorter gga", {kGga1, "$GPGGA,123520,4807.040"},
         {"$GPGGA|123520|4807.040||||||||||||", kGgaOnly1.second}},
        {"other talker", {"$BDGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n"},
         {"$BDGGA|123519|4807.038|N|01131.000|E|1|08|0.9|545.4|M|46.9|M||*47", kGgaOnly1.second}},
        {"unknown talker", {"$GXGGA,123519,4807.038,N\n", "$PGRMC,123519,A\n"}, kEmpty},
        {"identifier must be exact", {"$GPGGAX,123519,4807.038,N\n"}, kEmpty},
        {"lower case", {"$gprmc,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n"}, kEmpty},
        {"other sentence", {kGsa + "\n"}, kEmpty},
        {"empty line", {"\n"}, kEmpty},
    };
    for (const auto& c : cases) {
        TrackPoint point;
        for (const std::string& line : c.lines) {
            ParseGga(line, point);
            ParseRmc(line, point);
        }
        EXPECT_EQ(SidesOf(point), c.sides) << c.name;
    }
}

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
