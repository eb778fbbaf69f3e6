// The path folder: its frame, the group-break sequences with their exact
// indentation, coordinate lines and speed ranges.
#include "kml/kml_path.h"

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

class KmlPathTest : public KmlFixture {
protected:
    KmlPathTest() {
        ctx.point.LocalDate = "311213";
        ctx.point.LocalTime = "071502";
        ctx.point.ElapsedSec = 77;
        ctx.point.TotalDistance = 3.5;
        ctx.store.FirstTime = 1234;
        ctx.store.GroupDate = "301213";
    }

    // The group values that a new NMEA group starts afresh.
    void ExpectGroupRestarted() {
        EXPECT_EQ(ctx.point.ElapsedSec, 0);
        EXPECT_EQ(ctx.store.FirstTime, 0);
        EXPECT_EQ(ctx.point.TotalDistance, 0.0);
        EXPECT_EQ(ctx.store.GroupDate, "311213");
    }
    void ExpectGroupKept() {
        EXPECT_EQ(ctx.point.ElapsedSec, 77);
        EXPECT_EQ(ctx.store.FirstTime, 1234);
        EXPECT_EQ(ctx.point.TotalDistance, 3.5);
        EXPECT_EQ(ctx.store.GroupDate, "301213");
    }
};

TEST_F(KmlPathTest, OpenWithLineKindHasNameAndFullStyle) {
    EXPECT_EQ(Captured([&](KmlBuffer& out) { OpenPathFolder(out, ctx, 'L'); }),
              "<Folder>\n"
              "<name>Path</name>\n"
              "<Placemark>\n"
              " <name>Path_Group0_L</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FF0000FF</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              "  <PolyStyle>\n"
              "   <color>7F00FF00</color>\n"
              "  </PolyStyle>\n"
              " </Style>\n"
              " <LineString>\n"
              "  <extrude>0</extrude>\n"
              "  <tessellate>0</tessellate>\n"
              "  <altitudeMode>clampToGround</altitudeMode>\n"
              "  <coordinates>\n");
}

TEST_F(KmlPathTest, OpenWithSpeedKindHasNoNameNorStyle) {
    s().Altitude = 1;
    s().VLineAltitude = 1;
    EXPECT_EQ(Captured([&](KmlBuffer& out) { OpenPathFolder(out, ctx, 'S'); }),
              "<Folder>\n"
              "<name>Path</name>\n"
              "<Placemark>\n"
              " <LineString>\n"
              "  <extrude>1</extrude>\n"
              "  <tessellate>0</tessellate>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "  <coordinates>\n");
}

TEST_F(KmlPathTest, OpenUsesTheGroupOfSplitIndex) {
    ctx.store.SplitIndex = 11;
    s().Transparent[11] = "7F";
    s().LineWidth[11] = "5";
    const std::string text = Captured([&](KmlBuffer& out) { OpenPathFolder(out, ctx, 'L'); });
    EXPECT_NE(text.find(" <name>Path_Group11_L</name>\n"), std::string::npos);
    EXPECT_NE(text.find("   <color>7FFFFFA0</color>\n   <width>5</width>\n"), std::string::npos);
}

TEST_F(KmlPathTest, StyleTextsFromTheSettingsAreEscaped) {
    s().Transparent[0] = "F&";
    s().LineWidth[0] = "<3>";
    s().VLineTransparent = "\"7F\"";
    const std::string text = Captured([&](KmlBuffer& out) { OpenPathFolder(out, ctx, 'L'); });
    EXPECT_NE(text.find("   <color>F&amp;0000FF</color>\n   <width>&lt;3&gt;</width>\n"), std::string::npos) << text;
    EXPECT_NE(text.find("   <color>&quot;7F&quot;00FF00</color>\n"), std::string::npos) << text;
}

TEST_F(KmlPathTest, CloseLineKind) {
    EXPECT_EQ(Captured([&](KmlBuffer& out) { ClosePathFolder(out, ctx, 'L'); }),
              "</coordinates>\n</LineString>\n</Placemark>\n</Folder>\n");
}

TEST_F(KmlPathTest, CloseSpeedKindNamesTheLastGroup) {
    ctx.store.SplitIndex = 3;
    s().TimeStampPath = 1;  // the last placemark carries no time stamp
    EXPECT_EQ(Captured([&](KmlBuffer& out) { ClosePathFolder(out, ctx, 'S'); }),
              "</coordinates>\n"
              "</LineString>\n"
              " <name>Path_Group3_S</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FF00FFFF</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              " </Style>\n"
              "</Placemark>\n"
              "</Folder>\n");
}

TEST_F(KmlPathTest, LineBreakOfNmeaWithStampAndVerticalLines) {
    ctx.store.SplitIndex = 1;
    s().TimeStampPath = 1;
    s().Altitude = 1;
    s().VLineAltitude = 1;
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteLineGroupBreak(out, ctx, TrackSource::Nmea); }),
              "  </coordinates>\n"
              " </LineString>\n"
              " <TimeStamp>\n"
              "  <when>2013-12-31T07:15:02Z</when>\n"
              " </TimeStamp>\n"
              "</Placemark>\n"
              "\n"
              "<Placemark>\n"
              " <name>Path_Group1</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FF00FF00</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              "  <PolyStyle>\n"
              "   <color>7F00FF00</color>\n"
              "  </PolyStyle>\n"
              " </Style>\n"
              " <LineString>\n"
              "  <extrude>1</extrude>\n"
              "  <tessellate>0</tessellate>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "  <coordinates>\n");
    ExpectGroupRestarted();
    EXPECT_EQ(ctx.store.SplitIndex, 1);
}

