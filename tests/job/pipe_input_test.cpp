// A named pipe (FIFO) as the input of a run: a run that reads its input once
// writes what the same bytes in a file give, byte for byte, with the same
// messages; a run that would read it twice is refused before it opens it or
// writes anything, and the pipe keeps what was written into it.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "job/run_conversion.h"
#include "job/run_steps.h"
#include "settings/convert_modes.h"
#include "settings/convert_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using Tweak = std::function<void(ConvertSettings&)>;

const std::string kEpochs =
    "$GPRMC,031500.00,A,3539.3300,N,13945.3100,E,0.5,90.0,150424,,,A*67\r\n"
    "$GPGGA,031500.00,3539.3300,N,13945.3100,E,1,08,1.0,40.0,M,39.0,M,,*58\r\n"
    "$GPRMC,031510.00,A,3539.3400,N,13945.3300,E,3.5,45.0,150424,,,A*68\r\n"
    "$GPGGA,031510.00,3539.3400,N,13945.3300,E,1,08,1.0,42.0,M,39.0,M,,*5E\r\n"
    "$GPRMC,031520.00,A,3539.3600,N,13945.3600,E,4.5,45.0,150424,,,A*6B\r\n"
    "$GPGGA,031520.00,3539.3600,N,13945.3600,E,1,07,1.2,44.0,M,39.0,M,,*51\r\n";

const std::string kGpx =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
    "<trk><name>walk</name><trkseg>\n"
    "<trkpt lat=\"35.6555\" lon=\"139.7551\"><ele>40</ele><time>2024-04-15T03:15:00Z</time></trkpt>\n"
    "<trkpt lat=\"35.6557\" lon=\"139.7555\"><ele>42</ele><time>2024-04-15T03:15:10Z</time></trkpt>\n"
    "<trkpt lat=\"35.6560\" lon=\"139.7560\"><ele>44</ele><time>2024-04-15T03:15:20Z</time></trkpt>\n"
    "</trkseg></trk></gpx>\n";

const std::string kKml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n"
    "<Placemark><name>a</name><TimeStamp><when>2024-04-15T03:15:00Z</when></TimeStamp>"
    "<Point><coordinates>139.7551,35.6555,40</coordinates></Point></Placemark>\n"
    "<Placemark><name>b</name><LineString><coordinates>139.7551,35.6555,40 139.7560,35.6560,44"
    "</coordinates></LineString></Placemark>\n"
    "<Placemark><gx:Track><when>2024-04-15T03:15:00Z</when><gx:coord>139.7 35.6 1</gx:coord></gx:Track>"
    "</Placemark>\n"
    "</Document></kml>\n";

std::string Utf16Le(const std::string& ascii) {
    std::string text = "\xFF\xFE";
    for (char c : ascii) {
        text.push_back(c);
        text.push_back('\0');
    }
    return text;
}

struct Converted {
    RunOutcome outcome = RunOutcome::Stopped;
    test::Notices messages;
    std::string output;
    std::vector<RunProgress> progress;
};

class ProgressUi : public test::RecordingUi {
public:
    void ShowProgress(const RunProgress& p) override { progress.push_back(p); }
    std::vector<RunProgress> progress;
};

// Runs `mode` in `dir` from `input` (a file or a pipe) to `output`.
Converted Convert(const test::TempDir& dir, const std::string& mode, const Tweak& tweak, const std::string& input,
            const std::string& output) {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    settings.startDir = dir.path();
    ConvertSettings& s = settings.current;
    s.Mode = mode;
    s.InputFile = input;
    s.OutputFile = dir.File(output);
    s.TimeDifference = "+ 9:00";
    if (tweak) tweak(s);
    if (s.Photo != 0) {
        // An empty folder of photos beside the input, named alike in every run.
        fs::create_directory(dir.File("photos"));
        s.PhotoDir = dir.File("photos");
    }
    ProgressUi ui;
    RunContext ctx(settings, ui);
    Converted run;
    run.outcome = RunConversion(ctx);
    run.messages = ui.messages;
    run.progress = ui.progress;
    run.output = test::ReadFileBytes(dir.File(output));
    EXPECT_FALSE(ctx.pipeInput.IsOpen()) << "the run let its input go";
    return run;
}

