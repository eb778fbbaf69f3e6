#include "settings/startup_settings.h"

#include <filesystem>
#include <system_error>

#include "settings/settings_file.h"

namespace geoplait {

std::string StartupDirectory() {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return ec ? std::string(".") : here.string();
}

void LoadStartupSettings(Settings& settings, UserInterface& ui, const std::string& startDir,
                         const StartupOverlay& overlay) {
    settings.startDir = startDir;
    SetDefaultSettings(settings);
    LoadSettingsFile(settings, ui, kSettingsFileName, LoadPass::StartupSwitches);
    if (settings.config.AutoLoad == "1") LoadSettingsFile(settings, ui, kSettingsFileName, LoadPass::AllKeys);
    if (overlay) overlay(settings);
    ApplyBaselineSettings(settings);
}

}  // namespace geoplait
