// What a run checks about its outputs before it writes anything: the names it
// derives from OutputFile fit the file system, none of its outputs is its
// input, and one replace question covers every existing file it will replace.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/run_context.h"
#include "settings/convert_modes.h"

namespace geoplait {

// The files beside OutputFile that the run writes, known before it starts:
// the photo list and the KMZ archive (when the photo steps make them).
std::vector<std::string> SideOutputs(const RunContext& ctx);

// How many bytes a split piece adds to the output's file name: "_000" of the
// record runs, "_20yymmdd-hhmmss" of the NMEA pass-through; 0 when the run
// does not split.
size_t SplitNameGrowth(const ConvertSettings& s, const ConvertMode* mode);

// The outputs a run of `s` makes beyond OutputFile, one line each with the
// key that turns it on and where it writes: "Photo_Sidecar=1 writes sidecars
// into photos", "Kmz=1 packs the photos of photos into trip.kmz", ... (photo
// copies, sidecars, KMZ, photo list, split pieces).
std::vector<std::string> ExtraOutputsOf(const ConvertSettings& s);

// Every name the run derives (split piece, NAME_photo, the photo list, the
// archive) fits within the longest file name; else OutputNameTooLong and false.
bool CheckDerivedNames(RunContext& ctx, const ConvertMode* mode);

// No output of the run names a descriptor that is not open (/dev/stdout
// when 1 is closed) or would be a new file in /dev, /proc or /sys: else its
// message and false, before anything is made.
bool CheckMakeableOutputs(RunContext& ctx);

// No side output is the input (of a run that reads one); else InputIsOutput
// and false.
bool CheckSideOutputs(RunContext& ctx, bool readsInput);

// The replace question (ReplaceOutput); an OK notes "Output File Override."
// for the completion message.
bool AskReplace(RunContext& ctx);

// Readies the run's output set: the input is protected, the replace question
// is the run's own. Returns false when the user declined replacing one of the
// existing outputs known now (the main output or a side output): asked once.
bool PrepareOutputSet(RunContext& ctx, bool readsInput);

// The message for an output the set refused (the same input, a name too
// long); nothing for a declined replace. False when nothing was refused.
bool ReportRefusedOutput(RunContext& ctx);

}  // namespace geoplait
