// NMEA output: sentences rebuilt with checksums computed here on their own.
// The pass-through run is checked by the whole-program cases nmea_out_*.
#include "writers/nmea_writer.h"

#include <cstdio>
#include <functional>

#include "readers/nmea_reader.h"
#include "writer_fixture.h"

namespace geoplait::test {
namespace {

// The body with its NMEA checksum: XOR of every byte between "$" and "*".
std::string Sealed(const std::string& body) {
    int x = 0;
    for (size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", x);
    return body + tail;
}

// The textbook pair with its published checksums.
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

TEST(NmeaSentences, RebuiltWithFreshChecksums) {
    struct Case {
        const char* name;
        int gga, rmc, tokyo;
        std::function<void(TrackPoint&)> change;
        std::string expected;
    };
    const auto none = [](TrackPoint&) {};
    const Case cases[] = {
        {"textbook pair", 1, 1, 0, none, kGga + "\r\n" + kRmc + "\r\n"},
        {"GGA only", 1, 0, 0, none, kGga + "\r\n"},
        {"RMC only", 0, 1, 0, none, kRmc + "\r\n"},
        {"neither", 0, 0, 0, none, ""},
        {"RMC direction loses its checksum", 0, 1, 0,
         [](TrackPoint& p) { p.RmcMagVar = ""; p.RmcMagVarEW = "E*00"; },
         Sealed("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,E") + "\r\n"},
        // 35.0 / 139.0 (Tokyo) is 35.003286 / 138.996886 (WGS 84).
        {"datum shift on both", 1, 1, 1,
         [](TrackPoint& p) {
             p.GgaLatitude = p.RmcLatitude = "3500.0000";
             p.GgaLongitude = p.RmcLongitude = "13900.0000";
         },
         Sealed("$GPGGA,123519,3500.1972,N,13859.8132,E,1,08,0.9,545.4,M,46.9,M,,") + "\r\n" +
             Sealed("$GPRMC,123519,A,3500.1972,N,13859.8132,E,022.4,084.4,230394,003.1,W") + "\r\n"},
    };
    for (const Case& c : cases) {
        WriterFixture f;
        f.s().Create_GPGGA = c.gga;
        f.s().Create_GPRMC = c.rmc;
        f.s().Tokyo2WGS84 = c.tokyo;
        ParseGga(kGga, f.ctx.point);
        ParseRmc(kRmc, f.ctx.point);
        c.change(f.ctx.point);
        EXPECT_EQ(f.WrittenLine(WriteNmeaSentences), c.expected) << c.name;
    }
}

TEST(NmeaSentences, OldChecksumIsCutByCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"0000*5F", "0000"}, {"*47", ""}, {"*4", ""}, {"12", ""}, {"", ""},
        {"ab\xE2\x82\xAC*12", "ab\xE2\x82\xAC"},  // a multi-byte character before the cut
        {"\xE2\x82\xAC" "12", ""},                // three characters, five bytes
        {"7\xC3\xA9\xC3\xA9\xC3\xA9", "7"},       // the three cut characters are multi-byte
    };
    for (const auto& [station, written] : cases) {
        WriterFixture f;
        f.s().Create_GPGGA = 1;
        ParseGga(kGga, f.ctx.point);
        f.ctx.point.GgaDgpsStation = station;
        EXPECT_EQ(f.WrittenLine(WriteNmeaSentences),
                  Sealed(std::string("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") + written) +
                      "\r\n")
            << station;
    }
}

}  // namespace
}  // namespace geoplait::test
