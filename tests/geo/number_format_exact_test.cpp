// AppendFixed formats the usual magnitudes with integer arithmetic of its own
// and the rest with the library: both must agree with printf byte for byte,
// above all on the halfway cases where rounding decides the last digit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/text_fields.h"
#include "geo/number_format.h"

namespace geoplait {
namespace {

std::string Printf(double value, int precision, int width) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, "%*.*f", width, precision, value);
    return std::string(buffer, static_cast<size_t>(n));
}

void ExpectPrintf(double value, int precision, int width) {
    std::string out = "kept:";
    AppendFixed(out, value, precision, width);
    ASSERT_EQ(out, "kept:" + Printf(value, precision, width))
        << "%" << width << "." << precision << "f of " << value;
}

TEST(AppendFixedExact, HalfwayValuesRoundToEvenLikePrintf) {
    // Values whose exact binary expansion ends in a 5 right after the last
    // printed digit, and their neighbours one unit in the last place away.
    std::vector<double> values;
    for (int numerator = -1000; numerator <= 1000; ++numerator) {
        for (int power : {1, 2, 3, 4, 5, 6, 7, 8, 10, 20}) {
            const double v = std::ldexp(static_cast<double>(numerator), -power);
            values.push_back(v);
            values.push_back(std::nextafter(v, 1e9));
            values.push_back(std::nextafter(v, -1e9));
        }
    }
    for (double v : {0.5, 1.5, 2.5, 0.125, 0.375, 2.675, 1.005, 1.0000005, 9.9999995, 0.05, 0.25}) {
        values.push_back(v);
        values.push_back(-v);
    }
    for (int precision = 0; precision <= 9; ++precision) {
        for (double v : values) ExpectPrintf(v, precision, 0);
    }
}

TEST(AppendFixedExact, EveryMagnitudeAgreesWithPrintf) {
    std::mt19937_64 random(31337);
    std::vector<double> values = {
        0.0, -0.0, 1.0, -1.0, 9007199254740991.0, 9007199254740992.0, 9007199254740993.0,
        1e18, 1e19, 9.999999999e18, 1.8446744073709552e19, 1e-20, 1e-21, 3.5e-21,
        std::ldexp(1.0, -68), std::ldexp(1.0, -67), std::ldexp(1.0, -69),
        std::ldexp(1.0, 52), std::ldexp(1.0, 53), std::ldexp(1.0, 63), std::ldexp(1.0, 64),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::nan(""), -std::nan(""),
    };
    // Random bit patterns cover every exponent; scaled integers cover the
    // coordinates and distances the writers print.
    for (int i = 0; i < 10000; ++i) {
        uint64_t bits = random();
        double v = 0.0;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    for (int i = 0; i < 10000; ++i) {
        const double exponent = static_cast<double>(static_cast<int>(random() % 40) - 20);
        values.push_back(static_cast<double>(random() % 100000000) * std::pow(10.0, exponent) / 1e8);
    }
    for (int precision : {0, 1, 2, 4, 6, 9, 10, 17}) {
        for (int width : {0, 7}) {
            for (double v : values) ExpectPrintf(v, precision, width);
        }
    }
}

// FormatFixedText pads into the caller's room as printf pads; its exact path
// takes values of 2^-12 and up by one word of the product, smaller ones by
// two: both sides of that edge, halfway cases there, signs and zeros.
TEST(FormatFixedText, MatchesPrintfAcrossTheOneWordEdge) {
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 0.05, 0.005, 0.0005, 0.00025,
                                  139.7454505, 35.6587225, 353931.405, -1394444.025, 99.95, 9.995, 999999.5};
    for (int power = 8; power <= 16; ++power) {
        for (int numerator : {1, 3, 5, 7, 1023, 4095}) {
            const double v = std::ldexp(static_cast<double>(numerator), -power);
            for (double w : {v, std::nextafter(v, 1.0), std::nextafter(v, 0.0), -v}) values.push_back(w);
        }
    }
    std::mt19937_64 random(4242);
    for (int i = 0; i < 20000; ++i) {
        const double exponent = static_cast<double>(static_cast<int>(random() % 16) - 6);
        const double v = static_cast<double>(random() % 100000000) * std::pow(10.0, exponent) / 1e4;
        values.push_back(random() % 2 == 0 ? v : -v);
    }
    for (int precision = 0; precision <= 9; ++precision) {
        for (int width : {0, 1, 3, 7, 12}) {
            for (double v : values) {
                char got[kFixedTextSize];
                const std::string text(got, FormatFixedText(got, v, precision, width));
                ASSERT_EQ(text, Printf(v, precision, width)) << "%" << width << "." << precision << "f of " << v;
            }
        }
    }
}

