// The settings file geoplait.ini.
//
// Layout: a 20-line "#" banner (version and time of writing), a "# " line,
// nine "[config ...]" sections of "  key=value" lines each closed by an empty
// line, and a closing rule line. UTF-8 with a byte-order mark, CR LF.
//
// Quirks of the reading grammar: section headers are not interpreted (any key
// counts in any section); blank runs are collapsed over the whole line, so a
// value never keeps two blanks in a row; everything from the first ";" is a
// comment (this drops the upper bound of a SpeedRange line and the note of
// the Default_UTC_Date line); a value runs to the end of the line, "=" and
// all (an icon URL with a query keeps it). Numbered keys
// (LineColorRGB_nn, LineWidth_nn, Transparent_nn, SpeedRange_nn) outside
// 1..12 are ignored. Values that are not valid UTF-8 are ignored.
//
// Saving writes a temporary file beside the settings file and renames it
// over the old one (the text-file layer does), so a failed save leaves the
// old file as it was.
#include "settings/settings_file.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "settings/convert_modes.h"
#include "base/text_file.h"
#include "base/text_fields.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"
#include "settings/settings_keys.h"

namespace geoplait {

namespace {

constexpr const char* kRuleLine =
    "# ---------------------------------------------------------------------------------------\n";

constexpr const char* kBannerNotes[] = {
    "# Note. \n",
    "#  [config]\n",
    "#    AutoLoad        0:off  1:on\n",
    "#    AutoSave        0:off  1:on\n",
    "#    Protect (Save)  0:off  1:on\n",
    "#    BackgroundColor R[0-255],G[0-255],B[0-255]\n",
    "#    EditColor       R[0-255],G[0-255],B[0-255]\n",
    "#    ComboColor      R[0-255],G[0-255],B[0-255]\n",
    "#    LatitudeNS      N:North S:South    System default latitude\n",
    "#    LongitudeWE     W:West  E:East     System default longitude\n",
    "#  [config general]\n",
    "#    TimeDifference    + 9:00    (Fix 6 Charactor  1:[+|-] 2-3:(Hou) 4:[:] 5-6:(Min))\n",
    "#    TimeZone          [Area/City|system]  empty: TimeDifference all year\n",
    "#    MeterMile         [UnitKM|UnitNMF|UnitSMF]\n",
    "#    Language          [jp-jp|en-us|zh-cn|zh-tw|ko-kr]\n",
    "#    Mode              [InType]2[OutType] Type:[Nmea|Kml|CsfFull|CsvCustom|Pot|Gpx|.....]\n",
    "#    InputFile          FullPath&FileName\n",
    "#    OutputFile         FullPath&FileName\n",
};

// The "=" of a line further in than this leaves the value empty.
constexpr size_t kKeyScanChars = 2048;

size_t CharsBefore(const std::string& text, size_t bytes) {
    size_t count = 0;
    for (size_t i = 0; i < bytes && i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
    }
    return count;
}

// Steps of the read grammar up to key and value; false for a line that
// carries no key=value (no "=", comment, section header).
bool SplitSettingsLine(std::string_view raw, std::string& key, std::string& value) {
    // Nothing after a NUL byte is text.
    raw = raw.substr(0, raw.find('\0'));
    if (raw.find('=') == std::string_view::npos) return false;
    std::string line(raw);
    CollapseBlanks(line);
    if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') return false;
    size_t comment = line.find(';');
    if (comment != std::string::npos) line.resize(comment);
    CollapseBlanks(line);
    size_t equals = line.find('=');
    // The comment took the "=" away: a key without a value changes nothing.
    if (equals == std::string::npos) return false;
    key.assign(line, 0, equals);
    value.clear();
    if (CharsBefore(line, equals) < kKeyScanChars) {
        size_t end = line.find_first_of("\r\n", equals + 1);
        if (end == std::string::npos) end = line.size();
        value.assign(line, equals + 1, end - (equals + 1));
    }
    CollapseBlanks(key);
    CollapseBlanks(value);
    return true;
}

void StoreText(std::string& field, const std::string& value, size_t chars) {
    field = value;
    const size_t whole = field.size();
    CutToChars(field, chars);
    // A value cut so that it ends in a blank keeps it not: the file could not
    // hold it, as blanks at a value's end are read away.
    if (field.size() < whole && !field.empty() && field.back() == ' ') field.pop_back();
}

// A speed bound as the file writes it, in hundredths ("%.2f"), so that what is
// held is what is written and read back; never minus zero. Bounds too large
// for hundredths to matter stay as they are.
double SpeedBoundOf(double value) {
    if (std::fabs(value) < 1e15) value = std::round(value * 100.0) / 100.0;
    return value == 0.0 ? 0.0 : value;
}

Rgb RgbOfDecimalText(std::string_view text) {
    int parts[3] = {0, 0, 0};
    for (int& part : parts) {
        size_t comma = text.find(',');
        part = LeadingInt(text.substr(0, comma));
        part = part < 0 ? 0 : (part > 255 ? 255 : part);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return Rgb{parts[0], parts[1], parts[2]};
}

// Stores one value into its field; `config` is null for the current-only keys.
void StoreValue(const SettingKey& entry, int group, const std::string& value, ConvertSettings& target,
                ConfigSettings* config) {
    if (!IsValidUtf8(value)) return;
    size_t g = static_cast<size_t>(group);
    switch (entry.type) {
    case KeyType::ConfigText:
        if (config != nullptr) StoreText(config->*entry.configText, value, kTextChars);
        break;
    case KeyType::ConfigRgb:
        if (config != nullptr) config->*entry.configRgb = RgbOfDecimalText(value);
        break;
    case KeyType::Text:
    case KeyType::VLineColour:
        StoreText(target.*entry.text, value, kTextChars);
        break;
    case KeyType::Path:
        StoreText(target.*entry.text, value, kPathChars);
        break;
    case KeyType::Flag:
    case KeyType::Int:
        target.*entry.number = LeadingInt(value);
        break;
    case KeyType::Choice:
        for (const ChoiceValue& choice : entry.choices) {
            if (value == choice.fileValue) {
                target.*entry.text = choice.displayText;
                break;
            }
        }
        break;
    case KeyType::Mode:
        if (const ConvertMode* mode = FindModeByFileValue(value)) target.*entry.text = mode->displayText;
        break;
    case KeyType::GroupColour:
    case KeyType::GroupText:
        if (g < kGroupCount) StoreText((target.*entry.groupText)[g], value, kTextChars);
        break;
    case KeyType::SpeedRange:
        if (g < kGroupCount) (target.*entry.groupNumber)[g] = SpeedBoundOf(LeadingNumber(value));
        break;
    }
}

void AppendInt(std::string& out, int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    out += buffer;
}

void AppendRgb(std::string& out, const Rgb& rgb) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d,%d,%d", rgb.R, rgb.G, rgb.B);
    out += buffer;
}

// "  key=" with the group suffix "_nn" for numbered keys (group from 0).
void AppendKey(std::string& out, const char* key, int group = -1) {
    out += "  ";
    out += key;
    if (group >= 0) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "_%02d", group + 1);
        out += buffer;
    }
    out += '=';
}

