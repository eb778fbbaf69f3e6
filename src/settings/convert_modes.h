// The conversion modes, the values of the Mode setting. A mode is a pair of
// an input family and an output kind: each has one row here (its text, its
// file type, what the window shows and sets for it), and the modes are the
// table of the valid pairs with their settings-file values, in the order of
// the window's list. The display text is the family's text, " -> " and the
// output's text. How the job runs a mode is the job's (job/mode_table.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/mode_layout.h"

namespace geoplait {

struct ConvertSettings;

// The input family: the text of the display text before " -> ".
enum class ModeKind { Nmea, CsvFull, CsvCustom, Pot, Gpx, KmlLine, KmlPoint, Photo, Fit };

// What a mode writes: the text after " -> ".
enum class ModeOutput { Kml, Pot, Gpx, Nmea, CsvFull, CsvCustom, SummaryCsv, SummaryHtml, GeoJson };

// One side of a mode as the window's file chooser offers it.
struct FileType {
    const char* type;       // "nmea(log)": the side's text in the display text
    const char* filters;    // chooser filter list, entries separated by ";;"
    const char* openTitle;  // empty where the type is never read
    const char* saveTitle;  // empty where the type is never written
    const char* extension;  // default extension, without the dot
};

struct ModeFamily {
    ModeKind kind;
    FileType file;
    bool photosOnly;  // choosing it sets Photo: the family is the photos, without a track
    // An NMEA output from it may shift the datum: the window shows Tokyo2WGS84
    // and keeps its value (with an output kind whose keepsDatum is set).
    bool datumShift;
    // What the window shows and sets, by the shape of the output.
    std::array<ModeLayout, kOutputShapeCount> layouts;
};

// How the job runs an output kind: the KML passes, one record at a time
// through its line writer, the per-group summaries, or the GeoJSON features.
enum class OutputRun { Kml, Records, Summary, GeoJson };

struct ModeOutputKind {
    ModeOutput output;
    FileType file;
    OutputRun run;
    OutputShape shape;  // which of the family's layouts the window takes
    // A KML document: choosing it sets Bom and keeps Photo and Kmz; any other
    // output clears all three.
    bool kmlDocument;
    uint64_t shownAdded;    // LayoutPart bits the output adds to the family's layout
    uint64_t shownRemoved;  // and those it takes away
    uint32_t actionsAdded;  // LayoutAction bits it adds
    bool keepsDatum;        // see ModeFamily::datumShift
};

// The row of a family and of an output kind; every value has one.
const ModeFamily& ModeFamilyOf(ModeKind kind);
const ModeOutputKind& OutputKindOf(ModeOutput output);

struct ModePair {
    ModeKind kind;
    ModeOutput output;
    const char* fileValue;  // the settings-file value: "Nmea2Gpx"
};

// The modes, in the order of the window's list.
inline constexpr ModePair kModePairs[] = {
    {ModeKind::Nmea, ModeOutput::Kml, "Geoplait"},
    {ModeKind::Nmea, ModeOutput::Pot, "Nmea2Pot"},
    {ModeKind::Nmea, ModeOutput::Gpx, "Nmea2Gpx"},
    {ModeKind::Nmea, ModeOutput::CsvFull, "Nmea2CsvFull"},
    {ModeKind::Nmea, ModeOutput::CsvCustom, "Nmea2CsvCustom"},
    {ModeKind::Nmea, ModeOutput::Nmea, "Nmea2Nmea"},
    {ModeKind::Nmea, ModeOutput::SummaryCsv, "Nmea2Summary"},
    {ModeKind::Nmea, ModeOutput::SummaryHtml, "Nmea2SummaryHtml"},
    {ModeKind::CsvFull, ModeOutput::Kml, "CsvFull2Kml"},
    {ModeKind::CsvFull, ModeOutput::Pot, "CsvFull2Pot"},
    {ModeKind::CsvFull, ModeOutput::Gpx, "CsvFull2Gpx"},
    {ModeKind::CsvFull, ModeOutput::Nmea, "CsvFull2nmea"},
    {ModeKind::CsvFull, ModeOutput::CsvFull, "CsvFull2CsvFull"},
    {ModeKind::CsvFull, ModeOutput::CsvCustom, "CsvFull2CsvCustom"},
    {ModeKind::CsvCustom, ModeOutput::Kml, "CsvCustom2Kml"},
    {ModeKind::CsvCustom, ModeOutput::Pot, "CsvCustom2Pot"},
    {ModeKind::CsvCustom, ModeOutput::Gpx, "CsvCustom2Gpx"},
    {ModeKind::CsvCustom, ModeOutput::Nmea, "CsvCustom2Nmea"},
    {ModeKind::CsvCustom, ModeOutput::CsvCustom, "CsvCustom2CsvCustom"},
    {ModeKind::Pot, ModeOutput::Kml, "Pot2Kml"},
    {ModeKind::Pot, ModeOutput::Nmea, "Pot2Nmea"},
    {ModeKind::Pot, ModeOutput::CsvCustom, "Pot2CsvCustom"},
    {ModeKind::Pot, ModeOutput::Gpx, "Pot2Gpx"},
    {ModeKind::Gpx, ModeOutput::Kml, "Gpx2Kml"},
    {ModeKind::Gpx, ModeOutput::Nmea, "Gpx2Nmea"},
    {ModeKind::Gpx, ModeOutput::CsvCustom, "Gpx2CsvCustom"},
    {ModeKind::Gpx, ModeOutput::Pot, "Gpx2Pot"},
    {ModeKind::KmlLine, ModeOutput::Pot, "KmlLine2Pot"},
    {ModeKind::KmlLine, ModeOutput::Gpx, "KmlLine2Gpx"},
    {ModeKind::KmlLine, ModeOutput::Nmea, "KmlLine2Nmea"},
    {ModeKind::KmlLine, ModeOutput::CsvCustom, "KmlLine2CsvCustom"},
    {ModeKind::KmlPoint, ModeOutput::Pot, "KmlPoint2Pot"},
    {ModeKind::KmlPoint, ModeOutput::Gpx, "KmlPoint2Gpx"},
    {ModeKind::KmlPoint, ModeOutput::Nmea, "KmlPoint2Nmea"},
    {ModeKind::KmlPoint, ModeOutput::CsvCustom, "KmlPoint2CsvCustom"},
    {ModeKind::Photo, ModeOutput::Kml, "Photo2kml"},
    {ModeKind::Fit, ModeOutput::Kml, "Fit2Kml"},
    {ModeKind::Fit, ModeOutput::Gpx, "Fit2Gpx"},
    {ModeKind::Fit, ModeOutput::CsvCustom, "Fit2CsvCustom"},
    {ModeKind::Fit, ModeOutput::Pot, "Fit2Pot"},
    {ModeKind::Fit, ModeOutput::Nmea, "Fit2Nmea"},
    {ModeKind::Nmea, ModeOutput::GeoJson, "Nmea2GeoJson"},
    {ModeKind::CsvFull, ModeOutput::GeoJson, "CsvFull2GeoJson"},
    {ModeKind::CsvCustom, ModeOutput::GeoJson, "CsvCustom2GeoJson"},
    {ModeKind::Pot, ModeOutput::GeoJson, "Pot2GeoJson"},
    {ModeKind::Gpx, ModeOutput::GeoJson, "Gpx2GeoJson"},
    {ModeKind::KmlLine, ModeOutput::GeoJson, "KmlLine2GeoJson"},
    {ModeKind::KmlPoint, ModeOutput::GeoJson, "KmlPoint2GeoJson"},
    {ModeKind::Fit, ModeOutput::GeoJson, "Fit2GeoJson"},
};

inline constexpr int kModeCount = static_cast<int>(std::size(kModePairs));

// A mode of the list: its pair with the display text made of the two sides.
struct ConvertMode {
    const char* displayText;  // "nmea(log) -> kml"
    const char* fileValue;    // "Geoplait"
    ModeKind kind;
    ModeOutput output;
};

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

// What the window shows and sets for `mode`: its family's layout for the
// output's shape, with what the output adds and takes away.
ModeLayout LayoutOfMode(const ConvertMode& mode);

}  // namespace geoplait
