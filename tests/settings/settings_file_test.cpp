#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_keys.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RecordingUi;
using test::TempDir;
using test::WriteFileBytes;
using Messages = test::Notices;
using CS = ConvertSettings;

const std::string kBom = "\xEF\xBB\xBF";
const struct tm kWhen {};

Settings DefaultedSettings(const std::string& startDir = ".") {
    Settings settings;
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    return settings;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Every regular file below `root` with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadFileBytes(entry.path().string());
    }
    return files;
}

// ---- The file as written: the golden cases job_write_ini_defaults (byte for
// byte) and job_write_ini_file_forms (the values kept in another form).

TEST(SettingsFileText, UnknownDisplayTextsLeaveTheirLineOut) {
    Settings settings = DefaultedSettings();
    std::string expected = SettingsFileText(settings, kWhen);
    for (const char* line : {"  MeterMile=UnitKM\n", "  Language=jp-jp\n", "  Mode=Geoplait\n"}) {
        ASSERT_NE(expected.find(line), std::string::npos) << line;
        expected.erase(expected.find(line), std::string(line).size());
    }
    settings.current.MeterMile = "km";
    settings.current.Language = "Deutsch";
    settings.current.Mode = "nmea -> kml";
    EXPECT_EQ(SettingsFileText(settings, kWhen), expected);
}

// ---- Saving

TEST(SaveSettingsFile, WritesBomCrLfReplacesKeepingPermissionsAndReports) {
    TempDir dir;
    WriteFileBytes(dir.File("geoplait.ini"), "old\n");
    ASSERT_EQ(chmod(dir.File("geoplait.ini").c_str(), 0640), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    ASSERT_TRUE(SaveSettingsFile(settings, ui, kSettingsFileName, SaveNotice::Show));
    EXPECT_EQ(ui.messages, (Messages{MakeNotice(Notice::SettingsSaved)}));
    // The banner carries the time of writing; the rest is fixed.
    const std::string bytes = ReadFileBytes(dir.File("geoplait.ini"));
    const std::string expected = kBom + Crlf(SettingsFileText(settings, kWhen));
    const std::string head = kBom + "# Geoplait.ini   Ver 0.33  (Create:";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    ASSERT_NE(bytes.find('\n'), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.find('\n')), expected.substr(expected.find('\n')));
    struct stat st {};
    ASSERT_EQ(stat(dir.File("geoplait.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u) << "no temporary file is left";

    // An automatic save is silent; a name holding "/" is used as given.
    settings.startDir = "/nonexistent-start-dir";
    ui.messages.clear();
    EXPECT_TRUE(SaveSettingsFile(settings, ui, dir.File("other.ini"), SaveNotice::Silent));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(test::FileExists(dir.File("other.ini")));
    EXPECT_EQ(SettingsFilePath(settings, "geoplait.ini"), "/nonexistent-start-dir/geoplait.ini");
}

TEST(SaveSettingsFile, FailedSavesReportAndChangeNoFile) {
    const NoticeText notCreated = MakeNotice(Notice::SettingsNotCreated);
    const NoticeText inhibit = MakeNotice(Notice::SettingsProtected);
    // The directory holds geoplait.ini and a plain file, or a directory of `blocked`'s name.
    const struct { const char* name; const char* protect; SaveNotice show; const char* startDir; const char* blocked;
                   NoticeText message; } cases[] = {
        {"protect, shown", "1", SaveNotice::Show, "", "", inhibit},
        {"protect, automatic", "1", SaveNotice::Silent, "", "", inhibit},
        {"start dir missing", "0", SaveNotice::Show, "/missing", "", notCreated},
        {"start dir is a file", "0", SaveNotice::Show, "/plain", "", notCreated},
        {"settings path is a directory", "0", SaveNotice::Show, "", "geoplait.ini", notCreated},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("plain"), "x");
        if (*c.blocked != '\0') fs::create_directory(dir.File(c.blocked));
        if (!fs::exists(dir.File("geoplait.ini"))) WriteFileBytes(dir.File("geoplait.ini"), kBom + "  Name=Old\r\n");
        Settings settings = DefaultedSettings(dir.path() + c.startDir);
        settings.config.Protect = c.protect;
        const auto before = Snapshot(dir.path());
        RecordingUi ui;
        EXPECT_FALSE(SaveSettingsFile(settings, ui, kSettingsFileName, c.show)) << c.name;
        EXPECT_EQ(ui.messages, (Messages{c.message})) << c.name;
        EXPECT_EQ(Snapshot(dir.path()), before) << c.name;
    }
}

// ---- Write, then read back: the golden case job_ini_every_field_round_trip
// reads a file whose every value differs from the default and writes it
// again byte for byte.

// ---- The read grammar: the golden cases job_ini_* read a file with --ini and
// write what they took with --write-ini (tidying, comments, numbers, choices,
// numbered keys, cut texts, refused lines, UTF-16 and over-long lines).

// ---- Reading whole files

// What the file holds after a round of reading and writing reads back as
// the very same file: a value cut within the line's limit never ends in the
// blank that reading drops, and speed bounds are held in the hundredths the
// file writes (never as "-0.00").
TEST(SettingsFileText, WrittenFileReadsBackTheSame) {
    const auto written = [](const std::vector<std::string>& lines) {
        Settings settings = DefaultedSettings();
        for (const std::string& line : lines) ApplySettingsLine(settings, line, LoadPass::AllKeys);
        ApplyBaselineSettings(settings);
        return SettingsFileText(settings, kWhen);
    };
    const std::string text62(62, 'n');
    const std::vector<std::vector<std::string>> cases = {
        {"PosType_edit=" + text62 + " tail"},
        {"Photo_PhotoUrl_edit=" + text62 + " x", "PosType_edit=" + text62 + "  "},
        {"SpeedRange_01=-0.001", "SpeedRange_02=0.005", "SpeedRange_03=4.004", "SpeedRange_04=-7.125"},
        {"SpeedRange_12=123456789012345678.25"},
    };
    for (const auto& lines : cases) {
        const std::string first = written(lines);
        std::vector<std::string> again;
        for (size_t pos = 0, end; pos < first.size(); pos = end + 1) {
            end = std::min(first.find('\n', pos), first.size());
            again.push_back(first.substr(pos, end - pos));
        }
        EXPECT_EQ(written(again), first) << lines.front();
    }
    Settings settings = DefaultedSettings();
    ApplySettingsLine(settings, "PosType_edit=" + text62 + " tail", LoadPass::AllKeys);
    EXPECT_EQ(settings.baseline.PosType_edit, text62);
    ApplySettingsLine(settings, "SpeedRange_01=-0.001", LoadPass::AllKeys);
    ApplySettingsLine(settings, "SpeedRange_02=0.005", LoadPass::AllKeys);
    EXPECT_FALSE(std::signbit(settings.baseline.SpeedRange[0]));
    ApplyBaselineSettings(settings);
    const std::string text = SettingsFileText(settings, kWhen);
    EXPECT_NE(text.find("  SpeedRange_01=0.00;0.00\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  SpeedRange_02=0.01;"), std::string::npos) << text;
}

TEST(LoadSettingsFile, MissingFileOrDirectory) {
    for (bool directory : {false, true}) {
        for (LoadPass pass : {LoadPass::StartupSwitches, LoadPass::AllKeys}) {
            TempDir dir;
            if (directory) fs::create_directory(dir.File("geoplait.ini"));
            Settings settings = DefaultedSettings(dir.path());
            settings.baseline.TIME_IncludeStart = "9:00:00";  // the fix-up runs anyway
            RecordingUi ui;
            LoadSettingsFile(settings, ui, kSettingsFileName, pass);
            EXPECT_EQ(ui.messages,
                      (pass == LoadPass::AllKeys ? Messages{MakeNotice(Notice::SettingsFileNotFound)} : Messages{}));
            EXPECT_EQ(settings.baseline.TIME_IncludeStart, "09:00:00");
            settings.baseline.TIME_IncludeStart = "";
            EXPECT_EQ(settings.baseline, DefaultedSettings().baseline);
        }
    }
}

// A pipe in the settings file's place is not opened (it would wait for a
// writer for ever): it reads as no file.
TEST(LoadSettingsFile, PipeIsNoFile) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("geoplait.ini").c_str(), 0600), 0);
    Settings settings = DefaultedSettings(dir.path());
    RecordingUi ui;
    LoadSettingsFile(settings, ui, kSettingsFileName, LoadPass::AllKeys);
    EXPECT_EQ(ui.messages, Messages{MakeNotice(Notice::SettingsFileNotFound)});
    EXPECT_EQ(settings.baseline, DefaultedSettings().baseline);
}

