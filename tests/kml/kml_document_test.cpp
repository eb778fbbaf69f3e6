// The document frame, hemisphere signs, time stamps and the position
// adjustment shared by placemarks and lines.
#include "kml/kml_document.h"

#include <limits>

#include "engine/derived_values.h"
#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlDocumentTest = KmlFixture;

TEST_F(KmlDocumentTest, FailureStopsTheRunAndWritesNothing) {
    s().OutputFile = dir.File("missing/dir/out.kml");
    WriteKmlHeader(ctx.outputs, s());
    EXPECT_TRUE(ctx.StopRequested());
    EXPECT_TRUE(ui.messages.empty()) << "the run says so once, at its end";
    EXPECT_FALSE(ctx.outputs.Commit());
    EXPECT_FALSE(FileExists(s().OutputFile));
}

TEST_F(KmlDocumentTest, RecordLetterWinsOverSystemDefault) {
    struct Case {
        const char *defaultNS, *defaultWE, *recordNS, *recordEW;
        char latitude, longitude;
    };
    const Case cases[] = {
        {"N", "E", "S", "W", '-', '-'}, {"S", "W", "", "", '-', '-'},   {"S", "W", "N", "E", '+', '+'},
        {"S", "W", "x", "NN", '-', '-'}, {"", "", "", "", ' ', ' '},   {"X", "Y", "S", "", '-', ' '},
    };
    for (const Case& c : cases) {
        settings.config.LatitudeNS = c.defaultNS;
        settings.config.LongitudeWE = c.defaultWE;
        // Decoded when a run starts.
        ctx.run.DefaultSigns = DefaultHemisphereSigns(settings.config.LatitudeNS, settings.config.LongitudeWE);
        ctx.point.RmcNS = c.recordNS;
        ctx.point.RmcEW = c.recordEW;
        const HemisphereSigns signs = HemisphereSign(ctx);
        EXPECT_EQ(signs.latitude, c.latitude) << c.defaultNS << "/" << c.recordNS;
        EXPECT_EQ(signs.longitude, c.longitude) << c.defaultWE << "/" << c.recordEW;
    }
}

TEST_F(KmlDocumentTest, TimeStampsCarryTheTimeDifferenceAndNeedADate) {
    const struct { const char *date, *time; int32_t difference; const char* when; } cases[] = {
        {"140321", "073001", -50000, "2021-03-14T07:30:01-05:00"},
        {"140321", "213001", 90000, "2021-03-14T21:30:01+09:00"},
        {"140321", "180001", 53000, "2021-03-14T18:00:01+05:30"},
        {"140321", "123001", 0, "2021-03-14T12:30:01Z"},
        {"010100", "000000", -120000, "2000-01-01T00:00:00-12:00"},
        {"000000", "093000", 90000, nullptr},  // a log without dates
        {"290221", "093000", 90000, nullptr},  // no such day
        {"", "093000", 90000, nullptr},
        {"0\xC3\xA9" "0321", "093000", 90000, nullptr},
        {"140321", "", 90000, nullptr},
    };
    for (const auto& c : cases) {
        const std::string written =
            Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, c.date, c.time, c.difference); });
        EXPECT_EQ(written, c.when ? std::string(" <TimeStamp>\n  <when>") + c.when + "</when>\n </TimeStamp>\n" : "")
            << c.date << " " << c.time;
    }
}

// A position read as degrees.
RecordPosition At(double latitude, double longitude) {
    return {CoordinateOfDegrees(latitude), CoordinateOfDegrees(longitude), true};
}