// Runs `mode` from a FIFO that a thread of its own fills with `bytes`.
Converted ConvertFromFifo(const test::TempDir& dir, const std::string& mode, const Tweak& tweak,
                    const std::string& bytes, const std::string& output) {
    const std::string fifo = dir.File("fifo");
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A run that stops early closes the pipe: the writing then fails, and
    // the test goes on.
    signal(SIGPIPE, SIG_IGN);
    // The writer comes once the run opens the pipe; a run that reads no
    // track (no photo to match) never does, and the writer gives up.
    std::atomic<bool> finished{false};
    std::thread writer([&] {
        int fd = -1;
        while ((fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && !finished.load()) usleep(1000);
        if (fd >= 0) fcntl(fd, F_SETFL, 0);
        size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        if (fd >= 0) close(fd);
    });
    Converted run = Convert(dir, mode, tweak, fifo, output);
    finished = true;
    writer.join();
    fs::remove(fifo);
    return run;
}

struct OnceCase {
    const char* name;
    const char* mode;
    std::string input;
    Tweak tweak;
};

TEST(PipeInput, ARunThatReadsOnceWritesWhatTheFileGives) {
    const Tweak kmlTrack = [](ConvertSettings& s) {
        s.Placemark = 1;
        s.PosType = 0;
        s.Interval = "2";
    };
    const Tweak photosOnly = [](ConvertSettings& s) {
        s.Placemark = 0;
        s.TrackLine = 0;
        s.Photo = 1;
    };
    const std::vector<OnceCase> cases = {
        {"nmea to gpx", "nmea(log) -> gpx", kEpochs, {}},
        {"nmea with a mark to gpx", "nmea(log) -> gpx", "\xEF\xBB\xBF" + kEpochs, {}},
        {"utf-16 nmea to csv", "nmea(log) -> csv(Full)", Utf16Le(kEpochs), {}},
        {"nmea to kml", "nmea(log) -> kml", kEpochs, kmlTrack},
        {"nmea to nmea", "nmea(log) -> nmea(log)", kEpochs, {}},
        {"nmea to summary", "nmea(log) -> Summary(csv)", kEpochs, {}},
        {"nmea, first line unknown", "nmea(log) -> gpx", "$XXABC,1\r\n" + kEpochs, {}},
        {"empty nmea", "nmea(log) -> pot", "", {}},
        {"gpx to kml", "gpx -> kml", kGpx, kmlTrack},
        {"gpx, photos alone", "gpx -> kml", kGpx, photosOnly},
        {"kml points to gpx", "kml(Point) -> gpx", kKml, {}},
        {"kml lines to csv custom", "kml(Line) -> csv(Custom)", kKml, {}},
        {"broken gpx", "gpx -> pot", kGpx.substr(0, kGpx.size() / 2), {}},
    };
    size_t shown = 0;
    for (const OnceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = FindModeByDisplayText(c.mode)->output == ModeOutput::Kml ? "out.kml" : "out.txt";
        test::TempDir fileDir;
        test::WriteFileBytes(fileDir.File("in"), c.input);
        const Converted fromFile = Convert(fileDir, c.mode, c.tweak, fileDir.File("in"), output);
        test::TempDir pipeDir;
        const Converted fromPipe = ConvertFromFifo(pipeDir, c.mode, c.tweak, c.input, output);
        EXPECT_EQ(fromPipe.outcome, fromFile.outcome);
        EXPECT_EQ(fromPipe.messages, fromFile.messages);
        EXPECT_EQ(fromPipe.output, fromFile.output);
        EXPECT_EQ(fs::exists(pipeDir.File(output)), fs::exists(fileDir.File(output)));
        // The same bytes read at each record, of a size not known.
        shown += fromFile.progress.size();
        ASSERT_EQ(fromPipe.progress.size(), fromFile.progress.size());
        for (size_t i = 0; i < fromPipe.progress.size(); ++i) {
            RunProgress expected = fromFile.progress[i];
            EXPECT_EQ(expected.bytesTotal, c.input.size());
            expected.bytesTotal = 0;
            EXPECT_EQ(fromPipe.progress[i], expected) << "record " << i;
        }
    }
    EXPECT_GT(shown, 20u);
}

TEST(PipeInput, ARunThatWouldReadTwiceIsRefusedBeforeAnything) {
    const struct {
        const char* name;
        const char* mode;
        Tweak tweak;
    } cases[] = {
        {"placemarks counted first", "nmea(log) -> kml",
         [](ConvertSettings& s) {
             s.Placemark = 1;
             s.PosType = 1;
             s.PosType_edit = "Point 10";
         }},
        {"start and end", "gpx -> kml",
         [](ConvertSettings& s) {
             s.Placemark = 1;
             s.PosType = 1;
             s.PosType_edit = "Start & End";
         }},
        {"photos matched after the path", "nmea(log) -> kml",
         [](ConvertSettings& s) {
             s.Placemark = 0;
             s.TrackLine = 1;
             s.Photo = 1;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string fifo = dir.File("fifo");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        // Held open both ways: a run that opened the pipe would find it there.
        const int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, kEpochs.data(), kEpochs.size()), static_cast<ssize_t>(kEpochs.size()));
        const Converted run = Convert(dir, c.mode, c.tweak, fifo, "out.kml");
        EXPECT_EQ(run.outcome, RunOutcome::Stopped);
        EXPECT_EQ(run.messages, (test::Notices{MakeNotice(Notice::InputNotRegular, {fifo})}));
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "fifo" || name == "photos") << "written: " << name;
        }
        std::string left(kEpochs.size() + 1, '\0');
        EXPECT_EQ(read(fd, left.data(), left.size()), static_cast<ssize_t>(kEpochs.size())) << "nothing read";
        close(fd);
    }
}

