// Mode and key names of the command line. The guessed mode names come from
// two small tables, the names and extensions of each input family and of each
// output, crossed over the mode list; the keys come from the settings-key
// table itself.
#include "cli/cli_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <span>

#include "settings/settings_keys.h"

namespace geoplait {

namespace {

using K = ModeKind;
using O = ModeOutput;

// What people call an input family, and the extensions of its files.
struct FamilyNames {
    ModeKind kind;
    std::array<const char*, 3> names;
    std::array<const char*, 3> extensions;
};
constexpr FamilyNames kFamilyNames[] = {
    {K::Nmea, {"nmea", "log"}, {"nmea", "log", "txt"}},
    {K::CsvFull, {"csvfull", "full"}, {"csv"}},
    {K::CsvCustom, {"csvcustom", "custom"}, {"csv"}},
    {K::Pot, {"pot"}, {"pot"}},
    {K::Gpx, {"gpx"}, {"gpx"}},
    // A .kml read as a track is its line.
    {K::KmlLine, {"kmlline", "kml", "line"}, {"kml"}},
    {K::KmlPoint, {"kmlpoint", "point"}, {}},
    {K::Photo, {"photo", "photoonly", "jpg"}, {}},
};

// What people call an output, and the extensions that name it (the one
// the window gives it is its output kind's).
struct OutputNames {
    ModeOutput output;
    std::array<const char*, 3> names;
    std::array<const char*, 3> extensions;
};
constexpr OutputNames kOutputNames[] = {
    {O::Kml, {"kml"}, {"kml"}},
    {O::Pot, {"pot"}, {"pot"}},
    {O::Gpx, {"gpx"}, {"gpx"}},
    {O::Nmea, {"nmea", "log"}, {"nmea", "log", "txt"}},
    {O::CsvFull, {"csvfull", "full", "csv"}, {"csv"}},
    {O::CsvCustom, {"csvcustom", "custom", "csv"}, {"csv"}},
    {O::SummaryCsv, {"summary", "summarycsv"}, {"csv"}},
    {O::SummaryHtml, {"summaryhtml", "html"}, {"html", "htm"}},
};

const FamilyNames* NamesOf(ModeKind kind) {
    for (const FamilyNames& family : kFamilyNames) {
        if (family.kind == kind) return &family;
    }
    return nullptr;
}

const OutputNames* NamesOf(ModeOutput output) {
    for (const OutputNames& names : kOutputNames) {
        if (names.output == output) return &names;
    }
    return nullptr;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// A mode name as compared: lower case, "->" and "to" between the sides as
// "2", nothing but letters and digits.
std::string Normal(std::string_view name) {
    std::string lower = Lower(name);
    for (std::string_view arrow : {"->", "_to_", "-to-", " to "}) {
        for (size_t at = lower.find(arrow); at != std::string::npos; at = lower.find(arrow, at)) {
            lower.replace(at, arrow.size(), "2");
        }
    }
    std::string normal;
    for (char c : lower) {
        if (std::isalnum(static_cast<unsigned char>(c))) normal += c;
    }
    return normal;
}

// The input or output side of a mode as its row names it ("nmea(log)", "kml").
std::string_view SideOf(const ConvertMode& mode, bool output) {
    return output ? OutputKindOf(mode.output).file.type : ModeFamilyOf(mode.kind).file.type;
}

// The extension of a family or output row, for one the names tables do not know.
std::string RowExtension(const ConvertMode& mode, bool output) {
    const char* extension = output ? OutputKindOf(mode.output).file.extension : ModeFamilyOf(mode.kind).file.extension;
    return extension != nullptr ? Lower(extension) : std::string();
}

// Every name a mode is known by, compared in Normal form: its texts, its
// sides ("nmealog2kml"), and the names of the two tables crossed.
std::vector<std::string> NamesOfMode(const ConvertMode& mode) {
    std::vector<std::string> names{Normal(mode.fileValue), Normal(mode.displayText),
                                   Normal(SideOf(mode, false)) + "2" + Normal(SideOf(mode, true))};
    const FamilyNames* family = NamesOf(mode.kind);
    const OutputNames* output = NamesOf(mode.output);
    if (family == nullptr || output == nullptr) return names;
    for (const char* in : family->names) {
        for (const char* out : output->names) {
            if (in != nullptr && out != nullptr) names.push_back(std::string(in) + "2" + out);
        }
    }
    return names;
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The one or two names of `scored` (distance, name) nearest: the second when
// it is as near as the first.
std::vector<std::string> Nearest(std::vector<std::pair<size_t, std::string>> scored) {
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> nearest;
    for (const auto& [distance, name] : scored) {
        if (nearest.size() == 2 || distance > scored.front().first) break;
        if (std::find(nearest.begin(), nearest.end(), name) == nearest.end()) nearest.push_back(name);
    }
    return nearest;
}

std::string ExtensionOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart) return {};
    return Lower(path.substr(dot + 1));
}

template <typename Names>
bool Named(const Names& names, const std::string& extension) {
    for (const char* known : names.extensions) {
        if (known != nullptr && extension == known) return true;
    }
    return false;
}

bool IsStandardOutput(std::string_view path) { return path == "-" || path == "/dev/stdout"; }

// The key of a --set line, blanks around it taken away.
std::string_view KeyOfLine(std::string_view line) {
    std::string_view key = line.substr(0, line.find('='));
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    return key;
}

bool IsNumberedKey(const SettingKey& entry) {
    return entry.type == KeyType::GroupColour || entry.type == KeyType::GroupText ||
           entry.type == KeyType::SpeedRange;
}

}  // namespace

const ConvertMode* MatchMode(std::string_view name) {
    const std::string lower = Lower(name);
    for (const ConvertMode& mode : kConvertModes) {
        if (lower == Lower(mode.displayText) || lower == Lower(mode.fileValue)) return &mode;
    }
    const std::string normal = Normal(name);
    const ConvertMode* found = nullptr;
    for (const ConvertMode& mode : kConvertModes) {
        const std::vector<std::string> names = NamesOfMode(mode);
        if (std::find(names.begin(), names.end(), normal) == names.end()) continue;
        if (found != nullptr) return nullptr;  // a name of several modes names none
        found = &mode;
    }
    return found;
}

std::vector<std::string> NearestModes(std::string_view name) {
    const std::string normal = Normal(name);
    std::vector<std::pair<size_t, std::string>> scored;
    for (const ConvertMode& mode : kConvertModes) {
        size_t best = SIZE_MAX;
        for (const std::string& known : NamesOfMode(mode)) best = std::min(best, EditDistance(normal, known));
        scored.emplace_back(best, mode.fileValue);
    }
    return Nearest(std::move(scored));
}

std::string OutputExtensionOf(const ConvertMode& mode) {
    const char* extension = OutputKindOf(mode.output).file.extension;
    return std::string(".") + (extension != nullptr && *extension != '\0' ? extension : "txt");
}

bool IsInputFileOf(const ConvertMode& mode, std::string_view path) {
    const std::string extension = ExtensionOf(path);
    if (const FamilyNames* family = NamesOf(mode.kind)) return Named(*family, extension);
    return !extension.empty() && extension == RowExtension(mode, false);
}

bool OutputNamedBy(const ConvertMode& mode, const std::string& extension) {
    if (const OutputNames* names = NamesOf(mode.output)) return Named(*names, extension);
    return !extension.empty() && extension == RowExtension(mode, true);
}

bool ExtensionNamesInput(std::string_view path) {
    return std::any_of(kConvertModes.begin(), kConvertModes.end(),
                       [&](const ConvertMode& mode) { return IsInputFileOf(mode, path); });
}

bool ExtensionNamesOutput(std::string_view path) {
    const std::string extension = ExtensionOf(path);
    return std::any_of(kConvertModes.begin(), kConvertModes.end(),
                       [&](const ConvertMode& mode) { return OutputNamedBy(mode, extension); });
}

std::vector<const ConvertMode*> ModesByExtensions(std::string_view input, std::string_view output) {
    const bool inputOpen = !ExtensionNamesInput(input);
    const bool outputOpen = IsStandardOutput(output) || !ExtensionNamesOutput(output);
    const std::string outExtension = ExtensionOf(output);
    std::vector<const ConvertMode*> modes;
    for (const ConvertMode& mode : kConvertModes) {
        if (!inputOpen && !IsInputFileOf(mode, input)) continue;
        if (!outputOpen && !OutputNamedBy(mode, outExtension)) continue;
        modes.push_back(&mode);
    }
    return modes;
}

std::string OutputNamedAfter(const std::string& input, const ConvertMode& mode, const std::string& folder) {
    std::string path = input;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const size_t cut = dot != std::string::npos && dot > nameStart ? dot : path.size();
    std::string stem = path.substr(nameStart, cut - nameStart);
    std::string into = folder.empty() ? path.substr(0, nameStart) : folder;
    if (!into.empty() && into.back() != '/') into += '/';
    return into + stem + OutputExtensionOf(mode);
}

std::vector<std::string> AllSettingKeyNames() {
    std::vector<std::string> names;
    for (std::span<const SettingKey> keys : {kSettingKeys, kCurrentOnlyKeys}) {
        for (const SettingKey& entry : keys) {
            if (!IsNumberedKey(entry)) {
                names.emplace_back(entry.key);
                continue;
            }
            for (int group = 1; group <= kGroupCount; ++group) {
                char suffix[8];
                std::snprintf(suffix, sizeof suffix, "_%02d", group);
                names.push_back(std::string(entry.key) + suffix);
            }
        }
    }
    return names;
}

std::string CanonicalSettingLine(const std::string& line) {
    if (line.find('=') == std::string::npos) return line;
    const std::string_view key = KeyOfLine(line);
    const std::string lower = Lower(key);
    const std::vector<std::string> names = AllSettingKeyNames();
    if (std::find(names.begin(), names.end(), key) != names.end()) return line;
    for (const std::string& name : names) {
        if (Lower(name) == lower) return name + line.substr(line.find('='));
    }
    return line;
}

std::vector<std::string> NearestKeys(std::string_view line) {
    const std::string lower = Lower(KeyOfLine(line));
    std::vector<std::pair<size_t, std::string>> scored;
    for (const std::string& name : AllSettingKeyNames()) scored.emplace_back(EditDistance(lower, Lower(name)), name);
    return Nearest(std::move(scored));
}

std::string DidYouMean(const std::vector<std::string>& names) {
    if (names.empty()) return {};
    std::string text = "did you mean " + names.front();
    if (names.size() > 1) text += " or " + names[1];
    return text + "?";
}

}  // namespace geoplait
