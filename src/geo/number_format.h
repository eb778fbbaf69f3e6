// Fixed-point formatting into an existing string without the C locale and
// without a temporary: the "%W.Pf" of printf, byte for byte.
#pragma once

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
// out = printf("%06d", value) (wider when the value needs it).
void AssignSixDigits(std::string& out, long long value);

}  // namespace geoplait
