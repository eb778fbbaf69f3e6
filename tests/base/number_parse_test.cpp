// NumberOf and IntegerOf read plain decimals in a single pass of their own and
// hand everything else to the library's parser: both ways must give exactly
// what the library gives, bit for bit, whatever the text.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/text_fields.h"

namespace geoplait {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal number as the library reads it: blanks, a sign, then
// from_chars in general format; inf, nan and hexadecimal read as 0, a value out
// of range as 0 or the largest double. Only texts in range are compared
// against it here.
bool LibraryNumber(const std::string& text, double& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    value = 0.0;
    if (i >= text.size()) return true;
    const bool digit = text[i] >= '0' && text[i] <= '9';
    const bool pointDigit = text[i] == '.' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
    if (!digit && !pointDigit) return true;
    const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                           std::chars_format::general);
    (void)ptr;
    if (ec != std::errc()) return false;
    if (negative) value = -value;
    return true;
}

void ExpectSameNumber(const std::string& text) {
    double want = 0.0;
    if (!LibraryNumber(text, want)) return;
    const double got = NumberOf(text);
    EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
        << "'" << text << "': " << got << " vs " << want;
}

TEST(NumberOfFastPath, TrickyTextsAgreeWithTheLibrary) {
    const std::vector<std::string> texts = {
        "0", "-0", "+0", "-0.0", "0.", ".0", ".5", "5.", "-.5", "+5.", " \t5", "\v\f-5",
        "1e", "1e+", "1E-", "1e5", "1E5", "1.5e3", "1.5e-3", ".5e1", "5.e1", "1e0x",
        "1.2.3", "1..2", "12,34", "12 34", "12abc", "9-", "1+2", "--1", "+-1", "- 1",
        "3539.5158", "13944.7270", "0000003539.5158", "3539.51580000000", "043.0", "004.5",
        "42.5*57", "39.4,M", "0.1", "0.2", "0.3", "0.7", "1.1", "2.675", "1.005",
        "9007199254740992", "9007199254740993", "9007199254740991.5", "900719925474099.3",
        "18446744073709551615", "18446744073709551616", "9999999999999999999",
        "99999999999999999999", "1234567890123456789", "1234567890.123456789",
        "0.0000000000000000000001", "0.000000000000000000001", "0.00000000000000000001",
        "1.0000000000000000000001", "123456789012345678901234567890",
        "0.1234567890123456789012", "4.9406564584124654e-324", "2.2250738585072014e-308",
        "1.7976931348623157e308", "0." + std::string(30, '0') + "5", std::string(40, '9'),
        "1" + std::string(22, '0'), "1." + std::string(22, '0'), "0." + std::string(22, '9'),
        "1" + std::string(18, '0') + ".5", std::string("7\0" "8", 3), "5\x80", "\xC3\xA9" "5",
        // Bytes just outside '0'..'9' at every place of a group of four or eight.
        "1234:678", "1234567:", ":2345678", "12345/78", "1234567/", "1234567\xB9", "123\x7F" "5678",
        "12.4:678", "1.345678:", "9999.99990000:", "12345678.1234567/", "123456789012345678",
        "0.12345678", "0.1234567", "1234.5678", "12345678.87654321", "1234.567\xB8",
        "11111111111111111111", "99999999.99999999999", std::string("1234\0" "678", 8),
    };
    for (const std::string& text : texts) ExpectSameNumber(text);
}

TEST(NumberOfFastPath, RandomDecimalsAgreeWithTheLibrary) {
    // Digit strings of 1 to 25 digits with the point anywhere, some with an
    // exponent, some with a trailing non-digit.
    std::mt19937_64 random(2024);
    for (int n = 0; n < 200000; ++n) {
        std::string text;
        if (random() % 4 == 0) text += (random() % 2) ? "-" : "+";
        const size_t digits = 1 + random() % 25;
        const size_t point = random() % (digits + 2);
        for (size_t i = 0; i < digits; ++i) {
            if (i == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (point == digits) text += '.';
        if (random() % 8 == 0) {
            text += 'e';
            text += std::to_string(static_cast<int>(random() % 40) - 20);
        }
        if (random() % 8 == 0) text += ",N";
        ExpectSameNumber(text);
    }
    // Coordinates and values as receivers write them.
    for (int n = 0; n < 200000; ++n) {
        char buffer[32];
        const auto length = std::snprintf(buffer, sizeof buffer, "%0*.*f", static_cast<int>(random() % 12),
                                          static_cast<int>(random() % 9),
                                          static_cast<double>(random() % 1800000000) / 10000.0);
        ExpectSameNumber(std::string(buffer, static_cast<size_t>(length)));
    }
}

int32_t LibraryInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return 0;
    uint64_t magnitude = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), magnitude);
    (void)ptr;
    constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
    if (ec == std::errc::result_out_of_range || magnitude > kMaxPositive + 1) magnitude = kMaxPositive + 1;
    if (negative) return magnitude > kMaxPositive ? std::numeric_limits<int32_t>::min()
                                                  : -static_cast<int32_t>(magnitude);
    return magnitude > kMaxPositive ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

TEST(IntegerOfFastPath, AgreesWithTheLibrary) {
    std::vector<std::string> texts = {
        "0", "-0", "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295",
        "4294967296", "4294967297", "21474836470", "18446744073709551615",
        "18446744073709551616", "-18446744073709551616", std::string(30, '0') + "7",
        std::string(30, '9'), "000002147483648", "12.9", "7e3", " 42", "+0042x",
    };
    std::mt19937_64 random(99);
    for (int n = 0; n < 100000; ++n) {
        std::string text = (random() % 3 == 0) ? "-" : "";
        const size_t digits = 1 + random() % 24;
        for (size_t i = 0; i < digits; ++i) text += static_cast<char>('0' + random() % 10);
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(IntegerOf(text), LibraryInteger(text)) << "'" << text << "'";
    }
}

}  // namespace
}  // namespace geoplait
