// What other programs write, taken as they mean it: ISO time stamps with any
// fraction and offset, numbers with exponents, hemisphere letters, positions
// out of range, impossible times and dates, and speeds for tracks without.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "readers/reader_text.h"
#include "readers/track_speed.h"
#include "readers/xml_stream.h"

namespace geoplait {
namespace {

TEST(OtherPrograms, IsoTimeStamps) {
    // The UTC date and time of each, as ddmmyy (the unknown date "000000"
    // outside 2000-2099) and hhmmss; a stated offset is taken off.
    const struct {
        const char* text;
        bool read;
        const char* date;
        const char* time;
    } cases[] = {
        {"2024-01-01T20:30:18.1234567+05:30", true, "010124", "150018"},
        {"2024-01-01T20:30:18.123456789-05:30", true, "020124", "020018"},
        {"2024-02-29T23:59:59Z", true, "290224", "235959"},
        {"2024-02-29", true, "290224", "000000"},
        {"2024-13-45T25:61:61Z", false, "", ""},
        {"2023-02-29T10:00:00Z", false, "", ""},
        {"2023-02-30", false, "", ""},
        {"2024-04-31T10:00:00Z", false, "", ""},
        {"2024-01-01T24:00:00Z", false, "", ""},
        {"2024-01-01T23:60:00Z", false, "", ""},
        {"2024-01-01T23:59:60Z", false, "", ""},
        {"1999-12-31T23:59:59Z", true, "000000", "235959"},
        {"2100-01-01T00:00:00Z", true, "000000", "000000"},
        {"1970-01-01T00:00:05Z", true, "000000", "000005"},
        {"2000-02-29T12:00:00Z", true, "290200", "120000"},
        {"2099-12-31T23:59:59Z", true, "311299", "235959"},
        {"2000-01-01T00:00:00+00:30", true, "311299", "233000"},  // 1999 by its two digits
        // The common layout read in fixed places, and what only looks like it.
        {"2024-01-01t00:00:05z", true, "010124", "000005"},
        {" 2024-01-01T00:00:05Z\n", true, "010124", "000005"},
        {"2024-0a-01T00:00:05Z", false, "", ""},
        {"2024-01-01T00:00:0:Z", false, "", ""},
        {"2024-01-01T00:00:0/Z", false, "", ""},
        {"+024-01-01T00:00:05Z", false, "", ""},
        {"2024-01-01T00:00:05.Z", true, "010124", "000005"},
        {"2024-01-01T00:00-05Z", false, "", ""},
    };
    for (const auto& c : cases) {
        RecordTime time;
        time.second = 12345;
        ASSERT_EQ(ReadXmlTime(c.text, nullptr, time), c.read) << c.text;
        if (!c.read) {
            EXPECT_EQ(time.second, 12345) << "left as it was: " << c.text;
            continue;
        }
        char date[7] = "000000";
        if (time.date == DateKind::Known) PutDdmmyy(date, time.day);
        char clock[7] = {};
        PutHhmmss(clock, time.second);
        EXPECT_STREQ(date, c.date) << c.text;
        EXPECT_STREQ(clock, c.time) << c.text;
        EXPECT_TRUE(time.timeKnown) << c.text;
        EXPECT_FALSE(time.fromTexts) << c.text;
        EXPECT_EQ(time.decimals, 0) << c.text;
    }
}

TEST(OtherPrograms, XmlNumbers) {
    const struct {
        const char* text;
        bool read;
        double value;
        const char* held;  // TakeXmlNumber
    } cases[] = {
        {"139.7", true, 139.7, "139.7"},     {"-5e-05", true, -5e-05, "-0.00005"},
        {"1.397e2", true, 139.7, "139.7"},   {"+1.25E+1", true, 12.5, "12.5"},
        {".5", true, 0.5, ".5"},             {"5.", true, 5.0, "5."},
        {"1e-400", true, 0.0, "0"},          {"1e309", false, 0, ""},
        {"139.7E", false, 0, ""},            {"NaN", false, 0, ""},
        {"inf", false, 0, ""},               {"-", false, 0, ""},
        {"", false, 0, ""},                  {"1 2", false, 0, ""},
        {"0x1p3", false, 0, ""},             {"1.2.3", false, 0, ""},
    };
    for (const auto& c : cases) {
        double value = -1.0;
        ASSERT_EQ(ReadXmlNumber(c.text, value), c.read) << c.text;
        if (c.read) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
        std::string held = "old";
        TakeXmlNumber(c.text, 31, held);
        EXPECT_EQ(held, c.held) << c.text;
    }
}

// Plain decimals are read without the general parser where that gives the
// same double: up to 19 digits making at most 2^53, up to 22 decimals. Every
// edge of that reads bit for bit as from_chars reads it.
TEST(OtherPrograms, XmlNumbersReadAsFromChars) {
    std::vector<std::string> texts = {
        "0", "-0", "+0.0", "-.0", "9007199254740992", "9007199254740993", "-9007199254740993.0",
        "1234567890123456789", "12345678901234567890", ".1234567890123456789", "0.0000000000000000000001",
        "0.00000000000000000000001", "1.0000000000000000000000", "0.1", "0.3", "139.745433333",
        "35.658596667", "-179.99999999999999", "89.999999999999999999", "4503599627370497.5",
        std::string(400, '9'), "0." + std::string(400, '0') + "1", "00000000000000000001.5",
    };
    // Many digit counts and point places, as documents hold them.
    uint64_t seed = 12345;
    for (int k = 0; k < 20000; ++k) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        const int digits = 1 + static_cast<int>((seed >> 33) % 24);
        const int point = static_cast<int>((seed >> 20) % static_cast<uint64_t>(digits + 1));
        std::string text = (seed >> 60) % 2 == 0 ? "-" : "";
        uint64_t bits = seed;
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + (bits >> 59) % 10);
            bits = bits * 6364136223846793005u + 1u;
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        double value = 1.0;
        double expected = 2.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), expected);
        const bool read = ReadXmlNumber(text, value);
        if (error != std::errc() || end != text.data() + text.size()) {
            // Beyond the doubles: "no number", or zero for what is too small.
            if (read) {
                EXPECT_EQ(value, 0.0) << text;
            }
            continue;
        }
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(std::bit_cast<uint64_t>(value), std::bit_cast<uint64_t>(expected)) << text;
    }
}

