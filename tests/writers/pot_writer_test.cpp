#include "writers/pot_writer.h"

#include <gtest/gtest.h>

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

struct PotFixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    PotFixture() {
        TrackPoint& p = ctx.point;
        p.GgaLatitude = "3539.1234";
        p.GgaNS = "N";
        p.GgaLongitude = "13945.6789";
        p.GgaEW = "E";
        p.GgaAltitude = "12.9";
        p.RmcDate = "150613";
        p.RmcTime = "123456.789";
        p.SatCount = 8;
        p.DilutionValue = 1;
        ctx.store.RecordIndex = 4;
    }

    std::string Written(const std::function<void(TextWriter&)>& write) {
        const std::string path = dir.File("out.pot");
        TextWriter out(path, WriteMode::Plain);
        write(out);
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(path);
    }

    std::string Line() {
        return Written([&](TextWriter& out) { WritePotLine(out, ctx); });
    }
};

// The item of `key` ("/kei=") up to the next "/" or the line end.
std::string Item(const std::string& line, const std::string& key) {
    const size_t start = line.find(key);
    if (start == std::string::npos) return "(missing)";
    const size_t from = start + key.size();
    size_t end = line.find('/', from);
    if (end == std::string::npos) end = line.find('\r', from);
    return line.substr(from, end - from);
}

TEST(PotHead, DatLine) {
    PotFixture f;
    EXPECT_EQ(f.Written([](TextWriter& out) { WritePotHead(out); }),
              "DAT=WGS84/WGS84/0.000/0.00000000/0/0/0\r\n");
}

TEST(PotLine, TypicalRecord) {
    PotFixture f;
    EXPECT_EQ(f.Line(),
              "ORD=POI/tex=/ide=5/des=(Sat=8 Mar=1)/ido= 035'39'07'4/kei= 139'45'40'7"
              "/adr=1/alt=+12/col=12/pda=15-JUN-13/pti=12:34:56\r\n");
}

TEST(PotLine, PositionDigitsAndSign) {
    struct Case {
        std::string nmea;
        std::string item;
    };
    const std::vector<Case> cases = {
        {"3539.1234", " 035'39'07'4"},
        {"-3539.1234", "-035'39'07'4"},  // south held as a signed number
        {"-08807.3033", "-088'07'18'1"},  // west
        {"-0.5", "-000'00'30'0"},         // half a minute south of the equator
        {"0", " 000'00'00'0"},
        {"-0", " 000'00'00'0"},  // a negative zero has no sign
        {"", " 000'00'00'0"},
        {"abc", " 000'00'00'0"},
        {"13959.99999", " 139'59'59'9"},  // 59.9994 s: the tenths are cut, not rounded up
        {"12345678.9", " 123'45'67'8"},  // too many digits: the first eight are kept
    };
    for (const auto& c : cases) {
        PotFixture f;
        f.ctx.point.GgaLatitude = c.nmea;
        f.ctx.point.GgaLongitude = c.nmea;
        const std::string line = f.Line();
        EXPECT_EQ(Item(line, "/ido="), c.item) << c.nmea;
        EXPECT_EQ(Item(line, "/kei="), c.item) << c.nmea;
    }
}

TEST(PotLine, HemisphereLettersAreNotConsulted) {
    PotFixture f;
    f.ctx.point.GgaNS = "S";
    f.ctx.point.GgaEW = "W";
    const std::string line = f.Line();
    EXPECT_EQ(Item(line, "/ido="), " 035'39'07'4");
    EXPECT_EQ(Item(line, "/kei="), " 139'45'40'7");
}

TEST(PotLine, Altitude) {
    struct Case {
        std::string text;
        std::string item;
        double value;
    };
    const std::vector<Case> cases = {
        {"12.9", "+12", 12.9},
        {"-5.3", "+0", 0.0},
        {"-0.4", "+0", 0.0},
        {"0.4", "+0", 0.4},
        {"", "+0", 0.0},
        {"8848", "+8848", 8848.0},
        {"99999999999", "+99999999999", 99999999999.0},  // no int overflow
    };
    for (const auto& c : cases) {
        PotFixture f;
        f.ctx.point.GgaAltitude = c.text;
        EXPECT_EQ(Item(f.Line(), "/alt="), c.item) << c.text;
        EXPECT_EQ(f.ctx.point.AltitudeText, c.text);
        EXPECT_EQ(f.ctx.point.AltitudeValue, c.value) << c.text;
    }
}

