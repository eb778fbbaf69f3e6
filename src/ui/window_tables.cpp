#include "ui/window_tables.h"

namespace geoplait::ui {

const std::array<const char*, 3> kUnitTexts = {"Km/Meter", "Nautical Mile/Feet", "Statute Mile/Feet"};

const std::array<const char*, 40> kTimeDifferenceTexts = {
    "+14:00", "+13:00", "+12:45", "+12:00", "+11:30", "+11:00", "+10:30", "+10:00",
    "+ 9:30", "+ 9:00", "+ 8:45", "+ 8:00", "+ 7:00", "+ 6:30", "+ 6:00", "+ 5:45",
    "+ 5:30", "+ 5:00", "+ 4:30", "+ 4:00", "+ 3:30", "+ 3:00", "+ 2:00", "+ 1:00",
    "  0:00", "- 1:00", "- 2:00", "- 3:00", "- 3:30", "- 4:00", "- 4:30", "- 5:00",
    "- 6:00", "- 7:00", "- 8:00", "- 9:00", "- 9:30", "-10:00", "-11:00", "-12:00",
};

const std::array<const char*, 7> kPlacemarkTypeTexts = {
    "Start & End", "Point 3", "Point 5", "Point 10", "Point 30", "Point 50", "Point 100",
};

const std::array<const char*, 8> kTransparencyTexts = {" 0%", "12%", "25%", "38%",
                                                       "50%", "62%", "75%", "88%"};

const std::array<const char*, 14> kLineWidthTexts = {"1", "2", "3",  "4",  "5",  "6",  "7",
                                                     "8", "9", "10", "11", "12", "18", "24"};

namespace {

// Filters as Qt takes them: each entry's text, then its patterns in brackets.
constexpr const char* kNmeaFilters =
    "log(*.log);nmea(*.nmea) (*.log *.nmea);;nmea(*.nmea) (*.nmea);;log(*.log) (*.log);;"
    "All files(*.*) (*)";
constexpr const char* kKmlFilters = "kml(*.kml) (*.kml);;All files(*.*) (*)";
constexpr const char* kCsvFilters = "csv(*.csv) (*.csv);;All files(*.*) (*)";

const FileType kFileTypes[] = {
    {"nmea(log)", kNmeaFilters, "GPS(NMEA) File Open", "Log File Save", "log"},
    {"pot", "pot(*.pot) (*.pot);;All files(*.*) (*)", "POT File Open", "POT File Save", "pot"},
    {"gpx", "gpx(*.gpx) (*.gpx);;All files(*.*) (*)", "GPX File Open", "GPX File Save", "gpx"},
    {"kml", kKmlFilters, "KML File Open", "KML File Save ", "kml"},
    {"kml(Line)", kKmlFilters, "KML File Open", "KML File Save ", "kml"},
    {"kml(Point)", kKmlFilters, "KML File Open", "KML File Save ", "kml"},
    {"csv(Full)", kCsvFilters, "CSV File Open", "CSV File Save", "csv"},
    {"csv(Custom)", kCsvFilters, "CSV File Open", "CSV File Save", "csv"},
    {"Summary(csv)", kCsvFilters, "", "Summary File Save", "csv"},
    {"Summary(html)", "html(*.html) (*.html);;All files(*.*) (*)", "", "Summary File Save", "html"},
    {"Photo(Only)", kNmeaFilters, "GPS(NMEA) File Open", "", "log"},
};

constexpr std::string_view kArrow = " -> ";

// Shorthands for the layout rows.
constexpr uint64_t kFileRows = kInputRow | kDButton | kTokyoCheck | kErrorOmit;
constexpr uint64_t kKmlGroups =
    kKmlDocument | kAltitudeBox | kPhotoBox | kTimeStampBox | kTrackBox | kPlacemarkBox;
constexpr uint64_t kSplitRows = kSplitDistance | kSplitSeconds | kSplitDate | kSplitFile;
constexpr uint64_t kAllLabels = kLabelsBox | kLabelNo | kLabelKm | kLabelSpeed | kLabelElapsed |
                                kLabelDegrees | kLabelDate | kLabelTime | kLabelIntervalTime |
                                kLabelAltitude | kLabelIntervalKm | kLabelSatellites | kLabelTex |
                                kLabelLatLon | kLabelDescription;
constexpr uint64_t kFourLabels = kLabelsBox | kLabelNo | kLabelKm | kLabelSpeed | kLabelElapsed;

// Rows of the layout, one per kind of mode.
constexpr uint64_t kToKml = kFileRows | kRecordRow | kFilterExtras | kDateRow | kKmlGroups |
                            kSplitRows | kSpeedGroup | (kAllLabels & ~kLabelTex);
constexpr uint64_t kToPoints = kInputRow | kDButton | kErrorOmit | kRecordRow | kDateRow | kFourLabels;
constexpr uint64_t kToRecords = kInputRow | kDButton | kErrorOmit | kRecordRow | kDateRow | kSplitRows;
constexpr uint64_t kCsvCustomToKml = kFileRows | kInputItem | kRecordRow | kKmlGroups | kSplitRows |
                                     (kAllLabels & ~(kLabelTex | kLabelSatellites));
constexpr uint64_t kCsvCustomToPoints = (kToPoints | kInputItem) & ~kDateRow;
constexpr uint64_t kRecordsOnly = kInputRow | kDButton | kRecordRow;
constexpr uint64_t kPointsToKml = (kFileRows & ~kErrorOmit) | kRecordRow | kKmlGroups | kSplitRows |
                                  (kAllLabels & ~(kLabelSpeed | kLabelDegrees | kLabelSatellites));
constexpr uint64_t kKmlInput = kInputRow | kDButton | kOutputItem;
constexpr uint64_t kPhotoOnly = kKmlDocument | kAltitudeBox | kPhotoBox;

constexpr uint32_t kPointsActions = kClearTokyo | kPlacemarkLabels;
constexpr uint32_t kRecordsActions = kClearTokyo | kSetTrackLine;

}  // namespace

// In the order of the mode table.
const std::array<ModeLayout, kModeCount> kModeLayouts = {{
    {"nmea(log) -> kml", kToKml, kSetTimeStamps},
    {"nmea(log) -> pot", kToPoints, kPointsActions},
    {"nmea(log) -> gpx", kToPoints, kPointsActions},
    {"nmea(log) -> csv(Full)", kToRecords, kRecordsActions},
    {"nmea(log) -> csv(Custom)", kToRecords | kOutputItem, kRecordsActions},
    // The NMEA outputs keep the datum shift, so they show its check.
    {"nmea(log) -> nmea(log)", kToRecords | kTokyoCheck, kSetTrackLine},
    {"nmea(log) -> Summary(csv)", kToRecords & ~kSplitFile, kRecordsActions},
    {"nmea(log) -> Summary(html)", kToRecords & ~kSplitFile, kRecordsActions},
    {"csv(Full) -> kml", kToKml, kSetTimeStamps},
    {"csv(Full) -> pot", kToPoints, kPointsActions},
    {"csv(Full) -> gpx", kToPoints, kPointsActions},
    {"csv(Full) -> nmea(log)", kToRecords | kTokyoCheck, kSetTrackLine},
    {"csv(Full) -> csv(Full)", kToRecords, kRecordsActions},
    {"csv(Full) -> csv(Custom)", kToRecords | kOutputItem, kRecordsActions},
    {"csv(Custom) -> kml", kCsvCustomToKml, kCsvInputKml},
    {"csv(Custom) -> pot", kCsvCustomToPoints, kPointsActions | kCsvInputPoints | kElapsedNeedsTime},
    {"csv(Custom) -> gpx", kCsvCustomToPoints, kPointsActions | kCsvInputPoints},
    {"csv(Custom) -> nmea(log)", kRecordsOnly | kTokyoCheck | kErrorOmit | kInputItem, 0},
    {"csv(Custom) -> csv(Custom)", kRecordsOnly | kErrorOmit | kInputItem | kOutputItem, kClearTokyo},
    {"pot -> kml", kPointsToKml, 0},
    {"pot -> nmea(log)", kRecordsOnly, kClearTokyo},
    {"pot -> csv(Custom)", kRecordsOnly | kOutputItem, kClearTokyo},
    {"pot -> gpx", kRecordsOnly, kClearTokyo},
    {"gpx -> kml", kPointsToKml, 0},
    {"gpx -> nmea(log)", kRecordsOnly, kClearTokyo},
    {"gpx -> csv(Custom)", kRecordsOnly | kOutputItem, kClearTokyo},
    {"gpx -> pot", kRecordsOnly, kClearTokyo},
    {"kml(Line) -> pot", kKmlInput, kClearTokyo},
    {"kml(Line) -> gpx", kKmlInput, kClearTokyo},
    {"kml(Line) -> nmea(log)", kKmlInput, kClearTokyo},
    {"kml(Line) -> csv(Custom)", kKmlInput, kClearTokyo},
    {"kml(Point) -> pot", kKmlInput, kClearTokyo},
    {"kml(Point) -> gpx", kKmlInput, kClearTokyo},
    {"kml(Point) -> nmea(log)", kKmlInput, kClearTokyo},
    {"kml(Point) -> csv(Custom)", kKmlInput, kClearTokyo},
    {"Photo(Only) -> kml", kPhotoOnly, kSetPhoto},
}};

// Switches in the order the window shows them.
const std::array<ColourTheme, 3> kColourThemes = {{
    {{250, 230, 230}, {250, 250, 220}, {220, 250, 220}},
    {{230, 250, 230}, {230, 230, 250}, {250, 220, 220}},
    {{220, 240, 250}, {220, 250, 220}, {250, 220, 220}},
}};

const FileType* FileTypeOf(std::string_view type) {
    for (const FileType& entry : kFileTypes) {
        if (type == entry.type) return &entry;
    }
    return nullptr;
}

std::string_view InputTypeOf(std::string_view mode) {
    const size_t arrow = mode.find(kArrow);
    return arrow == std::string_view::npos ? mode : mode.substr(0, arrow);
}

std::string_view OutputTypeOf(std::string_view mode) {
    const size_t arrow = mode.find(kArrow);
    return arrow == std::string_view::npos ? std::string_view{} : mode.substr(arrow + kArrow.size());
}

bool WritesKml(std::string_view mode) { return OutputTypeOf(mode) == "kml"; }

std::string ForceExtension(const std::string& path, std::string_view extension) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const size_t cut = dot != std::string::npos && dot > nameStart ? dot : path.size();
    return path.substr(0, cut) + std::string(extension);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

std::string StemOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name;
}

