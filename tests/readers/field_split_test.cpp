// The sentence parsers find the end of a field eight bytes at a time: on
// random lines of every make-up, each field must be what the plain rule
// gives, field k being the text after the k-th "," of the line up to the next
// ",", CR or LF.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "readers/nmea_reader.h"

namespace geoplait {
namespace {

std::string ReferenceField(const std::string& line, int k) {
    size_t pos = 0;
    for (int seen = 0; seen < k; ++seen) {
        pos = line.find(',', pos);
        if (pos == std::string::npos) return "";
        ++pos;
    }
    const size_t end = line.find_first_of(",\r\n", pos);
    return line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

TEST(FieldSplit, RandomLinesFollowThePlainRule) {
    using P = TrackPoint;
    const std::string TrackPoint::*gga[] = {
        &P::GgaTime,       &P::GgaLatitude, &P::GgaNS,       &P::GgaLongitude,    &P::GgaEW,
        &P::GgaQuality,    &P::GgaSatellites, &P::GgaDilution, &P::GgaAltitude,  &P::GgaAltitudeUnit,
        &P::GgaGeoid,      &P::GgaGeoidUnit, &P::GgaDgpsAge,  &P::GgaDgpsStation,
    };
    // Separators and line ends among digits, letters and bytes of UTF-8
    // sequences, so that they fall on every place of an eight-byte word.
    const std::string alphabet = ",,,,\r\n0123456789.ANE*\xC3\xA9\x80\xFF\x2B\x2D\x0C\x0E";
    std::mt19937 random(42);
    for (int n = 0; n < 20000; ++n) {
        std::string line = "$GPGGA,";
        const size_t length = random() % 120;
        for (size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
        if (random() % 2 == 0) line += "\n";
        TrackPoint point;
        ParseGga(line, point);
        for (int k = 1; k <= 14; ++k) {
            const std::string want = ReferenceField(line, k);
            ASSERT_EQ(point.*gga[k - 1], want) << "field " << k << " of '" << line << "'";
        }
    }
}

}  // namespace
}  // namespace geoplait
