// Fixed-point formatting into an existing string without the C locale and
// without a temporary: the "%W.Pf" of printf, byte for byte.
#pragma once

#include <string>

namespace geoplait {

// out = printf("%<width>.<precision>f", value).
void AssignFixed(std::string& out, double value, int precision, int width);
// Appends printf("%<width>.<precision>f", value).
void AppendFixed(std::string& out, double value, int precision, int width);
// out = printf("%06d", value) (wider when the value needs it).
void AssignSixDigits(std::string& out, long long value);

}  // namespace geoplait
