#include "settings/startup_settings.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/settings_file.h"

namespace geoplait {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Locale language (and territory, when it matters) to the Language setting.
struct LocaleLanguage {
    std::string_view language;   // "zh"
    std::string_view territory;  // "TW"; empty for any
    const char* displayText;
};
constexpr std::array<LocaleLanguage, 6> kLocaleLanguages = {{
    {"ja", "", "日本語"},
    {"zh", "CN", "汉语(簡)"},
    {"zh", "SG", "汉语(簡)"},
    {"zh", "TW", "國語(繁)"},
    {"zh", "HK", "國語(繁)"},
    {"ko", "", "한국"},
}};
constexpr const char* kFallbackLanguage = "English";

}  // namespace

std::string StartupDirectory() {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return ec ? std::string(".") : here.string();
}

MachineEnvironment ReadMachineEnvironment() {
    MachineEnvironment env;
    env.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    env.home = Environment("HOME");
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        env.locale = Environment(name);
        if (!env.locale.empty()) break;
    }
    return env;
}

std::string SettingsDirectory(const std::string& startDir, const MachineEnvironment& env) {
    if (IsFile(startDir + "/" + kSettingsFileName)) return startDir;
    if (!env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/') return env.xdgConfigHome + "/geoplait";
    if (!env.home.empty() && env.home.front() == '/') return env.home + "/.config/geoplait";
    return startDir;
}

std::string LanguageOfLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    const size_t bar = name.find('_');
    const std::string_view language = name.substr(0, bar);
    const std::string_view territory = bar == std::string_view::npos ? std::string_view() : name.substr(bar + 1);
    for (const LocaleLanguage& entry : kLocaleLanguages) {
        if (entry.language == language && (entry.territory.empty() || entry.territory == territory)) {
            return entry.displayText;
        }
    }
    return kFallbackLanguage;
}

void ApplyMachineDefaults(ConvertSettings& baseline, const MachineEnvironment& env) {
    baseline.TimeZone = kSystemTimeZone;
    baseline.Language = LanguageOfLocale(env.locale);
}

void LoadStartupSettings(Settings& settings, UserInterface& ui, const std::string& startDir,
                         const StartupOverlay& overlay, const MachineEnvironment& env) {
    settings.startDir = SettingsDirectory(startDir, env);
    settings.ownSettingsDir = settings.startDir != startDir;
    SetDefaultSettings(settings);
    if (!IsFile(SettingsFilePath(settings, kSettingsFileName))) ApplyMachineDefaults(settings.baseline, env);
    LoadSettingsFile(settings, ui, kSettingsFileName, LoadPass::StartupSwitches);
    if (settings.config.AutoLoad == "1") LoadSettingsFile(settings, ui, kSettingsFileName, LoadPass::AllKeys);
    if (overlay) overlay(settings);
    ApplyBaselineSettings(settings);
}

}  // namespace geoplait
