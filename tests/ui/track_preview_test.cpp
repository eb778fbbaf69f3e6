// The preview: a known track read through the readers and filters of a run,
// cut into its groups, thinned to a bounded size, and drawn with each group
// in its colour; and the pane behind the window's Preview button.
#include <sys/stat.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <string>

#include "ui/main_window.h"
#include "ui/preview_pane.h"
#include "ui/track_preview.h"
#include "support/temp_dir.h"

using namespace geoplait;
using namespace geoplait::ui;

namespace {

constexpr auto WithChecksum = geoplait::test::NmeaSentence;

// One epoch (RMC and GGA) at `seconds` after 03:00:00 at a position given
// in minutes of arc north of 35° and east of 139°.
void WriteEpoch(std::ofstream& log, int seconds, double northMinutes, double eastMinutes) {
    char time[32], lat[32], lon[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", 3 + seconds / 3600, seconds / 60 % 60, seconds % 60);
    std::snprintf(lat, sizeof lat, "35%07.4f", northMinutes);
    std::snprintf(lon, sizeof lon, "139%07.4f", eastMinutes);
    log << WithChecksum(std::string("GPRMC,") + time + ",A," + lat + ",N," + lon + ",E,2.5,90.0,150424,,,A")
        << WithChecksum(std::string("GPGGA,") + time + "," + lat + ",N," + lon + ",E,1,08,0.9,38.2,M,36.7,M,,");
}

struct Leg {
    double north;  // start, minutes of arc
    double east;
    double dNorth;  // over the whole leg
    double dEast;
};
// Three legs ten minutes apart in time, apart on the map: each starts a new line group.
constexpr Leg kLegs[] = {{10.0, 10.0, 0.0, 3.0}, {13.5, 10.0, 3.0, 0.0}, {20.0, 10.0, 0.0, 3.0}};

Settings ThreeGroupSettings(const QString& log, const std::string& mode) {
    Settings s;
    SetDefaultSettings(s);
    ApplyBaselineSettings(s);
    ConvertSettings& c = s.current;
    c.Mode = mode;
    c.InputFile = log.toStdString();
    c.LineDistanceSec = "60";
    c.LineDistance = "0";
    c.Distance = "0";
    c.IncludeData = 0;
    c.IncludeData_date = 0;
    c.SpeedGroup = 0;
    c.TimeStampPath = 0;
    c.Placemark = 0;
    c.Photo = 0;
    c.LineColorRGB[0] = "0000FF";  // BBGGRR: red
    c.LineColorRGB[1] = "00C000";  // green
    c.LineColorRGB[2] = "FF0000";  // blue
    for (std::string& width : c.LineWidth) width = "5";
    return s;
}

QString WriteThreeLegs(const QTemporaryDir& dir, int epochsPerLeg) {
    const QString path = dir.filePath("legs.log");
    std::ofstream log(path.toStdString(), std::ios::binary);
    int seconds = 0;
    for (const Leg& leg : kLegs) {
        for (int i = 0; i < epochsPerLeg; ++i, seconds += 1) {
            const double along = static_cast<double>(i) / epochsPerLeg;
            WriteEpoch(log, seconds, leg.north + leg.dNorth * along, leg.east + leg.dEast * along);
        }
        seconds += 600;
    }
    return path;
}

}  // namespace

class TrackPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void threeGroupsInTheirColours() {
        QTemporaryDir dir;
        const Settings settings = ThreeGroupSettings(WriteThreeLegs(dir, 30), "nmea(log) -> kml");
        PreviewControl control;
        PreviewTrack track;
        std::string problem;
        QCOMPARE(CollectPreview(settings, dir.filePath("scratch").toStdString(), control, track, problem),
                 PreviewResult::Drawn);
        QVERIFY2(problem.empty(), problem.c_str());
        QCOMPARE(track.segments.size(), size_t{3});
        QCOMPARE(track.records, 90);
        QVERIFY(track.groupColours);
        QImage image(400, 300, QImage::Format_RGB32);
        DrawPreview(track, settings.current, image);
        const QColor expected[] = {QColor(255, 0, 0), QColor(0, 192, 0), QColor(0, 0, 255)};
        for (int g = 0; g < 3; ++g) {
            const PreviewSegment& segment = track.segments[static_cast<size_t>(g)];
            QCOMPARE(segment.group, g);
            const GeoPoint middle = segment.points[segment.points.size() / 2];
            const QPoint at = PreviewPixel(track, image.size(), middle).toPoint();
            QVERIFY(image.rect().contains(at));
            QCOMPARE(image.pixelColor(at), expected[g]);
        }
        // First point green, last red, both in the picture; white between the legs.
        QCOMPARE(image.pixelColor(PreviewPixel(track, image.size(), *track.first).toPoint()), QColor(0, 170, 0));
        QCOMPARE(image.pixelColor(PreviewPixel(track, image.size(), *track.last).toPoint()), QColor(220, 0, 0));
        const GeoPoint between{139.0 + 11.5 / 60.0, 35.0 + 12.0 / 60.0};
        QCOMPARE(image.pixelColor(PreviewPixel(track, image.size(), between).toPoint()), QColor(Qt::white));
    }

