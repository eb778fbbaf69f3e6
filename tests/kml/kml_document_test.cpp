// The document frame: head, closing lines, escaping, signs, time stamps and
// the position adjustment shared by placemarks and lines.
#include "kml/kml_document.h"

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlDocumentTest = KmlFixture;

const char* const kDefaultHead =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://earth.google.com/kml/2.1\">\r\n"
    "<Document>\r\n"
    "<name>KmlName</name>\r\n"
    "\r\n"
    "<Style id=\"style\">\r\n"
    "<IconStyle>\r\n"
    " <scale>0.5</scale>\r\n"
    "</IconStyle>\r\n"
    "<LabelStyle>\r\n"
    " <scale>0.8</scale>\r\n"
    "</LabelStyle>\r\n"
    "</Style>\r\n"
    "\r\n";

TEST_F(KmlDocumentTest, HeadOfDefaultSettingsHasMarkAndCrLf) {
    s().OutputFile = dir.File("out.kml");
    s().Bom = 0;  // does not apply to KML
    WriteKmlHeader(ctx);
    EXPECT_EQ(ReadFileBytes(s().OutputFile), kDefaultHead);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(KmlDocumentTest, HeadWithIconUrlAndSizesAsTyped) {
    s().OutputFile = dir.File("out.kml");
    s().PosIconUrl = 1;
    s().IconURL = "http://x.test/i.png?a=1&b=2";
    s().IconSize = "1.5";
    s().LabelSize = "0";
    WriteKmlHeader(ctx);
    EXPECT_EQ(FromCrLf(ReadFileBytes(s().OutputFile)),
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<kml xmlns=\"http://earth.google.com/kml/2.1\">\n"
              "<Document>\n"
              "<name>KmlName</name>\n"
              "\n"
              "<Style id=\"style\">\n"
              "<IconStyle>\n"
              " <scale>1.5</scale>\n"
              " <Icon>\n"
              "  <href>http://x.test/i.png?a=1&amp;b=2</href>\n"
              " </Icon>\n"
              "</IconStyle>\n"
              "<LabelStyle>\n"
              " <scale>0</scale>\n"
              "</LabelStyle>\n"
              "</Style>\n"
              "\n");
}

TEST_F(KmlDocumentTest, NameWithMarkupCharactersIsEscaped) {
    s().OutputFile = dir.File("out.kml");
    s().Name = "Tom & Jerry <\"trip\">";
    WriteKmlHeader(ctx);
    const std::string text = FromCrLf(ReadFileBytes(s().OutputFile));
    EXPECT_NE(text.find("<name>Tom &amp; Jerry &lt;&quot;trip&quot;&gt;</name>\n"), std::string::npos);
}

TEST_F(KmlDocumentTest, SizesAreEscapedToo) {
    s().OutputFile = dir.File("out.kml");
    s().IconSize = "<1>";
    s().LabelSize = "0&8";
    WriteKmlHeader(ctx);
    const std::string text = FromCrLf(ReadFileBytes(s().OutputFile));
    EXPECT_NE(text.find("<IconStyle>\n <scale>&lt;1&gt;</scale>\n</IconStyle>\n"), std::string::npos);
    EXPECT_NE(text.find("<LabelStyle>\n <scale>0&amp;8</scale>\n</LabelStyle>\n"), std::string::npos);
}

TEST_F(KmlDocumentTest, HeadTruncatesAnExistingFile) {
    s().OutputFile = dir.File("out.kml");
    WriteFileBytes(s().OutputFile, std::string(5000, 'x'));
    WriteKmlHeader(ctx);
    EXPECT_EQ(ReadFileBytes(s().OutputFile), kDefaultHead);
}

TEST_F(KmlDocumentTest, FailuresAreReportedAndWriteNothing) {
    s().OutputFile = dir.File("missing/dir/out.kml");
    WriteKmlHeader(ctx);
    WriteKmlClosing(ctx);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], (ShownMessage{"Output File Not Create", "Error"}));
    EXPECT_EQ(ui.messages[1], (ShownMessage{"Output File Not Create", "Error"}));
    EXPECT_FALSE(FileExists(s().OutputFile));
}

TEST_F(KmlDocumentTest, ClosingLinesAreAppended) {
    s().OutputFile = dir.File("out.kml");
    WriteKmlHeader(ctx);
    WriteKmlClosing(ctx);
    EXPECT_EQ(ReadFileBytes(s().OutputFile), std::string(kDefaultHead) + "</Document>\r\n</kml>\r\n");
}

struct EscapeCase {
    const char* text;
    const char* written;
};

TEST_F(KmlDocumentTest, EscapingTouchesOnlyTheFourMarkupCharacters) {
    const EscapeCase cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"&", "&amp;"},
        {"a<b>c", "a&lt;b&gt;c"},
        {"\"q\"", "&quot;q&quot;"},
        {"it's &amp;", "it's &amp;amp;"},
        {"\xE6\x97\xA5\xE6\x9C\xAC<", "\xE6\x97\xA5\xE6\x9C\xAC&lt;"},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Escaped(c.text); }), c.written) << c.text;
    }
}

