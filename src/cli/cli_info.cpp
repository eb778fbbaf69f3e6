// What geoplait-cli tells about itself: its options, --version, --list-keys
// and the progress bar's line.
#include <CLI/CLI.hpp>
#include <expat.h>
#include <zip.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "cli/cli_run.h"
#include "settings/convert_settings.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"

namespace geoplait {

namespace {

// What a key takes, in words.
std::string TakesOf(const SettingKey& entry) {
    if (entry.type == KeyType::Mode) return "a mode's settings-file value (--list-modes)";
    if (entry.type == KeyType::Choice) {
        std::string list;
        for (const ChoiceValue& choice : entry.choices) list += (list.empty() ? "" : ", ") + std::string(choice.fileValue);
        return "one of " + list;
    }
    if (entry.type == KeyType::ConfigRgb || entry.type == KeyType::VLineColour ||
        entry.type == KeyType::GroupColour) {
        return "R,G,B (0 to 255 each)";
    }
    switch (entry.rule) {
        case ValueRule::Flag:
            return "0 or 1";
        case ValueRule::Integer:
            return "a whole number";
        case ValueRule::Number:
            return "a number";
        case ValueRule::TimeDifference:
            return "a time difference, \"+ 9:00\", \"- 5:00\", \" 0:00\" ...";
        case ValueRule::TimeZone:
            return "a zone name (Europe/Berlin), system, or nothing";
        case ValueRule::Text:
            break;
    }
    return entry.type == KeyType::Path ? "a path" : "text";
}

}  // namespace

void DeclareCliOptions(CLI::App& app, CliOptions& options) {
    app.add_option("--in", options.inputs,
                   "Input file, several, or a folder of them; - (or /dev/stdin) reads standard input")
        ->type_name("PATH")
        ->expected(1, -1);
    app.add_option("--out", options.output,
                   "Output file; - (or /dev/stdout) writes standard output. Default: named after the input")
        ->type_name("PATH");
    app.add_option("--out-dir", options.outDir, "Folder of the outputs, each named after its input")
        ->type_name("DIR");
    app.add_option("--mode", options.mode,
                   "Conversion mode: display text, settings-file value or short name (nmea2gpx). "
                   "Default: the one the names of --in and --out give")
        ->type_name("MODE");
    app.add_option("--jobs", options.jobs, "Files converted at a time (default: one per core)")
        ->type_name("N")
        ->check(CLI::Range(1, 256));
    app.add_option("--ini", options.ini, "Read the settings file FILE (all keys) after geoplait.ini")
        ->type_name("FILE");
    app.add_flag("--no-ini", options.noIni, "Leave geoplait.ini of the current folder unread");
    app.add_option("--set", options.sets, "One settings-file line; may be repeated")
        ->type_name("KEY=VALUE")
        ->allow_extra_args(false);
    app.add_flag("--yes", options.yes, "Replace an existing output file");
    app.add_flag("--quiet", options.quiet, "Print errors only");
    app.add_flag("--verbose", options.verbose, "Print each pass of the run and the records it read");
    app.add_option("--write-ini", options.writeIni,
                   "Write the resulting settings to FILE in the settings-file layout; no conversion")
        ->type_name("FILE");
    app.add_flag("--list-modes", options.listModes, "Print the " + std::to_string(kModeCount) + " modes and exit");
    app.add_flag("--list-keys", options.listKeys, "Print every settings key, its default and what it takes");
    app.add_flag("--version", options.version, "Print the versions of the program and its libraries");
}

std::string ListKeysText() {
    // The defaults as the settings file writes them, line by line.
    Settings defaults;
    SetDefaultSettings(defaults);
    ApplyBaselineSettings(defaults);
    struct tm when {};
    const std::string file = SettingsFileText(defaults, when);
    std::string text;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t end = file.find('\n', pos);
        if (end == std::string::npos) end = file.size();
        std::string_view line(file.data() + pos, end - pos);
        pos = end + 1;
        if (!line.starts_with("  ") || line.find('=') == std::string_view::npos) continue;
        line.remove_prefix(2);
        const std::string key(line.substr(0, line.find('=')));
        std::string_view value = line.substr(key.size() + 1);
        // A comment after the value is no part of it.
        if (const size_t comment = value.find(';'); comment != std::string_view::npos) value = value.substr(0, comment);
        while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
        int group = -1;
        const SettingKey* entry = FindSettingKey(kSettingKeys, key, group);
        if (entry == nullptr) continue;
        text += key + "\t" + std::string(value) + "\t" + TakesOf(*entry) + "\n";
    }
    for (const SettingKey& entry : kCurrentOnlyKeys) {
        const bool number = entry.type == KeyType::Flag || entry.type == KeyType::Int;
        const std::string value = number ? std::to_string(entry.defaultNumber)
                                         : std::string(entry.defaultText != nullptr ? entry.defaultText : "");
        text += std::string(entry.key) + "\t" + value + "\t" + TakesOf(entry) + " (not kept in the settings file)\n";
    }
    return text;
}

std::string VersionText() {
    std::string text = "geoplait-cli " GEOPLAIT_VERSION "\n";
    text += std::string(XML_ExpatVersion()) + "\n";
    text += std::string("libzip ") + zip_libzip_version() + "\n";
    text += "CLI11 " CLI11_VERSION "\n";
    return text;
}

std::string ProgressLine(const RunProgress& progress, long long seconds) {
    constexpr uint64_t kWidth = 30;
    char line[160];
    const uint64_t total = progress.bytesTotal;
    if (total > 0) {
        // A file that grew while it was read keeps the bar full.
        const uint64_t shown = progress.bytesRead < total ? progress.bytesRead : total;
        const auto percent = static_cast<int>(100.0 * static_cast<double>(shown) / static_cast<double>(total));
        const auto filled = static_cast<size_t>(static_cast<double>(kWidth) * static_cast<double>(shown) /
                                                static_cast<double>(total));
        std::string bar(filled, '#');
        bar.append(kWidth - filled, '-');
        std::snprintf(line, sizeof line, "[%s] %d records %3d%%  %lld:%02lld  pass %d", bar.c_str(),
                      progress.records, percent, seconds / 60, seconds % 60, progress.pass);
    } else {
        std::snprintf(line, sizeof line, "%d records  %lld:%02lld  pass %d", progress.records, seconds / 60,
                      seconds % 60, progress.pass);
    }
    return line;
}

}  // namespace geoplait
