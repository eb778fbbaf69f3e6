// The Create command: one synchronous conversion from InputFile to OutputFile.
#pragma once

#include "engine/run_context.h"

namespace geoplait {

// How a run ended, for callers that need more than the messages (the command line).
enum class RunOutcome {
    Complete,         // "Complete Record=..."
    CompleteWithWarnings,  // complete, but something was lost on the way (RunValues::Warnings)
    NothingIncluded,  // "Include Record Not Found=..."
    NoData,           // "No data?..."
    Stopped,          // ended before its completion message
    Cancelled,        // the user stopped it: "Cancelled Record=..."
};

// Runs the conversion on ctx.settings.current (the caller has collected the
// window's controls into it). Resets the run state first.
RunOutcome RunConversion(RunContext& ctx);

}  // namespace geoplait
