#include "writers/gpx_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// Expected texts are written with "\n"; the files hold CR LF.
std::string Crlf(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

struct GpxFixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    std::string Written(const std::function<void(TextWriter&)>& write) {
        const std::string path = dir.File("out.gpx");
        TextWriter out(path, WriteMode::Plain);
        write(out);
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(path);
    }

    void FillTypicalRecord() {
        TrackPoint& p = ctx.point;
        p.GgaLatitude = "3539.1234";
        p.GgaNS = "N";
        p.GgaLongitude = "13945.6789";
        p.GgaEW = "E";
        p.GgaAltitude = "12.5";
        p.GgaSatellites = "08";
        p.GgaDilution = "1.2";
        p.RmcDate = "150613";
        p.RmcTime = "123456.789";
        p.RmcCourse = "45.6";
        p.RmcSpeed = "3.2";
        ctx.store.RecordIndex = 4;
    }
};

// A route point with the given values in the places that vary.
std::string RoutePoint(const std::string& lat, const std::string& lon, const std::string& ele,
                       const std::string& time, const std::string& course,
                       const std::string& speed, const std::string& sat,
                       const std::string& hdop, const std::string& name,
                       const std::string& cmt, const std::string& ident) {
    return Crlf("      <rtept lat=\"" + lat + "\" lon=\"" + lon + "\">\n" +
                "        <ele>" + ele + "</ele>\n" +
                "        <time>" + time + "</time>\n" +
                "        <course>" + course + "</course>\n" +
                "        <speed>" + speed + "</speed>\n" +
                "        <sat>" + sat + "</sat>\n" +
                "        <hdop>" + hdop + "</hdop>\n" +
                "        <name><![CDATA[" + name + "]]></name>\n" +
                "        <cmt><![CDATA[" + cmt + "]]></cmt>\n" +
                "        <extensions>\n" +
                "        <kashmir3d:ident><![CDATA[" + ident + "]]></kashmir3d:ident>\n" +
                "        </extensions>\n" +
                "      </rtept>\n");
}

TEST(GpxHead, FrameWithHandleSpellingsAndNamespace) {
    for (bool upper : {true, false}) {
        GpxFixture f;
        f.settings.current.Name = "Morning ride";
        const std::string bytes = f.Written([&](TextWriter& out) {
            WriteGpxHead(out, f.ctx, upper);
            WriteGpxTail(out);
        });
        const std::string handle = upper ? "Geoplait" : "geoplait";
        EXPECT_EQ(bytes,
                  Crlf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<gpx version=\"1.1\" creator=\"geoplait Ver 0.33  By " + handle +
                       "  https://geoplait.example.org/ \" "
                       "xmlns:kashmir3d=\"http://www.kashmir3d.com/namespace/kashmir3d\">\n"
                       "<metadata></metadata>\n"
                       "  <rte>\n"
                       "  <name>Morning ride</name>\n"
                       "  </rte>\n"
                       "</gpx>\n"))
            << "upper " << upper;
    }
}

TEST(GpxHead, RouteNameIsEscaped) {
    struct Case {
        std::string name;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"A&B <x>", "A&amp;B &lt;x&gt;"},
        {"]]>", "]]&gt;"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"tab\there", "tab\there"},
        {"bell\x07", "bell\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        GpxFixture f;
        f.settings.current.Name = c.name;
        const std::string bytes =
            f.Written([&](TextWriter& out) { WriteGpxHead(out, f.ctx, true); });
        const std::string line = Crlf("  <name>" + c.written + "</name>\n");
        ASSERT_GE(bytes.size(), line.size());
        EXPECT_EQ(bytes.substr(bytes.size() - line.size()), line) << c.name;
    }
}

