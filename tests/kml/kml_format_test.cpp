// The KML writers' buffer: numbers exactly as printf writes them, long texts,
// escaping.
#include "kml/kml_format.h"

#include <cstdio>
#include <limits>

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlFormatTest = KmlFixture;

TEST_F(KmlFormatTest, FixedMatchesPrintfWithWidthAndPrecision) {
    const std::pair<const char*, int> forms[] = {{"%3.2f", 2}, {"%3.1f", 1}, {"%4.1f", 1}, {"%4.3f", 3},
                                                 {"%4.2f", 2}, {"%1.2f", 2}, {"%3.6f", 6}};
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0, -0.0, 0.05, 0.15, 0.25, 1.25, 2.675, 1.852, 9.95, 99.95, 123.45, -1.5, -0.04,
                             35.6520571, 1e-7, 12345678.9, 1e300, -1e300, inf, -inf,
                             std::numeric_limits<double>::denorm_min()};
    for (const auto& [format, precision] : forms) {
        const int width = format[1] - '0';
        for (double v : values) {
            char printed[512];
            std::snprintf(printed, sizeof printed, format, v);
            EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Fixed(v, precision, width); }), printed)
                << format << " " << v;
        }
    }
}

TEST_F(KmlFormatTest, IntegersAndDurations) {
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  out.Int(0); out.Char(' '); out.Int(-2147483648LL); out.Char(' ');
                  out.TwoDigits(7); out.Char(' '); out.TwoDigits(-7); out.Char(' '); out.TwoDigits(123);
              }),
              "0 -2147483648 07 -7 123");
    const std::pair<int32_t, const char*> cases[] = {
        {0, "00:00:00"},       {59, "00:00:59"},      {3725, "01:02:05"},
        {360059, "100:00:59"}, {-61, "00:-1:-1"},     {-3600, "-1:00:00"},
        {2147483647, "596523:14:07"}, {-2147483647 - 1, "-596523:-14:-8"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Duration(seconds); }), text) << seconds;
    }
}

TEST_F(KmlFormatTest, TextsLongerThanTheBufferArriveWholeAndInOrder) {
    const std::string x(10000, 'x'), y(4095, 'y');
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  out.Text({}); out.Char('a'); out.Text(x); out.Char('b'); out.Text(y); out.Char('c');
              }),
              "a" + x + "b" + y + "c");
    std::string amps;
    for (int i = 0; i < 3000; ++i) amps += "&amp;";
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  for (int i = 0; i < 3000; ++i) out.Escaped("&");
              }),
              amps);
}

TEST_F(KmlFormatTest, EscapingTouchesOnlyTheFourMarkupCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"plain", "plain"}, {"a<b>c&", "a&lt;b&gt;c&amp;"}, {"\"q\"", "&quot;q&quot;"},
        {"it's &amp;", "it's &amp;amp;"}, {"\xE6\x97\xA5\xE6\x9C\xAC<", "\xE6\x97\xA5\xE6\x9C\xAC&lt;"},
    };
    for (const auto& [text, written] : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Escaped(text); }), written) << text;
    }
}

}  // namespace
}  // namespace geoplait::test
