// The command line run in-process, in a fresh current directory per test.
// Exit statuses, messages and written settings of whole runs are golden cases
// (tests/data/cli/job_*).
#include "cli/cli.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;

const std::string kLog = test::ReadFileBytes(std::string(GEOPLAIT_TEST_DATA) + "/cli/job_create_directory/in.log");

class CliTest : public ::testing::Test {
protected:
    CliTest() : home_(fs::current_path()) { fs::current_path(dir.path()); }
    ~CliTest() override {
        fs::current_path(home_);
        unsetenv("GEOPLAIT_FIXED_TIME");
    }

    int Cli(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), "geoplait-cli");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        return RunCli(static_cast<int>(args.size()), argv.data(), out, err);
    }
    // The written settings file's line for `key` ("  key=value"), or "".
    std::string IniLine(const std::string& file, const std::string& key) {
        std::string text = test::ReadFileBytes(dir.File(file));
        size_t at = text.find("\r\n  " + key + "=");
        if (at == std::string::npos) return {};
        at += 2;
        return text.substr(at, text.find("\r\n", at) - at);
    }

    test::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;

private:
    fs::path home_;
};

TEST_F(CliTest, HelpDocumentsTheContract) {
    EXPECT_EQ(Cli({"--help"}), 0);
    for (const char* part : {"--ini", "--mode", "--in", "--out", "--set", "--yes", "--write-ini",
                             "--list-modes", "GEOPLAIT_FIXED_TIME", "Exit status", "64", "stdout"}) {
        EXPECT_NE(out.str().find(part), std::string::npos) << part;
    }
}

TEST_F(CliTest, BadCommandLines) {
    const std::vector<std::vector<std::string>> cases = {
        {"stray"}, {"--mode"}, {"--mode", "geoplait"}, {"--set", "label_date=1"}, {"--set", "=1"},
        {"--set", " =1"}, {"--set", "#Label_Date=1"}, {"--set", "Label_Date=1", "--set", "LineWidth_13=2"},
        {"--in", "a.log", "--in", "b.log"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Cli(args), 64) << args[0] << " " << args.back();
        EXPECT_TRUE(err.str().starts_with("geoplait-cli: ")) << err.str();
        EXPECT_NE(err.str().find("\nUsage: geoplait-cli [--ini FILE] [--mode MODE] "), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_TRUE(fs::is_empty(dir.path())) << "a bad command line writes nothing";
}

// The golden cases job_write_ini_* write the settings with a fixed banner time;
// without one (or with a malformed one) the clock is used.
TEST_F(CliTest, WriteIniWithTheClock) {
    setenv("GEOPLAIT_FIXED_TIME", "2024", 1);
    ASSERT_EQ(Cli({"--write-ini", "clock.ini"}), 0);
    const std::string text = test::ReadFileBytes(dir.File("clock.ini"));
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF# Geoplait.ini   Ver 0.33  (Create:"));
    EXPECT_EQ(text.find("(Create:2024 "), std::string::npos);
    EXPECT_EQ(IniLine("clock.ini", "Mode"), "  Mode=Geoplait");
    unsetenv("GEOPLAIT_FIXED_TIME");
    EXPECT_EQ(Cli({"--write-ini", "missing/dir/out.ini"}), 1);
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");
}

TEST_F(CliTest, AutoSaveWritesTheStartupFileOrEndsWithStatusOne) {
    test::WriteFileBytes(dir.File("in.log"), kLog);
    const std::vector<std::string> run = {"--set", "AutoSave=1", "--mode", "Nmea2Pot", "--in", "in.log",
                                          "--out", "out.pot", "--yes"};
    EXPECT_EQ(Cli(run), 0) << err.str();
    EXPECT_EQ(IniLine("geoplait.ini", "Mode"), "  Mode=Nmea2Pot");
    EXPECT_EQ(IniLine("geoplait.ini", "AutoSave"), "  AutoSave=1");

    fs::remove(dir.File("geoplait.ini"));
    fs::create_directory(dir.File("geoplait.ini"));  // the save cannot replace a directory
    EXPECT_EQ(Cli(run), 1);
    EXPECT_TRUE(out.str().starts_with("Complete: Complete Record=")) << out.str();
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");
}

TEST(CliProgress, BarShowsRecordsPercentTimeAndPass) {
    struct Case {
        int pass, done, total;
        long long seconds;
        const char* line;
    };
    const Case cases[] = {
        {1, 0, 200, 0, "[------------------------------] 0/200   0%  0:00  pass 1"},
        {2, 100, 200, 75, "[###############---------------] 100/200  50%  1:15  pass 2"},
        // More records than the pre-scan counted: the bar stays full.
        {1, 250, 200, 3, "[##############################] 250/200 100%  0:03  pass 1"},
        {1, 42, 0, 61, "42 records  1:01  pass 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressLine(c.pass, c.done, c.total, c.seconds), c.line);
}

}  // namespace
}  // namespace geoplait
