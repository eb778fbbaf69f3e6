// The main window's fixed tables: combo contents, the file types and layout
// of a mode (from the mode list), the colour themes, and the path helpers of the file
// commands. Qt-free, so that the tables read as data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/convert_modes.h"
#include "settings/convert_settings.h"
#include "settings/mode_layout.h"

namespace geoplait::ui {

// Combo contents, in their order.
extern const std::array<const char*, 3> kUnitTexts;
extern const std::array<const char*, 40> kTimeDifferenceTexts;
extern const std::array<const char*, 7> kPlacemarkTypeTexts;
extern const std::array<const char*, 8> kTransparencyTexts;
extern const std::array<const char*, 14> kLineWidthTexts;
inline constexpr int kSatelliteChoices = 25;  // "0" to "24"

// The file types of the input and output side of `mode`; nullptr for a text
// outside the mode list.
const FileType* InputFileTypeOf(std::string_view mode);
const FileType* OutputFileTypeOf(std::string_view mode);
// The five "-> kml" modes and "Photo(Only) -> kml".
bool WritesKml(std::string_view mode);
// The five modes that draw a track into KML.
bool DrawsKmlTrack(std::string_view mode);

// `path` with `extension` (with its dot) in place of the extension of its
// last component; a dot in a folder name or at the start of the file name
// is not an extension: "/data/r1.2/track" gives "/data/r1.2/track.kml".
std::string ForceExtension(const std::string& path, std::string_view extension);
// `path` as it is when its extension is one that `type` reads or writes
// (any of its chooser patterns, or a kindred one: ".txt" for NMEA logs),
// compared without case; else with the type's default extension forced on.
// Unchanged for a null type.
std::string FitExtension(const std::string& path, const FileType* type);
// The folder of a path with its trailing "/" ("" for a bare name).
std::string FolderOf(const std::string& path);
// The last component: "x.log" of "/in/x.log".
std::string FileNameOf(const std::string& path);
// The last component without its extension: "x" of "/in/x.log".
std::string StemOf(const std::string& path);

// What the layout of `mode` shows after its actions ran on `s`: the row's
// parts narrowed by the CSV Custom input layout where the row says so.
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
