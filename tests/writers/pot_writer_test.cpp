// POT record lines: the position and altitude items against printf for numbers
// of every size, and dates and times that are short, empty or out of range.
#include "writers/pot_writer.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "writer_fixture.h"
#include "support/record_time.h"

namespace geoplait::test {
namespace {

struct Pot : WriterFixture {
    Pot() {
        ctx.point.GgaLatitude = "3539.1234";
        ctx.point.GgaLongitude = "13945.6789";
        test::SetTimeTexts(ctx.point, "150613", "123456.789");
    }
    std::string Line() {
        return WrittenLine(WritePotLine);
    }
};

// The text of the item `key` ("/kei=") up to the next "/" or the line end.
std::string Item(const std::string& line, const std::string& key) {
    const size_t start = line.find(key);
    if (start == std::string::npos) return "(missing)";
    const size_t from = start + key.size();
    return line.substr(from, line.find_first_of("/\r", from) - from);
}

// The position item as the "%011.0f" layout of the degrees-minutes number has it.
std::string PrintfPosition(double v) {
    const double whole = std::trunc(v);
    double w = ((v - whole) / (1.0 / 60.0) / 100.0 + whole) * 1000000.0;
    if (!std::isfinite(w)) w = 0.0;
    // Seconds that round to 60 carry into the minute, 60 minutes into the degree.
    const double shown = std::round(std::fabs(w));
    const double ddmm = std::trunc(shown / 1e6);
    if (shown - ddmm * 1e6 >= 600000.0) {
        const double next = std::fmod(ddmm, 100.0) + 1.0 >= 60.0 ? (std::trunc(ddmm / 100.0) + 1.0) * 100.0 : ddmm + 1.0;
        w = std::copysign(next * 1e6, w);
    }
    const char sign = w < 0.0 ? '-' : ' ';
    char d[400];
    std::snprintf(d, sizeof d, "%011.0f", std::fabs(w) + 0.0);
    char item[32];
    std::snprintf(item, sizeof item, "%c%c%c%c'%c%c'%c%c'%c", sign, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
    return item;
}

TEST(PotLine, PositionsAndAltitudesAsPrintfWouldWriteThem) {
    std::vector<std::string> texts = {
        "3539.1234", "-3539.1234", "-08807.3033", "-0.5", "0", "-0", "", "abc", "0.0000001", "-0.0000001",
        "99999.99999", "13959.99999",  // 59.9994 s: the tenths are cut, not rounded up
        "12345678.9",                  // too many digits: the first eight are kept
        "1e300", "-1e300", "1.7976931348623157e308", "4.9e-324", "123456789012", "0.00005", "0.000005",
        "59.99999999", "5959.99999999", "-0059.99999999", "18000.5", "1e15", "1e16", "1e17", "-5.3", "0.4", "99999999999",
        "4503599627.3705", "4503599627.37049", "9007199254.740993", "-9007199254.740991",  // around 2^52 and 2^53 units
        "0.9999991666666667", "35.99999916666667", "-1.9999991666666666", "0.9999975",  // seconds of exactly x.5 tenths
        "9007199254740991", "9007199254740992", "4503599627370495.5", "0.999", "-0.5", "-0", "-0.0",  // heights around 2^53 and 0
    };
    std::mt19937_64 random(8);
    for (int i = 0; i < 1000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 8),
                      (static_cast<double>(random() % 36000000000) - 18000000000.0) / 1e4);
        texts.push_back(text);
        const int exponent = static_cast<int>(random() % 200) - 100;
        std::snprintf(text, sizeof text, "%.3e", std::ldexp(static_cast<double>(random() % 1000), exponent));
        texts.push_back(text);
    }
    Pot f;
    // Seconds that round to 60 are the next minute, or the next degree.
    f.ctx.point.GgaLatitude = "5959.99999999";
    f.ctx.point.GgaLongitude = "1234.99999999";
    EXPECT_EQ(Item(f.Line(), "/ido="), " 060'00'00'0");
    EXPECT_EQ(Item(f.Line(), "/kei="), " 012'35'00'0");
    for (const std::string& text : texts) {
        f.ctx.point.GgaLatitude = f.ctx.point.GgaLongitude = f.ctx.point.GgaAltitude = text;
        ReadRecordValues(f.ctx.point);
        const std::string line = f.Line();
        const std::string position = PrintfPosition(NumberOf(text));
        EXPECT_EQ(Item(line, "/ido="), position) << text;
        EXPECT_EQ(Item(line, "/kei="), position) << text;
        // Below sea level, "-0" and unreadable altitudes are 0.
        double altitude = NumberOf(text);
        if (!std::isfinite(altitude) || altitude <= 0.0) altitude = 0.0;
        char alt[400];
        std::snprintf(alt, sizeof alt, "+%.0f", std::trunc(altitude));
        EXPECT_EQ(Item(line, "/alt="), alt) << text;
    }
}

TEST(PotLine, UtcTimeOfTheRecordOrNone) {
    const std::pair<const char*, const char*> cases[] = {{"123456.50", "12:34:56"}, {"000000", "00:00:00"}, {"", ""}};
    for (const auto& [time, item] : cases) {
        Pot f;
        test::SetTimeTexts(f.ctx.point, "010312", time);
        test::SetLocalTexts(f.ctx.point, "010312", "213456");
        const std::string line = f.Line();
        EXPECT_EQ(line.substr(line.rfind("/pti=")), "/pti=" + std::string(item) + "\r\n") << time;
    }
}

// A line break within a text of the record (here the slot of a date that
// is not known) is written CR LF, as the line end is; every line is whole.
TEST(PotLine, ALineBreakWithinALineIsWrittenCrLf) {
    for (const char* date : {"1\n0312", "010312"}) {
        Pot f;
        test::SetTimeTexts(f.ctx.point, date, "120000");
        const std::string line = f.Line();
        const std::string want = std::string(date) == "010312" ? "/pda=01-MAR-12/pti=12:00:00\r\n"
                                                                : "/pda=1\r\n-MAR-12/pti=12:00:00\r\n";
        EXPECT_EQ(line.substr(line.find("/pda=")), want) << date;
        EXPECT_EQ(line.rfind("ORD=POI/tex=", 0), 0u) << date;
    }
}

// The date of a known day is made once a day and kept by the run's line
// writer: each line still shows its own record's date, across days, back to
// an earlier one, and around dates that are not known.
TEST(PotLine, EachLineHasItsOwnDateWhenTheDayChanges) {
    const std::pair<const char*, const char*> cases[] = {
        {"300623", "30-JUN-23"}, {"300623", "30-JUN-23"}, {"010723", "01-JUL-23"}, {"000000", "00-   -00"},
        {"010723", "01-JUL-23"}, {"311299", "31-DEC-99"}, {"300623", "30-JUN-23"}, {"", "  -   -  "},
        {"291224", "29-DEC-24"},
    };
    Pot f;
    LineOutput writer{f.Options(), {}};
    std::string want;
    const std::string written = f.Written([&](TextWriter& out) {
        for (const auto& [date, item] : cases) {
            test::SetTimeTexts(f.ctx.point, date, "120000");
            ReadPositionTexts(f.ctx.point);
            WritePotLine(out, writer.options, f.ctx.point, f.Numbers(), writer.scratch);
            want += std::string("/pda=") + item + "/pti=12:00:00\r\n";
        }
    });
    std::string got;
    for (size_t at = written.find("/pda="); at != std::string::npos; at = written.find("/pda=", at + 1)) {
        got += written.substr(at, written.find('\n', at) + 1 - at);
    }
    EXPECT_EQ(got, want);
}

}  // namespace
}  // namespace geoplait::test
