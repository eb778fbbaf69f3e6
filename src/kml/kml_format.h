// Numbers written straight into a TextWriter, byte for byte as the printf
// directives of the KML templates would write them, without going through
// printf (the writers run once or more per record).
#pragma once

#include <cstdint>

#include "engine/text_file.h"

namespace geoplait {

// printf("%<width>.<precision>f", value).
void WriteFixed(TextWriter& out, double value, int precision, int width = 0);
// printf("%d", value).
void WriteInt(TextWriter& out, int64_t value);
// printf("%02d", value).
void WriteTwoDigits(TextWriter& out, int64_t value);
// A duration in seconds as "%02d:%02d:%02d" of hours, minutes and seconds
// (C integer division: a negative duration shows negative parts).
void WriteDuration(TextWriter& out, int32_t seconds);

}  // namespace geoplait