TEST(GpxRoutePoint, EveryElementOfATypicalRecord) {
    GpxFixture f;
    f.FillTypicalRecord();
    const std::string bytes = f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
    EXPECT_EQ(bytes, RoutePoint("35.652057", "139.761315", "12.5", "2013-06-15T12:34:56Z", "45.6",
                                "3.2", "08", "1.2", "", "(08/1.2)", "5"));
    // The decimal and d/m/s texts are remade from the NMEA position.
    EXPECT_EQ(f.ctx.point.InLatitudeDeg, "35.652057");
    EXPECT_EQ(f.ctx.point.LatitudeDms, "353907.40");
    EXPECT_EQ(f.ctx.point.InLongitudeDeg, "139.761315");
}

TEST(GpxRoutePoint, StaleCoordinateTextsAreReplaced) {
    GpxFixture f;
    f.FillTypicalRecord();
    f.ctx.point.InLatitudeDeg = "1.000000";
    f.ctx.point.LatitudeDms = "10000.00";
    f.ctx.point.InLongitudeDeg = "2.000000";
    f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
    EXPECT_EQ(f.ctx.point.InLatitudeDeg, "35.652057");
    EXPECT_EQ(f.ctx.point.LatitudeDms, "353907.40");
    EXPECT_EQ(f.ctx.point.InLongitudeDeg, "139.761315");
}

TEST(GpxRoutePoint, HemispheresAreNotApplied) {
    GpxFixture f;
    f.FillTypicalRecord();
    f.ctx.point.GgaNS = "S";
    f.ctx.point.GgaEW = "W";
    const std::string bytes = f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
    const std::string start = Crlf("      <rtept lat=\"35.652057\" lon=\"139.761315\">\n");
    EXPECT_EQ(bytes.substr(0, start.size()), start);
}

struct LabelCase {
    const char* name;
    int no, elapsed, km, speed;
    int32_t elapsedSec;
    double total;
    double kmh;
    std::string label;
};

const std::vector<LabelCase>& LabelCases() {
    static const std::vector<LabelCase> cases = {
        {"none", 0, 0, 0, 0, 3725, 1.5, 3.14159, ""},
        {"number", 1, 0, 0, 0, 3725, 1.5, 3.14159, "5."},
        {"elapsed", 0, 1, 0, 0, 3725, 1.5, 3.14159, "[01:02:05]"},
        {"distance", 0, 0, 1, 0, 3725, 1.5, 3.14159, "(1.50Km)"},
        {"speed", 0, 0, 0, 1, 3725, 1.5, 3.14159, "[3.14Km(h)]"},
        {"all", 1, 1, 1, 1, 3725, 1.5, 3.14159, "5.[01:02:05](1.50Km)[3.14Km(h)]"},
        {"number and speed", 1, 0, 0, 1, 0, 0.0, 0.0, "5.[0.00Km(h)]"},
        {"hours beyond two digits", 0, 1, 0, 0, 360000, 0.0, 0.0, "[100:00:00]"},
        {"long distance", 0, 0, 1, 0, 0, 1234.567, 0.0, "(1234.57Km)"},
        {"fast", 0, 0, 0, 1, 0, 0.0, 123.456, "[123.46Km(h)]"},
    };
    return cases;
}

void ApplyLabel(GpxFixture& f, const LabelCase& c) {
    ConvertSettings& s = f.settings.current;
    s.Label_No = c.no;
    s.Label_Elapsed = c.elapsed;
    s.Label_Km = c.km;
    s.Label_Speed = c.speed;
    f.ctx.point.ElapsedSec = c.elapsedSec;
    f.ctx.point.TotalDistance = c.total;
    f.ctx.point.Speed = c.kmh;
}

TEST(GpxRoutePoint, LabelFlags) {
    for (const auto& c : LabelCases()) {
        GpxFixture f;
        f.FillTypicalRecord();
        f.settings.current.MeterMile = "Statute Mile/Feet";  // the unit words stay Km
        ApplyLabel(f, c);
        const std::string bytes =
            f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
        EXPECT_EQ(bytes, RoutePoint("35.652057", "139.761315", "12.5", "2013-06-15T12:34:56Z",
                                    "45.6", "3.2", "08", "1.2", c.label, "(08/1.2)", "5"))
            << c.name;
    }
}