void AppendEntryLines(std::string& out, const SettingKey& entry, const Settings& settings, int group) {
    const ConfigSettings& config = settings.config;
    const ConvertSettings& current = settings.current;
    size_t g = static_cast<size_t>(group);
    switch (entry.type) {
    case KeyType::ConfigText:
        AppendKey(out, entry.key);
        out += config.*entry.configText;
        break;
    case KeyType::ConfigRgb:
        AppendKey(out, entry.key);
        AppendRgb(out, config.*entry.configRgb);
        break;
    case KeyType::Text:
    case KeyType::Path:
        AppendKey(out, entry.key);
        out += current.*entry.text;
        break;
    case KeyType::Flag:
    case KeyType::Int:
        AppendKey(out, entry.key);
        AppendInt(out, current.*entry.number);
        break;
    case KeyType::Choice: {
        const ChoiceValue* match = nullptr;
        for (const ChoiceValue& choice : entry.choices) {
            if (current.*entry.text == choice.displayText) {
                match = &choice;
                break;
            }
        }
        if (match == nullptr) return;  // unknown display text: no line
        AppendKey(out, entry.key);
        out += match->fileValue;
        break;
    }
    case KeyType::Mode: {
        const ConvertMode* mode = FindModeByDisplayText(current.*entry.text);
        if (mode == nullptr) return;
        AppendKey(out, entry.key);
        out += mode->fileValue;
        break;
    }
    case KeyType::VLineColour:
        AppendKey(out, entry.key);
        AppendRgb(out, RgbOfHexColor(current.*entry.text));
        break;
    case KeyType::GroupColour:
        AppendKey(out, entry.key, group);
        AppendRgb(out, RgbOfHexColor((current.*entry.groupText)[g]));
        break;
    case KeyType::GroupText:
        AppendKey(out, entry.key, group);
        out += (current.*entry.groupText)[g];
        break;
    case KeyType::SpeedRange: {
        const GroupNumbers& ranges = current.*entry.groupNumber;
        AppendKey(out, entry.key, group);
        AppendFixed2(out, SpeedBoundOf(ranges[g]));
        out += ';';
        // The upper end is the next range's lower bound less 0.01; the last is open.
        if (g + 1 < kGroupCount) {
            AppendFixed2(out, SpeedBoundOf(ranges[g + 1]) - 0.01);
        } else {
            out += "999.99";
        }
        break;
    }
    }
    if (entry.comment != nullptr) {
        out += ';';
        out += entry.comment;
    }
    out += '\n';
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string SettingsFilePath(const Settings& settings, const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    return settings.startDir + "/" + name;
}

void PadIncludeTimes(ConvertSettings& baseline) {
    for (std::string* time : {&baseline.TIME_IncludeStart, &baseline.TIME_IncludeEnd}) {
        if (time->size() >= 2 && (*time)[1] == ':') {
            time->insert(0, 1, '0');
            CutToChars(*time, kTextChars);
        }
    }
}

bool ApplySettingsLine(Settings& settings, std::string_view line, LoadPass pass) {
    std::string key;
    std::string value;
    if (!SplitSettingsLine(line, key, value)) return false;
    int group = -1;
    const SettingKey* entry = FindSettingKey(kSettingKeys, key, group);
    if (entry == nullptr) return false;
    // The first pass reads the start-up switches only.
    if (pass == LoadPass::StartupSwitches && !entry->startupSwitch) return true;
    StoreValue(*entry, group, value, settings.baseline, &settings.config);
    return true;
}

namespace {

// Key (blanks around it dropped) and whole value of a command-line setting.
bool SplitCommandLine(std::string_view line, std::string& key, std::string& value) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    std::string_view name = line.substr(0, equals);
    const size_t first = name.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    name = name.substr(first, name.find_last_not_of(" \t") + 1 - first);
    key.assign(name);
    value.assign(line.substr(equals + 1));
    return true;
}

bool IsWholeNumber(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// [+-] digits [. digits] or [+-] . digits
bool IsDecimalNumber(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view t) { return t.find_first_not_of("0123456789") == std::string_view::npos; };
    return digits(whole) && digits(fraction) && (!whole.empty() || !fraction.empty());
}

std::string ChoicesOf(std::span<const ChoiceValue> choices) {
    std::string list;
    for (const ChoiceValue& choice : choices) list += (list.empty() ? "" : ", ") + std::string(choice.fileValue);
    return list;
}

// What `value` fails to be for `entry`; empty when it is good.
std::string ValueProblem(const SettingKey& entry, const std::string& key, const std::string& value) {
    const std::string takes = key + " takes ";
    if (!IsValidUtf8(value)) return takes + "UTF-8 text";
    if (entry.type == KeyType::Choice) {
        for (const ChoiceValue& choice : entry.choices) {
            if (value == choice.fileValue) return {};
        }
        return takes + "one of " + ChoicesOf(entry.choices);
    }
    if (entry.type == KeyType::Mode) {
        return FindModeByFileValue(value) != nullptr ? std::string()
                                                     : takes + "a mode's settings-file value (see --list-modes)";
    }
    switch (entry.rule) {
    case ValueRule::Text:
        return {};
    case ValueRule::Flag:
        return value == "0" || value == "1" ? std::string() : takes + "0 or 1";
    case ValueRule::Integer:
        return IsWholeNumber(value) ? std::string() : takes + "a whole number";
    case ValueRule::Number:
        // Nothing is a value too where the file may leave it empty (no limit).
        if (value.empty() && entry.type == KeyType::Text) return {};
        return IsDecimalNumber(value) ? std::string() : takes + "a number";
    case ValueRule::TimeDifference: {
        std::string list;
        for (const TimeDifferenceEntry& difference : kTimeDifferences) {
            if (value == difference.text) return {};
            list += (list.empty() ? "\"" : ", \"") + std::string(difference.text) + "\"";
        }
        return takes + "one of " + list;
    }
    case ValueRule::TimeZone: {
        LocalClock clock;
        if (value.empty() || FindTimeZone(value, clock)) return {};
        return takes + "a zone name of the system's time-zone database (Europe/Berlin), system, or nothing";
    }
    }
    return {};
}

const SettingKey* FindCommandLineKey(std::string_view line, std::string& key, std::string& value, int& group,
                                     bool& currentOnly) {
    if (!SplitCommandLine(line, key, value)) return nullptr;
    currentOnly = false;
    if (const SettingKey* entry = FindSettingKey(kSettingKeys, key, group)) return entry;
    currentOnly = true;
    return FindSettingKey(kCurrentOnlyKeys, key, group);
}

}  // namespace

