// The main window's fixed tables: combo contents, file types by mode side,
// the per-mode layout, the colour themes, and the path helpers of the file
// commands. Qt-free, so that the tables read as data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/convert_modes.h"
#include "settings/convert_settings.h"

namespace geoplait::ui {

// Combo contents, in their order.
extern const std::array<const char*, 3> kUnitTexts;
extern const std::array<const char*, 40> kTimeDifferenceTexts;
extern const std::array<const char*, 7> kPlacemarkTypeTexts;
extern const std::array<const char*, 8> kTransparencyTexts;
extern const std::array<const char*, 14> kLineWidthTexts;
inline constexpr int kSatelliteChoices = 25;  // "0" to "24"

// One side of a mode (the text before or after " -> ") and its file chooser.
struct FileType {
    const char* type;       // "nmea(log)"
    const char* filters;    // chooser filter list, entries separated by ";;"
    const char* openTitle;  // empty where the type is never read
    const char* saveTitle;  // empty where the type is never written
    const char* extension;  // default extension, without the dot
};
// nullptr for a text that names no side.
const FileType* FileTypeOf(std::string_view type);
std::string_view InputTypeOf(std::string_view mode);
std::string_view OutputTypeOf(std::string_view mode);
// The five "-> kml" modes and "Photo(Only) -> kml".
bool WritesKml(std::string_view mode);

// `path` with `extension` (with its dot) in place of the extension of its
// last component; a dot in a folder name or at the start of the file name
// is not an extension: "/data/r1.2/track" gives "/data/r1.2/track.kml".
std::string ForceExtension(const std::string& path, std::string_view extension);
// The folder of a path with its trailing "/" ("" for a bare name).
std::string FolderOf(const std::string& path);
// The last component: "x.log" of "/in/x.log".
std::string FileNameOf(const std::string& path);
// The last component without its extension: "x" of "/in/x.log".
std::string StemOf(const std::string& path);

// Parts of the window that the per-mode layout shows or hides.
enum LayoutPart : uint64_t {
    kInputRow = 1ull << 0,       // "In  File" with its edit, "Search" and "F"
    kDButton = 1ull << 1,
    kTokyoCheck = 1ull << 2,
    kErrorOmit = 1ull << 3,
    kInputItem = 1ull << 4,      // "Imput Item Set"
    kOutputItem = 1ull << 5,     // "Output Item Set"
    kRecordRow = 1ull << 6,      // "IncludeData", "Record", "Start", "End"
    kFilterExtras = 1ull << 7,   // "Satellites Low", "Margin Hi", "Distance(m)", "ReNumber"
    kDateRow = 1ull << 8,        // the date filter and its four pickers
    kKmlDocument = 1ull << 9,    // "*KML Name", "Set", "Position Offset"
    kAltitudeBox = 1ull << 10,   // "*Altitude"
    kPhotoBox = 1ull << 11,
    kTimeStampBox = 1ull << 12,  // "*TimeStamp": "Path", "Position"
    kTrackBox = 1ull << 13,
    kPlacemarkBox = 1ull << 14,
    kSplitDistance = 1ull << 15,
    kSplitSeconds = 1ull << 16,
    kSplitDate = 1ull << 17,
    kSplitFile = 1ull << 18,     // "Split OutFile" with its label
    kSpeedGroup = 1ull << 19,    // "SpeedGroup" with "Speed"
    kLabelsBox = 1ull << 20,
    // The label options, in the order of kLabelOptionFields.
    kLabelNo = 1ull << 21,
    kLabelKm = 1ull << 22,
    kLabelSpeed = 1ull << 23,
    kLabelElapsed = 1ull << 24,
    kLabelDegrees = 1ull << 25,
    kLabelDate = 1ull << 26,
    kLabelTime = 1ull << 27,
    kLabelIntervalTime = 1ull << 28,
    kLabelAltitude = 1ull << 29,
    kLabelIntervalKm = 1ull << 30,
    kLabelSatellites = 1ull << 31,
    kLabelTex = 1ull << 32,
    kLabelLatLon = 1ull << 33,
    kLabelDescription = 1ull << 34,
    kGpxType = 1ull << 35,    // "GPX" Route/Track, for the modes that write GPX
    kCsvHeader = 1ull << 36,  // "CSV Header", for the modes that write CSV Full or Custom
};
inline constexpr int kLayoutPartCount = 37;

// Settings a mode's layout changes when it is applied.
enum LayoutAction : uint32_t {
    kSetTimeStamps = 1u << 0,      // TimeStampPath := TimeStampPosition := 1
    kClearTokyo = 1u << 1,         // Tokyo2WGS84 := 0
    kPlacemarkLabels = 1u << 2,    // Placemark := 1 and the labels No, Km, Speed, Elapsed := 1
    kSetTrackLine = 1u << 3,       // TrackLine := 1
    kSetPhoto = 1u << 4,           // Photo := 1
    kCsvInputKml = 1u << 5,        // parts and labels by the CSV Custom input layout (KML output)
    kCsvInputPoints = 1u << 6,     // the same for POT and GPX output
    kElapsedNeedsTime = 1u << 7,   // with kCsvInputPoints: no time item clears Label_Elapsed
};

struct ModeLayout {
    const char* mode;
    uint64_t shown;    // LayoutPart bits
    uint32_t actions;  // LayoutAction bits
};
extern const std::array<ModeLayout, kModeCount> kModeLayouts;
// The row of `mode`; nullptr for a text outside the mode table.
const ModeLayout* LayoutOf(std::string_view mode);

// What the layout of `mode` shows after its actions ran on `s`: the row's
// parts narrowed by the CSV Custom input layout where the row says so, and
// the options of its output (GpxType, CsvHeader).
// Applies the row's actions to `s`.
uint64_t ApplyLayoutActions(const ModeLayout& layout, ConvertSettings& s);

// The "BG" colour themes: background, edits, combos.
struct ColourTheme {
    Rgb background;
    Rgb edit;
    Rgb combo;
};
extern const std::array<ColourTheme, 3> kColourThemes;

}  // namespace geoplait::ui