TEST(GpxRoutePoint, TimeIsBuiltByPosition) {
    struct Case {
        const char* name;
        std::string date;
        std::string time;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"fraction dropped", "150613", "123456.789", "2013-06-15T12:34:56Z"},
        {"gga-only date", "000000", "235959", "2000-00-00T23:59:59Z"},
        {"short time ends the text", "150613", "1234", "2013-06-15T12:34:"},
        {"empty date ends the text", "", "123456", "20  -  -"},
    };
    for (const auto& c : cases) {
        GpxFixture f;
        f.FillTypicalRecord();
        f.ctx.point.RmcDate = c.date;
        f.ctx.point.RmcTime = c.time;
        const std::string bytes =
            f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
        EXPECT_NE(bytes.find(Crlf("        <time>" + c.written + "</time>\n")), std::string::npos)
            << c.name << "\n" << bytes;
    }
}

TEST(GpxRoutePoint, EmptyRecordGivesEmptyElements) {
    GpxFixture f;
    ClearTrackPoint(f.ctx.point);
    f.ctx.store.RecordIndex = 0;
    const std::string bytes = f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
    EXPECT_EQ(bytes, RoutePoint("", "", "", "20  -  -", "", "", "", "", "", "(/)", "1"));
}

TEST(GpxRoutePoint, InputTextsCannotBreakTheDocument) {
    GpxFixture f;
    f.FillTypicalRecord();
    f.ctx.point.GgaAltitude = "<1&2>";
    f.ctx.point.GgaSatellites = "]]>";
    f.ctx.point.GgaDilution = "\x01\xFF";
    f.ctx.point.RmcCourse = "\"q\"";
    const std::string bytes = f.Written([&](TextWriter& out) { WriteGpxRoutePoint(out, f.ctx); });
    EXPECT_EQ(bytes,
              RoutePoint("35.652057", "139.761315", "&lt;1&amp;2&gt;", "2013-06-15T12:34:56Z",
                         "\"q\"", "3.2", "]]&gt;", "\xEF\xBF\xBD\xEF\xBF\xBD", "",
                         "(]]]]><![CDATA[>/\xEF\xBF\xBD\xEF\xBF\xBD)", "5"));
}

TEST(XmlText, EscapesAndReplaces) {
    struct Case {
        const char* name;
        std::string text;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"plain", "abc 123", "abc 123"},
        {"markup", "a<b>&c", "a&lt;b&gt;&amp;c"},
        {"quotes pass", "'\"", "'\""},
        {"two-byte", "\xC3\xA9", "\xC3\xA9"},
        {"four-byte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"lone continuation", "a\x80z", "a\xEF\xBF\xBDz"},
        {"overlong", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut sequence at end", "a\xE6\x97", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"not a character", "\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"nul and escape", std::string("a\0\x1B", 3), "a\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        GpxFixture f;
        EXPECT_EQ(f.Written([&](TextWriter& out) { WriteXmlText(out, c.text); }), c.written)
            << c.name;
    }
}

TEST(PointLabel, FitsTheBufferForExtremeValues) {
    GpxFixture f;
    LabelCase c{"huge", 1, 1, 1, 1, INT32_MIN, 1e308, -1e308, ""};
    ApplyLabel(f, c);
    f.ctx.store.RecordIndex = INT32_MAX - 1;
    char buffer[kPointLabelSize];
    const size_t length = FormatPointLabel(f.ctx, buffer, sizeof buffer);
    EXPECT_EQ(length, std::string(buffer).size());
    const std::string label(buffer);
    EXPECT_EQ(label.substr(0, 30), "2147483647.[-596523:-14:-8](10");
    EXPECT_NE(label.find(".00Km)[-10"), std::string::npos);
    EXPECT_EQ(label.substr(label.size() - 9), ".00Km(h)]");
    // A small buffer cuts the text instead of overrunning it.
    char small[8];
    EXPECT_EQ(FormatPointLabel(f.ctx, small, sizeof small), 7u);
    EXPECT_EQ(std::string(small), "2147483");
}

}  // namespace
}  // namespace geoplait
