// The names of the CSV columns: the header line the CSV outputs write on
// request (CsvHeader), and its test, with which the CSV readers pass over
// such a line instead of reading it as a record.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace geoplait {

// CSV Full: the 50 columns in their order (48 and 49 are always empty).
inline constexpr size_t kCsvFullColumnCount = 50;
extern const std::array<std::string_view, kCsvFullColumnCount> kCsvFullColumnNames;

// CSV Custom: the 27 columns in the order of the Output_ flags.
inline constexpr size_t kCsvCustomNameCount = 27;
extern const std::array<std::string_view, kCsvCustomNameCount> kCsvCustomColumnNames;

// Whether `line` is a header line of ours: every field of it empty or a
// column name of either layout, and at least one a name (a line end is no
// part of it). No record has one: its coordinates are numbers.
bool IsCsvHeaderLine(std::string_view line);

}  // namespace geoplait
