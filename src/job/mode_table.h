// The 36 conversion modes: display text, settings-file value, input family and
// the procedure that runs them.
#pragma once

#include <array>
#include <string_view>

namespace geoplait {

struct RunContext;

enum class ModeKind { Nmea, CsvFull, CsvCustom, Pot, Gpx, KmlLine, KmlPoint, Photo };

using ModeProcedure = void (*)(RunContext&);

struct ModeEntry {
    const char* displayText;  // "nmea(log) -> kml"
    const char* fileValue;    // "Geoplait"
    ModeKind kind;
    ModeProcedure procedure;  // nullptr while the mode is not built: the run goes straight to its completion
};

inline constexpr int kModeCount = 36;
extern const std::array<ModeEntry, kModeCount> kModeTable;

// The entry whose display text equals `text` exactly; nullptr when none does.
const ModeEntry* FindModeByDisplayText(std::string_view text);
// The entry whose settings-file value equals `value` exactly; nullptr when none does.
const ModeEntry* FindModeByFileValue(std::string_view value);

}  // namespace geoplait