    // Without KML output the track is drawn in one colour, still cut at its gaps.
    void otherOutputsInOneColour() {
        QTemporaryDir dir;
        const Settings settings = ThreeGroupSettings(WriteThreeLegs(dir, 10), "nmea(log) -> gpx");
        PreviewControl control;
        PreviewTrack track;
        std::string problem;
        QCOMPARE(CollectPreview(settings, dir.path().toStdString(), control, track, problem), PreviewResult::Drawn);
        QVERIFY(!track.groupColours);
        QCOMPARE(track.records, 30);
        for (const PreviewSegment& segment : track.segments) QCOMPARE(segment.group, 0);
    }

    // A long log keeps at most a bounded polyline per group, first and last points exact.
    void longLogIsThinned() {
        QTemporaryDir dir;
        const Settings settings = ThreeGroupSettings(WriteThreeLegs(dir, 9000), "nmea(log) -> kml");
        PreviewControl control;
        PreviewTrack track;
        std::string problem;
        QCOMPARE(CollectPreview(settings, dir.path().toStdString(), control, track, problem), PreviewResult::Drawn);
        QCOMPARE(track.records, 27000);
        QCOMPARE(track.segments.size(), size_t{3});
        for (const PreviewSegment& segment : track.segments) {
            QVERIFY(segment.points.size() <= kPreviewPointsPerGroup);
            QVERIFY(segment.points.size() >= kPreviewPointsPerGroup / 4);
        }
        QCOMPARE(track.segments.back().points.back().lon, track.last->lon);
        QVERIFY(control.done.load() >= 27000);
    }

    void cancelledAndMissing() {
        QTemporaryDir dir;
        Settings settings = ThreeGroupSettings(WriteThreeLegs(dir, 10), "nmea(log) -> kml");
        PreviewControl control;
        control.cancel = true;
        PreviewTrack track;
        std::string problem;
        QCOMPARE(CollectPreview(settings, dir.path().toStdString(), control, track, problem),
                 PreviewResult::Cancelled);
        settings.current.InputFile = dir.filePath("missing.log").toStdString();
        PreviewControl fresh;
        QCOMPARE(CollectPreview(settings, dir.path().toStdString(), fresh, track, problem), PreviewResult::NoInput);
        QCOMPARE(track.records, 0);
        // A pipe is the run's to read, once: the preview neither waits for
        // its writer nor takes what it holds.
        const std::string fifo = dir.filePath("fifo").toStdString();
        QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
        settings.current.InputFile = fifo;
        for (const char* mode : {"nmea(log) -> kml", "gpx -> kml"}) {
            settings.current.Mode = mode;
            PreviewControl another;
            QCOMPARE(CollectPreview(settings, dir.path().toStdString(), another, track, problem),
                     PreviewResult::NoInput);
        }
    }

    void packedDms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("letter");
        QTest::addColumn<double>("degrees");
        QTest::newRow("north") << "354052.44" << 'N' << 35.0 + 40.0 / 60.0 + 52.44 / 3600.0;
        QTest::newRow("west") << "1394601.65" << 'W' << -(139.0 + 46.0 / 60.0 + 1.65 / 3600.0);
        QTest::newRow("south zero") << "0" << 'S' << -0.0;
    }
    void packedDms() {
        QFETCH(QString, text);
        QFETCH(char, letter);
        QFETCH(double, degrees);
        const auto value = DegreesOfPackedDms(text.toStdString(), letter);
        QVERIFY(value.has_value());
        QVERIFY(std::abs(*value - degrees) < 1e-9);
        QVERIFY(!DegreesOfPackedDms("", 'N'));
        QVERIFY(!DegreesOfPackedDms("abc", 'N'));
        QVERIFY(!DegreesOfPackedDms("-12", 'N'));
    }

    // The window's Preview button opens the pane and draws there.
    void paneFromTheWindow() {
        QTemporaryDir dir;
        Settings settings = ThreeGroupSettings(WriteThreeLegs(dir, 30), "nmea(log) -> kml");
        settings.startDir = dir.path().toStdString();
        MainWindow window(settings);
        window.show();
        window.findChild<QPushButton*>("preview")->click();
        QVERIFY(window.Preview() != nullptr);
        QSignalSpy drawn(window.Preview(), &PreviewPane::Drawn);
        QTRY_COMPARE_WITH_TIMEOUT(drawn.size(), 1, 30000);
        const QImage& picture = window.Preview()->Picture();
        int red = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) red += picture.pixelColor(x, y) == QColor(255, 0, 0);
        }
        QVERIFY(red > 20);
        QVERIFY(!window.findChild<QPushButton*>("openOutput")->isVisible());
    }
};

QTEST_MAIN(TrackPreviewTest)
#include "track_preview_test.moc"
