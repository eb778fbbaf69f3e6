// The settings both programs start with, read the same way by the window and
// the command line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/user_interface.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The start-up folder: the current working folder, "." when it cannot be told.
std::string StartupDirectory();

// What the start-up takes from the machine: where the desktop keeps settings
// and the user's language. Empty texts stand for unset variables.
struct MachineEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME
    std::string home;           // $HOME
    std::string locale;         // $LC_ALL, else $LC_MESSAGES, else $LANG
};
MachineEnvironment ReadMachineEnvironment();

// The folder whose geoplait.ini the programs read and write: the start-up
// folder when it holds one (a folder can keep its own settings), otherwise
// $XDG_CONFIG_HOME/geoplait, or ~/.config/geoplait without it (a relative
// $XDG_CONFIG_HOME is ignored, as the desktop's rules say). Without either,
// the start-up folder.
std::string SettingsDirectory(const std::string& startDir, const MachineEnvironment& env);

// The Language display text of a locale name ("de_DE.UTF-8" -> "English",
// "ja_JP.UTF-8" -> "日本語", "zh_TW" -> traditional Chinese).
std::string LanguageOfLocale(std::string_view locale);

// The defaults of a first start, when no settings file exists yet: the
// machine's own time zone and the locale's language.
void ApplyMachineDefaults(ConvertSettings& baseline, const MachineEnvironment& env);

// What a program adds to the settings after the settings file and before the
// current instance is made from the baseline (the command line's own settings
// file and KEY=VALUE settings).
using StartupOverlay = std::function<void(Settings&)>;

// The start-up load: the settings folder of startDir, the defaults (those of
// the machine when that folder holds no settings file), the settings file
// (pass 0, and pass 1 when its AutoLoad is "1"), `overlay` when given, then
// the current instance from the baseline. Messages of the file go to `ui`.
void LoadStartupSettings(Settings& settings, UserInterface& ui, const std::string& startDir,
                         const StartupOverlay& overlay = {},
                         const MachineEnvironment& env = ReadMachineEnvironment());

}  // namespace geoplait
