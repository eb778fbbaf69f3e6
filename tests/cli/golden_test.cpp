// Whole-program cases: every directory under tests/data/cli/ that holds an
// `args` file. Its other files are copied into a fresh directory, geoplait-cli
// runs there (TZ=UTC, LC_ALL=C, stdin from /dev/null, or a pipe that an
// optional `stdin` file of the case is written into) with the lines of `args`
// as arguments (and the lines of an optional `env` file in its environment;
// an optional `mtime` file sets modification times first, one line each:
// a path of the case, a blank, the UTC time as YYYYMMDDhhmmss),
// and the exit status, stdout, stderr and the files under expected/files/ are
// compared byte for byte with expected/; no other file may be left behind.
// Every .kml/.gpx the run produced must pass `xmllint --noout` and read back
// with gpsbabel, every .xmp `xmllint --noout`, every .html `xmllint --html --noout`.
// GEOPLAIT_UPDATE_GOLDEN=1 writes the actual results into expected/.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

extern char** environ;

namespace geoplait::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFixedTime = "20240102030405";

fs::path CaseRoot() { return fs::path(GEOPLAIT_TEST_DATA) / "cli"; }

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(CaseRoot(), ec)) {
        if (entry.is_directory() && fs::exists(entry.path() / "args")) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ReadArgs(const fs::path& file) {
    std::string text = ReadFileBytes(file.string());
    std::vector<std::string> args;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string arg = text.substr(pos, end - pos);
        if (!arg.empty() && arg.back() == '\r') arg.pop_back();
        args.push_back(arg);
        pos = end + 1;
    }
    return args;
}

