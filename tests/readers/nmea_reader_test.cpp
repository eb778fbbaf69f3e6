#include "readers/nmea_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::TempDir;
using test::WriteFileBytes;

// The two sides of a record, each as its fields joined by "|".
struct Sides {
    std::string gga;
    std::string rmc;
    bool operator==(const Sides&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Sides& s) {
    return os << "{gga \"" << s.gga << "\", rmc \"" << s.rmc << "\"}";
}

Sides SidesOf(const TrackPoint& p) {
    auto join = [](std::initializer_list<const std::string*> fields) {
        std::string out;
        bool first = true;
        for (const std::string* f : fields) {
            if (!first) out += '|';
            out += *f;
            first = false;
        }
        return out;
    };
    return {join({&p.GgaId, &p.GgaTime, &p.GgaLatitude, &p.GgaNS, &p.GgaLongitude, &p.GgaEW,
                  &p.GgaQuality, &p.GgaSatellites, &p.GgaDilution, &p.GgaAltitude,
                  &p.GgaAltitudeUnit, &p.GgaGeoid, &p.GgaGeoidUnit, &p.GgaDgpsAge,
                  &p.GgaDgpsStation}),
            join({&p.RmcId, &p.RmcTime, &p.RmcStatus, &p.RmcLatitude, &p.RmcNS, &p.RmcLongitude,
                  &p.RmcEW, &p.RmcSpeed, &p.RmcCourse, &p.RmcDate, &p.RmcMagVar,
                  &p.RmcMagVarEW})};
}

const Sides kEmpty = {"||||||||||||||", "|||||||||||"};

// Sentences and the sides they give on their own.
const std::string kGga1 = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc1 = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kGga2 = "$GPGGA,123520,4807.040,N,01131.010,E,1,07,1.1,546.0,M,46.9,M,,*4B";
const std::string kRmc2 = "$GPRMC,123520,A,4807.040,N,01131.010,E,020.0,085.0,230394,003.1,W*61";
const std::string kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";
const std::string kGsv1 = "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";
const std::string kGsv2 = "$GPGSV,2,2,08,15,40,083,46,16,17,308,41,17,07,344,39,18,22,228,45*76";

const std::string kGga1Side = "$GPGGA|123519|4807.038|N|01131.000|E|1|08|0.9|545.4|M|46.9|M||*47";
const std::string kRmc1Side = "$GPRMC|123519|A|4807.038|N|01131.000|E|022.4|084.4|230394|003.1|W*6A";
const std::string kGga2Side = "$GPGGA|123520|4807.040|N|01131.010|E|1|07|1.1|546.0|M|46.9|M||*4B";
const std::string kRmc2Side = "$GPRMC|123520|A|4807.040|N|01131.010|E|020.0|085.0|230394|003.1|W*61";
// The RMC side that a GGA line alone gives.
const std::string kRmcFromGga1 = "|123519||4807.038|N|01131.000|E|0|0|000000||";
const std::string kRmcFromGga2 = "|123520||4807.040|N|01131.010|E|0|0|000000||";
// The GGA side that a RMC line alone gives.
const std::string kGgaFromRmc1 = "|123519|4807.038|N|01131.000|E|||||||||";

std::string Lines(std::initializer_list<std::string> lines, const char* end = "\r\n") {
    std::string out;
    for (const auto& l : lines) out += l + end;
    return out;
}

// Reads `bytes` as a log the way a run does: the first line's identifier is
// taken first, then every epoch is captured and the record cleared.
std::vector<Sides> ReadEpochs(const std::string& bytes) {
    TempDir dir;
    const std::string path = dir.File("in.nmea");
    WriteFileBytes(path, bytes);
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx(settings, ui);
    TextReader input(path);
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

struct EpochCase {
    const char* name;
    std::string log;
    std::vector<Sides> epochs;
};

TEST(ReadNmeaEpochs, GroupsLinesFromOneFirstIdentifierToTheNext) {
    const std::vector<EpochCase> cases = {
        {"rmc first", Lines({kRmc1, kGga1, kGsa, kRmc2, kGga2, kGsa}),
         {{kGga1Side, kRmc1Side}, {kGga2Side, kRmc2Side}}},
        {"gga first", Lines({kGga1, kRmc1, kGga2, kRmc2}),
         {{kGga1Side, kRmc1Side}, {kGga2Side, kRmc2Side}}},
        {"gsa first, once per epoch", Lines({kGsa, kRmc1, kGga1, kGsa, kGga2}),
         {{kGga1Side, kRmc1Side}, {kGga2Side, kRmcFromGga2}}},
        // Two GSV lines per epoch: one empty record beside each full one.
        {"gsv first, several per epoch",
         Lines({kGsv1, kGsv2, kRmc1, kGga1, kGsv1, kGsv2, kRmc2, kGga2}),
         {kEmpty, {kGga1Side, kRmc1Side}, kEmpty, {kGga2Side, kRmc2Side}}},
        {"gga only", Lines({kGga1, kGga2}), {{kGga1Side, kRmcFromGga1}, {kGga2Side, kRmcFromGga2}}},
        {"rmc only", Lines({kRmc1}), {{kGgaFromRmc1, kRmc1Side}}},
        {"empty log", "", {kEmpty}},
        {"utf-8 mark only", "\xEF\xBB\xBF", {kEmpty}},
        {"single line without end", kGga1, {{kGga1Side, kRmcFromGga1}}},
        {"last epoch without line end", Lines({kRmc1, kGga1}) + kRmc2 + "\r\n" + kGga2,
         {{kGga1Side, kRmc1Side}, {kGga2Side, kRmc2Side}}},
        {"only non-position sentences", Lines({kGsa, kGsv1, kGsa}), {kEmpty, kEmpty}},
        // Other talkers and lower case are neither parsed nor boundaries.
        {"other talkers skipped",
         Lines({kRmc1, "$GNGGA,999999,1111.111,S,22222.222,W,1,12,0.5,1.0,M,0.0,M,,*00",
                "$GNRMC,999999,A,1111.111,S,22222.222,W,1.0,1.0,010100,,*00",
                "$gpgga,999999,1111.111,S,22222.222,W,1,12,0.5,1.0,M,0.0,M,,*00"}),
         {{kGgaFromRmc1, kRmc1Side}}},
        {"blank lines inside", Lines({kGga1, "", kRmc1, ""}), {{kGga1Side, kRmc1Side}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadEpochs(c.log), c.epochs) << c.name;
    }
}

TEST(ReadNmeaEpochs, LineEndsDoNotChangeTheRecords) {
    const auto crlf = ReadEpochs(Lines({kRmc1, kGga1, kRmc2, kGga2}, "\r\n"));
    const auto lf = ReadEpochs(Lines({kRmc1, kGga1, kRmc2, kGga2}, "\n"));
    ASSERT_EQ(crlf.size(), 2u);
    EXPECT_EQ(crlf, lf);
    EXPECT_EQ(crlf[1], (Sides{kGga2Side, kRmc2Side}));
    // A stray CR before the line end ends the last field as well.
    EXPECT_EQ(ReadEpochs(Lines({kGga1}, "\r\r\n")), (std::vector<Sides>{{kGga1Side, kRmcFromGga1}}));
}

TEST(ReadNmeaEpochs, ReadsUtf16Logs) {
    std::string utf8 = Lines({kRmc1, kGga1, kRmc2, kGga2});
    std::string utf16 = "\xFF\xFE";
    for (char ch : utf8) {
        utf16 += ch;
        utf16 += '\0';
    }
    EXPECT_EQ(ReadEpochs(utf16), ReadEpochs(utf8));
    EXPECT_EQ(ReadEpochs(utf16).size(), 2u);
}

TEST(ReadNmeaEpochs, ALineLongerThan4095CharactersArrivesAsTwoLines) {
    // The first piece ends just before the second "$GPGGA", which therefore
    // opens an epoch of its own.
    std::string head = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    std::string padded = head + std::string(4095 - head.size(), 'x');
    ASSERT_EQ(padded.size(), 4095u);
    auto epochs = ReadEpochs(padded + kGga2 + "\r\n");
    ASSERT_EQ(epochs.size(), 2u);
    EXPECT_EQ(epochs[0].gga, "$GPGGA|123519|4807.038|N|01131.000|E|1|08|0.9|545.4|M|46.9|M||" +
                                 std::string(4095 - head.size(), 'x'));
    EXPECT_EQ(epochs[1], (Sides{kGga2Side, kRmcFromGga2}));

    // A continuation that is no sentence is a line of its own that nothing parses.
    epochs = ReadEpochs(padded + ",tail\r\n" + kGga2 + "\r\n");
    ASSERT_EQ(epochs.size(), 2u);
    EXPECT_EQ(epochs[1], (Sides{kGga2Side, kRmcFromGga2}));
}

TEST(ReadNmeaEpochs, EachCallStartsCountingLinesAgain) {
    TempDir dir;
    WriteFileBytes(dir.File("in"), Lines({kRmc1, kGga1, kRmc2, kGga2}));
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
    // At the end of the input only the closing call remains.
    ReadNmeaEpochs(input, ctx, emit);
    EXPECT_EQ(calls, 5);
}

// --- Cross-filling of the two sides within an epoch ---

TEST(ReadNmeaEpochs, RmcThenGgaFillsOnlyWhatIsEmpty) {
    // The GGA line overwrites its own side completely (an empty latitude stays
    // empty) and leaves the RMC side alone.
    auto epochs = ReadEpochs(
        Lines({kRmc1, "$GPGGA,123519,,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"}));
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_EQ(epochs[0].gga, "$GPGGA|123519||N|01131.000|E|1|08|0.9|545.4|M|46.9|M||*47");
    EXPECT_EQ(epochs[0].rmc, kRmc1Side);

    // RMC fields left empty by the receiver are completed by the GGA line.
    epochs = ReadEpochs(Lines({"$GPRMC,,V,,,,,,,,,*53", kGga1}));
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_EQ(epochs[0].gga, kGga1Side);
    EXPECT_EQ(epochs[0].rmc, "$GPRMC|123519|V|4807.038|N|01131.000|E|0|0|000000||*53");
}

TEST(ReadNmeaEpochs, GgaThenRmcOverwritesTheFilledRmcSide) {
    // The GGA line's "000000", "0", "0" give way to the RMC line, and the empty
    // GGA latitude is taken from the RMC side.
    auto epochs = ReadEpochs(
        Lines({"$GPGGA,123519,,,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", kRmc1}));
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_EQ(epochs[0].gga, "$GPGGA|123519|4807.038|N|01131.000|E|1|08|0.9|545.4|M|46.9|M||*47");
    EXPECT_EQ(epochs[0].rmc, kRmc1Side);

    // An RMC line without speed, course and date keeps them empty.
    epochs = ReadEpochs(Lines({kGga1, "$GPRMC,123519,A,4807.038,N,01131.000,E,,,,,*6A"}));
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_EQ(epochs[0].rmc, "$GPRMC|123519|A|4807.038|N|01131.000|E|||||*6A");
}

TEST(ReadNmeaEpochs, ASecondSentenceOfTheSameKindOverwritesItsSide) {
    auto epochs = ReadEpochs(Lines({kRmc1, kGga1, "$GPGGA,123521,4807.050,S"}));
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_EQ(epochs[0].gga, "$GPGGA|123521|4807.050|S|||||||||||");
    EXPECT_EQ(epochs[0].rmc, kRmc1Side);
}

// --- Single sentences ---

struct ParseCase {
    const char* name;
    std::string line;
    Sides sides;  // from an empty record
};

TEST(ParseSentences, FieldsOfOneLine) {
    const std::vector<ParseCase> cases = {
        {"gga", kGga1 + "\n", {kGga1Side, kRmcFromGga1}},
        {"rmc", kRmc1 + "\n", {kGgaFromRmc1, kRmc1Side}},
        {"gga ends after field 3", "$GPGGA,123519,4807.038,N\n",
         {"$GPGGA|123519|4807.038|N|||||||||||", "|123519||4807.038|N|||0|0|000000||"}},
        {"gga with only its identifier", "$GPGGA\n",
         {"$GPGGA||||||||||||||", "|||||||0|0|000000||"}},
        {"station keeps what follows it", "$GPGGA,1,2,N,3,E,2,09,1.0,4,M,5,M,3.2,0120*5C\n",
         {"$GPGGA|1|2|N|3|E|2|09|1.0|4|M|5|M|3.2|0120*5C", "|1||2|N|3|E|0|0|000000||"}},
        {"gga fields beyond 14 ignored", "$GPGGA,1,2,N,3,E,1,09,1.0,4,M,5,M,,*47,extra\n",
         {"$GPGGA|1|2|N|3|E|1|09|1.0|4|M|5|M||*47", "|1||2|N|3|E|0|0|000000||"}},
        {"rmc mode indicator ignored",
         "$GPRMC,081836,A,3751.65,S,14507.36,E,000.0,360.0,130998,011.3,E,A*0D\n",
         {"|081836|3751.65|S|14507.36|E|||||||||",
          "$GPRMC|081836|A|3751.65|S|14507.36|E|000.0|360.0|130998|011.3|E"}},
        {"rmc checksum after empty variation", "$GPRMC,1,A,2,N,3,E,4,5,010203,,*6A\n",
         {"|1|2|N|3|E|||||||||", "$GPRMC|1|A|2|N|3|E|4|5|010203||*6A"}},
        {"values kept as written", "$GPGGA, 12:35 ,+48.1,n,x,e,,,,,,,,,\n",
         {"$GPGGA| 12:35 |+48.1|n|x|e|||||||||", "| 12:35 ||+48.1|n|x|e|0|0|000000||"}},
        {"other talker", "$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n",
         kEmpty},
        {"identifier must be exact", "$GPGGAX,123519,4807.038,N\n", kEmpty},
        {"lower case", "$gprmc,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n",
         kEmpty},
        {"other sentence", kGsa + "\n", kEmpty},
        {"empty line", "\n", kEmpty},
    };
    for (const auto& c : cases) {
        TrackPoint point;
        ParseGga(c.line, point);
        ParseRmc(c.line, point);
        EXPECT_EQ(SidesOf(point), c.sides) << c.name;
    }
}

TEST(ParseSentences, ParserActsOnlyOnItsOwnSentence) {
    TrackPoint point;
    ParseRmc(kGga1, point);
    EXPECT_EQ(SidesOf(point), kEmpty);
    ParseGga(kRmc1, point);
    EXPECT_EQ(SidesOf(point), kEmpty);
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
    EXPECT_EQ(p.GgaNS, "");                // its "," is at 2056
    EXPECT_EQ(p.GgaLongitude, "");

    p = gga(std::string(2041, 't'));  // second "," at 2048
    EXPECT_EQ(p.GgaTime.size(), 2041u);
    EXPECT_EQ(p.GgaLatitude, "");
    EXPECT_EQ(p.RmcLatitude, "");

    // Characters, not bytes: 2040 two-byte characters still leave the "," at 2047.
    std::string wide;
    for (int i = 0; i < 2040; ++i) wide += "\xC3\xA9";
    p = gga(wide);
    EXPECT_EQ(p.GgaTime, wide);
    EXPECT_EQ(p.GgaLatitude, "4807.038");
    EXPECT_EQ(p.GgaNS, "");
    p = gga(wide + "\xC3\xA9");
    EXPECT_EQ(p.GgaLatitude, "");

    // A found field is copied whole, however long.
    p = gga(std::string(3000, 't'));
    EXPECT_EQ(p.GgaTime, std::string(3000, 't'));
    EXPECT_EQ(p.GgaLatitude, "");
}

TEST(ParseSentences, AbsentFieldsBecomeEmptyOverOldValues) {
    TrackPoint point;
    ParseGga(kGga1, point);
    ParseGga("$GPGGA,123520,4807.040", point);
    EXPECT_EQ(SidesOf(point).gga, "$GPGGA|123520|4807.040||||||||||||");
    // The RMC side filled by the first line is not empty any more.
    EXPECT_EQ(SidesOf(point).rmc, kRmcFromGga1);
}

struct IdCase {
    std::string line;
    std::string id;
};

TEST(SentenceIdOf, CharactersBeforeTheFirstCommaOrLineEnd) {
    const std::vector<IdCase> cases = {
        {"$GPGGA,123519,4807.038", "$GPGGA"},
        {"$GPZDA\n", "$GPZDA"},
        {"$GPZDA\r\n", "$GPZDA"},
        {"$GPRMC", "$GPRMC"},
        {"$PGRMZ\r,246,f", "$PGRMZ"},
        {",$GPGGA", ""},
        {"", ""},
        {"\n", ""},
        {"Date: 2009/10/15 Time: 10:48:31\n", "Date: 2009/10/15 Time: 10:48:31"},
        {"$GPGSA*1E\n", "$GPGSA*1E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SentenceIdOf(c.line), c.id) << c.line;
    }
}

}  // namespace
}  // namespace geoplait
