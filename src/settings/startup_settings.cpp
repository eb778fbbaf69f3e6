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
    // Read once: its switches first, then every key when AutoLoad is 1.
    const SettingsText text = ReadSettingsText(settings, ui, kSettingsFileName);
    ApplySettingsText(settings, ui, text, LoadPass::StartupSwitches);
    if (settings.config.AutoLoad == "1") ApplySettingsText(settings, ui, text, LoadPass::AllKeys);
    if (overlay) overlay(settings);
    ApplyBaselineSettings(settings);
}

}  // namespace geoplait
