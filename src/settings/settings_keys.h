// The one table of settings keys: key text, field, type, section and default.
// The defaults, the settings-file reader, the writer and the command line's
// --set all walk it; nothing else lists the keys.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "geo/unit_system.h"
#include "settings/convert_settings.h"

namespace geoplait {

// Sections in the order the file holds them.
enum class SettingsSection {
    Config,
    General,
    CsvInput,
    CsvOutput,
    Group,
    SpeedGroup,
    Photo,
    Adjustment,
    CreateNmea,
    CurrentOnly,  // no file line; only the command line's --set takes these
};
inline constexpr int kFileSectionCount = 9;
// "[config]", "[config general]", ... indexed by SettingsSection.
extern const std::array<const char*, kFileSectionCount> kSectionHeaders;

enum class KeyType {
    ConfigText,   // [config] text ("0"/"1", "N"/"S", ...)
    ConfigRgb,    // [config] R,G,B triple, read as three decimal integers
    Text,         // text, 63 characters at most
    Path,         // path-sized text, 511 characters at most
    Flag,         // 0/1 integer
    Int,          // integer
    Choice,       // display text in the record, a fixed file value in the file
    Mode,         // display text of the mode table, its file value in the file
    VLineColour,  // baseline "R,G,B" as read; current "BBGGRR"
    GroupColour,  // numbered; baseline "R,G,B" as read; current "BBGGRR"
    GroupText,    // numbered text
    SpeedRange,   // numbered lower bound of a speed range
};

// What a value given on the command line must be (the settings file takes
// anything and makes the best of it).
enum class ValueRule {
    Text,            // any UTF-8 text
    Flag,            // "0" or "1"
    Integer,         // a whole number
    Number,          // a decimal number, or nothing
    TimeDifference,  // one of the texts of the time-difference list
    TimeZone,        // empty, "system" or a zone name of the system's database
};

inline constexpr size_t kTextChars = 63;
inline constexpr size_t kPathChars = 511;

// A display text and the value the file holds for it.
struct ChoiceValue {
    const char* displayText;
    const char* fileValue;
};
// MeterMile's choices, indexed by UnitSystem.
extern const std::array<ChoiceValue, 3> kMeterMileChoices;
// The unit system a MeterMile display text names; Unknown for any other text.
UnitSystem UnitSystemOf(std::string_view meterMile);
extern const std::array<ChoiceValue, 5> kLanguageChoices;
// GpxType's choices: the track as one route (<rte>) or as a track (<trk>).
extern const std::array<ChoiceValue, 2> kGpxTypeChoices;
// Photo_SidecarName's choices: a sidecar named after the whole photo file
// name (IMG_0001.JPG.xmp) or after the name without its extension (IMG_0001.xmp).
extern const std::array<ChoiceValue, 2> kSidecarNameChoices;

using GroupTexts = std::array<std::string, kGroupCount>;
using GroupNumbers = std::array<double, kGroupCount>;

struct SettingKey {
    const char* key;  // for numbered keys the prefix before "_nn"
    KeyType type;
    SettingsSection section;
    // The field; which member is set follows from the type.
    std::string ConfigSettings::*configText = nullptr;
    Rgb ConfigSettings::*configRgb = nullptr;
    std::string ConvertSettings::*text = nullptr;
    int ConvertSettings::*number = nullptr;
    GroupTexts ConvertSettings::*groupText = nullptr;
    GroupNumbers ConvertSettings::*groupNumber = nullptr;
    // Defaults: text, number, RGB, or one per group.
    const char* defaultText = "";
    int defaultNumber = 0;
    Rgb defaultRgb{};
    const char* const* groupDefaultTexts = nullptr;
    const double* groupDefaultNumbers = nullptr;
    std::span<const ChoiceValue> choices{};
    // AutoLoad, AutoSave, Protect: read in pass 0 too, and only normalised
    // (never reset) by the defaults.
    bool startupSwitch = false;
    // Written after the value, behind a ";".
    const char* comment = nullptr;
    ValueRule rule = ValueRule::Text;
};

// Every key the settings file holds, in the order written.
extern const std::span<const SettingKey> kSettingKeys;
// Keys of the current instance that no file line stores.
extern const std::span<const SettingKey> kCurrentOnlyKeys;

// Default line colours of the 12 groups, "R,G,B" right-aligned in three characters.
extern const std::array<const char*, kGroupCount> kDefaultLineColors;
extern const std::array<double, kGroupCount> kDefaultSpeedRanges;

// The entry of `keys` named by `key`, numbered keys included (group number
// 1..12 into `group`, index 0 based); nullptr when none.
const SettingKey* FindSettingKey(std::span<const SettingKey> keys, std::string_view key, int& group);

// Leading decimal integer (blanks skipped, sign allowed), 0 when none,
// clamped to the int range.
int LeadingInt(std::string_view text);
// Leading decimal number, 0 when none or not finite. Independent of the locale.
double LeadingNumber(std::string_view text);
// Cuts `text` to at most `chars` characters without splitting a sequence.
void CutToChars(std::string& text, size_t chars);
// "%0.2f" without the locale.
void AppendFixed2(std::string& out, double value);

}  // namespace geoplait
