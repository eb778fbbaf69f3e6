// The document frame, hemisphere signs, time stamps and the position
// adjustment shared by placemarks and lines.
#include "kml/kml_document.h"

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlDocumentTest = KmlFixture;

TEST_F(KmlDocumentTest, HeadReplacesTheFileAlwaysHasTheMarkAndEscapesTheSizes) {
    s().OutputFile = dir.File("out.kml");
    WriteFileBytes(s().OutputFile, std::string(5000, 'x'));
    s().Bom = 0;  // does not apply to KML
    s().IconSize = "<1>";
    s().LabelSize = "0&8";
    WriteKmlHeader(ctx);
    WriteKmlClosing(ctx);
    EXPECT_EQ(FromCrLf(ReadFileBytes(s().OutputFile)), "\xEF\xBB\xBF" R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://earth.google.com/kml/2.1">
<Document>
<name>KmlName</name>

<Style id="style">
<IconStyle>
 <scale>&lt;1&gt;</scale>
</IconStyle>
<LabelStyle>
 <scale>0&amp;8</scale>
</LabelStyle>
</Style>

</Document>
</kml>
)");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(KmlDocumentTest, FailuresAreReportedAndWriteNothing) {
    s().OutputFile = dir.File("missing/dir/out.kml");
    WriteKmlHeader(ctx);
    WriteKmlClosing(ctx);
    const ShownMessage failed{"Output File Not Create", "Error"};
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{failed, failed}));
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
        ctx.point.RmcNS = c.recordNS;
        ctx.point.RmcEW = c.recordEW;
        const HemisphereSigns signs = HemisphereSign(ctx);
        EXPECT_EQ(signs.latitude, c.latitude) << c.defaultNS << "/" << c.recordNS;
        EXPECT_EQ(signs.longitude, c.longitude) << c.defaultWE << "/" << c.recordEW;
    }
}

TEST_F(KmlDocumentTest, TimeStampOfOddDatesTakesWholeCharactersAndBlanks) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "20  -  -  "},  // blanks, never a NUL byte
        {"0\xC3\xA9" "0321", "2021-03-0\xC3\xA9"},
        {"05\xF0\x9F\x98\x80" "321", "2021-\xF0\x9F\x98\x80" "3-05"},
    };
    for (const auto& [date, when] : cases) {
        ctx.point.LocalDate = date;
        ctx.point.LocalTime = "093000";
        EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, ctx.point); }),
                  std::string(" <TimeStamp>\n  <when>") + when + "T09:30:00Z</when>\n </TimeStamp>\n")
            << date;
    }
}

TEST_F(KmlDocumentTest, AdjustmentMovesByOffsetsShiftsDatumAndAddsAltitude) {
    struct Case {
        const char *offNS, *offWE, *offAltitude;
        int tokyo;
        const char *latitude, *longitude, *altitude;
    };
    const Case cases[] = {
        {"-000036.00", "000036.00", "-12.5", 0, "35.010000", "139.010000", "0.00"},
        {"0.00", "0.00", "", 1, "35.003286", "138.996886", "12.50"},
    };
    for (const Case& c : cases) {
        s().OffNS = c.offNS;
        s().OffWE = c.offWE;
        s().OffAltitude = c.offAltitude;
        s().Tokyo2WGS84 = c.tokyo;
        ctx.point.LatitudeDeg = "35.0";
        ctx.point.LongitudeDeg = "139";
        ctx.point.AltitudeText = "12.5";
        AdjustPosition(ctx);
        EXPECT_EQ(ctx.point.LatitudeDeg, c.latitude) << c.offNS;
        EXPECT_EQ(ctx.point.LongitudeDeg, c.longitude) << c.offWE;
        EXPECT_EQ(ctx.point.AltitudeText, c.altitude) << c.offAltitude;
    }
}

TEST_F(KmlDocumentTest, VerticalLinesNeedAltitudeToo) {
    s().Altitude = 0;
    s().VLineAltitude = 1;
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  WriteAltitudeModeLine(out, s());
                  WriteExtrudeLine(out, s());
              }),
              "  <altitudeMode>clampToGround</altitudeMode>\n  <extrude>0</extrude>\n");
}

}  // namespace
}  // namespace geoplait::test
