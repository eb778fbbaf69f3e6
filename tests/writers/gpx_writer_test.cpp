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
        return WrittenLine(WriteGpxPoint);
    }
};

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