struct SignCase {
    const char* defaultNS;
    const char* defaultWE;
    const char* recordNS;
    const char* recordEW;
    char latitude;
    char longitude;
};

TEST_F(KmlDocumentTest, RecordLetterWinsOverSystemDefault) {
    const SignCase cases[] = {
        {"N", "E", "N", "E", '+', '+'},
        {"N", "E", "S", "W", '-', '-'},
        {"N", "E", "", "", '+', '+'},
        {"S", "W", "", "", '-', '-'},
        {"S", "W", "N", "E", '+', '+'},
        {"S", "W", "x", "NN", '-', '-'},
        {"", "", "", "", ' ', ' '},
        {"X", "Y", "S", "", '-', ' '},
    };
    for (const SignCase& c : cases) {
        settings.config.LatitudeNS = c.defaultNS;
        settings.config.LongitudeWE = c.defaultWE;
        ctx.point.RmcNS = c.recordNS;
        ctx.point.RmcEW = c.recordEW;
        const HemisphereSigns signs = HemisphereSign(ctx);
        EXPECT_EQ(signs.latitude, c.latitude) << c.defaultNS << "/" << c.recordNS;
        EXPECT_EQ(signs.longitude, c.longitude) << c.defaultWE << "/" << c.recordEW;
    }
}

TEST_F(KmlDocumentTest, TimeStampIsLocalDateAndTimeWithZ) {
    ctx.point.LocalDate = "050321";
    ctx.point.LocalTime = "093000";
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, ctx.point); }),
              " <TimeStamp>\n"
              "  <when>2021-03-05T09:30:00Z</when>\n"
              " </TimeStamp>\n");
}

TEST_F(KmlDocumentTest, TimeStampOfAMalformedDateIsEscaped) {
    ctx.point.LocalDate = "05<3&1";
    ctx.point.LocalTime = "093000";
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, ctx.point); }),
              " <TimeStamp>\n"
              "  <when>20&amp;1-&lt;3-05T09:30:00Z</when>\n"
              " </TimeStamp>\n");
}

TEST_F(KmlDocumentTest, TimeStampOfAnEmptyDateWritesBlanksNotNul) {
    ctx.point.LocalDate.clear();
    ctx.point.LocalTime = "090000";
    const std::string text = Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, ctx.point); });
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text, " <TimeStamp>\n  <when>20  -  -  T09:00:00Z</when>\n </TimeStamp>\n");
}

TEST_F(KmlDocumentTest, TimeStampPicksWholeCharactersOfADateWithMultiByteOnes) {
    struct Case {
        const char* date;
        const char* when;
    };
    const Case cases[] = {
        {"0\xC3\xA9" "0321", "  <when>2021-03-0\xC3\xA9T09:30:00Z</when>\n"},
        {"0\xC3\xA9" "321", "  <when>201 -32-0\xC3\xA9T09:30:00Z</when>\n"},
        {"\xE6\x97\xA5" "50321", "  <when>2021-03-\xE6\x97\xA5" "5T09:30:00Z</when>\n"},
        {"05\xF0\x9F\x98\x80" "321", "  <when>2021-\xF0\x9F\x98\x80" "3-05T09:30:00Z</when>\n"},
    };
    for (const Case& c : cases) {
        ctx.point.LocalDate = c.date;
        ctx.point.LocalTime = "093000";
        EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteTimeStampLines(out, ctx.point); }),
                  std::string(" <TimeStamp>\n") + c.when + " </TimeStamp>\n")
            << c.date;
    }
}

TEST_F(KmlDocumentTest, AdjustmentMovesByOffsetsShiftsDatumAndAddsAltitude) {
    struct Case {
        const char* offNS;
        const char* offWE;
        const char* offAltitude;
        int tokyo;
        const char* latitude;
        const char* longitude;
        const char* altitude;
    };
    const Case cases[] = {
        {"0.00", "0.00", "0", 0, "35.000000", "139.000000", "12.50"},
        {"000036.00", "000036.00", "10", 0, "34.990000", "139.010000", "22.50"},
        {"-000036.00", "-000036.00", "-12.5", 0, "35.010000", "138.990000", "0.00"},
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

TEST_F(KmlDocumentTest, AltitudeModeAndExtrudeLines) {
    struct Case {
        int altitude;
        int vline;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "  <altitudeMode>clampToGround</altitudeMode>\n  <extrude>0</extrude>\n"},
        {0, 1, "  <altitudeMode>clampToGround</altitudeMode>\n  <extrude>0</extrude>\n"},
        {1, 0, "  <altitudeMode>absolute</altitudeMode>\n  <extrude>0</extrude>\n"},
        {1, 1, "  <altitudeMode>absolute</altitudeMode>\n  <extrude>1</extrude>\n"},
    };
    for (const Case& c : cases) {
        s().Altitude = c.altitude;
        s().VLineAltitude = c.vline;
        EXPECT_EQ(Captured([&](KmlBuffer& out) {
                      WriteAltitudeModeLine(out, s());
                      WriteExtrudeLine(out, s());
                  }),
                  c.text);
    }
}

}  // namespace
}  // namespace geoplait::test
