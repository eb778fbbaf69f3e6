// NmeaOfDegrees and RoundedAsPrinted: a position read as degrees takes the
// value that printing it as ddmm.mmmm ("%5.4f") and reading the text back has
// always given, bit for bit, at the edges of a minute, a degree and a half.
#include "geo/coordinates.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "base/text_fields.h"
#include "geo/number_format.h"

namespace geoplait {
namespace {

// The text path: "%.<decimals>f" and the number of the text.
double PrintedAndRead(double x, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return NumberOf(text);
}

// The NMEA text a reader of degrees made of degrees before it kept their
// value: the minutes printed with four decimals, 60 of them carried.
std::string NmeaText(double degrees) {
    double whole = 0.0;
    const double minutes = SplitFraction(degrees, whole) * 60.0;
    const bool carry = std::fabs(minutes) >= 60.0 - 0.5 / std::pow(10.0, 4);
    char text[64];
    std::snprintf(text, sizeof text, "%5.4f",
                  carry ? (whole + std::copysign(1.0, degrees)) * 100.0 : whole * 100.0 + minutes);
    return text;
}

uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }

TEST(NmeaOfDegrees, EdgesOfTheMinuteAndTheDegree) {
    const struct {
        double degrees;
        double nmea;
        const char* name;
    } cases[] = {
        {35.0 + 59.99995 / 60.0, 3600.0, "59.99995 minutes carry into the next degree"},
        {35.0 + 59.99994 / 60.0, 3559.9999, "59.99994 minutes stay"},
        {59.9999997, 6000.0, "just below a whole degree"},
        {0.9999997, 100.0, "just below one degree"},
        {-0.9999997, -100.0, "the same in the south"},
        {-0.00001, -0.0006, "a hair south of the equator"},
        {-0.0000001, -0.0, "rounds to a negative zero"},
        {0.0000001, 0.0, "rounds to zero"},
        {180.0, 18000.0, "the antimeridian"},
        {-180.0, -18000.0, "the antimeridian, west"},
        {179.99999999, 18000.0, "carried to the antimeridian"},
        {90.0, 9000.0, "the pole"},
        {35.681234, 3540.874, "an ordinary latitude"},
    };
    for (const auto& c : cases) {
        const double got = NmeaOfDegrees(c.degrees);
        EXPECT_EQ(Bits(got), Bits(PrintedAndRead(c.nmea, 4))) << c.name << ": " << got;
        EXPECT_EQ(std::signbit(got), std::signbit(c.nmea)) << c.name;
    }
}

TEST(RoundedNmea, CarriesSixtyMinutesWithTheirSign) {
    const struct {
        double nmea;
        double rounded;
    } cases[] = {
        {4559.9999997, 4600.0},   {4559.99995, 4600.0},      {4559.99994, 4559.9999},
        {-59.9999997, -100.0},    {-0.9999997, -1.0},        {17959.9999997, 18000.0},
        {0.0000003, 0.0},         {-0.0000003, -0.0},        {3539.1234567, 3539.1235},
        {3539.12344, 3539.1234},  {4512.3456749, 4512.3457}, {0.0, 0.0},
    };
    for (const auto& c : cases) {
        const double got = RoundedNmea(c.nmea);
        EXPECT_EQ(Bits(got), Bits(PrintedAndRead(c.rounded, 4))) << c.nmea << ": " << got;
        EXPECT_EQ(std::signbit(got), std::signbit(c.rounded)) << c.nmea;
    }
}

TEST(ExactNmeaOfDegrees, KeepsEveryDigitOfTheDegrees) {
    EXPECT_DOUBLE_EQ(ExactNmeaOfDegrees(45.2057612483), 4512.345674898);
    EXPECT_DOUBLE_EQ(ExactNmeaOfDegrees(-0.0166666617), -0.999999702);
    EXPECT_DOUBLE_EQ(ExactNmeaOfDegrees(59.9999999950), 5959.9999997);
    EXPECT_EQ(ExactNmeaOfDegrees(180.0), 18000.0);
}

TEST(NmeaOfDegrees, WhatTheNmeaTextGaveBitForBit) {
    // Degrees everywhere on the globe, and degrees whose minutes lie a few
    // units in the last place from a half of the fourth decimal, where the
    // product of the scaling decides nothing and the text must.
    std::mt19937_64 random(24);
    std::uniform_real_distribution<double> anywhere(-180.0, 180.0);
    for (int n = 0; n < 200000; ++n) {
        double degrees = anywhere(random);
        if (n % 2 == 1) {
            const double units = std::floor(std::fabs(degrees) * 600000.0) + 0.5;  // a half of 1e-4 minute
            degrees = std::copysign(units / 600000.0, degrees);
            for (int k = static_cast<int>(random() % 5); k > 0; --k) degrees = std::nextafter(degrees, 0.0);
        }
        const double got = NmeaOfDegrees(degrees);
        const std::string text = NmeaText(degrees);
        ASSERT_EQ(Bits(got), Bits(NumberOf(text))) << degrees << " " << text;
        // Kept exact and rounded only when written: the same four decimals.
        ASSERT_EQ(Bits(RoundedNmea(ExactNmeaOfDegrees(degrees))), Bits(got)) << degrees;
    }
}

TEST(RoundedAsPrinted, HalvesAndZerosAsPrintfRoundsThem) {
    const double values[] = {0.5,     1.5,        2.5,   0.125, 0.375, -0.125, 1e-5,  -1e-5, 0.00005,
                             0.00015, 1234.56785, 9e15,  -0.0,  1e300, 3.0,    -2.5,  0.45,  8.345};
    for (double x : values) {
        for (int decimals : {0, 1, 2, 4, 6, 7}) {
            EXPECT_EQ(Bits(RoundedAsPrinted(x, decimals)), Bits(PrintedAndRead(x, decimals))) << x << " " << decimals;
        }
    }
    std::mt19937_64 random(7);
    for (int n = 0; n < 100000; ++n) {
        const int decimals = static_cast<int>(random() % 8);
        const double scale = std::pow(10.0, decimals);
        // Halves of the last decimal and their neighbours.
        double x = (static_cast<double>(random() % 20000000) - 10000000.0 + 0.5) / scale;
        for (int k = static_cast<int>(random() % 7); k > 0; --k) x = std::nextafter(x, random() % 2 ? 1e9 : -1e9);
        ASSERT_EQ(Bits(RoundedAsPrinted(x, decimals)), Bits(PrintedAndRead(x, decimals))) << x << " " << decimals;
    }
}

}  // namespace
}  // namespace geoplait
