// Fixed-point formatting into an existing string without the C locale and
// without a temporary: the "%W.Pf" of printf, byte for byte.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace geoplait {

// out = printf("%<width>.<precision>f", value).
void AssignFixed(std::string& out, double value, int precision, int width);
// AssignFixed, and the number the text reads as (NumberOf) into `read`
// where the digits are exact (mostly): false where it is to be read back.
bool AssignFixedRead(std::string& out, double value, int precision, int width, double& read);
// Appends printf("%<width>.<precision>f", value).
void AppendFixed(std::string& out, double value, int precision, int width);
// Room enough for any text of FormatFixedText with a width up to 64.
inline constexpr size_t kFixedTextSize = 400;
// Writes printf("%<width>.<precision>f", value) to `out`, which has room for
// kFixedTextSize bytes, and returns its length (no NUL is written).
size_t FormatFixedText(char* out, double value, int precision, int width);
// Writes printf("%02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60,
// seconds % 60) to `out` (room for kClockTextSize bytes; C division, so a
// negative count shows negative parts) and returns its length.
inline constexpr size_t kClockTextSize = 32;
// The digits "00" to "99", two bytes each.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
// FormatClock of the durations it does not write inline.
size_t FormatClockSlow(char* out, int32_t seconds);
inline size_t FormatClock(char* out, int32_t seconds) {
    if (seconds >= 0 && seconds < 100 * 3600) {
        // The usual durations: two digits for each part.
        const auto s = static_cast<uint32_t>(seconds);
        std::memcpy(out, kDigitPairs + 2 * (s / 3600), 2);
        out[2] = ':';
        std::memcpy(out + 3, kDigitPairs + 2 * (s / 60 % 60), 2);
        out[5] = ':';
        std::memcpy(out + 6, kDigitPairs + 2 * (s % 60), 2);
        return 8;
    }
    return FormatClockSlow(out, seconds);
}
// out = printf("%06d", value) (wider when the value needs it).
void AssignSixDigits(std::string& out, long long value);

// std::modf, bit for bit (signs of zero included), without the library call
// for values below 2^52: returns the fraction and sets `whole`.
inline double SplitFraction(double x, double& whole) {
    if (!(std::fabs(x) < 0x1p52)) return std::modf(x, &whole);
    whole = std::copysign(static_cast<double>(static_cast<long long>(x)), x);
    return std::copysign(x - whole, x);
}

}  // namespace geoplait
