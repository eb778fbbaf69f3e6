// The side of a run that a step writing files deals with: the run's outputs,
// the user it speaks to and whether the run goes on. A part of the run
// context (engine/run_context.h, OutputsOf), apart from it so that such a
// step (the photo copies, the archive, the checks of the outputs) is handed
// this and not the whole run.
#pragma once

#include <atomic>

#include "base/output_files.h"
#include "base/user_interface.h"

namespace geoplait {

struct RunOutputs {
    OutputFiles& files;
    UserInterface& ui;
    // Set, from any thread, by a Cancel.
    const std::atomic<bool>& cancelRequested;

    // True when the run must stop where it is (an output could not be
    // written, or a cancel).
    bool StopRequested() const { return files.Failed() || cancelRequested.load(std::memory_order_relaxed); }
};

}  // namespace geoplait
