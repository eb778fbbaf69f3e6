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

// RunConversion with the procedures of `table` (one per row of
// kConvertModes) instead of kModeTable.
RunOutcome RunConversionWithTable(RunContext& ctx, std::span<const ModeProcedure> table);

// The run values (filter thresholds, ranges, time difference, units) taken
// from the setting texts of `s`, as a run takes them at its start; the run
// values before are dropped.
void DeriveRunValues(const ConvertSettings& s, const ConfigSettings& config, RunValues& run);

// Directory (with its trailing "/"), name and extension (with its dot) of a path.
void SplitOutputPath(const std::string& path, RunValues& run);

// True when the two texts are equal or name the same file.
bool IsSameFile(const std::string& input, const std::string& output);

// True when `id` is one of the 33 identifiers an NMEA log may start with.
bool IsKnownFirstSentenceId(std::string_view id);

// Where an NMEA log starts: the first known sentence (IsKnownFirstSentenceId,
// its checksum right) within the first 64 KiB, passing over the lines before
// it (a banner, a blank line, half a sentence, binary bytes), which `input`
// keeps peeked (TextReader::PeekLine). `id` is the sentence's identifier.
enum class LogStart { Empty, Found, Unknown };
LogStart FindLogStart(TextReader& input, std::string& id);

// Records counted in advance by the reader of the family of `mode`, for the
// placemark types that divide the track (nothing for the summaries, nullptr
// and photos only).
int32_t CountInputRecords(RunContext& ctx, const ConvertMode* mode);

// True when the run needs the records counted before it starts: a KML with
// placemarks of a type whose interval follows from their number ("Start &
// End", "Point 3" ... "Point 100").
bool NeedsRecordCount(const ConvertSettings& s, const ConvertMode* mode);

// True when the run of `mode` with `s` may read its input more than once, so
// that a pipe cannot be its input: the count above, or the photos matched
// with the track after its placemarks or path were written; and an unknown
// mode.
bool ReadsInputTwice(const ConvertSettings& s, const ConvertMode* mode);

// Every how many records a position placemark is written.
int32_t PlacemarkIntervalOf(const ConvertSettings& s, int32_t prescanCount);

}  // namespace geoplait
