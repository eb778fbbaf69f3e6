// Where a photo placemark stands: the sign of each coordinate from the
// photo's own hemisphere letter, else from the default hemisphere decoded
// when the run starts; an offset that carries a position over the equator
// turns its sign.
#include "photo/photo_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace geoplait::test {
namespace {

PhotoEntry PhotoAt(char latitudeLetter, char longitudeLetter) {
    PhotoEntry photo;
    photo.LatitudeLetter = latitudeLetter;
    photo.Latitude = "353000.000000";  // 35° 30' 00"
    photo.LongitudeLetter = longitudeLetter;
    photo.Longitude = "1394500.000000";  // 139° 45' 00"
    photo.Altitude = "12.3";
    return photo;
}

TEST(PlacemarkPosition, SignsFromTheLettersElseTheDefaultHemisphere) {
    struct Case {
        char latitudeLetter, longitudeLetter;
        const char* defaultNs;
        const char* defaultEw;
        char latitudeSign, longitudeSign;
    };
    const Case cases[] = {
        {'N', 'E', "S", "W", '+', '+'},  // the photo's own letters win
        {'S', 'W', "N", "E", '-', '-'},
        {' ', ' ', "N", "E", '+', '+'},  // no letters: the defaults
        {' ', ' ', "S", "W", '-', '-'},
        {'*', '*', "S", "E", '-', '+'},
        {' ', ' ', "", "X", ' ', ' '},   // a default that is no hemisphere: no sign
        {'X', 'N', "S", "W", '-', '-'},  // a letter of the other axis is none
    };
    const ConvertSettings s;
    for (const Case& c : cases) {
        const PhotoPosition p = PlacemarkPosition(s, DefaultHemisphereSigns(c.defaultNs, c.defaultEw),
                                                  PhotoAt(c.latitudeLetter, c.longitudeLetter));
        const std::string what = std::string(1, c.latitudeLetter) + c.longitudeLetter + c.defaultNs + c.defaultEw;
        EXPECT_EQ(p.latitudeSign, c.latitudeSign) << what;
        EXPECT_EQ(p.longitudeSign, c.longitudeSign) << what;
        EXPECT_EQ(p.latitude, "35.500000") << what;
        EXPECT_EQ(p.longitude, "139.750000") << what;
        EXPECT_EQ(p.altitude, "12.30") << what;
    }
}

TEST(PlacemarkPosition, AnOffsetOverTheEquatorTurnsTheSign) {
    ConvertSettings s;
    s.OffNS = "360000";  // 36° 00' 00" south: 35.5 N becomes 0.5 S
    s.OffAltitude = "-20";
    const PhotoPosition p = PlacemarkPosition(s, DefaultHemisphereSigns("N", "E"), PhotoAt('N', 'E'));
    EXPECT_EQ(p.latitudeSign, '-');
    EXPECT_EQ(p.latitude, "0.500000");
    EXPECT_EQ(p.longitudeSign, '+');
    EXPECT_EQ(p.altitude, "-7.70");
}

}  // namespace
}  // namespace geoplait::test
