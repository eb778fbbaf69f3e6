// Cells and lines of CSV and POT files as spreadsheets and loggers write
// them: numbers with a decimal comma or a unit after them, degrees written
// with their marks (47°22'36.92"), lines of any length. A number is read as
// the number it says or not at all: a text that is no number is unknown,
// never its leading digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"

namespace geoplait {

// A numeric cell into a plain decimal text ("408.9", "-3", "+12", ".5"): blanks
// around it are dropped, a comma stands for the decimal point when the text
// has no point and one comma ("408,4"), a sign is taken when `allowSign`, and
// a trailing "m" (altitudes in metres: "408.9 m") when `allowMetres`. False,
// with the text emptied, when anything else is left: "#N/A", "47.3770xyz".
bool TakeCellNumber(std::string& text, bool allowSign, bool allowMetres);

// What a coordinate cell (unsigned, its hemisphere letter taken off) said.
enum class CoordinateCell {
    Empty,    // nothing: no position, nothing lost
    Number,   // a plain number, in the notation of its column
    Degrees,  // degrees written with their marks, now plain decimal degrees
    Unknown,  // no number: no position
};
// The cell as a plain number (TakeCellNumber without sign or unit), or, when
// it is written with degree, minute and second marks ("47.376901°",
// "47°22'36.92\"", "47° 22.6153'"), as the decimal degrees it says ("%.9f"),
// minutes and seconds below 60. The text is emptied when it is Unknown.
CoordinateCell TakeCoordinateCell(std::string& text);

// The lines a CSV or POT file may hold, in characters with the line's end.
inline constexpr size_t kLongestCellLine = size_t{1} << 20;

// Whether `piece`, read with the limit `limit` + 1 (TextReader::ReadLine), is
// the start of a line longer than `limit` characters with its end, cut there,
// rather than a line or the last line of the input without its "\n".
bool IsCutLine(std::string_view piece, size_t limit);

// The next line whole, however long, up to `limit` characters with its end
// (kLongestCellLine for CSV and POT); a longer line is passed over to its end
// and counted in `broken`, never cut into lines: nothing grows beyond the
// limit. A run of NUL bytes (a logger's padding after a power cut) longer
// than the limit is passed over without a count: the line after it is read.
// False at the end of the input.
bool ReadWholeLine(TextReader& input, std::string_view& line, int32_t& broken, size_t limit = kLongestCellLine);

}  // namespace geoplait
