// The 36 conversion modes, the values of the Mode setting: display text,
// settings-file value, what each reads (its input family) and what it writes.
// How the job runs each mode is the job's own table (job/mode_table.h).
#pragma once

#include <array>
#include <string_view>

namespace geoplait {

struct ConvertSettings;

// The input family: the text of the display text before " -> ".
enum class ModeKind { Nmea, CsvFull, CsvCustom, Pot, Gpx, KmlLine, KmlPoint, Photo };

// What a mode writes.
enum class ModeOutput { Kml, Pot, Gpx, Nmea, CsvFull, CsvCustom, SummaryCsv, SummaryHtml };

struct ConvertMode {
    const char* displayText;  // "nmea(log) -> kml"
    const char* fileValue;    // "Geoplait"
    ModeKind kind;
    ModeOutput output;
};

inline constexpr int kModeCount = 36;
extern const std::array<ConvertMode, kModeCount> kConvertModes;

// The mode whose display text equals `text` exactly; nullptr when none does.
const ConvertMode* FindModeByDisplayText(std::string_view text);
// The mode whose settings-file value equals `value` exactly; nullptr when none does.
const ConvertMode* FindModeByFileValue(std::string_view value);
// Row of a mode of kConvertModes (0 to kModeCount - 1).
size_t ModeRow(const ConvertMode& mode);

// The part of choosing a mode that decides what a conversion writes, as the
// window applies it when its mode changes: Bom 1 for a mode that writes KML,
// 0 otherwise; Photo 1 for "Photo(Only) -> kml"; Photo and Kmz 0 for a mode
// without KML output. Nothing else (extensions, shown controls) is touched.
void ApplyModeOutputRule(const ConvertMode& mode, ConvertSettings& s);

}  // namespace geoplait
