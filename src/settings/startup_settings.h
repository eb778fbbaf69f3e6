// The settings both programs start with, read the same way by the window and
// the command line.
#pragma once

#include <functional>
#include <string>

#include "base/user_interface.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The start-up folder, where geoplait.ini lives: the current working folder,
// "." when it cannot be told.
std::string StartupDirectory();

// What a program adds to the settings after the settings file and before the
// current instance is made from the baseline (the command line's own settings
// file and KEY=VALUE settings).
using StartupOverlay = std::function<void(Settings&)>;

// The start-up load: startDir, the defaults, the settings file startDir/
// geoplait.ini (pass 0, and pass 1 when its AutoLoad is "1"), `overlay` when
// given, then the current instance from the baseline. Messages of the file go
// to `ui`.
void LoadStartupSettings(Settings& settings, UserInterface& ui, const std::string& startDir,
                         const StartupOverlay& overlay = {});

}  // namespace geoplait