TEST_F(KmlDocumentTest, AdjustmentMovesByOffsetsShiftsDatumAndAddsAltitude) {
    // A negative OffNS moves north and a positive OffWE east, in every hemisphere.
    struct Case {
        const char *offNS, *offWE, *offAltitude;
        int tokyo;
        HemisphereSigns before;
        const char *latitude, *longitude, *altitude;
        HemisphereSigns after;
    };
    const Case cases[] = {
        {"-000036.00", "000036.00", "-12.5", 0, {'+', '+'}, "35.010000", "139.010000", "0.00", {'+', '+'}},
        {"-000036.00", "000036.00", "0", 0, {'-', '-'}, "34.990000", "138.990000", "12.50", {'-', '-'}},
        {"000036.00", "-000036.00", "0", 0, {'-', '-'}, "35.010000", "139.010000", "12.50", {'-', '-'}},
        {"-353600.00", "1393600.00", "0", 0, {'-', '-'}, "0.600000", "0.600000", "12.50", {'+', '+'}},
        {"-000036.00", "000036.00", "0", 0, {' ', ' '}, "35.010000", "139.010000", "12.50", {' ', ' '}},
        {"0.00", "0.00", "", 1, {'+', '+'}, "35.003286", "138.996886", "12.50", {'+', '+'}},
    };
    for (const Case& c : cases) {
        s().OffNS = c.offNS;
        s().OffWE = c.offWE;
        s().OffAltitude = c.offAltitude;
        s().Tokyo2WGS84 = c.tokyo;
        PositionTexts position;
        HemisphereSigns signs = c.before;
        AdjustPosition(KmlRecordOptionsOf(s(), settings.config, ctx.run).adjust, At(35.0, 139.0), 12.5, position,
                       signs);
        EXPECT_EQ(std::string(1, signs.latitude) + position.latitude, c.after.latitude + std::string(c.latitude))
            << c.offNS << " " << c.before.latitude;
        EXPECT_EQ(std::string(1, signs.longitude) + position.longitude,
                  c.after.longitude + std::string(c.longitude))
            << c.offWE << " " << c.before.longitude;
        EXPECT_EQ(position.altitude, c.altitude) << c.offAltitude;
    }
}

