// What the window shows and sets for a mode: the parts of the window a
// mode's settings need and the settings choosing the mode changes. A mode's
// layout is made from its input family's row and its output kind's row
// (settings/convert_modes.h).
#pragma once

#include <cstdint>

namespace geoplait {

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
    kGpxType = 1ull << 35,    // "GPX" Route/Track, for the outputs that write GPX
    kCsvHeader = 1ull << 36,  // "CSV Header", for the CSV Full and Custom outputs
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
    uint64_t shown = 0;    // LayoutPart bits
    uint32_t actions = 0;  // LayoutAction bits
};

// The shape of what an output kind writes, which picks the family's layout:
// a KML document, points (POT, GPX) or records (CSV, NMEA, summaries).
enum class OutputShape { Kml, Points, Records };
inline constexpr int kOutputShapeCount = 3;

}  // namespace geoplait
