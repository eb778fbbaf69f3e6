// geoplait-cli as a program under signals: one SIGINT, SIGTERM or SIGHUP
// ends a run that waits on a pipe nobody serves, and a reader of the output
// that goes away is a failed write. Every wait of these tests is bounded: a
// program that does not end is killed and the test fails.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts geoplait-cli in `dir` with `args`, stdin from /dev/null, stdout to
// `out` (-1: a file out.txt beside err.txt), stderr to err.txt of `logs`.
pid_t Start(const std::string& dir, const std::string& logs, const std::vector<std::string>& args, int out = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(dir.c_str()) != 0) _exit(120);
    const int in = open("/dev/null", O_RDONLY);
    const int err = open((logs + "/err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) out = open((logs + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || err < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(121);
    std::vector<char*> argv{const_cast<char*>(GEOPLAIT_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(GEOPLAIT_CLI, argv.data());
    _exit(122);
}

// The exit status of `pid`; minus the signal that ended it; -1000 when it
// did not end within `limit` (it is killed then).
int WaitAtMost(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        if (Clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1000;
}

// Every file under `dir` whose name ends with `suffix`.
std::vector<std::string> FilesEndingWith(const std::string& dir, const std::string& suffix) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().filename();
        if (name.ends_with(suffix)) found.push_back(entry.path());
    }
    return found;
}

// A log of 20,000 RMC sentences, a few megabytes of any output.
std::string LongLog() {
    std::string log;
    char line[128];
    for (int i = 0; i < 20000; ++i) {
        std::snprintf(line, sizeof line, "GPRMC,%02d%02d%02d,A,%.4f,N,13945.0000,E,1.0,0.0,010124,,,A",
                      i / 3600 % 24, i / 60 % 60, i % 60, 3540.0 + i * 0.001);
        log += test::NmeaSentence(line);
    }
    return log;
}

TEST(CliSignals, OneSignalEndsARunWaitingForAWriterOfItsInput) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        test::TempDir work;
        test::TempDir logs;
        ASSERT_EQ(mkfifo(work.File("in.nmea").c_str(), 0600), 0);
        const pid_t pid = Start(work.path(), logs.path(), {"--mode", "Nmea2Gpx", "--in", "in.nmea", "--out", "out.gpx"});
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_EQ(kill(pid, signal), 0);
        const auto sent = Clock::now();
        EXPECT_EQ(WaitAtMost(pid, std::chrono::milliseconds(3000)), 2) << strsignal(signal);
        EXPECT_LT(Clock::now() - sent, std::chrono::milliseconds(1000)) << strsignal(signal);
        EXPECT_EQ(test::ReadFileBytes(logs.File("err.txt")), "Cancel: Cancelled While Waiting\nOutput File Not Replaced.\n");
        EXPECT_EQ(FilesEndingWith(work.path(), ".tmp"), std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(work.File("out.gpx")));
    }
}

