// What a run checks about its outputs before it writes anything: the names it
// derives from OutputFile fit the file system, none of its outputs is its
// input, and one replace question covers every existing file it will replace.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/output_files.h"
#include "base/user_interface.h"
#include "engine/run_values.h"
#include "settings/convert_modes.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The files beside OutputFile that a run of `s` writes, known before it
// starts: the photo list and the KMZ archive (when the photo steps make
// them). `run` holds OutputFile's parts (SplitOutputPath).
std::vector<std::string> SideOutputs(const ConvertSettings& s, const RunValues& run);

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
// archive) fits within the longest file name; else OutputNameTooLong to `ui`
// and false.
bool CheckDerivedNames(const ConvertSettings& s, const RunValues& run, UserInterface& ui, const ConvertMode* mode);

// No output of the run names a descriptor that is not open (/dev/stdout
// when 1 is closed) or would be a new file in /dev, /proc or /sys: else its
// message and false, before anything is made.
bool CheckMakeableOutputs(const ConvertSettings& s, const RunValues& run, UserInterface& ui);

// No side output is the input (of a run that reads one); else InputIsOutput
// and false.
bool CheckSideOutputs(const ConvertSettings& s, const RunValues& run, UserInterface& ui, bool readsInput);

// The replace question (ReplaceOutput); an OK notes "Output File Override."
// in `run` for the completion message.
bool AskReplace(UserInterface& ui, RunValues& run);

// Readies the run's output set: the input is protected, the replace question
// is the run's own (asked through `ui`, noted in `run`, both of which outlive
// the set's run). Returns false when the user declined replacing one of the
// existing outputs known now (the main output or a side output): asked once.
bool PrepareOutputSet(OutputFiles& outputs, const ConvertSettings& s, RunValues& run, UserInterface& ui,
                      bool readsInput);

// The message for an output the set refused (the same input, a name too
// long); nothing for a declined replace. False when nothing was refused.
bool ReportRefusedOutput(const OutputFiles& outputs, UserInterface& ui);

}  // namespace geoplait
