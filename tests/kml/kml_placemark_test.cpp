// Position placemarks: which records get one, and what the whole-program
// cases cannot show of their text (single label items, unknown units, record
// names, extreme durations).
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
        ReadPositionTexts(p);
        p.GgaAltitude = "12.5";
        ReadRecordValues(p);
        p.LocalDate = "050321";
        p.LocalTime = "093000";
        p.LocalDateText = "2021/03/05";
        p.LocalTimeText = "09:30:00";
        p.ElapsedSec = 3725;
        p.IntervalSec = 65;
        p.TotalDistance = 1.852;
        p.IntervalDistance = 0.0123;
        p.Speed = 36.0;
        p.Values.course = {123.4, true};
        p.SatCount = 8;
        p.DilutionValue = 1;
        ctx.store.RecordIndex = 4;
        ctx.store.WrittenCount = 2;
    }

    void SetLabels(int on) {
        for (auto flag : {&ConvertSettings::Label_No, &ConvertSettings::Label_Km, &ConvertSettings::Label_Speed,
                          &ConvertSettings::Label_Elapsed, &ConvertSettings::Label_Degrees,
                          &ConvertSettings::Label_Date, &ConvertSettings::Label_Time,
                          &ConvertSettings::Label_IntervalTime, &ConvertSettings::Label_Altitude,
                          &ConvertSettings::Label_IntervalKm, &ConvertSettings::Label_Satellites,
                          &ConvertSettings::Label_Tex, &ConvertSettings::Label_LatLon,
                          &ConvertSettings::Label_Description}) {
            s().*flag = on;
        }
    }

    std::string Placemark(std::string_view nameText = {}) {
        // The options as the run decodes them when it starts.
        KmlRecordWriter writer{KmlRecordOptionsOf(s(), settings.config, ctx.run), {}};
        const TrackPoint before = ctx.point;
        KmlSection section = Section();
        std::string text = Captured([&](KmlBuffer& out) { WritePositionPlacemark(out, section, writer, nameText); });
        // The position is moved on the way out; the record keeps its own.
        EXPECT_EQ(ctx.point.Position, before.Position);
        EXPECT_EQ(ctx.point.Values, before.Values);
        return text;
    }
    // The " <name>...</name>" line of the placemark.
    std::string NameLine(std::string_view nameText = {}) {
        const std::string text = Placemark(nameText);
        const size_t begin = text.find(" <name>");
        if (begin == std::string::npos) return "(none)";
        return text.substr(begin, text.find('\n', begin) - begin);
    }
};

TEST_F(KmlPlacemarkTest, EachLabelItemAlone) {
    const std::pair<int ConvertSettings::*, const char*> cases[] = {
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
        {&ConvertSettings::Label_LatLon, " <name> Lat:353907.40 Lon:1394443.55</name>"},
    };
    for (const auto& [flag, name] : cases) {
        SetLabels(0);
        s().*flag = 1;
        EXPECT_EQ(NameLine("<Stop & Go>"), name);
    }
}

// The unit items by the run's unit system; a MeterMile text that names no
// system (Unknown) leaves them out and shows the altitude in feet.
TEST_F(KmlPlacemarkTest, UnitItemsOfEachUnitSystem) {
    const struct {
        UnitSystem units;
        const char* name;
    } cases[] = {
        {UnitSystem::Km, " <name>(1.85Km)[36.0Km/h](12.5m)[0.012Km]</name>"},
        {UnitSystem::NauticalMile, " <name>(1.85Mile(N))[36.0Mile(N)/h](41.0feet)[0.012Mile(N)]</name>"},
        {UnitSystem::StatuteMile, " <name>(1.85Mile(S))[36.0Mile(S)/h](41.0feet)[0.012Mile(S)]</name>"},
        {UnitSystem::Unknown, " <name>(41.0feet)</name>"},
    };
    for (const auto& c : cases) {
        SetLabels(0);
        s().Label_Km = s().Label_Speed = s().Label_Altitude = s().Label_IntervalKm = 1;
        ctx.run.Units = c.units;
        EXPECT_EQ(NameLine(), c.name) << static_cast<int>(c.units);
    }
}

TEST_F(KmlPlacemarkTest, LongAndNegativeDurationsAndNarrowNumbers) {
    SetLabels(0);
    s().Label_Elapsed = s().Label_IntervalTime = s().Label_Altitude = s().Label_Degrees = 1;
    ctx.point.ElapsedSec = 100 * 3600 + 59;
    ctx.point.IntervalSec = -61;
    ctx.point.Values.altitude = {1.25, true};
    ctx.point.Values.course = {5.0, true};
    EXPECT_EQ(NameLine(), " <name> 100:00:59[00:-1:-1]( 1.2m)[ 5.0]</name>");
}

}  // namespace
}  // namespace geoplait::test
