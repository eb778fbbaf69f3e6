// The command line run in-process, in a fresh current directory per test.
#include "cli/cli.h"

#include <cstdio>
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

constexpr const char* kUsageLine =
    "Usage: geoplait-cli [--ini FILE] [--mode MODE] [--in PATH] [--out PATH] "
    "[--set KEY=VALUE]... [--yes] [--write-ini FILE] [--list-modes]\n";

// "$body*hh\n" with the checksum of body.
std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\n", sum);
    return "$" + body + tail;
}

std::string ThreeEpochs() {
    std::string log;
    for (int s = 0; s < 3; ++s) {
        std::string time = "0315" + std::string(s < 10 ? "0" : "") + std::to_string(s) + ".00";
        log += Sentence("GPRMC," + time + ",A,3539.3300,N,13945.31" + std::to_string(s) +
                        "0,E,2.5,90.0,150424,,,A");
        log += Sentence("GPGGA," + time + ",3539.3300,N,13945.31" + std::to_string(s) +
                        "0,E,1,08,1.0,40.0,M,39.0,M,,");
    }
    return log;
}

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

TEST_F(CliTest, ListModes) {
    EXPECT_EQ(Cli({"--list-modes"}), 0);
    std::string text = out.str();
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    EXPECT_EQ(lines, 36u);
    EXPECT_TRUE(text.starts_with("nmea(log) -> kml\tGeoplait\nnmea(log) -> pot\tNmea2Pot\n"));
    EXPECT_TRUE(text.ends_with("kml(Point) -> csv(Custom)\tKmlPoint2CsvCustom\nPhoto(Only) -> kml\tPhoto2kml\n"));
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliTest, HelpDocumentsTheContract) {
    EXPECT_EQ(Cli({"--help"}), 0);
    for (const char* part : {"--ini", "--mode", "--in", "--out", "--set", "--yes", "--write-ini",
                             "--list-modes", "GEOPLAIT_FIXED_TIME", "Exit status", "64", "stdout"}) {
        EXPECT_NE(out.str().find(part), std::string::npos) << part;
    }
}

TEST_F(CliTest, BadCommandLines) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"stray"},
        {"--mode"},
        {"--mode", "nmea -> kml"},
        {"--mode", "geoplait"},
        {"--set", "NoSuchKey=1"},
        {"--set", "label_date=1"},
        {"--set", "Label_Date"},
        {"--set", "=1"},
        {"--set", " =1"},
        {"--set", "#Label_Date=1"},
        {"--set", "Label_Date=1", "--set", "LineWidth_13=2"},
        {"--in", "a.log", "--in", "b.log"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Cli(args), 64) << args[0] << " " << args.back();
        EXPECT_TRUE(err.str().starts_with("geoplait-cli: ")) << err.str();
        EXPECT_NE(err.str().find(kUsageLine), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_TRUE(fs::is_empty(dir.path())) << "a bad command line writes nothing";
}

TEST_F(CliTest, ModeByDisplayTextOrFileValue) {
    ASSERT_EQ(Cli({"--mode", "Nmea2Gpx", "--write-ini", "a.ini"}), 0) << err.str();
    EXPECT_EQ(IniLine("a.ini", "Mode"), "  Mode=Nmea2Gpx");
    ASSERT_EQ(Cli({"--mode", "gpx -> pot", "--write-ini", "b.ini"}), 0) << err.str();
    EXPECT_EQ(IniLine("b.ini", "Mode"), "  Mode=Gpx2Pot");
    ASSERT_EQ(Cli({"--write-ini", "c.ini"}), 0);
    EXPECT_EQ(IniLine("c.ini", "Mode"), "  Mode=Geoplait");
}

TEST_F(CliTest, SettingsInTheirOrder) {
    test::WriteFileBytes(dir.File("base.ini"),
                         "  Mode=Pot2Kml\n  Label_Date=1\n  InputFile=/from/ini.pot\n  Name=FromIni\n");
    ASSERT_EQ(Cli({"--ini", "base.ini", "--set", "Label_Date=0", "--set", "Name=First", "--set",
                   "Name=Second", "--set", "TrackLine=0", "--set", "TIME_IncludeStart=9:05:00",
                   "--in", "/from/cli.pot", "--write-ini", "out.ini"}),
              0)
        << err.str();
    EXPECT_EQ(IniLine("out.ini", "Mode"), "  Mode=Pot2Kml");
    EXPECT_EQ(IniLine("out.ini", "Label_Date"), "  Label_Date=0");
    EXPECT_EQ(IniLine("out.ini", "Name"), "  Name=Second");
    EXPECT_EQ(IniLine("out.ini", "InputFile"), "  InputFile=/from/cli.pot");
    EXPECT_EQ(IniLine("out.ini", "TIME_IncludeStart"), "  TIME_IncludeStart=09:05:00");
    EXPECT_EQ(IniLine("out.ini", "TrackLine"), "") << "no file line holds TrackLine";
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliTest, StartupFileNeedsAutoLoad) {
    test::WriteFileBytes(dir.File("geoplait.ini"), "  AutoLoad=0\n  Mode=Pot2Kml\n");
    ASSERT_EQ(Cli({"--write-ini", "off.ini"}), 0);
    EXPECT_EQ(IniLine("off.ini", "Mode"), "  Mode=Geoplait");
    test::WriteFileBytes(dir.File("geoplait.ini"), "  AutoLoad=1\n  Mode=Pot2Kml\n");
    ASSERT_EQ(Cli({"--write-ini", "on.ini"}), 0);
    EXPECT_EQ(IniLine("on.ini", "Mode"), "  Mode=Pot2Kml");
    EXPECT_EQ(IniLine("on.ini", "AutoLoad"), "  AutoLoad=1");
}

