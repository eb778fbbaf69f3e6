// The settings file geoplait.ini: banner, INI-like sections, "  key=value" lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <string_view>
#include <ctime>

#include "base/user_interface.h"
#include "settings/convert_settings.h"

namespace geoplait {

inline constexpr const char* kSettingsFileName = "geoplait.ini";
inline constexpr const char* kVersionText = "Ver 0.33";

// The two readings of the settings file at start-up: the first takes only the
// switches that decide about the second (AutoLoad, AutoSave, Protect), the
// second takes every key.
enum class LoadPass { StartupSwitches, AllKeys };

// Whether a save that succeeded says so ("Parameter Saved. "); a failed save
// is always reported.
enum class SaveNotice { Silent, Show };

// The largest settings file read: one written by the program is about 8 KiB.
inline constexpr uint64_t kSettingsFileLimit = 1024 * 1024;

// The lines of a settings file, read once for both passes.
struct SettingsText {
    bool found = false;    // the file was read
    bool refused = false;  // larger than kSettingsFileLimit (its message shown)
    std::vector<std::string> lines;
};

// Reads startDir/name (a name with "/" as it is) whole; a file larger than
// kSettingsFileLimit is refused with "Config File Too Large" and not read.
SettingsText ReadSettingsText(const Settings& settings, UserInterface& ui, const std::string& name);
// Applies the lines read in one pass (see LoadSettingsFile).
void ApplySettingsText(Settings& settings, UserInterface& ui, const SettingsText& text, LoadPass pass);

// Reads startDir/name into the [config] fields and the baseline, the keys of
// `pass`. A missing file shows "Config File Not found. " in the AllKeys pass
// only. The caller applies the baseline.
void LoadSettingsFile(Settings& settings, UserInterface& ui, const std::string& name, LoadPass pass);

// Handles one line of the settings-file grammar (tidying, comments, key=value,
// numbered keys) against the [config] fields and the baseline. Returns false
// when the line names no known key; a known key whose value is ignored (pass
// StartupSwitches, invalid UTF-8, unknown MeterMile / Language / Mode value)
// gives true.
bool ApplySettingsLine(Settings& settings, std::string_view line, LoadPass pass);

// A KEY=VALUE setting of the command line: unlike a file line, the value is
// everything after the first "=", taken whole, and a value the key cannot
// take is refused instead of ignored. Returns what is wrong with the line (it
// names the key and what it takes), empty when the line is good.
std::string CommandLineSettingProblem(std::string_view line);
// Stores a good command-line setting of a settings-file key into the
// [config] fields or the baseline; false for any other line.
bool ApplyCommandLineSetting(Settings& settings, std::string_view line);
// The same for the fields of the current instance that no file line stores:
// TrackLine and the four photo calibration texts. The command line applies
// these after ApplyBaselineSettings.
bool ApplyCommandLineCurrentOnly(ConvertSettings& current, std::string_view line);

// The fix-up after the last line: a TIME_IncludeStart / TIME_IncludeEnd whose
// second character is ":" gets a leading "0". LoadSettingsFile does this
// itself; a caller that applies lines on its own (--set) calls it afterwards.
void PadIncludeTimes(ConvertSettings& baseline);

// startDir + "/" + name; a name holding "/" is used as given.
std::string SettingsFilePath(const Settings& settings, const std::string& name);

// Writes startDir/name from the [config] fields and the current instance,
// with `when` (the clock's local time when null) as the time of writing.
// Returns false when the file was not written (Protect, or it could not be
// written whole: the old file is then left intact).
bool SaveSettingsFile(Settings& settings, UserInterface& ui, const std::string& name,
                      SaveNotice notice, const struct tm* when = nullptr);

// The file's whole text (as it would be written, before line-end translation)
// with the given time of writing; SaveSettingsFile writes this.
std::string SettingsFileText(const Settings& settings, const struct tm& when);

}  // namespace geoplait
