// The small text and number helpers shared by the settings file, the
// geodesy, the readers and the writers: fields of a line, numbers from texts,
// the positional slots of a record's date and time. All of them run once or
// more per record, so they reuse string capacity and never consult the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace geoplait {

// Character i of a RmcTime/RmcDate-like slot as a positional writer sees it:
// after ClearTrackPoint such a slot reads as empty but characters 1 to 7 are
// blanks. So: s[i] inside the text, '\0' at its end, ' ' after it up to 7, '\0' beyond.
char SlotChar(const std::string& s, size_t i);

// The path with the extension of its file name (ExtensionStart) cut off, then `suffix`.
std::string ReplaceExtension(const std::string& path, std::string_view suffix);
// Bytes of the first 2048 characters of a UTF-8 line: all of a line is
// scanned for fields only that far.
size_t ScanLimitBytes(std::string_view line);
// Field n (from 1) of the line by `separator`; empty when the line or the first
// 2048 characters end before the (n-1)-th separator.
std::string FieldAt(std::string_view line, int n, char separator);
void FieldAt(std::string& destination, std::string_view line, int n, char separator);
std::string NumericOnly(std::string_view source);
// Appends a CSV field: as it stands, or quoted with each quote doubled when
// it holds a comma, a double quote or a line break (RFC 4180).
void AppendCsvField(std::string& line, std::string_view text);
void CollapseBlanks(std::string& text);

// Numbers from texts: the leading integer / leading decimal number, 0 when none.
// Leading blanks are skipped, as the C library does.
int32_t IntegerOf(std::string_view text);
double NumberOf(std::string_view text);

}  // namespace geoplait
