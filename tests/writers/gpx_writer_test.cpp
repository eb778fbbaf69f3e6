// The GPX writer's pieces: the head of other inputs, route points of empty and
// hostile records, odd times, the point label and XML text.
#include "writers/gpx_writer.h"

#include <cstdint>

#include "writer_fixture.h"

namespace geoplait::test {
namespace {

struct Gpx : WriterFixture {
    Gpx() {
        TrackPoint& p = ctx.point;
        p.GgaLatitude = "3539.1234";
        p.GgaLongitude = "13945.6789";
        p.GgaAltitude = "12.5";
        p.GgaSatellites = "08";
        p.GgaDilution = "1.2";
        p.RmcDate = "150613";
        p.RmcTime = "123456.789";
        p.RmcCourse = "45.6";
        p.RmcSpeed = "3.2";
        ctx.store.RecordIndex = 4;
    }
    std::string RoutePoint() {
        return Written([&](TextWriter& out) { WriteGpxRoutePoint(out, ctx); });
    }
};

TEST(GpxWriter, HeadWithLowerCaseHandleAndAnEscapedName) {
    Gpx f;
    f.s().Name = "A&B ]]> bell\x07";
    EXPECT_EQ(f.Written([&](TextWriter& out) {
                  WriteGpxHead(out, f.ctx, false);
                  WriteGpxTail(out);
              }),
              Crlf(R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="geoplait Ver 0.33  By geoplait  https://geoplait.example.org/ " xmlns:kashmir3d="http://www.kashmir3d.com/namespace/kashmir3d">
<metadata></metadata>
  <rte>
  <name>A&amp;B ]]&gt; bell)" "\xEF\xBF\xBD" R"(</name>
  </rte>
</gpx>
)"));
}

TEST(GpxWriter, InputTextsCannotBreakTheDocument) {
    Gpx f;
    f.ctx.point.GgaAltitude = "<1&2>";
    f.ctx.point.GgaSatellites = "]]>";
    f.ctx.point.GgaDilution = "\x01\xFF";
    f.ctx.point.RmcCourse = "\"q\"";
    EXPECT_EQ(f.RoutePoint(), Crlf(R"(      <rtept lat="35.652057" lon="139.761315">
        <ele>&lt;1&amp;2&gt;</ele>
        <time>2013-06-15T12:34:56Z</time>
        <course>"q"</course>
        <speed>3.2</speed>
        <sat>]]&gt;</sat>
        <hdop>)" "\xEF\xBF\xBD\xEF\xBF\xBD" R"(</hdop>
        <name><![CDATA[]]></name>
        <cmt><![CDATA[(]]]]><![CDATA[>/)" "\xEF\xBF\xBD\xEF\xBF\xBD" R"()]]></cmt>
        <extensions>
        <kashmir3d:ident><![CDATA[5]]></kashmir3d:ident>
        </extensions>
      </rtept>
)"));
}

TEST(GpxWriter, SignsAndTime) {
    // The record's letters, else the system defaults; no time without a date.
    const struct { const char *ns, *ew, *defaultNS, *date, *lat, *lon, *time; } cases[] = {
        {"S", "W", "N", "150613", "-35.652057", "-139.761315", "2013-06-15T12:34:56Z"},
        {"", "", "S", "000000", "-35.652057", "139.761315", nullptr},
        {"N", "E", "S", "310613", "35.652057", "139.761315", nullptr},
    };
    for (const auto& c : cases) {
        Gpx f;
        f.settings.config.LatitudeNS = c.defaultNS;
        f.ctx.point.RmcNS = c.ns;
        f.ctx.point.RmcEW = c.ew;
        f.ctx.point.RmcDate = c.date;
        const std::string bytes = f.RoutePoint();
        EXPECT_NE(bytes.find(std::string("lat=\"") + c.lat + "\" lon=\"" + c.lon + "\""), std::string::npos) << bytes;
        EXPECT_EQ(bytes.find("<time>") == std::string::npos, c.time == nullptr) << bytes;
        if (c.time) {
            EXPECT_NE(bytes.find(std::string("<time>") + c.time + "</time>"), std::string::npos) << bytes;
        }
    }
}