// A value as one line: white space at the ends goes, a run of it inside
// becomes one blank; other characters stay as they are.
TEST(OtherPrograms, TidyTexts) {
    const struct {
        std::string text;
        std::string tidy;
    } cases[] = {
        {"", ""},
        {" \t\r\n ", ""},
        {"a", "a"},
        {"  a  ", "a"},
        {"\na\r\n\tb\n", "a b"},
        {"a  b   c", "a b c"},
        {"a\xC2\xA0 b\v", "a\xC2\xA0 b\v"},
        {"\r\n  Two line\r\n  name\r\n", "Two line name"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        TidyText(text);
        EXPECT_EQ(text, c.tidy) << c.text;
    }
}

TEST(OtherPrograms, LocalNames) {
    EXPECT_EQ(LocalName("trkpt"), "trkpt");
    EXPECT_EQ(LocalName("gx:Track"), "Track");
    EXPECT_EQ(LocalName("a:b:coord"), "coord");
    EXPECT_EQ(LocalName("gx:"), "");
    EXPECT_EQ(LocalName(""), "");
}

TEST(OtherPrograms, XmlDegreesWithinRange) {
    const struct {
        const char* text;
        double limit;
        bool read;
        double value;
        char letter;
    } cases[] = {
        {"-33.87", 90, true, 33.87, 'S'},  {"-5e-05", 180, true, 0.00005, 'W'},
        {"90", 90, true, 90.0, 'N'},       {"-90.0", 90, true, 90.0, 'S'},
        {"-0.0", 90, true, 0.0, 'S'},      {"95", 90, false, 0.0, 'N'},
        {"-180.5", 180, false, 0.0, 'E'},  {"inf", 180, false, 0.0, 'E'},
        {"1e309", 90, false, 0.0, 'N'},
    };
    for (const auto& c : cases) {
        double value = -1.0;
        char letter = '?';
        const char positive = c.limit == 90 ? 'N' : 'E';
        const char negative = c.limit == 90 ? 'S' : 'W';
        EXPECT_EQ(ReadXmlDegrees(c.text, c.limit, 31, positive, negative, value, letter), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(letter, c.letter) << c.text;
    }
    // Only the first characters of the number's text are read, sign left
    // out, an exponent written out first.
    const struct {
        const char* text;
        double value;
    } cut[] = {
        {"35.68123456789999", 35.68123456789}, {"-35.68123456789999", 35.68123456789},
        {"35.681234567891", 35.68123456789},   {"35.6812345678", 35.6812345678},
        {"3.568123456789999e1", 35.68123456789},
    };
    for (const auto& c : cut) {
        double value = 0.0;
        char letter = '?';
        EXPECT_TRUE(ReadXmlDegrees(c.text, 90.0, 14, 'N', 'S', value, letter)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(OtherPrograms, HemisphereLetters) {
    const struct {
        const char* text;
        char positive;
        char letter;
        const char* number;
    } cases[] = {
        {"33.868800S", 'N', 'S', "33.868800"}, {"S33.8688", 'N', 'S', "33.8688"},
        {"151.2093E", 'E', 'E', "151.2093"},   {"w 58.2", 'E', 'W', "58.2"},
        {"33.8 n ", 'N', 'N', "33.8"},         {"1.5E2", 'E', '\0', "1.5E2"},
        {"33.8E", 'N', '\0', "33.8E"},         {"S", 'N', '\0', "S"},
        {"-33.8", 'N', '\0', "-33.8"},
    };
    for (const auto& c : cases) {
        std::string_view text = c.text;
        const char negative = c.positive == 'N' ? 'S' : 'W';
        EXPECT_EQ(TakeHemisphereLetter(text, c.positive, negative), c.letter) << c.text;
        EXPECT_EQ(text, c.number) << c.text;
    }
}

TEST(OtherPrograms, SettledRecords) {
    TrackPoint p;
    p.GgaTime = " 222519";
    p.RmcTime = " 222519.50";
    p.RmcDate = "231019";
    p.GgaLatitude = p.RmcLatitude = "4249.9655";
    p.GgaLongitude = p.RmcLongitude = "14726.7317";
    SettleRecord(p);
    EXPECT_EQ(p.GgaTime, "222519");
    EXPECT_EQ(p.RmcTime, "222519.50");
    EXPECT_EQ(p.RmcDate, "231019");
    EXPECT_EQ(p.RmcLatitude, "4249.9655");
    EXPECT_EQ(p.Position.latitude.nmea, 4249.9655);
    EXPECT_EQ(p.GgaPosition.longitude.nmea, 14726.7317);

    const struct {
        const char* time;
        const char* date;
        const char* latitude;
        const char* longitude;
        const char* settledTime;
        const char* settledDate;
        bool positioned;
    } cases[] = {
        {"256161", "451324", "4249.9655", "14726.7317", "", "000000", true},
        {".1", "290223", "9000.0000", "18000.0000", "", "000000", true},
        {"235959", "290224", "9000.0001", "14726.7317", "235959", "290224", false},
        {"235959", "290224", "4260.0000", "14726.7317", "235959", "290224", false},
        {"235959", "290224", "-3540.8742", "14726.7317", "235959", "290224", false},
        {"235959", "290224", "3540.8742", "18000.5000", "235959", "290224", false},
        {"235959", "290224", "3540.8742", "1e3", "235959", "290224", false},
        {"12", "", "", "", "", "", false},
        {"235959", "290224", "003540.8742", "0013944.7259", "235959", "290224", true},
        {"235959", "290224", "3540.8742", "100000.0", "235959", "290224", false},
    };
    for (const auto& c : cases) {
        TrackPoint q;
        q.GgaTime = q.RmcTime = c.time;
        q.RmcDate = c.date;
        q.GgaLatitude = q.RmcLatitude = c.latitude;
        q.GgaLongitude = q.RmcLongitude = c.longitude;
        SettleRecord(q);
        EXPECT_EQ(q.RmcTime, c.settledTime) << c.time;
        EXPECT_EQ(q.GgaTime, c.settledTime) << c.time;
        EXPECT_EQ(q.RmcDate, c.settledDate) << c.date;
        EXPECT_EQ(!q.RmcLatitude.empty() && !q.RmcLongitude.empty() && !q.GgaLongitude.empty(), c.positioned)
            << c.latitude << " " << c.longitude;
        EXPECT_EQ(q.Position.known && q.GgaPosition.known, c.positioned) << c.latitude << " " << c.longitude;
    }
}

TrackPoint Fix(const char* time, const char* date, const char* latitude, const char* longitude,
               const char* speed = "") {
    TrackPoint p;
    p.GgaId = "$GPGGA";
    p.RmcTime = time;
    p.RmcDate = date;
    p.RmcLatitude = latitude;
    p.RmcNS = "N";
    p.RmcLongitude = longitude;
    p.RmcEW = "E";
    p.RmcSpeed = speed;
    ReadPositionTexts(p);
    ReadTimeTexts(p);
    return p;
}

// A coordinate of 0 degrees is no position to measure from: the record keeps
// the fallback and the next is measured from the one before it. The south
// and the west count in the distance.
TEST(OtherPrograms, SpeedsFromTheTrackAcrossZeroAndHemispheres) {
    TrackSpeed speed;
    const auto at = [](const char* time, const char* latitude, const char* ns, const char* longitude,
                       const char* ew) {
        TrackPoint p = Fix(time, "010524", latitude, longitude);
        p.RmcNS = ns;
        p.RmcEW = ew;
        return p;
    };
    struct {
        TrackPoint point;
        const char* speed;
    } track[] = {
        {at("120000", "3500.0000", "N", "13900.0000", "E"), "0"},
        {at("120010", "3500.0600", "N", "00000.0000", "E"), "0"},  // 0 degrees: not measured from
        {at("120020", "3500.0600", "N", "13900.0000", "E"), "10.781"},  // from the first
        {at("120030", "0000.0000", "S", "13900.0000", "E"), "0"},  // 0 degrees in the south too
        {at("120040", "3500.0600", "S", "13900.0000", "W"), "3100090.732"},  // across both
        {at("120050", "3500.0000", "S", "13900.0000", "W"), "21.563"},  // within the south-west
        {at("120100", "3500.0000", "N", "13900.0000", "W"), "1504430.623"},  // back north
        {at("120110", "3500.0600", "N", "13900.0000", "W"), "21.563"},  // within the north-west
    };
    for (const auto& [point, expected] : track) {
        TrackPoint p = point;
        speed.Fill(p, "0");
        EXPECT_EQ(p.RmcSpeed, expected) << point.RmcTime;
    }
}

TEST(OtherPrograms, SpeedsFromTheTrack) {
    TrackSpeed speed;
    struct {
        TrackPoint point;
        const char* speed;
    } track[] = {
        {Fix("120000", "010524", "3500.0000", "13900.0000"), "0"},  // nothing before it
        {Fix("120010", "010524", "3500.0600", "13900.0000"), "21.563"},  // 111 m in 10 s
        {Fix("120010", "010524", "3500.1200", "13900.0000"), "0"},  // no time passed
        {Fix("", "010524", "3500.1800", "13900.0000"), "0"},        // no time
        {Fix("120020.5", "010524", "3500.1200", "13900.0000", "7.5"), "7.5"},  // its own
        {Fix("120030.5", "", "", ""), ""},                           // no position, no speed read
        {Fix("000000.5", "020524", "3500.1800", "13900.0000"), "0.005"},  // 111 m in half a day: dates count
        {Fix("000001.5", "000000", "3500.1800", "13900.0600"), "177.422"},  // undated: 91 m in 1 s, times only
    };
    track[5].point.GgaId.clear();
    for (const auto& [point, expected] : track) {
        TrackPoint p = point;
        speed.Fill(p, "0");
        EXPECT_EQ(p.RmcSpeed, expected) << point.RmcTime;
    }
}

}  // namespace
}  // namespace geoplait
