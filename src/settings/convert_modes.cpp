// The input families and output kinds of the modes, and the mode list made
// from the table of their pairs.
#include "settings/convert_modes.h"

#include <utility>

#include "settings/convert_settings.h"

namespace geoplait {

namespace {

// Filters as Qt takes them: each entry's text, then its patterns in brackets.
constexpr const char* kNmeaFilters =
    "log(*.log);nmea(*.nmea) (*.log *.nmea);;nmea(*.nmea) (*.nmea);;log(*.log) (*.log);;"
    "All files(*.*) (*)";
constexpr const char* kKmlFilters = "kml(*.kml) (*.kml);;All files(*.*) (*)";
constexpr const char* kCsvFilters = "csv(*.csv) (*.csv);;All files(*.*) (*)";
constexpr const char* kPotFilters = "pot(*.pot) (*.pot);;All files(*.*) (*)";
constexpr const char* kGpxFilters = "gpx(*.gpx) (*.gpx);;All files(*.*) (*)";

constexpr FileType kNmeaFile{"nmea(log)", kNmeaFilters, "GPS(NMEA) File Open", "Log File Save", "log"};
constexpr FileType kPotFile{"pot", kPotFilters, "POT File Open", "POT File Save", "pot"};
constexpr FileType kGpxFile{"gpx", kGpxFilters, "GPX File Open", "GPX File Save", "gpx"};
constexpr FileType kCsvFullFile{"csv(Full)", kCsvFilters, "CSV File Open", "CSV File Save", "csv"};
constexpr FileType kCsvCustomFile{"csv(Custom)", kCsvFilters, "CSV File Open", "CSV File Save", "csv"};

// Shorthands for the layouts.
constexpr uint64_t kFileRows = kInputRow | kDButton | kTokyoCheck | kErrorOmit;
constexpr uint64_t kKmlGroups =
    kKmlDocument | kAltitudeBox | kPhotoBox | kTimeStampBox | kTrackBox | kPlacemarkBox;
constexpr uint64_t kSplitRows = kSplitDistance | kSplitSeconds | kSplitDate | kSplitFile;
constexpr uint64_t kAllLabels = kLabelsBox | kLabelNo | kLabelKm | kLabelSpeed | kLabelElapsed |
                                kLabelDegrees | kLabelDate | kLabelTime | kLabelIntervalTime |
                                kLabelAltitude | kLabelIntervalKm | kLabelSatellites | kLabelTex |
                                kLabelLatLon | kLabelDescription;
constexpr uint64_t kFourLabels = kLabelsBox | kLabelNo | kLabelKm | kLabelSpeed | kLabelElapsed;
constexpr uint64_t kRecordsOnly = kInputRow | kDButton | kRecordRow;
constexpr uint32_t kPointsActions = kClearTokyo | kPlacemarkLabels;

// NMEA and CSV Full: a streamed log, with every filter and split.
constexpr std::array<ModeLayout, kOutputShapeCount> kLogLayouts = {{
    {kFileRows | kRecordRow | kFilterExtras | kDateRow | kKmlGroups | kSplitRows | kSpeedGroup |
         (kAllLabels & ~kLabelTex),
     kSetTimeStamps},
    {kInputRow | kDButton | kErrorOmit | kRecordRow | kDateRow | kFourLabels, kPointsActions},
    {kInputRow | kDButton | kErrorOmit | kRecordRow | kDateRow | kSplitRows, kClearTokyo | kSetTrackLine},
}};

// CSV Custom: what its input layout holds decides labels and splits.
constexpr std::array<ModeLayout, kOutputShapeCount> kCsvCustomLayouts = {{
    {kFileRows | kInputItem | kRecordRow | kKmlGroups | kSplitRows |
         (kAllLabels & ~(kLabelTex | kLabelSatellites)),
     kCsvInputKml},
    {kInputRow | kDButton | kErrorOmit | kRecordRow | kFourLabels | kInputItem, kPointsActions | kCsvInputPoints},
    {kRecordsOnly | kErrorOmit | kInputItem, kClearTokyo},
}};

// POT and GPX: points without satellites or degrees.
constexpr std::array<ModeLayout, kOutputShapeCount> kPointLayouts = {{
    {(kFileRows & ~kErrorOmit) | kRecordRow | kKmlGroups | kSplitRows |
         (kAllLabels & ~(kLabelSpeed | kLabelDegrees | kLabelSatellites)),
     0},
    {kRecordsOnly, kClearTokyo},
    {kRecordsOnly, kClearTokyo},
}};

// KML input: the records as they come (there is no KML output of KML).
constexpr std::array<ModeLayout, kOutputShapeCount> kKmlInputLayouts = {{
    {},
    {kInputRow | kDButton | kOutputItem, kClearTokyo},
    {kInputRow | kDButton | kOutputItem, kClearTokyo},
}};

// In the order of ModeKind.
constexpr ModeFamily kFamilies[] = {
    {ModeKind::Nmea, kNmeaFile, false, true, kLogLayouts},
    {ModeKind::CsvFull, kCsvFullFile, false, true, kLogLayouts},
    {ModeKind::CsvCustom, kCsvCustomFile, false, true, kCsvCustomLayouts},
    {ModeKind::Pot, kPotFile, false, false, kPointLayouts},
    {ModeKind::Gpx, kGpxFile, false, false, kPointLayouts},
    {ModeKind::KmlLine, {"kml(Line)", kKmlFilters, "KML File Open", "KML File Save ", "kml"}, false, false,
     kKmlInputLayouts},
    {ModeKind::KmlPoint, {"kml(Point)", kKmlFilters, "KML File Open", "KML File Save ", "kml"}, false, false,
     kKmlInputLayouts},
    // The photos are placed by an NMEA log, which the input row names.
    {ModeKind::Photo, {"Photo(Only)", kNmeaFilters, "GPS(NMEA) File Open", "", "log"}, true, false,
     {{{kKmlDocument | kAltitudeBox | kPhotoBox, kSetPhoto}, {}, {}}}},
    // Activity files of sports watches and bike computers: points with times.
    {ModeKind::Fit, {"fit", "fit(*.fit) (*.fit);;All files(*.*) (*)", "FIT File Open", "", "fit"}, false, false,
     kPointLayouts},
};

// In the order of ModeOutput.
constexpr ModeOutputKind kOutputKinds[] = {
    {ModeOutput::Kml, {"kml", kKmlFilters, "KML File Open", "KML File Save ", "kml"}, OutputRun::Kml,
     OutputShape::Kml, true, 0, 0, 0, false},
    // A POT label's elapsed time needs a time item of a CSV Custom input.
    {ModeOutput::Pot, kPotFile, OutputRun::Records, OutputShape::Points, false, 0, 0, kElapsedNeedsTime, false},
    {ModeOutput::Gpx, kGpxFile, OutputRun::Records, OutputShape::Points, false, kGpxType, 0, 0, false},
    // An NMEA output keeps the datum shift, so it shows its check.
    {ModeOutput::Nmea, kNmeaFile, OutputRun::Records, OutputShape::Records, false, 0, 0, 0, true},
    {ModeOutput::CsvFull, kCsvFullFile, OutputRun::Records, OutputShape::Records, false, kCsvHeader, 0, 0, false},
    {ModeOutput::CsvCustom, kCsvCustomFile, OutputRun::Records, OutputShape::Records, false,
     kOutputItem | kCsvHeader, 0, 0, false},
    {ModeOutput::SummaryCsv, {"Summary(csv)", kCsvFilters, "", "Summary File Save", "csv"}, OutputRun::Summary,
     OutputShape::Records, false, 0, kSplitFile, 0, false},
    {ModeOutput::SummaryHtml,
     {"Summary(html)", "html(*.html) (*.html);;All files(*.*) (*)", "", "Summary File Save", "html"},
     OutputRun::Summary, OutputShape::Records, false, 0, kSplitFile, 0, false},
    // The splits cut the line into pieces; the file is not split.
    {ModeOutput::GeoJson,
     {"geojson", "geojson(*.geojson) (*.geojson *.json);;All files(*.*) (*)", "", "GeoJSON File Save", "geojson"},
     OutputRun::GeoJson, OutputShape::Records, false, 0, kSplitFile, 0, false},
};

template <typename Row, size_t N, typename Key>
constexpr bool RowsInOrder(const Row (&rows)[N], Key Row::*key) {
    for (size_t i = 0; i < N; ++i) {
        if (static_cast<size_t>(rows[i].*key) != i) return false;
    }
    return true;
}
static_assert(RowsInOrder(kFamilies, &ModeFamily::kind));
static_assert(RowsInOrder(kOutputKinds, &ModeOutputKind::output));

constexpr bool PairsAreUnique() {
    for (size_t i = 0; i < std::size(kModePairs); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (kModePairs[i].kind == kModePairs[j].kind && kModePairs[i].output == kModePairs[j].output) {
                return false;
            }
            if (std::string_view(kModePairs[i].fileValue) == kModePairs[j].fileValue) return false;
        }
    }
    return true;
}
static_assert(PairsAreUnique());

// A display text, made when the program is compiled.
struct DisplayText {
    char text[48]{};
};

constexpr DisplayText JoinSides(const char* input, const char* output) {
    DisplayText joined;
    size_t n = 0;
    for (const char* part : {input, " -> ", output}) {
        for (; *part != '\0'; ++part) joined.text[n++] = *part;
    }
    return joined;
}

template <size_t... Row>
constexpr std::array<DisplayText, kModeCount> DisplayTexts(std::index_sequence<Row...>) {
    return {JoinSides(kFamilies[static_cast<size_t>(kModePairs[Row].kind)].file.type,
                      kOutputKinds[static_cast<size_t>(kModePairs[Row].output)].file.type)...};
}

constexpr std::array<DisplayText, kModeCount> kDisplayTexts =
    DisplayTexts(std::make_index_sequence<kModeCount>());

template <size_t... Row>
constexpr std::array<ConvertMode, kModeCount> ModesOfPairs(std::index_sequence<Row...>) {
    return {ConvertMode{kDisplayTexts[Row].text, kModePairs[Row].fileValue, kModePairs[Row].kind,
                        kModePairs[Row].output}...};
}

}  // namespace