TEST(PotLine, DateWithMonthName) {
    struct Case {
        std::string date;
        std::string item;
    };
    const std::vector<Case> cases = {
        {"150613", "15-JUN-13"},
        {"000000", "00-   -00"},  // GGA-only log
        {"011299", "01-DEC-99"},
        {"011399", "01-   -99"},  // no month 13
        {"01-199", "01-   -99"},  // negative month
        {"0101", "01-JAN-  "},    // short date: blanks after the text
        {"", "  -   -  "},        // empty date: blanks, never a NUL byte
    };
    for (const auto& c : cases) {
        PotFixture f;
        f.ctx.point.RmcDate = c.date;
        EXPECT_EQ(Item(f.Line(), "/pda="), c.item) << c.date;
    }
}

TEST(PotLine, AllMonthNames) {
    const char* names[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                           "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int month = 1; month <= 12; ++month) {
        PotFixture f;
        char date[8];
        std::snprintf(date, sizeof date, "28%02d21", month);
        f.ctx.point.RmcDate = date;
        EXPECT_EQ(Item(f.Line(), "/pda="), std::string("28-") + names[month - 1] + "-21");
    }
}

TEST(PotLine, UtcTimeGoesThroughLocalTimeText) {
    struct Case {
        std::string time;
        std::string item;
    };
    const std::vector<Case> cases = {
        {"123456.789", "12:34:56"},
        {"000000", "00:00:00"},
        {"1234", "12:34:"},  // the text ends where the time does
        {"", ""},
    };
    for (const auto& c : cases) {
        PotFixture f;
        f.ctx.point.RmcTime = c.time;
        f.ctx.point.LocalTimeText = "21:34:56";
        const std::string line = f.Line();
        EXPECT_EQ(line.substr(line.rfind("/pti=")), "/pti=" + c.item + "\r\n") << c.time;
        EXPECT_EQ(f.ctx.point.LocalTimeText, c.item) << c.time;
    }
}

TEST(PotLine, LabelFlags) {
    struct Case {
        const char* name;
        int no, elapsed, km, speed;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"none", 0, 0, 0, 0, ""},
        {"number", 1, 0, 0, 0, "5."},
        {"elapsed", 0, 1, 0, 0, "[01:02:05]"},
        {"distance", 0, 0, 1, 0, "(1.50Km)"},
        {"speed", 0, 0, 0, 1, "[3.14Km(h)]"},
        {"all", 1, 1, 1, 1, "5.[01:02:05](1.50Km)[3.14Km(h)]"},
    };
    for (const auto& c : cases) {
        PotFixture f;
        ConvertSettings& s = f.settings.current;
        s.Label_No = c.no;
        s.Label_Elapsed = c.elapsed;
        s.Label_Km = c.km;
        s.Label_Speed = c.speed;
        s.MeterMile = "Nautical Mile/Feet";  // the unit words stay Km
        f.ctx.point.ElapsedSec = 3725;
        f.ctx.point.TotalDistance = 1.5;
        f.ctx.point.Speed = 3.14159;
        const std::string line = f.Line();
        EXPECT_EQ(line.substr(0, line.find("/ide=")), "ORD=POI/tex=" + c.text) << c.name;
    }
}

TEST(PotLine, DescriptionAndIdentifier) {
    PotFixture f;
    f.ctx.point.SatCount = 999;
    f.ctx.point.DilutionValue = 0;
    f.ctx.store.RecordIndex = 0;
    const std::string line = f.Line();
    EXPECT_EQ(Item(line, "/ide="), "1");
    EXPECT_EQ(Item(line, "/des="), "(Sat=999 Mar=0)");
}

}  // namespace
}  // namespace geoplait
