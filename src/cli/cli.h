// The command line of the converter: settings from geoplait.ini, --ini and
// --set lines, then one conversion (or a settings-file write, or the mode list).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "base/user_interface.h"

namespace geoplait {

// Exit statuses of geoplait-cli.
inline constexpr int kExitComplete = 0;         // "Complete Record=..."
inline constexpr int kExitSettingsNotSaved = 1; // the settings file could not be written
inline constexpr int kExitStopped = 2;          // the run ended before its completion message
inline constexpr int kExitNothingIncluded = 3;  // "Include Record Not Found=..."
inline constexpr int kExitNoData = 4;           // "No data?..."
inline constexpr int kExitWarnings = 5;         // complete, with warnings (what was lost on the way)
inline constexpr int kExitUsage = 64;           // bad command line

// Runs the command line; messages go to `err`, the completion message, the
// mode list and the help to `out` (to `err` too when the output is standard
// output). With progressBar (stderr is a terminal) a run draws a one-line
// progress bar on `err`. With watchSignals (the program, not a test calling
// it) SIGINT, SIGTERM and SIGHUP are taken: the first cancels the run (it
// removes its temporary files, keeps the earlier outputs and ends with
// kExitStopped), a second removes the temporary files of the process and ends
// it at once with kExitStopped; in a batch the first cancels every run and
// starts no more. A batch runs each file in a process of its own (fork):
// call it before any thread of the caller starts. Returns the exit status.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err, bool progressBar = false,
           bool watchSignals = false);

// The progress bar's line, the bar and percentage by bytes of the input read:
// "[#####-----] 1234 records  21%  0:03  pass 2", or "1234 records  0:03
// pass 2" when the input's size is not known (a pipe).
std::string ProgressLine(const RunProgress& progress, long long seconds);

}  // namespace geoplait
