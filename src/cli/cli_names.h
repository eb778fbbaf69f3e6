// Names as people type them on the command line: modes and settings keys
// matched without regard to case, the short mode names people guess
// ("nmea2kml", "gpx2pot"), suggestions for a near miss, the mode that the
// extensions of the input and output name, and the output named after the
// input. Every list here is made from the mode list and the settings-key
// table, so a new mode or key is known without a line here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/convert_modes.h"

namespace geoplait {

// The mode `name` names: its display text or settings-file value, in any case,
// or a guessed short name (input, "2", output: "nmea2kml", "log2gpx",
// "csvfull2pot", "kmlline2gpx", "photo2kml"). nullptr when none or several do.
const ConvertMode* MatchMode(std::string_view name);

// The settings-file values of the one or two modes nearest to `name`.
std::vector<std::string> NearestModes(std::string_view name);

// The extension a mode's output gets (".kml", ".csv", ...), its output
// kind's, as the window's "F" button gives it.
std::string OutputExtensionOf(const ConvertMode& mode);

// True when `path` ends with an extension the mode's input family reads
// (".nmea", ".log", ".txt" for NMEA, ...), in any case. A family the names
// table does not know reads the files of its row's extension.
bool IsInputFileOf(const ConvertMode& mode, std::string_view path);
// True when the extension `extension` (lower case, no dot) names the mode's output.
bool OutputNamedBy(const ConvertMode& mode, const std::string& extension);

// The modes whose input family the extension of `input` names and whose
// output the extension of `output` names; an empty path or an extension
// that names nothing leaves that side open. `output` "-" (standard output)
// leaves it open too.
std::vector<const ConvertMode*> ModesByExtensions(std::string_view input, std::string_view output);

// True when the extension of `path` names an input family or an output.
bool ExtensionNamesInput(std::string_view path);
bool ExtensionNamesOutput(std::string_view path);

// The output of `input` as the window's "F" button names it: the same folder
// (or `folder`, when not empty), the same stem, the mode's extension.
std::string OutputNamedAfter(const std::string& input, const ConvertMode& mode, const std::string& folder = {});

// Every settings key a --set line takes, as the settings file spells it
// (numbered keys with their number: "LineColorRGB_03").
std::vector<std::string> AllSettingKeyNames();

// The key of a --set line as the settings file spells it: `line` with its key
// matched without regard to case. The line as it stands when the key is
// exact or matches none.
std::string CanonicalSettingLine(const std::string& line);

// The one or two known keys nearest to the key of `line`.
std::vector<std::string> NearestKeys(std::string_view line);

// "did you mean A or B?" for a list of one or two names; empty for none.
std::string DidYouMean(const std::vector<std::string>& names);

}  // namespace geoplait
