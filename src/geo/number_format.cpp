// Number formatting on the hot path: exact integer arithmetic for the usual
// sizes, std::to_chars for the rest, into a stack buffer, padded the way
// printf pads, then appended to the caller's string.
#include "geo/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace geoplait {

namespace {

// Enough for "%.6f" of the largest double (309 digits) with sign and decimals.
constexpr size_t kBufferSize = 400;

constexpr uint64_t kPowersOfTen[] = {
    1ULL,          10ULL,          100ULL,          1000ULL,          10000ULL,
    100000ULL,     1000000ULL,     10000000ULL,     100000000ULL,     1000000000ULL,
};
constexpr int kFastPrecisionLimit = 9;

__extension__ typedef unsigned __int128 u128;  // GCC and Clang on 64-bit targets

// "%.<precision>f" of a double of moderate size without the general
// algorithm: the value is m * 2^e exactly, so value * 10^precision is
// m * 10^precision / 2^-e, which 128-bit integers hold exactly; it is rounded
// to the nearest integer, ties to even, as printf rounds the exact value.
// Returns 0 (nothing written) when the value is out of this path's reach.
size_t FormatFixedExact(char* buffer, double value, int precision) {
    if (precision < 0 || precision > kFastPrecisionLimit) return 0;
    const auto bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    uint64_t scaled = 0;  // value * 10^precision, rounded
    if (biased == 0) {
        if (fraction != 0) return 0;  // subnormal
    } else {
        const int shift = 1075 - biased;  // value = mantissa / 2^shift
        if (shift <= 0 || shift > 120) return 0;
        const uint64_t mantissa = fraction | (uint64_t{1} << 52);
        const u128 product = static_cast<u128>(mantissa) * kPowersOfTen[precision];
        u128 quotient = product >> shift;
        const u128 rest = product - (quotient << shift);
        const u128 half = static_cast<u128>(1) << (shift - 1);
        if (rest > half || (rest == half && (quotient & 1) != 0)) ++quotient;
        if (quotient >= static_cast<u128>(10000000000000000000ULL)) return 0;
        scaled = static_cast<uint64_t>(quotient);
    }
    char* out = buffer;
    if (negative) *out++ = '-';
    const uint64_t unit = kPowersOfTen[precision];
    out = std::to_chars(out, out + 24, scaled / unit).ptr;
    if (precision > 0) {
        *out++ = '.';
        uint64_t decimals = scaled % unit;
        for (int i = precision; i-- > 0;) {
            out[i] = static_cast<char>('0' + decimals % 10);
            decimals /= 10;
        }
        out += precision;
    }
    return static_cast<size_t>(out - buffer);
}

size_t FormatFixed(char* buffer, double value, int precision) {
    if (const size_t n = FormatFixedExact(buffer, value, precision); n > 0) return n;
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

size_t FormatFixedText(char* out, double value, int precision, int width) {
    char buffer[kBufferSize];
    const size_t n = FormatFixed(buffer, value, precision);
    size_t pad = 0;
    if (width > 0 && n < static_cast<size_t>(width)) pad = static_cast<size_t>(width) - n;
    if (pad + n > kFixedTextSize) return 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, buffer, n);
    return pad + n;
}

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