// Without an offset or a datum shift the texts are the "%7.6f" degrees
// themselves wherever "%3.6f" would write them again, and rewritten where it
// would not: both sides of eight whole digits, rounding up into the ninth,
// zeros of both signs, NaN and infinity; the description's degrees are the
// texts before any adjustment.
TEST_F(KmlDocumentTest, UnadjustedDegreesAreRewrittenOnlyWhereTheDatumStepWould) {
    const double values[] = {0.0, -0.0, 35.6587225, -139.7454505, 1e-7, -1e-7, 99999999.9999994,
                             99999999.9999996, -99999999.9999996, 1e8, 123456789.5, 1e15, 1e300,
                             std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
    for (const double latitude : values) {
        for (const double longitude : {139.5, -1e9}) {
            const RecordPosition at{{0.0, latitude}, {0.0, longitude}, true};
            std::string wantLatitude;
            std::string wantLongitude;
            DegreesText(at, at.latitude, wantLatitude);
            DegreesText(at, at.longitude, wantLongitude);
            const std::string asShown = wantLatitude;
            TokyoToWgs84(wantLatitude, wantLongitude, false);
            AdjustedPosition memo;
            const AdjustedPosition& got = AdjustOnce(PositionAdjustment{}, memo, at, 1.0, {'+', '+'});
            EXPECT_EQ(got.texts.latitude, wantLatitude) << latitude << " " << longitude;
            EXPECT_EQ(got.texts.longitude, wantLongitude) << latitude << " " << longitude;
            EXPECT_EQ(got.degrees.latitude, asShown) << latitude;
        }
    }
}

TEST_F(KmlDocumentTest, APositionIsAdjustedOnceAndKnownAgainOnlyByAllItWasMadeFrom) {
    // Positions coming back, and ones that differ from the last in one text
    // or one sign only: each gives what AdjustPosition makes of it.
    s().OffNS = "-000036.00";
    s().OffWE = "000036.00";
    s().OffAltitude = "1.25";
    const PositionAdjustment adjust = KmlRecordOptionsOf(s(), settings.config, ctx.run).adjust;
    struct Input {
        RecordPosition position;
        double altitude;
        HemisphereSigns signs;
    };
    const Input inputs[] = {
        {At(35.0, 139), 12.5, {'+', '+'}},    {At(35.0, 139), 12.5, {'+', '+'}},
        {At(35.0, 139), 12.5, {'-', '+'}},    {At(35.0, 139), 12.5, {'-', '-'}},
        {At(35.0, 139), 12.6, {'-', '-'}},    {At(35.0, 139.5), 12.6, {'-', '-'}},
        {At(0.005, 139.5), 12.6, {'-', '-'}}, {At(0.005, 139.5), 12.6, {'+', '-'}},
        {{}, 12.6, {'+', '-'}},               {At(0.0, 0.0), 12.6, {'+', '-'}},
        {At(-0.0, 0.0), 12.6, {'+', '-'}},    {At(-0.0, 0.0), -0.0, {'+', '-'}},
        {At(35.0, 139), 12.5, {'+', '+'}},
    };
    AdjustedPosition memo;
    for (const PositionAdjustment& by : {adjust, PositionAdjustment{}}) {
      for (const Input& in : inputs) {
        PositionTexts want;
        HemisphereSigns wantSigns = in.signs;
        AdjustPosition(by, in.position, in.altitude, want, wantSigns);
        const AdjustedPosition& got = AdjustOnce(by, memo, in.position, in.altitude, in.signs);
        const std::string where = std::to_string(in.position.latitude.degrees) + in.signs.latitude + " " +
                                  std::to_string(in.position.longitude.degrees) + in.signs.longitude + " " +
                                  std::to_string(in.altitude) + (in.position.known ? "" : " unknown");
        EXPECT_EQ(got.texts.latitude, want.latitude) << where;
        EXPECT_EQ(got.texts.longitude, want.longitude) << where;
        EXPECT_EQ(got.texts.altitude, want.altitude) << where;
        EXPECT_EQ(std::string({got.signs.latitude, got.signs.longitude}),
                  std::string({wantSigns.latitude, wantSigns.longitude}))
            << where;
      }
      memo.valid = false;  // made with the other adjustment
    }
    // Without a position the degrees are empty before the datum step, which
    // writes them as 0; a negative zero keeps its sign.
    PositionTexts none;
    HemisphereSigns signs{'+', '+'};
    AdjustPosition(PositionAdjustment{}, RecordPosition{}, 0.0, none, signs);
    EXPECT_EQ(none.latitude + " " + none.longitude + " " + none.altitude, "0.000000 0.000000 0.00");
    PositionTexts zero;
    AdjustPosition(PositionAdjustment{}, At(-0.0, 0.0), -0.0, zero, signs);
    EXPECT_EQ(zero.latitude + " " + zero.longitude + " " + zero.altitude, "-0.000000 0.000000 0.00");
}

TEST_F(KmlDocumentTest, AWriterTakesAPositionMadeAheadOnlyWhenMadeFromTheRecordAsItIs) {
    KmlRecordWriter writer{KmlRecordOptionsOf(s(), settings.config, ctx.run), {}};
    TrackPoint p;
    p.Position = At(35.0, 139.0);
    p.Values.altitude.value = 12.5;
    p.RmcNS = "N";
    p.RmcEW = "E";
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, writer.options.defaultSigns);
    PositionTexts want;
    HemisphereSigns wantSigns = signs;
    AdjustPosition(writer.options.adjust, p.Position, p.Values.altitude.value, want, wantSigns);
    // Made from the record's numbers and signs, with texts of its own to tell it by.
    AdjustedPosition ahead;
    (void)AdjustOnce(writer.options.adjust, ahead, p.Position, p.Values.altitude.value, signs);
    ahead.texts.latitude = "made ahead";
    EXPECT_EQ(&WriterPosition(writer, p), &writer.position) << "none made ahead";
    writer.madeAhead = &ahead;
    EXPECT_EQ(&WriterPosition(writer, p), &ahead);
    // Made from anything else, or not made: the writer's own.
    struct Change {
        const char* what;
        void (*apply)(AdjustedPosition&);
    };
    const Change changes[] = {
        {"not made", [](AdjustedPosition& a) { a.valid = false; }},
        {"altitude", [](AdjustedPosition& a) { a.fromAltitude = 12.25; }},
        {"latitude", [](AdjustedPosition& a) { a.from.latitude.degrees = 35.5; }},
        {"longitude", [](AdjustedPosition& a) { a.from.longitude.degrees = -139.0; }},
        {"known", [](AdjustedPosition& a) { a.from.known = false; }},
        {"sign", [](AdjustedPosition& a) { a.fromSigns.latitude = '-'; }},
    };
    for (const Change& change : changes) {
        AdjustedPosition other = ahead;
        change.apply(other);
        writer.madeAhead = &other;
        const AdjustedPosition& got = WriterPosition(writer, p);
        EXPECT_EQ(&got, &writer.position) << change.what;
        EXPECT_EQ(got.texts.latitude, want.latitude) << change.what;
        EXPECT_EQ(got.texts.longitude, want.longitude) << change.what;
        EXPECT_EQ(got.texts.altitude, want.altitude) << change.what;
    }
}

}  // namespace
}  // namespace geoplait::test
