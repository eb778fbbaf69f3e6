// Number formatting on the hot path: exact integer arithmetic for the usual
// sizes, std::to_chars for the rest, into a stack buffer, padded the way
// printf pads, then appended to the caller's string.
#include "geo/number_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>

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

// value * 10^precision rounded to the nearest integer, ties to even, as
// printf rounds the exact value, of a value that is mantissa / 2^shift
// exactly (shift 1 to 120): the product mantissa * 10^precision is exact in
// 128 bits. False when the result is 10^19 or more. The usual magnitudes
// (2^-12 and up) shift by less than 64, so the quotient is the product's
// two words shifted and the rest lies in its low word alone.
bool ScaledRounded(uint64_t mantissa, int shift, uint64_t power, uint64_t& scaled) {
    constexpr uint64_t kLimit = 10000000000000000000ULL;
    const u128 product = static_cast<u128>(mantissa) * power;
    if (shift < 64) {
        const auto low = static_cast<uint64_t>(product);
        const auto high = static_cast<uint64_t>(product >> 64);
        if ((high >> shift) != 0) return false;
        uint64_t quotient = (high << (64 - shift)) | (low >> shift);
        if (quotient >= kLimit) return false;
        const uint64_t rest = low & ((uint64_t{1} << shift) - 1);
        const uint64_t half = uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (quotient & 1) != 0)) ++quotient;
        if (quotient >= kLimit) return false;
        scaled = quotient;
        return true;
    }
    u128 quotient = product >> shift;
    const u128 rest = product - (quotient << shift);
    const u128 half = static_cast<u128>(1) << (shift - 1);
    if (rest > half || (rest == half && (quotient & 1) != 0)) ++quotient;
    if (quotient >= static_cast<u128>(kLimit)) return false;
    scaled = static_cast<uint64_t>(quotient);
    return true;
}

// The digits of `scaled` (value * 10^Precision) ending at `end`, from the
// right: the decimals, the point, then the integer part (at least "0"); the
// number of decimals is known when the program is compiled, so their pairs
// come without a loop and every division is by a constant. Returns the start.
template <int Precision>
char* PutScaledDigits(char* end, uint64_t scaled) {
    char* p = end;
    if constexpr (Precision > 0) {
        constexpr uint64_t kUnit = kPowersOfTen[Precision];
        uint64_t decimals = scaled % kUnit;
        scaled /= kUnit;
#pragma GCC unroll 8
        for (int left = Precision; left >= 2; left -= 2) {
            p -= 2;
            std::memcpy(p, kDigitPairs + 2 * (decimals % 100), 2);
            decimals /= 100;
        }
        if constexpr (Precision % 2 == 1) *--p = static_cast<char>('0' + decimals);
        *--p = '.';
    }
    while (scaled >= 100) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (scaled % 100), 2);
        scaled /= 100;
    }
    if (scaled >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * scaled, 2);
    } else {
        *--p = static_cast<char>('0' + scaled);
    }
    return p;
}

template <size_t... P>
constexpr auto ScaledDigitWriters(std::index_sequence<P...>) {
    return std::array<char* (*)(char*, uint64_t), sizeof...(P)>{&PutScaledDigits<static_cast<int>(P)>...};
}

// PutScaledDigits of each precision up to kFastPrecisionLimit.
constexpr auto kScaledDigitWriters = ScaledDigitWriters(std::make_index_sequence<kFastPrecisionLimit + 1>());

// "%.<precision>f" of a double of moderate size without the general
// algorithm: the value is m * 2^e exactly, so value * 10^precision is
// m * 10^precision / 2^-e, which 128-bit integers hold exactly (ScaledRounded).
// Writes the text to the end of `buffer` (kBufferSize bytes); an empty view
// when the value is out of this path's reach.
std::string_view FormatFixedExact(char* buffer, double value, int precision, uint64_t* scaledOut = nullptr) {
    if (precision < 0 || precision > kFastPrecisionLimit) return {};
    const auto bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    uint64_t scaled = 0;  // value * 10^precision, rounded
    if (biased == 0) {
        if (fraction != 0) return {};  // subnormal
    } else {
        const int shift = 1075 - biased;  // value = mantissa / 2^shift
        if (shift <= 0 || shift > 120) return {};
        const uint64_t mantissa = fraction | (uint64_t{1} << 52);
        if (!ScaledRounded(mantissa, shift, kPowersOfTen[precision], scaled)) return {};
    }
    if (scaledOut != nullptr) *scaledOut = scaled;
    char* const end = buffer + kBufferSize;
    char* p = kScaledDigitWriters[static_cast<size_t>(precision)](end, scaled);
    if (negative) *--p = '-';
    return std::string_view(p, static_cast<size_t>(end - p));
}

