// Position placemarks: which records get one, and the text of one.
#include "kml/kml_placemark.h"

#include "kml_fixture.h"

namespace geoplait::test {
namespace {

class KmlPlacemarkTest : public KmlFixture {
protected:
    KmlPlacemarkTest() {
        // A record as ComputeDerived leaves it.
        TrackPoint& p = ctx.point;
        p.RmcNS = "N";
        p.RmcEW = "E";
        p.RmcLatitude = "3539.1234";
        p.RmcLongitude = "13944.7259";
        p.GgaAltitude = "12.5";
        p.LatitudeDeg = "35.652057";
        p.LongitudeDeg = "139.745432";
        p.LatitudeDms = "353907.40";
        p.LongitudeDms = "1394443.56";
        p.AltitudeText = "12.5";
        p.AltitudeValue = 12.5;
        p.LocalDate = "050321";
        p.LocalTime = "093000";
        p.LocalDateText = "2021/03/05";
        p.LocalTimeText = "09:30:00";
        p.ElapsedSec = 3725;
        p.IntervalSec = 65;
        p.TotalDistance = 1.852;
        p.IntervalDistance = 0.0123;
        p.Speed = 36.0;
        p.CourseValue = 123.4;
        p.SatCount = 8;
        p.DilutionValue = 1;
        ctx.store.RecordIndex = 4;
        ctx.store.WrittenCount = 2;
    }

    void AllLabels() {
        s().Label_No = s().Label_Km = s().Label_Speed = s().Label_Elapsed = 1;
        s().Label_Degrees = s().Label_Date = s().Label_Time = s().Label_IntervalTime = 1;
        s().Label_Altitude = s().Label_IntervalKm = s().Label_Satellites = s().Label_Tex = 1;
        s().Label_LatLon = 1;
    }

    void NoLabels() {
        s().Label_No = s().Label_Km = s().Label_Speed = s().Label_Elapsed = 0;
        s().Label_Degrees = s().Label_Date = s().Label_Time = s().Label_IntervalTime = 0;
        s().Label_Altitude = s().Label_IntervalKm = s().Label_Satellites = s().Label_Tex = 0;
        s().Label_LatLon = 0;
        s().Label_Description = 0;
    }

    std::string Placemark(std::string_view nameText = {}) {
        return Captured([&](KmlBuffer& out) { WritePositionPlacemark(out, ctx, nameText); });
    }

