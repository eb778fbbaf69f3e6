// The preview where it is easy to get wrong: a track across 180°, an empty
// file, a single point, Cancel, a scaled screen, rings over the line; and
// the pane from the keyboard: focus, Esc, Close and the picture's description.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
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

// An RMC epoch `seconds` after 03:00:00 at `lat` (north) and `lon` (east
// positive, west negative), in degrees.
void WriteFix(std::ofstream& log, int seconds, double lat, double lon) {
    char time[32], latText[32], lonText[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", 3 + seconds / 3600, seconds / 60 % 60, seconds % 60);
    const double a = std::abs(lon);
    std::snprintf(latText, sizeof latText, "%02d%07.4f", static_cast<int>(lat), (lat - static_cast<int>(lat)) * 60.0);
    std::snprintf(lonText, sizeof lonText, "%03d%07.4f", static_cast<int>(a), (a - static_cast<int>(a)) * 60.0);
    log << WithChecksum(std::string("GPRMC,") + time + ",A," + latText + ",N," + lonText + (lon < 0 ? ",W" : ",E") +
                        ",2.5,90.0,150424,,,A");
}

// A log of `points` fixes from `fromLon` eastwards by `step` degrees (wrapping at 180°).
QString WriteLine(const QTemporaryDir& dir, const char* name, int points, double fromLon, double step) {
    const QString path = dir.filePath(name);
    std::ofstream log(path.toStdString(), std::ios::binary);
    for (int i = 0; i < points; ++i) {
        double lon = fromLon + step * i;
        if (lon > 180.0) lon -= 360.0;
        WriteFix(log, i, 10.0, lon);
    }
    return path;
}

Settings LineSettings(const QString& log) {
    Settings s;
    SetDefaultSettings(s);
    ApplyBaselineSettings(s);
    ConvertSettings& c = s.current;
    c.Mode = "nmea(log) -> kml";
    c.Language = "English";
    c.InputFile = log.toStdString();
    c.LineDistanceSec = "0";
    c.LineDistance = "0";
    c.Distance = "0";
    c.IncludeData = 0;
    c.IncludeData_date = 0;
    c.SpeedGroup = 0;
    c.Placemark = 0;
    c.Photo = 0;
    c.LineColorRGB[0] = "0000FF";  // BBGGRR: red
    c.LineWidth[0] = "3";
    return s;
}

PreviewTrack Collect(const Settings& settings, const QTemporaryDir& dir) {
    PreviewControl control;
    PreviewTrack track;
    std::string problem;
    const PreviewResult result = CollectPreview(settings, dir.path().toStdString(), control, track, problem);
    if (result != PreviewResult::Drawn) qFatal("not drawn: %s", problem.c_str());
    return track;
}

// The box of the pixels that are neither white nor grey-black (the drawn track).
QRect ColouredBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue()) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

int DarkPixels(const QImage& image, QRect area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) dark += image.pixelColor(x, y).lightness() < 100;
    }
    return dark;
}

}  // namespace

class PreviewPaneTest : public QObject {
    Q_OBJECT

private slots:
    // 11 km across 180° eastwards: drawn as the short line it is, first
    // point on the west side, and a bar of kilometres, not thousands.
    void acrossTheAntimeridian() {
        QTemporaryDir dir;
        const Settings settings = LineSettings(WriteLine(dir, "date-line.log", 21, 179.95, 0.005));
        const PreviewTrack track = Collect(settings, dir);
        QCOMPARE(track.records, 21);
        QVERIFY2(track.lengthM > 10000.0 && track.lengthM < 12000.0, qPrintable(QString::number(track.lengthM)));
        const PreviewExtent extent = ExtentOf(track);
        QVERIFY(extent.any);
        QVERIFY(std::abs(extent.west - 179.95) < 1e-6);
        QVERIFY(std::abs(extent.east - -179.95) < 1e-6);
        const QSize size(400, 300);
        const QPointF first = PreviewPixel(track, size, *track.first);
        const QPointF last = PreviewPixel(track, size, *track.last);
        QVERIFY2(first.x() < 30 && last.x() > size.width() - 30,
                 qPrintable(QString("%1 %2").arg(first.x()).arg(last.x())));
        // Every point in the picture and the line unbroken: each step is small.
        for (const PreviewSegment& segment : track.segments) {
            for (size_t i = 1; i < segment.points.size(); ++i) {
                const QPointF a = PreviewPixel(track, size, segment.points[i - 1]);
                const QPointF b = PreviewPixel(track, size, segment.points[i]);
                QVERIFY(std::abs(b.x() - a.x()) < 40);
            }
        }
        QImage image(size, QImage::Format_RGB32);
        DrawPreview(track, settings.current, image);
        QCOMPARE(image.pixelColor(PreviewPixel(track, size, {180.0, 10.0}).toPoint()), QColor(255, 0, 0));
    }

    // One position: a point with both ends showing and no scale bar; two
    // positions apart get their bar.
    void onePointHasNoBar() {
        QTemporaryDir dir;
        const Settings one = LineSettings(WriteLine(dir, "one.log", 1, 139.5, 0.0));
        const PreviewTrack track = Collect(one, dir);
        QCOMPARE(track.records, 1);
        QImage image(400, 300, QImage::Format_RGB32);
        DrawPreview(track, one.current, image);
        const QPoint at = PreviewPixel(track, image.size(), *track.first).toPoint();
        QCOMPARE(image.pixelColor(at), QColor(0, 170, 0));
        QCOMPARE(image.pixelColor(at + QPoint(5, 0)), QColor(220, 0, 0));  // the last point rings the first
        const QRect barArea(0, image.height() - 30, image.width() / 2, 30);
        QCOMPARE(DarkPixels(image, barArea), 0);

        const Settings two = LineSettings(WriteLine(dir, "two.log", 2, 139.5, 0.01));
        const PreviewTrack pair = Collect(two, dir);
        DrawPreview(pair, two.current, image);
        QVERIFY(DarkPixels(image, barArea) > 20);
    }