TEST(AssignSixDigits, MatchesPercentZeroSixD) {
    const struct {
        long long value;
        const char* want;
    } cases[] = {
        {0, "000000"}, {5, "000005"}, {90000, "090000"}, {235959, "235959"},
        {1234567, "1234567"}, {-5, "-00005"}, {-123456, "-123456"},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        AssignSixDigits(out, c.value);
        EXPECT_EQ(out, c.want) << c.value;
    }
}

TEST(FormatClock, MatchesPrintfOfHoursMinutesSeconds) {
    std::vector<int32_t> values = {0, 1, 9, 10, 59, 60, 61, 3599, 3600, 3661, 35999, 36000, 359999,
                                   360000, -1, -9, -10, -59, -60, -3600, -3661, -360000,
                                   INT32_MAX, INT32_MIN, INT32_MIN + 1};
    std::mt19937 random(21);
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<int32_t>(random()));
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<int32_t>(random() % 2000000) - 1000000);
    for (int32_t v : values) {
        char want[64];
        const int n = std::snprintf(want, sizeof want, "%02d:%02d:%02d", v / 3600, v % 3600 / 60, v % 60);
        char got[kClockTextSize];
        ASSERT_EQ(std::string(got, FormatClock(got, v)), std::string(want, static_cast<size_t>(n))) << v;
    }
}

TEST(SplitFraction, IsModfBitForBit) {
    std::vector<double> values = {
        0.0, -0.0, 0.5, -0.5, 1.0, -1.0, -3.0, 3539.5158, -3539.5158, 35.395158, -0.000001,
        0x1p52 - 0.5, -(0x1p52 - 0.5), 0x1p52, -0x1p52, 0x1p53 + 2.0, 1e300, -1e300,
        std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::nan(""),
    };
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double v = 0.0;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
        const auto tenThousandths = static_cast<int64_t>(random() % 400000000) - 200000000;
        values.push_back(static_cast<double>(tenThousandths) / 10000.0);
    }
    for (double v : values) {
        double wantWhole = 0.0;
        const double wantFraction = std::modf(v, &wantWhole);
        double whole = 0.0;
        const double fraction = SplitFraction(v, whole);
        if (std::isnan(v)) {
            EXPECT_TRUE(std::isnan(fraction) && std::isnan(whole));
            continue;
        }
        EXPECT_EQ(std::bit_cast<uint64_t>(fraction), std::bit_cast<uint64_t>(wantFraction)) << v;
        EXPECT_EQ(std::bit_cast<uint64_t>(whole), std::bit_cast<uint64_t>(wantWhole)) << v;
    }
}

TEST(FormatFixedText, WritesPrintfTextAndPaddingAtEveryWidthAroundItsShortCopy) {
    // Texts and widths on both sides of the 32 bytes that go out as one copy:
    // the length returned is the text's, and the bytes after it are the
    // caller's to write over.
    const double values[] = {0.0, -0.0, 1.5, -35.658599, 139.745433, 123456789012345678.0,
                             -1234567890123456789.0, 1e300, std::nan("")};
    for (const double v : values) {
        for (const int precision : {0, 2, 6, 9, 12}) {
            for (const int width : {0, 1, 8, 31, 32, 33, 64}) {
                char out[kFixedTextSize];
                std::memset(out, '#', sizeof out);
                const size_t n = FormatFixedText(out, v, precision, width);
                EXPECT_EQ(std::string(out, n), Printf(v, precision, width))
                    << "%" << width << "." << precision << "f of " << v;
            }
        }
    }
}

// The number a text made by AssignFixedRead reads as is NumberOf of the
// text, to the bit, where it gives one; the text is AssignFixed's.
TEST(AppendFixedExact, AFixedTextReadsAsTheNumberItWasSaidToBe) {
    std::mt19937_64 random(20261208);
    std::vector<double> values = {0.0, -0.0, 0.0005, -0.0005, 0.0004999, 7.908, 1e-9, -1e-9, 4.064111 * 3600.0 / 1852.0,
                                  9007199254740.991, 9007199254740.992, 9007199254740.993, 1e15, 1e17, -2.5e16,
                                  std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::ldexp(static_cast<double>(random() % 2000001) - 1000000.0, static_cast<int>(random() % 40) - 30));
    }
    int read = 0;
    for (const int precision : {0, 1, 3, 6, 9}) {
        for (const int width : {0, 1, 8}) {
            for (const double v : values) {
                std::string text;
                std::string expected;
                AssignFixed(expected, v, precision, width);
                double number = 1234.5;
                if (AssignFixedRead(text, v, precision, width, number)) {
                    ++read;
                    ASSERT_EQ(std::bit_cast<uint64_t>(number), std::bit_cast<uint64_t>(NumberOf(text)))
                        << text << " of " << v;
                }
                ASSERT_EQ(text, expected) << v;
            }
        }
    }
    EXPECT_GT(read, 200000);
}

}  // namespace
}  // namespace geoplait
