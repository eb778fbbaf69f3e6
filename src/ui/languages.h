// The main window's texts in the five interface languages, as tables: one row
// per control, one column per language; every language sets every row, so
// that a switch in any order leaves no text of the language before. A row
// left empty (nullptr) would keep whatever text the control had.
#pragma once

#include <array>
#include <string_view>

namespace geoplait::ui {

inline constexpr int kLanguageCount = 5;
// Display names in the order of the language combo.
extern const std::array<const char*, kLanguageCount> kLanguageNames;
inline constexpr int kJapanese = 0;
inline constexpr int kEnglish = 1;
// Index of `name` in kLanguageNames; -1 when it is none of them.
int LanguageIndex(std::string_view name);

enum class TextRow : int {
    Create,
    InputItem,
    OutputItem,
    End,
    AltitudeCheck,       // the "*Altitude" group's check
    VLine,
    Polygon,
    LabelAltitude,       // label options from here
    LabelDate,
    LabelDegrees,
    LabelElapsed,
    LabelIntervalTime,
    LabelIntervalKm,     // unit-dependent
    LabelKm,             // unit-dependent
    UnitNote,            // unit-dependent
    LabelLatLon,
    LabelNo,
    LabelSatellites,
    LabelSpeed,
    LabelTex,
    LabelTime,
    LabelDescription,
    PosDistance,         // unit-dependent
    IconUrl,
    PosType,
    IncludeData,
    FilterDistance,
    ReNumber,
    RangeEnd,
    MarginHi,
    Record,
    SatellitesLow,
    RangeStart,
    InFile,
    Maker,
    Mode,
    Name,
    OutFile,
    IconSize,
    Interval,
    IntervalRange,
    Placemark,
    Label,
    LabelSize,
    View,
    KmlFileCreate,
    Track,
    Colour,
    SplitDistance,       // unit-dependent
    SplitSeconds,
    SplitDate,
    FileSplit,
    Transparent,
    Width,
    Photo,
    Folder,
    Split,
    Cancel,              // the run's Cancel button
    Count,
};
inline constexpr int kTextRowCount = static_cast<int>(TextRow::Count);

// The text of `row` in language `language` (index into kLanguageNames) for
// units `meterMile`; nullptr when that language leaves the row as it is.
const char* WindowText(TextRow row, int language, std::string_view meterMile);

// Balloon tips of the Japanese window.
struct ToolTip {
    TextRow row;  // the control the tip covers
    const char* text;
};
extern const std::array<ToolTip, 11> kJapaneseToolTips;

}  // namespace geoplait::ui