    // The first and last points are ringed in white: a red end on a red line shows.
    void endsShowOnAnyLine() {
        QTemporaryDir dir;
        const Settings settings = LineSettings(WriteLine(dir, "line.log", 50, 139.5, 0.001));
        const PreviewTrack track = Collect(settings, dir);
        QImage image(400, 300, QImage::Format_RGB32);
        DrawPreview(track, settings.current, image);
        const QPoint last = PreviewPixel(track, image.size(), *track.last).toPoint();
        int white = 0;
        for (int dx = -9; dx <= 9; ++dx) white += image.pixelColor(last + QPoint(dx, 0)) == QColor(Qt::white);
        QVERIFY(white >= 2);
    }

    // At the default interval every record has a ring: thinned, the line's colour shows.
    void ringsLeaveTheLineVisible() {
        QTemporaryDir dir;
        Settings settings = LineSettings(WriteLine(dir, "dense.log", 3000, 139.5, 0.0001));
        settings.current.Placemark = 1;
        settings.current.Interval = "1";
        settings.current.PosType = 0;
        settings.current.PosDistance = 0;
        const PreviewTrack track = Collect(settings, dir);
        QVERIFY(track.placemarks.size() > 1000);
        QImage image(400, 300, QImage::Format_RGB32);
        DrawPreview(track, settings.current, image);
        int red = 0;
        int orange = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
                orange += image.pixelColor(x, y) == QColor(255, 160, 0);
            }
        }
        QVERIFY2(red > orange / 4 && red > 200, qPrintable(QString("%1 %2").arg(red).arg(orange)));
    }

    // On a screen scaled by 2 the picture has twice the pixels, the track centred in it.
    void scaledScreen() {
        QTemporaryDir dir;
        const Settings settings = LineSettings(WriteLine(dir, "line.log", 50, 139.5, 0.001));
        const PreviewTrack track = Collect(settings, dir);
        QImage image(QSize(400, 300) * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2.0);
        DrawPreview(track, settings.current, image);
        const QRect box = ColouredBox(image);
        QVERIFY2(box.left() < 60 && box.right() > 740, qPrintable(QString("%1 %2").arg(box.left()).arg(box.right())));
    }

    // The pane: an empty file says so; Cancel clears the earlier picture;
    // the picture is described; Esc and Close close it and hand the keyboard back.
    void paneFromTheKeyboard() {
        QTemporaryDir dir;
        Settings settings = LineSettings(WriteLine(dir, "line.log", 50, 139.5, 0.001));
        settings.startDir = dir.path().toStdString();
        MainWindow window(settings);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* previewButton = window.findChild<QPushButton*>("preview");
        previewButton->click();
        PreviewPane* pane = window.Preview();
        QVERIFY(pane != nullptr);
        QSignalSpy drawn(pane, &PreviewPane::Drawn);
        QTRY_COMPARE_WITH_TIMEOUT(drawn.size(), 1, 30000);
        auto* image = pane->findChild<QLabel*>("previewImage");
        // 49 steps of 0.001° of longitude at 10° north; times after the time difference (+09:00).
        QCOMPARE(image->accessibleDescription(),
                 QString("50 points, 5.37 km, 2024/04/15 12:00:00 to 2024/04/15 12:00:49, latitude 10.00000 to "
                         "10.00000, longitude 139.50000 to 139.54900"));
        QCOMPARE(pane->findChild<QLabel*>("previewNote")->text(), QString("50 records"));
        QCOMPARE(ColouredBox(pane->Picture()).isEmpty(), false);

        // An empty file.
        const QString empty = dir.filePath("empty.log");
        std::ofstream(empty.toStdString()).close();
        settings.current.InputFile = empty.toStdString();
        window.ApplyModeLayout();
        previewButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(drawn.size(), 2, 30000);
        QCOMPARE(pane->findChild<QLabel*>("previewNote")->text(), QString("No positions in the input"));
        QVERIFY(ColouredBox(pane->Picture()).isEmpty());
        QVERIFY(DarkPixels(pane->Picture(), pane->Picture().rect()) > 20);  // the words

        // Cancelled: nothing of the earlier picture stays.
        settings.current.InputFile = WriteLine(dir, "long.log", 200000, 139.5, 0.00001).toStdString();
        window.ApplyModeLayout();
        previewButton->click();
        pane->findChild<QPushButton*>("previewCancel")->click();
        QTRY_COMPARE_WITH_TIMEOUT(drawn.size(), 3, 30000);
        QCOMPARE(pane->findChild<QLabel*>("previewNote")->text(), QString("Cancelled"));
        QVERIFY(ColouredBox(pane->Picture()).isEmpty());

        // The keyboard: the picture takes focus, Esc closes, focus goes back to Preview.
        pane->activateWindow();
        QTRY_VERIFY(image->hasFocus() || QApplication::focusWidget() == image);
        QTest::keyClick(image, Qt::Key_Escape);
        QTRY_VERIFY(!pane->isVisible());
        QVERIFY(window.isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(previewButton));
        previewButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(drawn.size(), 4, 60000);
        QVERIFY(pane->isVisible());
        pane->findChild<QPushButton*>("previewClose")->click();
        QTRY_VERIFY(!pane->isVisible());
    }
};

QTEST_MAIN(PreviewPaneTest)
#include "preview_pane_test.moc"