constinit const std::array<ConvertMode, kModeCount> kConvertModes =
    ModesOfPairs(std::make_index_sequence<kModeCount>());

const ModeFamily& ModeFamilyOf(ModeKind kind) { return kFamilies[static_cast<size_t>(kind)]; }

const ModeOutputKind& OutputKindOf(ModeOutput output) { return kOutputKinds[static_cast<size_t>(output)]; }

const ConvertMode* FindModeByDisplayText(std::string_view text) {
    for (const ConvertMode& mode : kConvertModes) {
        if (text == mode.displayText) return &mode;
    }
    return nullptr;
}

const ConvertMode* FindModeByFileValue(std::string_view value) {
    for (const ConvertMode& mode : kConvertModes) {
        if (value == mode.fileValue) return &mode;
    }
    return nullptr;
}

size_t ModeRow(const ConvertMode& mode) { return static_cast<size_t>(&mode - kConvertModes.data()); }

void ApplyModeOutputRule(const ConvertMode& mode, ConvertSettings& s) {
    const bool kml = OutputKindOf(mode.output).kmlDocument;
    s.Bom = kml ? 1 : 0;
    if (ModeFamilyOf(mode.kind).photosOnly) s.Photo = 1;
    if (!kml) s.Photo = s.Kmz = 0;
}

ModeLayout LayoutOfMode(const ConvertMode& mode) {
    const ModeFamily& family = ModeFamilyOf(mode.kind);
    const ModeOutputKind& output = OutputKindOf(mode.output);
    ModeLayout layout = family.layouts[static_cast<size_t>(output.shape)];
    layout.shown = (layout.shown | output.shownAdded) & ~output.shownRemoved;
    layout.actions |= output.actionsAdded;
    if (output.keepsDatum && family.datumShift) {
        layout.shown |= kTokyoCheck;
        layout.actions &= ~static_cast<uint32_t>(kClearTokyo);
    }
    return layout;
}

}  // namespace geoplait
