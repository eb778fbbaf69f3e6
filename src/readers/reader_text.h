// Small pieces every non-NMEA reader shares: the NMEA fields a record gets
// when its input has none, signed decimal texts split into an unsigned value
// and a hemisphere letter, and picking or cutting whole UTF-8 characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/track_point.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The NMEA fields of a record built from a format that has none: "$GPGGA" and
// "$GPRMC", the hemisphere letters Default_NS and Default_WE on both sides,
// satellites "00", quality "1", dilution "0.0", units "M", geoid "0.0",
// status "A"; the differential and variation fields empty.
void FillNmeaDefaults(TrackPoint& point, const ConvertSettings& settings);

// A decimal-degree text that may carry a sign: the unsigned text goes to
// `value` and the letter (`positive` or `negative`) to both hemisphere fields.
// Blanks around the number are dropped, and anything after a blank inside
// it; a text that does not start like a number gives an empty value. At most
// `maxChars` characters are kept.
void TakeSignedDegrees(std::string_view text, size_t maxChars, char positive, char negative,
                       std::string& value, std::string& ggaLetter, std::string& rmcLetter);

// The text cut to its first `maxChars` characters (a UTF-8 sequence counts as
// one and is never split).
std::string_view FirstChars(std::string_view text, size_t maxChars);

// out = the characters of `text` at the given 0-based character positions,
// in that order; positions past the end give nothing.
void PickChars(std::string& out, std::string_view text, const unsigned char* positions, size_t count);

}  // namespace geoplait
