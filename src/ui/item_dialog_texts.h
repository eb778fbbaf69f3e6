// The texts of the CSV item dialogs in the five interface languages.
#pragma once

#include <string>

namespace geoplait::ui {

enum class ItemText {
    // Input item dialog
    InputTitle,
    InFile,
    NoInputFile,  // shown for the name of an input file that does not open
    ColumnItem,
    ColumnPosition,
    ColumnType,
    ColumnSample,
    NorthSouth,
    NorthSouthHint,
    Latitude,
    EastWest,
    EastWestHint,
    Longitude,
    Altitude,
    Date,
    Time,
    Speed,
    Degrees,
    // Output item dialog
    OutputTitle,
    OutName,
    OutLatitudeNs,
    OutLatitudeDmm,
    OutLatitudeDdd,
    OutLatitudeDms,
    OutLongitudeEw,
    OutLongitudeDmm,
    OutLongitudeDdd,
    OutLongitudeDms,
    OutAltitude,
    OutSpeedKnots,
    OutSpeedKm,
    OutDegrees,
    OutSatellites,
    OutDilution,
    OutDateDmy,
    OutDateYmd,
    OutTimeUtc,
    OutTimeUtc9,
    OutElapsedDistance,
    OutElapsedHms,
    OutElapsedSec,
    OutIntervalDistance,
    OutIntervalHms,
    OutIntervalSec,
    OutNo,
    OutExtendData,
    Default,
    AllSet,
    AllClear,
    // Both
    Preset,
    Ok,
    Cancel,
    Count
};

// The column of the text tables for a Language display text, in the order of
// the language combo ("日本語", "English", "汉语(簡)", "國語(繁)", "한국");
// a name that is none of them gets the English column.
int ItemTextLanguage(const std::string& language);

// The text in UTF-8.
const char* ItemDialogText(ItemText id, int language);

}  // namespace geoplait::ui