// A settings file is at most 1 MiB: one byte more and it is refused with
// its message and not read at all (neither pass).
TEST(LoadSettingsFile, LargerThanOneMebibyteIsRefused) {
    for (const size_t extra : {size_t{0}, size_t{1}}) {
        TempDir dir;
        std::string text = "[config]\nAutoLoad=1\n[Main]\n  Name=big\n";
        text.append(kSettingsFileLimit - text.size() + extra, '#');
        ASSERT_EQ(text.size(), kSettingsFileLimit + extra);
        WriteFileBytes(dir.File("geoplait.ini"), text);
        Settings settings = DefaultedSettings(dir.path());
        RecordingUi ui;
        const SettingsText read = ReadSettingsText(settings, ui, kSettingsFileName);
        ApplySettingsText(settings, ui, read, LoadPass::StartupSwitches);
        ApplySettingsText(settings, ui, read, LoadPass::AllKeys);
        if (extra == 0) {
            EXPECT_EQ(ui.messages, Messages{});
            EXPECT_EQ(settings.config.AutoLoad, "1");
            EXPECT_EQ(settings.baseline.Name, "big");
        } else {
            EXPECT_EQ(ui.messages, Messages{MakeNotice(Notice::SettingsFileTooLarge, {dir.File("geoplait.ini")})});
            EXPECT_EQ(settings.baseline, DefaultedSettings().baseline);
        }
    }
}

}  // namespace
}  // namespace geoplait