std::string CommandLineSettingProblem(std::string_view line) {
    std::string key;
    std::string value;
    int group = -1;
    bool currentOnly = false;
    if (!SplitCommandLine(line, key, value)) return "--set needs KEY=VALUE: \"" + std::string(line) + "\"";
    const SettingKey* entry = FindCommandLineKey(line, key, value, group, currentOnly);
    if (entry == nullptr) return "unknown settings key in --set \"" + std::string(line) + "\"";
    const std::string problem = ValueProblem(*entry, key, value);
    return problem.empty() ? problem : "--set \"" + std::string(line) + "\": " + problem;
}

bool ApplyCommandLineSetting(Settings& settings, std::string_view line) {
    std::string key;
    std::string value;
    int group = -1;
    bool currentOnly = false;
    const SettingKey* entry = FindCommandLineKey(line, key, value, group, currentOnly);
    if (entry == nullptr || currentOnly) return false;
    StoreValue(*entry, group, value, settings.baseline, &settings.config);
    return true;
}

bool ApplyCommandLineCurrentOnly(ConvertSettings& current, std::string_view line) {
    std::string key;
    std::string value;
    int group = -1;
    bool currentOnly = false;
    const SettingKey* entry = FindCommandLineKey(line, key, value, group, currentOnly);
    if (entry == nullptr || !currentOnly) return false;
    StoreValue(*entry, group, value, current, nullptr);
    return true;
}

