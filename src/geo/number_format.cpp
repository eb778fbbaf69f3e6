// Number formatting on the hot path: std::to_chars into a stack buffer, padded
// the way printf pads, then appended to the caller's string.
#include "geo/number_format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace geoplait {

namespace {

// Enough for "%.6f" of the largest double (309 digits) with sign and decimals.
constexpr size_t kBufferSize = 400;

size_t FormatFixed(char* buffer, double value, int precision) {
    if (std::isnan(value)) {
        // printf writes "nan" or "-nan"; to_chars agrees, keep it explicit.
        const char* text = std::signbit(value) ? "-nan" : "nan";
        size_t n = 0;
        while (text[n] != '\0') {
            buffer[n] = text[n];
            ++n;
        }
        return n;
    }
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + kBufferSize, value, std::chars_format::fixed, precision);
    if (ec != std::errc()) return 0;
    return static_cast<size_t>(ptr - buffer);
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision, int width) {
    char buffer[kBufferSize];
    const size_t n = FormatFixed(buffer, value, precision);
    if (width > 0 && n < static_cast<size_t>(width)) out.append(static_cast<size_t>(width) - n, ' ');
    out.append(buffer, n);
}

void AssignFixed(std::string& out, double value, int precision, int width) {
    out.clear();
    AppendFixed(out, value, precision, width);
}

void AssignSixDigits(std::string& out, long long value) {
    char digits[24];
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const auto [ptr, ec] = std::to_chars(digits, digits + sizeof digits, magnitude);
    (void)ec;
    const size_t n = static_cast<size_t>(ptr - digits);
    // "%06lld": the sign counts towards the width of six.
    const size_t width = value < 0 ? 5 : 6;
    out.clear();
    if (value < 0) out.push_back('-');
    if (n < width) out.append(width - n, '0');
    out.append(digits, n);
}

}  // namespace geoplait
