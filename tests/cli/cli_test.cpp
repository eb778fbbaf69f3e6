// The command line run in-process, in a fresh current directory per test.
// Exit statuses, messages and written settings of whole runs are golden cases
// (tests/data/cli/job_*).
#include "cli/cli.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geo/time_difference.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;

const std::string kLog = test::ReadFileBytes(std::string(GEOPLAIT_TEST_DATA) + "/cli/job_create_directory/in.log");

class CliTest : public ::testing::Test {
protected:
    // The desktop's settings folder lies in the test's folder too.
    CliTest() : home_(fs::current_path()) {
        fs::current_path(dir.path());
        if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) xdg_ = xdg;
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    }
    ~CliTest() override {
        fs::current_path(home_);
        unsetenv("GEOPLAIT_FIXED_TIME");
        if (xdg_) {
            setenv("XDG_CONFIG_HOME", xdg_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
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
    std::optional<std::string> xdg_;
    fs::path home_;
};

TEST_F(CliTest, SetRefusesValuesItsKeyCannotTake) {
    const std::pair<std::string, std::string> cases[] = {
        {"TimeDifference=+ 25:00", "TimeDifference takes one of \"+14:00\", \"+13:00\", "},
        {"TimeDifference=+9:00", "\"- 9:30\", \"-10:00\", \"-11:00\", \"-12:00\"\n"},
        {"MeterMile=UnitKm", "MeterMile takes one of UnitKM, UnitNMF, UnitSMF\n"},
        {"Language=English", "Language takes one of jp-jp, en-us, zh-cn, zh-tw, ko-kr\n"},
        {"Mode=Nmea2KML", "Mode takes a mode's settings-file value (see --list-modes)\n"},
        {"Label_Date=2", "Label_Date takes 0 or 1\n"}, {"AutoSave=yes", "AutoSave takes 0 or 1\n"},
        {"TrackLine= 1", "TrackLine takes 0 or 1\n"}, {"RecordStart=12abc", "RecordStart takes a number\n"},
        {"LineDistance=.", "LineDistance takes a number\n"}, {"SpeedRange_03=", "SpeedRange_03 takes a number\n"},
        {"Imput_Latitude=1.5", "Imput_Latitude takes a whole number\n"}, {"Name=\xFF", "Name takes UTF-8 text\n"},
    };
    for (const auto& [line, problem] : cases) {
        EXPECT_EQ(Cli({"--set", "Bom=0", "--set", line}), 64) << line;
        EXPECT_TRUE(err.str().starts_with("geoplait-cli: --set \"" + line + "\": ")) << err.str();
        EXPECT_NE(err.str().find(problem), std::string::npos) << err.str();
    }
    // A good value is taken whole, as it stands.
    EXPECT_EQ(Cli({"--set", "LineDistance=", "--set", "OffNS=-000036.5", "--set", "IconURL=a=b;c  d",
                   "--set", " Name =x", "--write-ini", "w.ini"}),
              0);
    EXPECT_EQ(IniLine("w.ini", "IconURL"), "  IconURL=a=b;c  d");
    EXPECT_EQ(IniLine("w.ini", "Name"), "  Name=x");
    EXPECT_EQ(IniLine("w.ini", "OffNS"), "  OffNS=-000036.5");
}

// Every time difference of the list is taken, its first and last ones and
// those beyond twelve hours included; a neighbour outside it is not.
TEST_F(CliTest, SetTakesEveryTimeDifferenceOfTheList) {
    for (const TimeDifferenceEntry& entry : kTimeDifferences) {
        const std::string line = std::string("TimeDifference=") + entry.text;
        EXPECT_EQ(Cli({"--set", line, "--write-ini", "w.ini"}), 0) << line << err.str();
        EXPECT_EQ(IniLine("w.ini", "TimeDifference"), "  " + line);
    }
    for (const char* outside : {"+14:30", "+15:00", "-12:30", "-13:00", "+12:30"}) {
        EXPECT_EQ(Cli({"--set", std::string("TimeDifference=") + outside, "--write-ini", "w.ini"}), 64) << outside;
    }
}

// The golden cases job_write_ini_* write the settings with a fixed banner time;
// without one (or with a malformed one) the clock is used.
TEST_F(CliTest, AutoSaveWritesTheStartupFileOrEndsWithStatusOne) {
    test::WriteFileBytes(dir.File("in.log"), kLog);
    const std::vector<std::string> run = {"--set", "AutoSave=1", "--mode", "Nmea2Pot", "--in", "in.log",
                                          "--out", "out.pot", "--yes"};
    // Without a geoplait.ini in the current folder: the desktop's, its folder made.
    const std::string desktop = "config/geoplait/geoplait.ini";
    EXPECT_EQ(Cli(run), 0) << err.str();
    EXPECT_EQ(IniLine(desktop, "Mode"), "  Mode=Nmea2Pot");
    EXPECT_EQ(IniLine(desktop, "AutoSave"), "  AutoSave=1");
    EXPECT_FALSE(fs::exists(dir.File("geoplait.ini")));

    // One in the current folder is the one used.
    test::WriteFileBytes(dir.File("geoplait.ini"), "  AutoSave=1\n");
    EXPECT_EQ(Cli({"--mode", "Nmea2Gpx", "--in", "in.log", "--out", "out.gpx", "--yes"}), 0) << err.str();
    EXPECT_EQ(IniLine("geoplait.ini", "Mode"), "  Mode=Nmea2Gpx");
    EXPECT_EQ(IniLine(desktop, "Mode"), "  Mode=Nmea2Pot");

    fs::remove(dir.File("geoplait.ini"));
    fs::remove(dir.File(desktop));
    fs::create_directory(dir.File(desktop));  // the save cannot replace a directory
    EXPECT_EQ(Cli(run), 1);
    EXPECT_TRUE(out.str().starts_with("Complete: Complete Record=")) << out.str();
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");

    // Warnings and a failed save: the save decides, as it is what the run lost last.
    const std::vector<std::string> warned = {"--set", "AutoSave=1", "--mode", "Geoplait", "--in", "in.log",
                                             "--out", "out.kml", "--set", "Photo=1", "--set", "PhotoDir=missing",
                                             "--set", "Kmz=1", "--yes"};
    EXPECT_EQ(Cli(warned), 1);
    EXPECT_NE(err.str().find("Warning: Not Create (No Photo): out.kmz\n"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Error: Config File Not Create. \n"), std::string::npos) << err.str();
    // The same run with the save made ends with the warnings' status.
    fs::remove(dir.File(desktop));
    EXPECT_EQ(Cli(warned), 5);
}

// --list-keys lists the keys of the settings file, in its order, with their
// defaults, and then the keys the file does not hold.
TEST_F(CliTest, ListKeysHasTheKeysAndDefaultsOfTheSettingsFile) {
    ASSERT_EQ(Cli({"--no-ini", "--write-ini", "defaults.ini"}), 0) << err.str();
    std::vector<std::string> fileLines;
    std::istringstream file(test::ReadFileBytes(dir.File("defaults.ini")));
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.starts_with("  ") || line.find('=') == std::string::npos) continue;
        line = line.substr(2, line.find(';') == std::string::npos ? std::string::npos : line.find(';') - 2);
        while (line.back() == ' ') line.pop_back();
        fileLines.push_back(line);
    }
    ASSERT_EQ(Cli({"--list-keys"}), 0);
    std::vector<std::string> listed;
    std::istringstream list(out.str());
    for (std::string line; std::getline(list, line);) {
        const size_t tab = line.find('\t');
        const size_t second = line.find('\t', tab + 1);
        ASSERT_NE(second, std::string::npos) << line;
        if (line.ends_with("(not kept in the settings file)")) continue;
        listed.push_back(line.substr(0, tab) + "=" + line.substr(tab + 1, second - tab - 1));
    }
    EXPECT_EQ(listed, fileLines);
    EXPECT_GT(listed.size(), 150u);
}

// A file the user may not read names the file and the reason; root reads
// every file, so the case is left out there.
TEST_F(CliTest, AnUnreadableInputIsNamedWithItsReason) {
    if (geteuid() == 0) GTEST_SKIP() << "root may read any file";
    test::WriteFileBytes(dir.File("in.log"), kLog);
    fs::permissions(dir.File("in.log"), fs::perms::none);
    EXPECT_EQ(Cli({"--in", "in.log", "--out", "out.gpx"}), 2);
    EXPECT_EQ(err.str(), "Error: Input File Not Found.. \nin.log: Permission denied\n");
    EXPECT_FALSE(fs::exists(dir.File("out.gpx")));
}

TEST(CliProgress, BarShowsRecordsPercentTimeAndPass) {
    struct Case {
        RunProgress progress;
        long long seconds;
        const char* line;
    };
    const Case cases[] = {
        {{1, 0, 0, 200}, 0, "[------------------------------] 0 records   0%  0:00  pass 1"},
        {{2, 100, 100, 200}, 75, "[###############---------------] 100 records  50%  1:15  pass 2"},
        // The bar follows the bytes, whatever the records.
        {{1, 7, 199, 200}, 9, "[#############################-] 7 records  99%  0:09  pass 1"},
        // More bytes than the size taken at the start (the file grew): the bar stays full.
        {{1, 250, 300, 200}, 3, "[##############################] 250 records 100%  0:03  pass 1"},
        // Sizes beyond 32 bits.
        {{1, 5, 3ULL << 32, 4ULL << 32}, 0, "[######################--------] 5 records  75%  0:00  pass 1"},
        // A pipe: no size.
        {{1, 42, 4096, 0}, 61, "42 records  1:01  pass 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressLine(c.progress, c.seconds), c.line);
}

}  // namespace
}  // namespace geoplait