TEST(CliSignals, OneSignalEndsARunWhoseOutputPipeIsNotRead) {
    test::TempDir work;
    test::TempDir logs;
    test::WriteFileBytes(work.File("in.nmea"), LongLog());
    ASSERT_EQ(mkfifo(work.File("out.gpx").c_str(), 0600), 0);
    // A reader that never reads: the writes stop once the pipe is full.
    const int reader = open(work.File("out.gpx").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const pid_t pid = Start(work.path(), logs.path(), {"--mode", "Nmea2Gpx", "--in", "in.nmea", "--out", "out.gpx"});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    const auto sent = Clock::now();
    EXPECT_EQ(WaitAtMost(pid, std::chrono::milliseconds(3000)), 2);
    EXPECT_LT(Clock::now() - sent, std::chrono::milliseconds(1000));
    close(reader);
    EXPECT_EQ(FilesEndingWith(work.path(), ".tmp"), std::vector<std::string>{});
}

// The photos of the sidecar cases, 20 times over, and their track.
void CopyPhotos(const test::TempDir& work) {
    const fs::path source = fs::path(GEOPLAIT_TEST_DATA) / "cli" / "photo_sidecar_written";
    fs::copy(source / "track.log", work.File("track.log"));
    fs::create_directory(work.File("photos"));
    for (const auto& photo : fs::directory_iterator(source / "photos")) {
        for (int copy = 0; copy < 20; ++copy) {
            fs::copy(photo.path(), work.File("photos/" + std::to_string(copy) + "_" + photo.path().filename().string()));
        }
    }
}

TEST(CliSignals, AReaderOfTheOutputThatGoesAwayIsAFailedWrite) {
    test::TempDir work;
    test::TempDir logs;
    CopyPhotos(work);
    ASSERT_EQ(mkfifo(work.File("out.kml").c_str(), 0600), 0);
    int reader = open(work.File("out.kml").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const pid_t pid = Start(work.path(), logs.path(),
                            {"--mode", "Geoplait", "--in", "track.log", "--out", "out.kml", "--set", "Photo=1",
                             "--set", "PhotoDir=photos", "--set", "Photo_CreateDirectory=1", "--set",
                             "Photo_Sidecar=1", "--set", "Photo_CsvOut=1", "--set", "Photo_Interpolate=1"});
    // The reader goes as soon as the program has the pipe open to write
    // (not the reader's own descriptor, which the child holds until it runs
    // the program).
    const std::string fifo = fs::canonical(work.File("out.kml"));
    const std::string process = "/proc/" + std::to_string(pid);
    // Generous: the photos are read first, slowly on a loaded machine (the
    // loop ends as soon as the pipe is open).
    const auto until = Clock::now() + std::chrono::seconds(30);
    bool opened = false;
    while (!opened && Clock::now() < until) {
        std::error_code ec;
        for (const auto& fd : fs::directory_iterator(process + "/fd", ec)) {
            if (fs::read_symlink(fd.path(), ec) != fifo) continue;
            const std::string info = test::ReadFileBytes(process + "/fdinfo/" + fd.path().filename().string());
            const size_t flags = info.find("flags:");
            opened = opened || (flags != std::string::npos && (std::stoul(info.substr(flags + 6), nullptr, 8) & 3) == O_WRONLY);
        }
        if (!opened) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(opened);
    close(reader);
    EXPECT_EQ(WaitAtMost(pid, std::chrono::milliseconds(20000)), 2);
    EXPECT_EQ(test::ReadFileBytes(logs.File("err.txt")), "Error: Output File Not Create\nout.kml: Broken pipe\n");
    EXPECT_EQ(FilesEndingWith(work.path(), ".tmp"), std::vector<std::string>{});
    EXPECT_EQ(FilesEndingWith(work.path(), ".xmp"), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(work.File("out_Photo.csv")));
    EXPECT_FALSE(fs::exists(work.File("out_photo")));
}

// A run that fails removes the folders it made for its output, down to the
// first that was there before.
TEST(CliSignals, AFailedRunRemovesTheFoldersItMade) {
    test::TempDir work;
    test::TempDir logs;
    test::WriteFileBytes(work.File("in.nmea"), LongLog());
    setenv("GEOPLAIT_FAIL_WRITE_AFTER", "10", 1);
    const pid_t pid = Start(work.path(), logs.path(),
                            {"--mode", "Nmea2Gpx", "--in", "in.nmea", "--out", "new/deeper/out.gpx"});
    unsetenv("GEOPLAIT_FAIL_WRITE_AFTER");
    EXPECT_EQ(WaitAtMost(pid, std::chrono::milliseconds(10000)), 2);
    EXPECT_EQ(test::ReadFileBytes(logs.File("err.txt")),
              "Error: Output File Not Create\nnew/deeper/out.gpx: No space left on device\n");
    EXPECT_FALSE(fs::exists(work.File("new")));
}

}  // namespace
}  // namespace geoplait