void LoadSettingsFile(Settings& settings, UserInterface& ui, const std::string& name, LoadPass pass) {
    std::string path = SettingsFilePath(settings, name);
    TextReader reader;
    // A device or a pipe is not opened: it could wait for a writer for ever.
    if (IsDirectory(path) || IsSpecialFile(path) || !reader.Open(path)) {
        if (pass == LoadPass::AllKeys) ui.Show(MakeNotice(Notice::SettingsFileNotFound));
    } else {
        std::string line;
        while (reader.ReadLine(line, 4096)) ApplySettingsLine(settings, line, pass);
        reader.Close();
    }
    PadIncludeTimes(settings.baseline);
}

std::string SettingsFileText(const Settings& settings, const struct tm& when) {
    std::string out;
    out.reserve(8192);
    char banner[160];
    std::snprintf(banner, sizeof banner, "# Geoplait.ini   %s  (Create:%04d%02d%02d %02d%02d%02d)\n",
                  kVersionText, when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour,
                  when.tm_min, when.tm_sec);
    out += banner;
    out += kRuleLine;
    for (const char* note : kBannerNotes) out += note;
    out += kRuleLine;
    out += "# \n";

    for (int s = 0; s < kFileSectionCount; ++s) {
        auto section = static_cast<SettingsSection>(s);
        out += kSectionHeaders[static_cast<size_t>(s)];
        out += '\n';
        bool numbered = section == SettingsSection::Group || section == SettingsSection::SpeedGroup;
        for (int group = 0; group < (numbered ? kGroupCount : 1); ++group) {
            for (const SettingKey& entry : kSettingKeys) {
                if (entry.section == section) AppendEntryLines(out, entry, settings, numbered ? group : -1);
            }
        }
        out += '\n';
    }
    out += kRuleLine;
    return out;
}

bool SaveSettingsFile(Settings& settings, UserInterface& ui, const std::string& name, SaveNotice notice,
                      const struct tm* when) {
    if (settings.config.Protect == "1") {
        ui.Show(MakeNotice(Notice::SettingsProtected));
        return false;
    }
    struct tm now {};
    if (when == nullptr) {
        const std::time_t clock = std::time(nullptr);
        localtime_r(&clock, &now);
        when = &now;
    }
    // The desktop's settings folder is made at the first save.
    if (settings.ownSettingsDir && name.find('/') == std::string::npos) {
        std::error_code ec;
        std::filesystem::create_directories(settings.startDir, ec);
    }
    // Renamed into place only when written whole (a device is written as it is).
    TextWriter writer;
    bool ok = writer.Open(SettingsFilePath(settings, name), WriteMode::Create);
    if (ok) {
        writer.Write(SettingsFileText(settings, *when));
        ok = writer.Close();
    }
    if (!ok) {
        ui.Show(MakeNotice(Notice::SettingsNotCreated));
        return false;
    }
    if (notice == SaveNotice::Show) ui.Show(MakeNotice(Notice::SettingsSaved));
    return true;
}

}  // namespace geoplait