const ModeLayout* LayoutOf(std::string_view mode) {
    for (const ModeLayout& layout : kModeLayouts) {
        if (mode == layout.mode) return &layout;
    }
    return nullptr;
}

uint64_t ApplyLayoutActions(const ModeLayout& layout, ConvertSettings& s) {
    uint64_t shown = layout.shown;
    const std::string_view output = OutputTypeOf(layout.mode);
    if (output == "gpx") shown |= kGpxType;
    if (output == "csv(Full)" || output == "csv(Custom)") shown |= kCsvHeader;
    const uint32_t actions = layout.actions;
    if (actions & kSetTimeStamps) s.TimeStampPath = s.TimeStampPosition = 1;
    if (actions & kClearTokyo) s.Tokyo2WGS84 = 0;
    if (actions & kPlacemarkLabels) s.Placemark = s.Label_No = s.Label_Km = s.Label_Speed = s.Label_Elapsed = 1;
    if (actions & kSetTrackLine) s.TrackLine = 1;
    if (actions & kSetPhoto) s.Photo = 1;
    if ((actions & (kCsvInputKml | kCsvInputPoints)) == 0) return shown;

    // What a CSV Custom input can give decides which labels and splits make sense.
    const bool date = s.Imput_Date > 0;
    const bool time = s.Imput_Time > 0;
    if (!date) shown &= ~kLabelDate;
    if (time) {
        s.Label_Elapsed = 1;
    } else {
        shown &= ~(kLabelTime | kLabelElapsed);
        if (actions & (kCsvInputKml | kElapsedNeedsTime)) s.Label_Elapsed = 0;
    }
    s.Label_Speed = s.Imput_Speed > 0 ? 1 : 0;
    if (s.Imput_Speed <= 0) shown &= ~kLabelSpeed;
    if (actions & kCsvInputKml) {
        if (s.Imput_Altitude <= 0) shown &= ~(kAltitudeBox | kLabelAltitude);
        if (!time) shown &= ~(kSplitSeconds | kSplitDate | kLabelIntervalTime);
        if (date && time) {
            s.TimeStampPath = s.TimeStampPosition = 1;
        } else {
            shown &= ~kTimeStampBox;
            s.TimeStampPath = s.TimeStampPosition = 0;
        }
        if (s.Imput_Degrees <= 0) shown &= ~kLabelDegrees;
    }
    return shown;
}

}  // namespace geoplait::ui
