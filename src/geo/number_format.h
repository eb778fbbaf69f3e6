// Fixed-point formatting into an existing string without the C locale and
// without a temporary: the "%W.Pf" of printf, byte for byte.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace geoplait {

// out = printf("%<width>.<precision>f", value).
void AssignFixed(std::string& out, double value, int precision, int width);
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
size_t FormatClock(char* out, int32_t seconds);
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