TEST(PipeInput, TheRunsThatReadTwiceAreKnown) {
    const auto twice = [](const char* mode, const Tweak& tweak) {
        ConvertSettings s;
        if (tweak) tweak(s);
        return ReadsInputTwice(s, FindModeByDisplayText(mode));
    };
    const auto placemarks = [](const char* type) {
        return [type](ConvertSettings& s) {
            s.Placemark = 1;
            s.PosType = 1;
            s.PosType_edit = type;
        };
    };
    const auto photos = [](int placemark, int line) {
        return [placemark, line](ConvertSettings& s) {
            s.Photo = 1;
            s.Placemark = placemark;
            s.TrackLine = line;
        };
    };
    EXPECT_FALSE(twice("nmea(log) -> kml", {}));
    EXPECT_TRUE(twice("nmea(log) -> kml", placemarks("Point 100")));
    EXPECT_TRUE(twice("csv(Full) -> kml", placemarks("Start & End")));
    // A placemark type that counts nothing, placemarks off, or another output.
    EXPECT_FALSE(twice("nmea(log) -> kml", placemarks("Interval")));
    EXPECT_FALSE(twice("nmea(log) -> kml", [](ConvertSettings& s) {
        s.Placemark = 0;
        s.PosType = 1;
        s.PosType_edit = "Point 10";
    }));
    EXPECT_FALSE(twice("nmea(log) -> gpx", placemarks("Point 10")));
    EXPECT_TRUE(twice("pot -> kml", photos(1, 0)));
    EXPECT_TRUE(twice("gpx -> kml", photos(0, 1)));
    EXPECT_FALSE(twice("gpx -> kml", photos(0, 0)));
    EXPECT_FALSE(twice("Photo(Only) -> kml", photos(1, 1)));
    EXPECT_FALSE(twice("kml(Line) -> gpx", {}));
    EXPECT_FALSE(twice("kml(Line) -> csv(Custom)", {}));
    EXPECT_FALSE(twice("kml(Point) -> gpx", {}));
    EXPECT_FALSE(twice("nmea(log) -> Summary(html)", {}));
    EXPECT_TRUE(twice("no such mode", {}));
}

}  // namespace
}  // namespace geoplait