TEST(GpxWriter, PointLabel) {
    struct Case {
        int no, elapsed, km, speed;
        int32_t elapsedSec;
        double total, kmh;
        const char* label;
    };
    const Case cases[] = {
        {0, 1, 0, 0, 3725, 1.5, 3.14159, "[01:02:05]"},
        {0, 0, 1, 0, 3725, 1.5, 3.14159, "(1.50Km)"},
        {0, 0, 0, 1, 3725, 1.5, 3.14159, "[3.14Km(h)]"},
        {1, 0, 0, 1, 0, 0.0, 0.0, "5.[0.00Km(h)]"},
        {0, 1, 0, 0, 360000, 0.0, 0.0, "[100:00:00]"},
        {0, 0, 1, 1, 0, 1234.567, 123.456, "(1234.57Km)[123.46Km(h)]"},
    };
    for (const Case& c : cases) {
        Gpx f;
        f.s().MeterMile = "Statute Mile/Feet";  // the unit words stay Km
        f.s().Label_No = c.no;
        f.s().Label_Elapsed = c.elapsed;
        f.s().Label_Km = c.km;
        f.s().Label_Speed = c.speed;
        f.ctx.point.ElapsedSec = c.elapsedSec;
        f.ctx.point.TotalDistance = c.total;
        f.ctx.point.Speed = c.kmh;
        char label[kPointLabelSize];
        EXPECT_EQ(FormatPointLabel(f.ctx, label, sizeof label), std::string(c.label).size());
        EXPECT_EQ(std::string(label), c.label);
    }
}

TEST(GpxWriter, PointLabelFitsItsBufferForExtremeValues) {
    Gpx f;
    f.s().Label_No = f.s().Label_Elapsed = f.s().Label_Km = f.s().Label_Speed = 1;
    f.ctx.point.ElapsedSec = INT32_MIN;
    f.ctx.point.TotalDistance = 1e308;
    f.ctx.point.Speed = -1e308;
    f.ctx.store.RecordIndex = INT32_MAX - 1;
    char buffer[kPointLabelSize];
    const size_t length = FormatPointLabel(f.ctx, buffer, sizeof buffer);
    const std::string label(buffer);
    EXPECT_EQ(length, label.size());
    EXPECT_EQ(label.substr(0, 30), "2147483647.[-596523:-14:-8](10");
    EXPECT_NE(label.find(".00Km)[-10"), std::string::npos);
    EXPECT_EQ(label.substr(label.size() - 9), ".00Km(h)]");
    // A small buffer cuts the text instead of overrunning it.
    char small[8];
    EXPECT_EQ(FormatPointLabel(f.ctx, small, sizeof small), 7u);
    EXPECT_EQ(std::string(small), "2147483");
}

TEST(GpxWriter, XmlTextEscapesAndReplaces) {
    const std::pair<std::string, std::string> cases[] = {
        {"a<b>&c '\"", "a&lt;b&gt;&amp;c '\""},
        {"\xC3\xA9\xF0\x9F\x98\x80\t", "\xC3\xA9\xF0\x9F\x98\x80\t"},  // whole characters and tab pass
        {"a\x80z", "a\xEF\xBF\xBDz"},                                // lone continuation
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                    // overlong
        {"a\xE6\x97", "a\xEF\xBF\xBD\xEF\xBF\xBD"},                  // cut sequence at the end
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},    // surrogate
        {"\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},    // not a character
        {std::string("a\0\x1B", 3), "a\xEF\xBF\xBD\xEF\xBF\xBD"},    // NUL and escape
    };
    for (const auto& [text, written] : cases) {
        Gpx f;
        EXPECT_EQ(f.Written([&](TextWriter& out) { WriteXmlText(out, text); }), written) << text;
    }
}

}  // namespace
}  // namespace geoplait::test