// printf("%.<precision>f", value) somewhere in `buffer` (kBufferSize bytes).
std::string_view FormatFixed(char* buffer, double value, int precision) {
    if (const std::string_view text = FormatFixedExact(buffer, value, precision); !text.empty()) {
        return text;
    }
    if (std::isnan(value)) {
        // printf writes "nan" or "-nan"; to_chars agrees, keep it explicit.
        return std::signbit(value) ? "-nan" : "nan";
    }
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + kBufferSize, value, std::chars_format::fixed, precision);
    if (ec != std::errc()) return {};
    return std::string_view(buffer, static_cast<size_t>(ptr - buffer));
}

}  // namespace

size_t FormatFixedText(char* out, double value, int precision, int width) {
    // The exact path writes its text to the end of the buffer's first
    // kBufferSize bytes; the blank tail after them lets a short text go out
    // as one copy of a fixed size, its padding as one fill (no library calls
    // for a few bytes): `out` has room for kFixedTextSize bytes, and what lies
    // past the text is left for the caller to write over.
    constexpr size_t kWholeCopy = 32;
    static_assert(2 * kWholeCopy <= kFixedTextSize);
    char buffer[kBufferSize + kWholeCopy];
    std::memset(buffer + kBufferSize, 0, kWholeCopy);
    if (const std::string_view exact = FormatFixedExact(buffer, value, precision);
        !exact.empty() && exact.size() <= kWholeCopy && width <= static_cast<int>(kWholeCopy)) {
        const size_t pad = width > 0 && exact.size() < static_cast<size_t>(width)
                               ? static_cast<size_t>(width) - exact.size()
                               : 0;
        std::memset(out, ' ', kWholeCopy);
        std::memcpy(out + pad, exact.data(), kWholeCopy);
        return pad + exact.size();
    }
    const std::string_view text = FormatFixed(buffer, value, precision);
    size_t pad = 0;
    if (width > 0 && text.size() < static_cast<size_t>(width)) pad = static_cast<size_t>(width) - text.size();
    if (pad + text.size() > kFixedTextSize) return 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, text.data(), text.size());
    return pad + text.size();
}

void AppendFixed(std::string& out, double value, int precision, int width) {
    char buffer[kBufferSize];
    const std::string_view text = FormatFixed(buffer, value, precision);
    if (width > 0 && text.size() < static_cast<size_t>(width)) {
        out.append(static_cast<size_t>(width) - text.size(), ' ');
    }
    out.append(text);
}

bool AssignFixedRead(std::string& out, double value, int precision, int width, double& read) {
    char buffer[kBufferSize];
    uint64_t scaled = 0;
    const std::string_view exact = FormatFixedExact(buffer, value, precision, &scaled);
    if (exact.empty() || scaled > (uint64_t{1} << 53) || (width > 0 && exact.size() < static_cast<size_t>(width))) {
        AssignFixed(out, value, precision, width);
        return false;
    }
    out.assign(exact);
    // As a plain decimal reads: its digits as an integer over the power of
    // ten of its decimals, one rounding, then the sign.
    read = static_cast<double>(scaled) / static_cast<double>(kPowersOfTen[precision]);
    if (std::signbit(value)) read = -read;
    return true;
}

void AssignFixed(std::string& out, double value, int precision, int width) {
    char buffer[kBufferSize];
    const std::string_view text = FormatFixed(buffer, value, precision);
    if (width > 0 && text.size() < static_cast<size_t>(width)) {
        out.assign(static_cast<size_t>(width) - text.size(), ' ');
        out.append(text);
    } else {
        out.assign(text);
    }
}

size_t FormatClockSlow(char* out, int32_t seconds) {
    const int32_t parts[3] = {seconds / 3600, seconds % 3600 / 60, seconds % 60};
    char* p = out;
    for (int32_t part : parts) {
        if (p != out) *p++ = ':';
        // "%02d": one digit gets a leading zero; a sign counts towards the width.
        if (part >= 0 && part < 10) *p++ = '0';
        p = std::to_chars(p, out + kClockTextSize, part).ptr;
    }
    return static_cast<size_t>(p - out);
}

void AssignSixDigits(std::string& out, long long value) {
    if (value >= 0 && value <= 999999) {
        // The usual time of day: exactly six digits.
        auto v = static_cast<unsigned>(value);
        char six[6];
        for (size_t i = 6; i > 0; i -= 2) {
            std::memcpy(six + i - 2, kDigitPairs + 2 * (v % 100), 2);
            v /= 100;
        }
        out.assign(six, sizeof six);
        return;
    }
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