TEST_F(KmlPathTest, LineBreakWithoutStampNorVerticalLines) {
    ctx.store.SplitIndex = 2;
    s().TimeStampPath = 0;
    s().Altitude = 1;  // vertical lines need VLineAltitude as well
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteLineGroupBreak(out, ctx, TrackSource::Nmea); }),
              "  </coordinates>\n"
              " </LineString>\n"
              "</Placemark>\n"
              "\n"
              "<Placemark>\n"
              " <name>Path_Group2</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FFFF0000</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              " </Style>\n"
              " <LineString>\n"
              "  <extrude>0</extrude>\n"
              "  <tessellate>0</tessellate>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "  <coordinates>\n");
}

TEST_F(KmlPathTest, LineBreakIndentationByInput) {
    s().TimeStampPath = 0;
    s().Altitude = 1;
    s().VLineAltitude = 1;
    struct Case {
        TrackSource source;
        const char* closing;
        const char* polyColor;
        bool restarts;
    };
    const Case cases[] = {
        {TrackSource::Nmea, "  </coordinates>\n </LineString>\n</Placemark>\n", "  <PolyStyle>\n   <color>7F00FF00</color>\n", true},
        {TrackSource::Csv, "  </coordinates>\n </LineString>\n</Placemark>\n", "  <PolyStyle>\n  <color>7F00FF00</color>\n", false},
        {TrackSource::PotGpx, "</coordinates>\n</LineString>\n</Placemark>\n", "  <PolyStyle>\n  <color>7F00FF00</color>\n", false},
    };
    for (const Case& c : cases) {
        ctx.point.ElapsedSec = 77;
        const std::string text = Captured([&](KmlBuffer& out) { WriteLineGroupBreak(out, ctx, c.source); });
        EXPECT_EQ(text.rfind(c.closing, 0), 0u) << text;
        EXPECT_NE(text.find(c.polyColor), std::string::npos) << text;
        EXPECT_EQ(ctx.point.ElapsedSec, c.restarts ? 0 : 77);
    }
}

TEST_F(KmlPathTest, SpeedBreakOfNmeaNamesTheOldGroupAndMovesToTheNew) {
    ctx.store.SplitIndex = 2;
    s().TimeStampPath = 0;
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteSpeedGroupBreak(out, ctx, TrackSource::Nmea, 5); }),
              "  </coordinates>\n"
              " </LineString>\n"
              " <name>Path_Group2</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FFFF0000</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              " </Style>\n"
              "</Placemark>\n"
              "\n"
              "<Placemark>\n"
              " <LineString>\n"
              "  <tessellate>0</tessellate>\n"
              "  <extrude>0</extrude>\n"
              "  <altitudeMode>clampToGround</altitudeMode>\n"
              "  <coordinates>\n");
    EXPECT_EQ(ctx.store.SplitIndex, 5);
    ExpectGroupRestarted();
}

TEST_F(KmlPathTest, SpeedBreakOfNmeaWithVerticalLinesAndStamp) {
    ctx.store.SplitIndex = 0;
    s().TimeStampPath = 1;
    s().Altitude = 1;
    s().VLineAltitude = 1;
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteSpeedGroupBreak(out, ctx, TrackSource::Nmea, 11); }),
              "  </coordinates>\n"
              " </LineString>\n"
              " <name>Path_Group0</name>\n"
              " <Style>\n"
              "  <LineStyle>\n"
              "   <color>FF0000FF</color>\n"
              "   <width>2</width>\n"
              "  </LineStyle>\n"
              "  <PolyStyle>\n"
              "   <color>7F00FF00</color>\n"
              "  </PolyStyle>\n"
              " </Style>\n"
              " <TimeStamp>\n"
              "  <when>2013-12-31T07:15:02Z</when>\n"
              " </TimeStamp>\n"
              "</Placemark>\n"
              "\n"
              "<Placemark>\n"
              " <LineString>\n"
              "  <tessellate>0</tessellate>\n"
              "  <extrude>1</extrude>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "  <coordinates>\n");
    EXPECT_EQ(ctx.store.SplitIndex, 11);
}