    // The " <name>...</name>" line of the placemark.
    std::string NameLine(std::string_view nameText = {}) {
        const std::string text = Placemark(nameText);
        const size_t begin = text.find(" <name>");
        if (begin == std::string::npos) return "(none)";
        return text.substr(begin, text.find('\n', begin) - begin);
    }
};

TEST_F(KmlPlacemarkTest, DefaultSettingsPlacemark) {
    EXPECT_EQ(Placemark(),
              "<Placemark>\n"
              " <name>(3) 01:02:05(1.85Km)[36.0Km/h]</name>\n"
              " <TimeStamp>\n"
              "  <when>2021-03-05T09:30:00Z</when>\n"
              " </TimeStamp>\n"
              " <description>\n"
              "Date=2021/03/05 09:30:00\n"
              "Elapsed(Total)=01:02:05\n"
              "Elapsed=00:01:05\n"
              "distance=1.85Km\n"
              "Speed=36.0Km/h\n"
              "Lat:353907.40(35.652057)\n"
              "Lon:1394443.56(139.745432)\n"
              "Degrees=123.4\n"
              " </description>\n"
              " <styleUrl>#style</styleUrl>\n"
              " <Point>\n"
              "  <altitudeMode>clampToGround</altitudeMode>\n"
              "  <coordinates>+139.745432,+35.652057,12.50</coordinates>\n"
              " </Point>\n"
              "</Placemark>\n"
              "\n");
}

TEST_F(KmlPlacemarkTest, NoLabelsNoStampNoDescription) {
    NoLabels();
    s().TimeStampPosition = 0;
    s().Altitude = 1;
    ctx.point.RmcNS = "S";
    ctx.point.RmcEW = "W";
    EXPECT_EQ(Placemark(),
              "<Placemark>\n"
              " <name></name>\n"
              " <styleUrl>#style</styleUrl>\n"
              " <Point>\n"
              "  <altitudeMode>absolute</altitudeMode>\n"
              "  <coordinates>-139.745432,-35.652057,12.50</coordinates>\n"
              " </Point>\n"
              "</Placemark>\n"
              "\n");
}

struct LabelCase {
    const char* meterMile;
    const char* name;
};

TEST_F(KmlPlacemarkTest, EveryLabelItemInOrderForEachUnitSystem) {
    AllLabels();
    s().ReNumber = 0;
    const LabelCase cases[] = {
        {"Km/Meter",
         " <name>(5) [2021/03/05] [09:30:00] 01:02:05[00:01:05](1.85Km)[36.0Km/h](12.5m)(8/1)[123.4]"
         "T&amp;1[0.012Km] Lat:353907.40 Lon:1394443.56</name>"},
        {"Nautical Mile/Feet",
         " <name>(5) [2021/03/05] [09:30:00] 01:02:05[00:01:05](1.85Mile(N))[36.0Mile(N)/h](41.0feet)(8/1)"
         "[123.4]T&amp;1[0.012Mile(N)] Lat:353907.40 Lon:1394443.56</name>"},
        {"Statute Mile/Feet",
         " <name>(5) [2021/03/05] [09:30:00] 01:02:05[00:01:05](1.85Mile(S))[36.0Mile(S)/h](41.0feet)(8/1)"
         "[123.4]T&amp;1[0.012Mile(S)] Lat:353907.40 Lon:1394443.56</name>"},
        // An unknown unit text writes no unit item; the altitude is then in feet.
        {"Furlong",
         " <name>(5) [2021/03/05] [09:30:00] 01:02:05[00:01:05](41.0feet)(8/1)[123.4]T&amp;1"
         " Lat:353907.40 Lon:1394443.56</name>"},
    };
    for (const LabelCase& c : cases) {
        s().MeterMile = c.meterMile;
        EXPECT_EQ(NameLine("T&1"), c.name) << c.meterMile;
    }
}

struct SingleLabelCase {
    int ConvertSettings::*flag;
    const char* name;
};

TEST_F(KmlPlacemarkTest, EachLabelItemAlone) {
    const SingleLabelCase cases[] = {
        {&ConvertSettings::Label_No, " <name>(3)</name>"},
        {&ConvertSettings::Label_Date, " <name> [2021/03/05]</name>"},
        {&ConvertSettings::Label_Time, " <name> [09:30:00]</name>"},
        {&ConvertSettings::Label_Elapsed, " <name> 01:02:05</name>"},
        {&ConvertSettings::Label_IntervalTime, " <name>[00:01:05]</name>"},
        {&ConvertSettings::Label_Km, " <name>(1.85Km)</name>"},
        {&ConvertSettings::Label_Speed, " <name>[36.0Km/h]</name>"},
        {&ConvertSettings::Label_Altitude, " <name>(12.5m)</name>"},
        {&ConvertSettings::Label_Satellites, " <name>(8/1)</name>"},
        {&ConvertSettings::Label_Degrees, " <name>[123.4]</name>"},
        {&ConvertSettings::Label_Tex, " <name>&lt;Stop &amp; Go&gt;</name>"},
        {&ConvertSettings::Label_IntervalKm, " <name>[0.012Km]</name>"},
        {&ConvertSettings::Label_LatLon, " <name> Lat:353907.40 Lon:1394443.56</name>"},
    };
    for (const SingleLabelCase& c : cases) {
        NoLabels();
        s().*c.flag = 1;
        EXPECT_EQ(NameLine("<Stop & Go>"), c.name);
    }
}

TEST_F(KmlPlacemarkTest, DateTextsFromTheInputAreEscaped) {
    NoLabels();
    s().TimeStampPosition = 0;
    s().Label_Date = 1;
    s().Label_Description = 1;
    ctx.point.LocalDateText = "20&1/<3/05";
    const std::string text = Placemark();
    EXPECT_NE(text.find(" <name> [20&amp;1/&lt;3/05]</name>\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Date=20&amp;1/&lt;3/05 09:30:00\n"), std::string::npos) << text;
}

TEST_F(KmlPlacemarkTest, NumberFollowsReNumber) {
    NoLabels();
    s().Label_No = 1;
    s().ReNumber = 1;
    EXPECT_EQ(NameLine(), " <name>(3)</name>");
    s().ReNumber = 0;
    EXPECT_EQ(NameLine(), " <name>(5)</name>");
}

TEST_F(KmlPlacemarkTest, DurationsAndWidths) {
    NoLabels();
    s().Label_Elapsed = 1;
    s().Label_IntervalTime = 1;
    s().Label_Altitude = 1;
    s().Label_Degrees = 1;
    ctx.point.ElapsedSec = 100 * 3600 + 59;
    ctx.point.IntervalSec = -61;
    ctx.point.AltitudeValue = 1.25;
    ctx.point.CourseValue = 5.0;
    EXPECT_EQ(NameLine(), " <name> 100:00:59[00:-1:-1]( 1.2m)[ 5.0]</name>");
}

TEST_F(KmlPlacemarkTest, AltitudeInFeet) {
    NoLabels();
    s().Label_Altitude = 1;
    s().MeterMile = "Statute Mile/Feet";
    ctx.point.AltitudeValue = 30.48;
    EXPECT_EQ(NameLine(), " <name>(100.0feet)</name>");
}

TEST_F(KmlPlacemarkTest, DescriptionUnitLinesFollowMeterMile) {
    NoLabels();
    s().TimeStampPosition = 0;
    s().Label_Description = 1;
    s().MeterMile = "Nautical Mile/Feet";
    ctx.point.TotalDistance = 1.0;
    const std::string text = Placemark();
    EXPECT_NE(text.find("Elapsed=00:01:05\ndistance=1.00Mile(N)\nSpeed=36.0Mile(N)/h\nLat:"), std::string::npos)
        << text;
    s().MeterMile = "Statute Mile/Feet";
    EXPECT_NE(Placemark().find("distance=1.00Mile(S)\nSpeed=36.0Mile(S)/h\n"), std::string::npos);
    s().MeterMile = "";
    EXPECT_NE(Placemark().find("Elapsed=00:01:05\nLat:353907.40(35.652057)\n"), std::string::npos);
}

TEST_F(KmlPlacemarkTest, DescriptionShowsDegreesBeforeTheAdjustment) {
    NoLabels();
    s().TimeStampPosition = 0;
    s().Label_Description = 1;
    s().OffNS = "000036.00";
    s().OffWE = "000036.00";
    s().OffAltitude = "100";
    const std::string text = Placemark();
    EXPECT_NE(text.find("Lat:353907.40(35.652057)\nLon:1394443.56(139.745432)\n"), std::string::npos);
    EXPECT_NE(text.find("  <coordinates>+139.755432,+35.642057,112.50</coordinates>\n"), std::string::npos);
}

TEST_F(KmlPlacemarkTest, DatumShiftAppliesToTheCoordinates) {
    NoLabels();
    s().Tokyo2WGS84 = 1;
    ctx.point.LatitudeDeg = "35.000000";
    ctx.point.LongitudeDeg = "139.000000";
    EXPECT_NE(Placemark().find("  <coordinates>+138.996886,+35.003286,12.50</coordinates>\n"), std::string::npos);
}

struct SelectionCase {
    int32_t recordIndex;
    int32_t writtenCount;
    int32_t interval;
    int32_t prescan;
    bool selected;
};

TEST_F(KmlPlacemarkTest, SelectionByInterval) {
    const SelectionCase cases[] = {
        {0, 5, 3, 100, true},    // index 0
        {1, 5, 3, 100, false},
        {2, 5, 3, 100, true},    // (2 + 1) % 3 == 0
        {4, 5, 3, 100, false},
        {5, 5, 3, 100, true},
        {7, 0, 3, 100, true},    // first written record
        {99, 5, 7, 100, true},   // last counted record
        {98, 5, 7, 100, false},  // (98 + 1) % 7 == 1
        {50, 5, 1000, 100, false},
        {50, 5, 1, 100, true},
        {50, 5, 0, 100, true},   // an interval below 1 counts as 1
        {3, 5, 100, 0, false},   // no pre-scan count: no last record
    };
    for (const SelectionCase& c : cases) {
        ctx.store.RecordIndex = c.recordIndex;
        ctx.store.WrittenCount = c.writtenCount;
        ctx.run.PlacemarkInterval = c.interval;
        ctx.run.PrescanCount = c.prescan;
        EXPECT_EQ(PlacemarkSelected(ctx), c.selected) << c.recordIndex << " " << c.interval;
    }
}

TEST_F(KmlPlacemarkTest, SelectionByDistanceMovesTheAnchor) {
    s().PosDistance = 1;
    ctx.run.PlacemarkDistance = 0.5;
    ctx.run.PlacemarkInterval = 1;  // not consulted with PosDistance
    ctx.store.RecordIndex = 3;
    ctx.store.WrittenCount = 2;
    ctx.store.PlacemarkAnchor = {"1", "2", "3"};

    ctx.point.StartDistance = 0.4999;
    EXPECT_FALSE(PlacemarkSelected(ctx));
    EXPECT_EQ(ctx.store.PlacemarkAnchor, (PointTexts{"1", "2", "3"}));
    EXPECT_EQ(Placemark(), "");

    ctx.point.StartDistance = 0.5;
    EXPECT_TRUE(PlacemarkSelected(ctx));
    EXPECT_EQ(ctx.point.StartDistance, 0.0);
    EXPECT_EQ(ctx.store.PlacemarkAnchor, (PointTexts{"13944.7259", "3539.1234", "12.5"}));

    // The first written record and the first record read get one whatever the distance.
    ctx.point.StartDistance = 0.0;
    ctx.store.WrittenCount = 0;
    EXPECT_TRUE(PlacemarkSelected(ctx));
    ctx.store.WrittenCount = 2;
    ctx.store.RecordIndex = 0;
    EXPECT_TRUE(PlacemarkSelected(ctx));
}

TEST_F(KmlPlacemarkTest, UnselectedRecordWritesNothing) {
    ctx.run.PlacemarkInterval = 2;
    ctx.store.RecordIndex = 3;  // (3 + 1) % 2 == 0
    EXPECT_NE(Placemark(), "");
    ctx.store.RecordIndex = 4;
    EXPECT_EQ(Placemark(), "");
}

TEST_F(KmlPlacemarkTest, PointFolderFrame) {
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  OpenPointFolder(out);
                  ClosePointFolder(out);
              }),
              "<Folder>\n<name>Point</name>\n<open>0</open>\n\n</Folder>\n\n");
}

}  // namespace
}  // namespace geoplait::test
