// The GPX writer's pieces: the head of other inputs, route points of empty and
// hostile records, odd times, the point label and XML text.
#include "writers/gpx_writer.h"

#include <cstdint>

#include "writer_fixture.h"

namespace geoplait::test {
namespace {

// Whether the text holds an element with nothing in it: "<name></name>".
bool HasEmptyElement(const std::string& text) {
    for (size_t at = text.find("></"); at != std::string::npos; at = text.find("></", at + 1)) {
        const size_t open = text.rfind('<', at);
        if (open == std::string::npos || text[open + 1] == '/') continue;
        const std::string name = text.substr(open + 1, at - open - 1);
        if (name.find_first_not_of("abcdefghijklmnopqrstuvwxyz:") != std::string::npos || name.empty()) continue;
        if (text.compare(at + 3, name.size() + 1, name + ">") == 0) return true;
    }
    return false;
}

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
    // The record as it arrives from its reader: its numbers read from its texts.
    std::string RoutePoint() {
        ReadRecordValues(ctx.point);
        ReadTimeTexts(ctx.point);
        return WrittenLine(WriteGpxPoint);
    }
    std::string TrackPt(bool lineCut) {
        s().GpxType = "Track";
        LineOutput writer{Options(), {}};
        RecordNumbers numbers = Numbers();
        numbers.lineCut = lineCut;
        ReadRecordValues(ctx.point);
        ReadTimeTexts(ctx.point);
        return Written([&](TextWriter& out) { WriteGpxPoint(out, writer.options, ctx.point, numbers, writer.scratch); });
    }
};

TEST(GpxWriter, PointElementsInTheSchemasOrderWithSpeedInMetresPerSecond) {
    Gpx f;
    f.s().Label_No = 1;
    f.s().Label_Elapsed = f.s().Label_Km = f.s().Label_Speed = 0;
    EXPECT_EQ(f.RoutePoint(),
              Crlf("      <rtept lat=\"35.652057\" lon=\"139.761315\">\n"
              "        <ele>12.5</ele>\n"
              "        <time>2013-06-15T12:34:56Z</time>\n"
              "        <name><![CDATA[5.]]></name>\n"
              "        <cmt><![CDATA[(08/1.2)]]></cmt>\n"
              "        <sat>08</sat>\n"
              "        <hdop>1.2</hdop>\n"
              "        <extensions>\n"
              "        <gpxtpx:TrackPointExtension>\n"
              "          <gpxtpx:speed>1.6462</gpxtpx:speed>\n"  // 3.2 knots
              "          <gpxtpx:course>45.6</gpxtpx:course>\n"
              "        </gpxtpx:TrackPointExtension>\n"
              "        <kashmir3d:ident><![CDATA[5]]></kashmir3d:ident>\n"
              "        </extensions>\n"
              "      </rtept>\n"));
}

TEST(GpxWriter, UnknownValuesLeaveTheirElementsOut) {
    // Each case: the record's text, and the element that must be missing.
    struct Case {
        std::string geoplait::TrackPoint::*field;
        const char* value;
        const char* missing;
    };
    const Case cases[] = {
        {&geoplait::TrackPoint::GgaAltitude, "", "<ele>"},
        {&geoplait::TrackPoint::GgaAltitude, "1e3", "<ele>"},
        {&geoplait::TrackPoint::GgaSatellites, "", "<sat>"},
        {&geoplait::TrackPoint::GgaSatellites, "-1", "<sat>"},
        {&geoplait::TrackPoint::GgaDilution, "", "<hdop>"},
        {&geoplait::TrackPoint::GgaDilution, "-0.5", "<hdop>"},
        {&geoplait::TrackPoint::RmcSpeed, "", "<gpxtpx:speed>"},
        {&geoplait::TrackPoint::RmcSpeed, "fast", "<gpxtpx:speed>"},
        {&geoplait::TrackPoint::RmcCourse, "", "<gpxtpx:course>"},
        {&geoplait::TrackPoint::RmcCourse, "360.0", "<gpxtpx:course>"},
        {&geoplait::TrackPoint::RmcDate, "", "<time>"},
    };
    for (const Case& c : cases) {
        Gpx f;
        f.ctx.point.*c.field = c.value;
        const std::string point = f.RoutePoint();
        EXPECT_EQ(point.find(c.missing), std::string::npos) << c.value << "\n" << point;
        EXPECT_FALSE(HasEmptyElement(point)) << "an empty element\n" << point;
    }
    // Neither speed nor course: no extension block of theirs.
    Gpx f;
    f.ctx.point.RmcSpeed.clear();
    f.ctx.point.RmcCourse.clear();
    EXPECT_EQ(f.RoutePoint().find("TrackPointExtension"), std::string::npos);
    // Neither satellites nor HDOP: no comment.
    f.ctx.point.GgaSatellites.clear();
    f.ctx.point.GgaDilution.clear();
    EXPECT_EQ(f.RoutePoint().find("<cmt>"), std::string::npos);
    // No label: no name.
    f.s().Label_No = f.s().Label_Elapsed = f.s().Label_Km = f.s().Label_Speed = 0;
    EXPECT_EQ(f.RoutePoint().find("<name>"), std::string::npos);
}

TEST(GpxWriter, TrackPointsBeginASegmentWhereTheLineIsCut) {
    Gpx f;
    f.ctx.store.WrittenCount = 3;
    const std::string plain = f.TrackPt(false);
    EXPECT_EQ(plain.substr(0, 15), "      <trkpt la");
    EXPECT_EQ(plain.substr(plain.size() - 16), "      </trkpt>\r\n");
    const std::string cut = f.TrackPt(true);
    EXPECT_EQ(cut, "  </trkseg>\r\n  <trkseg>\r\n" + plain);
    // The first point written never closes a segment.
    f.ctx.store.WrittenCount = 0;
    EXPECT_EQ(f.TrackPt(true), plain);
}

TEST(GpxWriter, PointLabelFitsItsBufferForExtremeValues) {
    Gpx f;
    f.s().Label_No = f.s().Label_Elapsed = f.s().Label_Km = f.s().Label_Speed = 1;
    f.ctx.point.ElapsedSec = INT32_MIN;
    f.ctx.point.TotalDistance = 1e308;
    f.ctx.point.Speed = -1e308;
    f.ctx.store.RecordIndex = INT32_MAX - 1;
    char buffer[kPointLabelSize];
    const size_t length = FormatPointLabel(f.Options().label, f.ctx.point, f.Numbers(), buffer, sizeof buffer);
    const std::string label(buffer);
    EXPECT_EQ(length, label.size());
    EXPECT_EQ(label.substr(0, 30), "2147483647.[-596523:-14:-8](10");
    EXPECT_NE(label.find(".00Km)[-10"), std::string::npos);
    EXPECT_EQ(label.substr(label.size() - 9), ".00Km(h)]");
    // A small buffer cuts the text instead of overrunning it.
    char small[8];
    EXPECT_EQ(FormatPointLabel(f.Options().label, f.ctx.point, f.Numbers(), small, sizeof small), 7u);
    EXPECT_EQ(std::string(small), "2147483");
}

TEST(GpxWriter, LongTextsOfAPointComeOutWholeWithCrLf) {
    // A point whose texts may not fit the writer's room is built apart:
    // either way the same bytes, every line end CR LF.
    for (const size_t repeats : {size_t{1}, size_t{50}, size_t{200}, size_t{5000}}) {
        Gpx f;
        std::string text;
        std::string written;
        for (size_t i = 0; i < repeats; ++i) {
            text += "]]>\n";
            written += "]]]]><![CDATA[>\r\n";
        }
        f.ctx.point.GgaDilution = text;
        const std::string point = f.RoutePoint();
        EXPECT_NE(point.find("        <cmt><![CDATA[(08/" + written + ")]]></cmt>\r\n        <sat>08</sat>\r\n"
                             "        <extensions>\r\n"),
                  std::string::npos)
            << repeats;
        EXPECT_EQ(point.substr(point.size() - 16), "      </rtept>\r\n") << repeats;
        EXPECT_EQ(point.find("\n\n"), std::string::npos) << repeats;
    }
}

// The date of a point's time is made once a day and kept by the run's line
// writer: each point still has its own record's date, across days, back to
// an earlier one, and around records without a date.
TEST(GpxWriter, EachPointHasItsOwnDateWhenTheDayChanges) {
    const std::pair<const char*, const char*> cases[] = {
        {"300623", "2023-06-30T12:34:56Z"}, {"300623", "2023-06-30T12:34:56Z"}, {"010723", "2023-07-01T12:34:56Z"},
        {"", ""}, {"010723", "2023-07-01T12:34:56Z"}, {"311299", "2099-12-31T12:34:56Z"},
        {"300623", "2023-06-30T12:34:56Z"}, {"290224", "2024-02-29T12:34:56Z"},
    };
    Gpx f;
    LineOutput writer{f.Options(), {}};
    std::string want;
    const std::string written = f.Written([&](TextWriter& out) {
        for (const auto& [date, time] : cases) {
            f.ctx.point.RmcDate = date;
            f.ctx.point.RmcTime = "123456";
            ReadRecordValues(f.ctx.point);
            ReadTimeTexts(f.ctx.point);
            ReadPositionTexts(f.ctx.point);
            WriteGpxPoint(out, writer.options, f.ctx.point, f.Numbers(), writer.scratch);
            want += std::string(time) + ";";
        }
    });
    std::string got;
    for (size_t at = written.find("<rtept"); at != std::string::npos; at = written.find("<rtept", at + 1)) {
        const size_t end = written.find("</rtept>", at);
        const size_t open = written.find("<time>", at);
        if (open < end) got += written.substr(open + 6, written.find("</time>", open) - open - 6);
        got += ";";
    }
    EXPECT_EQ(got, want);
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