TEST_F(CliTest, MissingIniFileIsReported) {
    EXPECT_EQ(Cli({"--ini", "none.ini", "--write-ini", "out.ini"}), 0);
    EXPECT_EQ(err.str(), "Error: Config File Not found. \n");
}

TEST_F(CliTest, FixedBannerTime) {
    setenv("GEOPLAIT_FIXED_TIME", "20240102030405", 1);
    ASSERT_EQ(Cli({"--write-ini", "fixed.ini"}), 0);
    EXPECT_TRUE(test::ReadFileBytes(dir.File("fixed.ini"))
                    .starts_with("\xEF\xBB\xBF# Geoplait.ini   Ver 0.33  (Create:20240102 030405)\r\n"));
    setenv("GEOPLAIT_FIXED_TIME", "2024", 1);  // malformed: the clock
    ASSERT_EQ(Cli({"--write-ini", "clock.ini"}), 0);
    EXPECT_EQ(test::ReadFileBytes(dir.File("clock.ini")).find("(Create:20240102 030405)"),
              std::string::npos);
}

TEST_F(CliTest, WriteIniFailures) {
    EXPECT_EQ(Cli({"--write-ini", "missing/dir/out.ini"}), 1);
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");
    setenv("GEOPLAIT_FIXED_TIME", "20240102030405", 1);
    EXPECT_EQ(Cli({"--write-ini", "missing/dir/out.ini"}), 1);
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");
    EXPECT_EQ(Cli({"--set", "Protect=1", "--write-ini", "out.ini"}), 1);
    EXPECT_EQ(err.str(), "Protect: Save Inhibit. geoplait.ini(ProtectMode)\n");
    EXPECT_FALSE(fs::exists(dir.File("out.ini")));
}

TEST_F(CliTest, ValidationEndsWithStatusTwo) {
    EXPECT_EQ(Cli({"--in", "none.log", "--out", "out.kml"}), 2);
    EXPECT_EQ(err.str(), "Error: Input File Not Found.. \n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliTest, ReplaceOnlyWithYes) {
    test::WriteFileBytes(dir.File("in.log"), ThreeEpochs());
    test::WriteFileBytes(dir.File("out.kml"), "old");
    EXPECT_EQ(Cli({"--mode", "Photo2kml", "--in", "in.log", "--out", "out.kml"}), 2);
    EXPECT_EQ(err.str(),
              "Check!: Already exists Output File. Do you want to replace it?\n"
              "Answered Cancel; use --yes to answer OK.\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("out.kml")), "old");

    EXPECT_EQ(Cli({"--mode", "Photo2kml", "--in", "in.log", "--out", "out.kml", "--yes"}), 4);
    EXPECT_EQ(err.str(), "Error!: No data?\n\nOmit=0\n\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliTest, CompleteRunPrintsToStdout) {
    test::WriteFileBytes(dir.File("in.log"), ThreeEpochs());
    EXPECT_EQ(Cli({"--mode", "Nmea2Pot", "--in", "in.log", "--out", "sub/out.pot"}), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("Complete: Complete Record=")) << out.str();
    EXPECT_TRUE(out.str().ends_with("\nCreate Directory.\n\n")) << out.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliTest, NothingIncludedIsStatusThree) {
    test::WriteFileBytes(dir.File("empty.log"), "");
    EXPECT_EQ(Cli({"--mode", "Nmea2Pot", "--in", "empty.log", "--out", "out.pot"}), 3);
    EXPECT_EQ(err.str(), "Complete: Include Record Not Found=0/1\n\n               Error!\n");
}

TEST_F(CliTest, FailedAutoSaveIsStatusOne) {
    test::WriteFileBytes(dir.File("in.log"), ThreeEpochs());
    fs::create_directory(dir.File("geoplait.ini"));  // the save cannot replace a directory
    EXPECT_EQ(Cli({"--set", "AutoSave=1", "--mode", "Nmea2Pot", "--in", "in.log", "--out", "out.pot"}),
              1);
    EXPECT_TRUE(out.str().starts_with("Complete: Complete Record=")) << out.str();
    EXPECT_EQ(err.str(), "Error: Config File Not Create. \n");
}

TEST_F(CliTest, AutoSaveWritesTheStartupFile) {
    test::WriteFileBytes(dir.File("in.log"), ThreeEpochs());
    EXPECT_EQ(Cli({"--set", "AutoSave=1", "--mode", "Nmea2Pot", "--in", "in.log", "--out", "out.pot"}),
              0);
    EXPECT_EQ(IniLine("geoplait.ini", "Mode"), "  Mode=Nmea2Pot");
    EXPECT_EQ(IniLine("geoplait.ini", "AutoSave"), "  AutoSave=1");
}

}  // namespace
}  // namespace geoplait