// The environment of the run: ours with TZ, LC_ALL and the banner time fixed,
// and the given lines, each of which replaces a variable of the same name.
std::vector<std::string> RunEnvironment(const std::vector<std::string>& extra) {
    std::map<std::string, std::string> variables;
    auto put = [&](std::string_view line) {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) return;
        variables[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    };
    for (char** entry = environ; *entry != nullptr; ++entry) put(*entry);
    put("TZ=UTC");
    put("LC_ALL=C");
    put(std::string("GEOPLAIT_FIXED_TIME=") + kFixedTime);
    for (const std::string& line : extra) put(line);
    std::vector<std::string> env;
    for (const auto& [name, value] : variables) env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

struct Finished {
    int status = -1;  // -1: could not be started
    std::string out;
    std::string err;
};

// Writes `bytes` into the pipe `fd` and closes it; a reader that is gone
// (the program refused its input) ends the writing.
void FeedPipe(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
}

// Runs `program` (searched in PATH) in `cwd` with stdin from /dev/null, or
// from a pipe fed with `input` when given, capturing its output.
Finished Spawn(const std::string& program, std::vector<std::string> args, const fs::path& cwd,
               const std::vector<std::string>& env = {}, const std::string* input = nullptr) {
    TempDir capture;
    const std::string outPath = capture.File("stdout");
    const std::string errPath = capture.File("stderr");
    args.insert(args.begin(), program);
    std::vector<char*> argv = Pointers(args);
    std::vector<std::string> envTexts = RunEnvironment(env);
    std::vector<char*> envp = Pointers(envTexts);
    int feed[2] = {-1, -1};
    if (input != nullptr) {
        // A write to a program that stopped reading fails instead of ending the test.
        signal(SIGPIPE, SIG_IGN);
        if (pipe2(feed, O_CLOEXEC) != 0) return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, feed[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    // The program gets SIGPIPE as it would from a shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    std::thread feeder;
    if (input != nullptr) {
        close(feed[0]);
        if (failed == 0) {
            feeder = std::thread(FeedPipe, feed[1], std::cref(*input));
        } else {
            close(feed[1]);
        }
    }
    Finished result;
    int wstatus = 0;
    const bool waited = failed == 0 && waitpid(pid, &wstatus, 0) == pid;
    if (feeder.joinable()) feeder.join();
    if (!waited) return result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    return result;
}

// Relative path -> bytes of every regular file under `root`.
std::map<std::string, std::string> FilesUnder(const fs::path& root) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (ec) break;
        if (it->is_regular_file() && !it->is_symlink()) {
            files[fs::relative(it->path(), root).generic_string()] = ReadFileBytes(it->path().string());
        }
    }
    return files;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Runs a checking tool (xmllint, gpsbabel) over a file; it must accept it.
void CheckWith(const std::string& tool, const std::vector<std::string>& args, const fs::path& file) {
    Finished run = Spawn(tool, args, file.parent_path());
    ASSERT_NE(run.status, -1) << tool << " is not installed (scripts/setup installs it); cannot check " << file;
    EXPECT_EQ(run.status, 0) << tool << " rejects " << file.filename() << ":\n" << run.out << run.err;
}

void CheckWellFormed(const fs::path& file, const fs::path& caseDir) {
    const std::string extension = Lower(file.extension().string());
    const std::string name = file.string();
    if (extension == ".kml" || extension == ".gpx") {
        CheckWith("xmllint", {"--noout", name}, file);
        CheckWith("gpsbabel", {"-i", extension.substr(1), "-f", name, "-o", "gpx", "-F", "/dev/null"}, file);
        // gpsbabel (tracks and routes), gpxpy and GDAL read the same speeds,
        // the log's; libkml finds no line of fewer than two points.
        CheckWith("/usr/bin/python3", {std::string(GEOPLAIT_TEST_DATA) + "/../cli/client_reads.py", name,
                                       caseDir.string()},
                  file);
    } else if (extension == ".geojson") {
        // Python's json and GDAL read it; a small RFC 7946 check.
        CheckWith("/usr/bin/python3", {std::string(GEOPLAIT_TEST_DATA) + "/../cli/client_reads.py", name,
                                       caseDir.string()},
                  file);
    } else if (extension == ".xmp") {
        CheckWith("xmllint", {"--noout", name}, file);
    } else if (extension == ".html" || extension == ".htm") {
        CheckWith("xmllint", {"--html", "--noout", name}, file);
    }
}

// Empty when equal, else where and how two byte strings part.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected) return {};
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    size_t from = at < 40 ? 0 : at - 40;
    return "differs at byte " + std::to_string(at) + " (sizes " + std::to_string(actual.size()) +
           " actual, " + std::to_string(expected.size()) + " expected)\nactual:   ..." +
           actual.substr(from, 80) + "\nexpected: ..." + expected.substr(from, 80);
}

int ExpectedExit(const fs::path& expected) {
    fs::path file = expected / "exit";
    if (!fs::exists(file)) return 0;
    return std::atoi(ReadFileBytes(file.string()).c_str());
}

void WriteExpected(const fs::path& expected, const Finished& run,
                   const std::map<std::string, std::string>& produced) {
    const fs::path uncheckedFile = expected / "unchecked";
    const std::string unchecked = fs::exists(uncheckedFile) ? ReadFileBytes(uncheckedFile.string()) : "";
    fs::remove_all(expected);
    fs::create_directories(expected / "files");
    if (!unchecked.empty()) WriteFileBytes(uncheckedFile.string(), unchecked);
    WriteFileBytes((expected / "exit").string(), std::to_string(run.status) + "\n");
    WriteFileBytes((expected / "stdout").string(), run.out);
    WriteFileBytes((expected / "stderr").string(), run.err);
    const std::vector<std::string> exempt = unchecked.empty() ? std::vector<std::string>{} : ReadArgs(uncheckedFile);
    for (const auto& [name, bytes] : produced) {
        if (std::find(exempt.begin(), exempt.end(), name) != exempt.end()) continue;
        fs::path target = expected / "files" / name;
        fs::create_directories(target.parent_path());
        WriteFileBytes(target.string(), bytes);
    }
}

// Lines "PATH YYYYMMDDhhmmss" (UTC): a file's modification time, for the
// photos that are dated by it.
void SetModificationTimes(const fs::path& dir, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        const size_t blank = line.rfind(' ');
        ASSERT_NE(blank, std::string::npos) << "mtime line: " << line;
        const std::string stamp = line.substr(blank + 1);
        ASSERT_EQ(stamp.size(), 14U) << "mtime line: " << line;
        std::tm when{};
        when.tm_year = std::stoi(stamp.substr(0, 4)) - 1900;
        when.tm_mon = std::stoi(stamp.substr(4, 2)) - 1;
        when.tm_mday = std::stoi(stamp.substr(6, 2));
        when.tm_hour = std::stoi(stamp.substr(8, 2));
        when.tm_min = std::stoi(stamp.substr(10, 2));
        when.tm_sec = std::stoi(stamp.substr(12, 2));
        const struct timespec times[2] = {{timegm(&when), 0}, {timegm(&when), 0}};
        const std::string path = (dir / line.substr(0, blank)).string();
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << "mtime of " << path;
    }
}

class GoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenTest, MatchesExpected) {
    fs::path source = CaseRoot() / GetParam();
    fs::path expected = source / "expected";
    TempDir work;
    fs::path workDir = work.path();

    for (const auto& entry : fs::directory_iterator(source)) {
        std::string name = entry.path().filename().string();
        if (name == "args" || name == "env" || name == "mtime" || name == "stdin" || name == "expected") continue;
        fs::copy(entry.path(), workDir / name,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    if (fs::exists(source / "mtime")) SetModificationTimes(workDir, ReadArgs(source / "mtime"));
    std::map<std::string, std::string> inputs = FilesUnder(workDir);

    // The user's own settings stay out of the run: its home is a folder of
    // its own, whose settings file (AutoLoad off) stands for a machine where
    // the programs ran before, so the built-in defaults hold. A case's `env`
    // may point elsewhere; "@WORK@" in it is the work directory.
    TempDir home;
    fs::create_directories(home.path() + "/config/geoplait");
    WriteFileBytes(home.File("config/geoplait/geoplait.ini"), "  AutoLoad=0\n");
    std::vector<std::string> envLines = {"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.File("config")};
    if (const fs::path env = source / "env"; fs::exists(env)) {
        for (std::string line : ReadArgs(env)) {
            for (size_t at; (at = line.find("@WORK@")) != std::string::npos;) line.replace(at, 6, workDir.string());
            envLines.push_back(line);
        }
    }
    const bool fed = fs::exists(source / "stdin");
    const std::string fedBytes = fed ? ReadFileBytes((source / "stdin").string()) : std::string();
    Finished run = Spawn(GEOPLAIT_CLI, ReadArgs(source / "args"), workDir, envLines, fed ? &fedBytes : nullptr);
    ASSERT_GE(run.status, 0) << "geoplait-cli did not run";
    ASSERT_LT(run.status, 126) << "geoplait-cli could not start or died: " << run.err;

    std::map<std::string, std::string> produced;
    for (const auto& [name, bytes] : FilesUnder(workDir)) {
        auto input = inputs.find(name);
        if (input == inputs.end() || input->second != bytes) produced[name] = bytes;
    }
    for (const auto& entry : produced) CheckWellFormed(workDir / entry.first, source);

    const char* update = std::getenv("GEOPLAIT_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        WriteExpected(expected, run, produced);
        return;
    }

    ASSERT_TRUE(fs::is_directory(expected))
        << "the case has no expected/; make it with GEOPLAIT_UPDATE_GOLDEN=1 and check it by hand";
    EXPECT_EQ(run.status, ExpectedExit(expected)) << "stderr:\n" << run.err;
    if (fs::exists(expected / "stdout")) {
        EXPECT_EQ(run.out, ReadFileBytes((expected / "stdout").string())) << "stdout differs";
    }
    if (fs::exists(expected / "stderr")) {
        EXPECT_EQ(run.err, ReadFileBytes((expected / "stderr").string())) << "stderr differs";
    }
    const std::map<std::string, std::string> wanted = FilesUnder(expected / "files");
    for (const auto& [name, bytes] : wanted) {
        fs::path actual = workDir / name;
        if (!fs::exists(actual)) {
            ADD_FAILURE() << "not produced: " << name;
            continue;
        }
        EXPECT_EQ(FirstDifference(ReadFileBytes(actual.string()), bytes), "") << "file " << name;
    }
    // Nothing else: no temporary file, no piece that should not be. Files
    // named in expected/unchecked (an archive stamped with the clock) must be
    // there but are checked by a test of their own.
    std::vector<std::string> unchecked;
    if (fs::exists(expected / "unchecked")) unchecked = ReadArgs(expected / "unchecked");
    for (const std::string& name : unchecked) EXPECT_TRUE(produced.contains(name)) << "not produced: " << name;
    for (const auto& entry : produced) {
        const bool exempt = std::find(unchecked.begin(), unchecked.end(), entry.first) != unchecked.end();
        EXPECT_TRUE(exempt || wanted.contains(entry.first)) << "left behind: " << entry.first;
    }
}

std::string CaseTestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, ::testing::ValuesIn(CaseNames()), CaseTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenTest);

}  // namespace
}  // namespace geoplait::test
