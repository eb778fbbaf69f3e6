// The pieces of the Create command, exposed so that tests can run the job on
// a mode table of their own and check single steps.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "job/mode_table.h"
#include "job/run_conversion.h"

namespace geoplait {

// RunConversion over `table` instead of kModeTable.
RunOutcome RunConversionWithTable(RunContext& ctx, std::span<const ModeEntry> table);

// "20yymmddhhmmss" from a "yyyy/mm/dd" date and a "hh:mm:ss" or "h:mm:ss" time.
std::string RangeStamp(std::string_view date, std::string_view time);

// Directory (with its trailing "/"), name and extension (with its dot) of a path.
void SplitOutputPath(const std::string& path, RunValues& run);

// True when the two texts are equal or name the same file.
bool IsSameFile(const std::string& input, const std::string& output);

// True when `id` is one of the 33 identifiers an NMEA log may start with.
bool IsKnownFirstSentenceId(std::string_view id);

// Records counted in advance for the family of `mode` (nullptr counts nothing).
int32_t CountInputRecords(RunContext& ctx, const ModeEntry* mode);

// Every how many records a position placemark is written.
int32_t PlacemarkIntervalOf(const ConvertSettings& s, int32_t prescanCount);

}  // namespace geoplait
