// The KML writers' buffer: numbers exactly as printf writes them, long texts,
// escaping.
#include "kml/kml_format.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlFormatTest = KmlFixture;

std::string Printed(const char* format, double value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

TEST_F(KmlFormatTest, FixedMatchesPrintfWithWidthAndPrecision) {
    struct Form {
        const char* format;
        int precision;
        int width;
    };
    const Form forms[] = {{"%3.2f", 2, 3}, {"%3.1f", 1, 3}, {"%4.1f", 1, 4}, {"%4.3f", 3, 4},
                          {"%4.2f", 2, 4}, {"%1.2f", 2, 1}, {"%3.6f", 6, 3}};
    const double values[] = {0.0, -0.0, 0.05, 0.15, 0.25, 1.25, 2.675, 1.852, 9.95, 99.95, 123.45,
                             -1.5, -0.04, 35.6520571, 1e-7, 12345678.9, 1e300, -1e300,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::denorm_min()};
    for (const Form& f : forms) {
        for (double v : values) {
            EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Fixed(v, f.precision, f.width); }), Printed(f.format, v))
                << f.format << " " << v;
        }
    }
}

TEST_F(KmlFormatTest, IntegersAndDurations) {
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  out.Int(0);
                  out.Char(' ');
                  out.Int(-2147483648LL);
                  out.Char(' ');
                  out.TwoDigits(7);
                  out.Char(' ');
                  out.TwoDigits(-7);
                  out.Char(' ');
                  out.TwoDigits(123);
              }),
              "0 -2147483648 07 -7 123");
    struct Case {
        int32_t seconds;
        const char* text;
    };
    const Case cases[] = {{0, "00:00:00"},          {59, "00:00:59"},        {3725, "01:02:05"},
                          {360059, "100:00:59"},    {-61, "00:-1:-1"},       {-3600, "-1:00:00"},
                          {2147483647, "596523:14:07"}, {-2147483647 - 1, "-596523:-14:-8"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Duration(c.seconds); }), c.text) << c.seconds;
    }
}

TEST_F(KmlFormatTest, TextsLongerThanTheBufferArriveWholeAndInOrder) {
    const std::string longText(10000, 'x');
    const std::string expected = "a" + longText + "b" + std::string(4095, 'y') + "c";
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  out.Text(std::string_view{});
                  out.Char('a');
                  out.Text(longText);
                  out.Char('b');
                  out.Text(std::string(4095, 'y'));
                  out.Char('c');
              }),
              expected);
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  for (int i = 0; i < 3000; ++i) out.Escaped("&");
              }),
              [] {
                  std::string s;
                  for (int i = 0; i < 3000; ++i) s += "&amp;";
                  return s;
              }());
}

TEST_F(KmlFormatTest, LineEndsBecomeCrLf) {
    const std::string path = dir.File("crlf.txt");
    {
        TextWriter file(path, WriteMode::Plain);
        KmlBuffer out(file);
        out.Text("a\nb\n");
        out.Flush();
        file.Close();
    }
    EXPECT_EQ(ReadFileBytes(path), "a\r\nb\r\n");
}

}  // namespace
}  // namespace geoplait::test