TEST_F(KmlPathTest, SpeedBreakOfCsvFull) {
    ctx.store.SplitIndex = 2;
    s().TimeStampPath = 1;
    s().Altitude = 1;
    s().VLineAltitude = 1;  // no PolyStyle here
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteSpeedGroupBreak(out, ctx, TrackSource::Csv, 4); }),
              "</coordinates>\n"
              "</LineString>\n"
              "<name>Path</name>\n"
              "<Style>\n"
              "<LineStyle>\n"
              "<color>FFFF0000</color>\n"
              "<width>2</width>\n"
              "</LineStyle>\n"
              "</Style>\n"
              " <TimeStamp>\n"
              "  <when>2013-12-31T07:15:02Z</when>\n"
              " </TimeStamp>\n"
              "</Placemark>\n"
              "\n"
              "<Placemark>\n"
              "<LineString>\n"
              "<extrude>0</extrude>\n"
              "<tessellate>0</tessellate>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "<coordinates>\n");
    EXPECT_EQ(ctx.store.SplitIndex, 4);
    EXPECT_EQ(ctx.point.ElapsedSec, 0);
    EXPECT_EQ(ctx.store.FirstTime, 0);
    EXPECT_EQ(ctx.point.TotalDistance, 0.0);
    EXPECT_EQ(ctx.store.GroupDate, "301213");  // CSV has no group date
}

struct SpeedCase {
    double speed;
    int group;
};

TEST_F(KmlPathTest, SpeedRangesWithDefaultBounds) {
    // Lower bounds 0, 4, 5, 6, 7, 10, 15, 20, 40, 80, 100, 200.
    const SpeedCase cases[] = {
        {-1.0, 0}, {0.0, 0}, {3.99, 0}, {4.0, 1}, {4.5, 1}, {5.0, 2}, {9.99, 4},
        {10.0, 5}, {99.9, 9}, {100.0, 10}, {199.99, 10}, {200.0, 11}, {5000.0, 11},
    };
    for (const SpeedCase& c : cases) {
        ctx.point.Speed = c.speed;
        EXPECT_EQ(SpeedGroupIndex(ctx), c.group) << c.speed;
    }
}

TEST_F(KmlPathTest, SpeedRangesWithUnorderedBounds) {
    s().SpeedRange = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50};
    const SpeedCase cases[] = {{-1.0, 0}, {10.0, 10}, {50.0, 11}};
    for (const SpeedCase& c : cases) {
        ctx.point.Speed = c.speed;
        EXPECT_EQ(SpeedGroupIndex(ctx), c.group) << c.speed;
    }
    s().SpeedRange = {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ctx.point.Speed = -5.0;
    EXPECT_EQ(SpeedGroupIndex(ctx), 0);
    ctx.point.Speed = 5.0;
    EXPECT_EQ(SpeedGroupIndex(ctx), 11);
}

TEST_F(KmlPathTest, CoordinateLineMakesDegreesAfreshAndKeepsDms) {
    TrackPoint& p = ctx.point;
    p.RmcLatitude = "3539.1234";
    p.RmcLongitude = "13944.7259";
    p.GgaAltitude = "12.5";
    p.RmcNS = "S";
    p.RmcEW = "W";
    p.LatitudeDeg = "1.0";  // stale: made afresh
    p.LatitudeDms = "keep";
    p.LongitudeDms = "keep too";
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteCoordinateLine(out, ctx); }),
              "-139.745432,-35.652057,12.50\n");
    EXPECT_EQ(p.LatitudeDms, "keep");
    EXPECT_EQ(p.LongitudeDms, "keep too");
    EXPECT_EQ(p.AltitudeValue, 12.5);
}

TEST_F(KmlPathTest, CoordinateLineWithOffsetsAndDatum) {
    TrackPoint& p = ctx.point;
    p.RmcLatitude = "3500.0000";
    p.RmcLongitude = "13900.0000";
    p.GgaAltitude = "1";
    s().OffAltitude = "2.5";
    s().Tokyo2WGS84 = 1;
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteCoordinateLine(out, ctx); }),
              "+138.996886,+35.003286,3.50\n");
    s().Tokyo2WGS84 = 0;
    s().OffNS = "000036.00";
    s().OffWE = "-000036.00";
    // Written twice for one record (time-stamped paths): the second line is the same.
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  WriteCoordinateLine(out, ctx);
                  WriteCoordinateLine(out, ctx);
              }),
              "+138.990000,+34.990000,3.50\n+138.990000,+34.990000,3.50\n");
}

TEST_F(KmlPathTest, CoordinateLineOfAnEmptyRecordIsZero) {
    EXPECT_EQ(Captured([&](KmlBuffer& out) { WriteCoordinateLine(out, ctx); }),
              "+0.000000,+0.000000,0.00\n");
}

}  // namespace
}  // namespace geoplait::test
