#include "geo/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace geoplait {
namespace {

std::string Printf(const char* format, double value) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, static_cast<size_t>(n));
}

struct Format {
    const char* printf;
    int precision;
    int width;
};

constexpr Format kFormats[] = {{"%7.6f", 6, 7}, {"%5.4f", 4, 5}, {"%3.2f", 2, 3},
                               {"%f", 6, 0},    {"%3.6f", 6, 3}, {"%12.1f", 1, 12}};

TEST(AssignFixed, MatchesPrintfByteForByte) {
    std::vector<double> values = {
        0.0, -0.0, 0.5, 1.5, 2.5, 0.125, 0.00005, 0.000005, 0.0000005, 35.6520566666,
        3539.1234, 353907.404, -353000.0, 139.99999949999, 1e15, 1e22, -1e300,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::nan(""),
    };
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> coordinates(-1400000.0, 1400000.0);
    for (int i = 0; i < 20000; ++i) values.push_back(coordinates(random));
    for (int i = 0; i < 2000; ++i) values.push_back(std::round(coordinates(random)) / 1000.0 + 0.0005);
    for (const Format& f : kFormats) {
        for (double v : values) {
            std::string out = "stale";
            AssignFixed(out, v, f.precision, f.width);
            ASSERT_EQ(out, Printf(f.printf, v)) << f.printf << " of " << v;
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

}  // namespace
}  // namespace geoplait
