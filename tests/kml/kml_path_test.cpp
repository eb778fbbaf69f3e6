// The group-break sequences of CSV, POT and GPX input with their exact
// indentation, and the speed ranges. NMEA input's sequences and the path
// folder's head are checked by the whole-program cases.
#include "kml/kml_path.h"

#include <array>

#include "kml_fixture.h"
#include "support/record_time.h"

namespace geoplait::test {
namespace {

class KmlPathTest : public KmlFixture {
protected:
    KmlPathTest() {
        SetLocalTexts(ctx.point, "311213", "071502");
        ctx.point.ElapsedSec = 77;
        ctx.store.GroupDay = 16069;  // 30 December 2013
        ctx.store.GroupDated = true;
    }
};

TEST_F(KmlPathTest, GroupBreaksOfOtherInputsKeepTheirIndentation) {
    struct Case {
        const char* name;
        TrackSource source;
        PathKind kind;  // speed groups break to group 4
        int stamp;
        const char* expected;
    };
    const Case cases[] = {
        {"CSV line", TrackSource::Csv, PathKind::LineGroups, 1, R"(  </coordinates>
 </LineString>
 <TimeStamp>
  <when>2013-12-31T07:15:02+09:00</when>
 </TimeStamp>
</Placemark>

<Placemark>
 <name>Path_Group2</name>
 <Style>
  <LineStyle>
   <color>FFFF0000</color>
   <width>2</width>
  </LineStyle>
  <PolyStyle>
  <color>7F00FF00</color>
  </PolyStyle>
 </Style>
 <LineString>
  <extrude>1</extrude>
  <tessellate>0</tessellate>
  <altitudeMode>absolute</altitudeMode>
  <coordinates>
)"},
        // The same from POT and GPX input, without indentation before the break.
        {"POT/GPX line", TrackSource::PotGpx, PathKind::LineGroups, 0, nullptr},
        {"CSV speed", TrackSource::Csv, PathKind::SpeedGroups, 1, R"(</coordinates>
</LineString>
<name>Path</name>
<Style>
<LineStyle>
<color>FFFF0000</color>
<width>2</width>
</LineStyle>
</Style>
 <TimeStamp>
  <when>2013-12-31T07:15:02+09:00</when>
 </TimeStamp>
</Placemark>

<Placemark>
<LineString>
<extrude>0</extrude>
<tessellate>0</tessellate>
  <altitudeMode>absolute</altitudeMode>
<coordinates>
)"},
    };
    const std::string csvLine = cases[0].expected;
    const std::string potGpxLine =
        "</coordinates>\n</LineString>\n" + csvLine.substr(csvLine.find("</Placemark>"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.store.SplitIndex = 2;
        ctx.point.ElapsedSec = 77;
        s().TimeStampPath = c.stamp;
        s().Altitude = s().VLineAltitude = 1;
        KmlSection section = Section();
        EXPECT_EQ(Captured([&](KmlBuffer& out) {
                      if (c.kind == PathKind::LineGroups) {
                          WriteLineGroupBreak(out, section, KmlRecordOptionsOf(s(), settings.config, ctx.run), c.source);
                      } else {
                          WriteSpeedGroupBreak(out, section, c.source, 4);
                      }
                      // The next piece is written once it holds a line.
                      out.PieceCoordinate("1,2,3\n");
                      out.PieceCoordinate("4,5,6\n");
                  }),
                  (c.expected ? c.expected : potGpxLine) + "1,2,3\n4,5,6\n");
        // A speed group starts its elapsed time afresh; no group keeps a date.
        EXPECT_EQ(ctx.store.SplitIndex, c.kind == PathKind::SpeedGroups ? 4 : 2);
        EXPECT_EQ(ctx.point.ElapsedSec, c.kind == PathKind::SpeedGroups ? 0 : 77);
        EXPECT_EQ(GroupDateText(ctx.store), "301213");
    }
}

TEST_F(KmlPathTest, SpeedRanges) {
    const std::array<double, kGroupCount> defaults = s().SpeedRange;  // 0 4 5 6 7 10 15 20 40 80 100 200
    const std::array<double, kGroupCount> lastOnly = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50};
    const std::array<double, kGroupCount> firstOnly = {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const std::array<double, kGroupCount>* bounds;
        double speed;
        int group;
    };
    const Case cases[] = {
        {&defaults, -1.0, 0},  {&defaults, 3.99, 0},   {&defaults, 4.0, 1},   {&defaults, 5.0, 2},
        {&defaults, 9.99, 4},  {&defaults, 10.0, 5},   {&defaults, 99.9, 9},  {&defaults, 100.0, 10},
        {&defaults, 199.99, 10}, {&defaults, 200.0, 11}, {&defaults, 5000.0, 11},
        {&lastOnly, -1.0, 0},  {&lastOnly, 10.0, 10},  {&lastOnly, 50.0, 11},
        {&firstOnly, -5.0, 0}, {&firstOnly, 5.0, 11},
    };
    for (const Case& c : cases) {
        s().SpeedRange = *c.bounds;
        ctx.point.Speed = c.speed;
        EXPECT_EQ(SpeedGroupIndex(s(), ctx.point), c.group) << c.speed;
    }
}

}  // namespace
}  // namespace geoplait::test
