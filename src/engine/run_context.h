// Everything one conversion works on, passed by reference instead of globals,
// so that conversions can run side by side (tests do). This is the ground
// every subsystem stands on: the settings, the current record and the run
// state around it, the run values, the outputs and the user interface. What a
// subsystem keeps for a run beyond that (the split file names, a summary
// group, the photo table) belongs to the run that drives it (src/job) and is
// handed to the subsystem explicitly.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/notices.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "base/user_interface.h"
#include "engine/geo_state.h"
#include "engine/run_outputs.h"
#include "engine/run_values.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The parts of a run that a context owns; a section's context (below) uses
// those of its run instead, but for its record, and owns none.
struct RunParts {
    TrackPoint point;
    TrackStore store;
    RunValues run;
    GeoState geo;
    RunScratch scratch;
    OutputFiles outputs;
    TextReader pipeInput;
    std::atomic<bool> cancelRequested{false};
    std::function<void()> beforePhotoCopies;
    std::function<void()> beforeArchiveClose;
};

struct RunContext {
private:
    // Declared first: the references below are bound to it. Null in a
    // section's context, which is made once a record (the record where a
    // reading thread left it) and so costs no more than its references.
    std::unique_ptr<RunParts> own_;

public:
    RunContext(Settings& s, UserInterface& u)
        : own_(std::make_unique<RunParts>()), settings(s), ui(u), point(own_->point), store(own_->store),
          run(own_->run), geo(own_->geo), scratch(own_->scratch), outputs(own_->outputs),
          pipeInput(own_->pipeInput), cancelRequested(own_->cancelRequested),
          beforePhotoCopies(own_->beforePhotoCopies), beforeArchiveClose(own_->beforeArchiveClose) {}
    // A section of the run `whole` that keeps a record and its record state of
    // its own (the path of a KML beside its placemarks, or the record a
    // reading thread filled, where it lies): everything else, the run values,
    // outputs and cancel included, is the run's.
    RunContext(RunContext& whole, TrackPoint& sectionPoint, TrackStore& sectionStore)
        : settings(whole.settings), ui(whole.ui), point(sectionPoint), store(sectionStore), run(whole.run),
          geo(whole.geo), scratch(whole.scratch), outputs(whole.outputs), pipeInput(whole.pipeInput),
          cancelRequested(whole.cancelRequested), beforePhotoCopies(whole.beforePhotoCopies),
          beforeArchiveClose(whole.beforeArchiveClose) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    Settings& settings;
    UserInterface& ui;
    // The current instance, which every conversion reads.
    ConvertSettings& Current() { return settings.current; }
    const ConvertSettings& Current() const { return settings.current; }

    TrackPoint& point;
    TrackStore& store;
    RunValues& run;
    GeoState& geo;
    RunScratch& scratch;
    // Every file the run writes; put into place only when the run completes.
    OutputFiles& outputs;
    // An input that can be read only once (a pipe), when the run had to look
    // at it before its reader (the first line of an NMEA log): held open
    // here, with that line kept, until the reader takes it over.
    TextReader& pipeInput;
    // Set, from any thread, to end the run where it is (a Cancel): the run
    // then ends without completion and removes what it wrote.
    std::atomic<bool>& cancelRequested;
    // For tests: called once just before the photos are copied (a photo may
    // vanish there, as it may while a run goes on).
    std::function<void()>& beforePhotoCopies;
    // For tests: called once just before the KMZ archive is written, after
    // its photos were checked (a photo may be swapped there).
    std::function<void()>& beforeArchiveClose;

    // True when the run must stop where it is (an output could not be
    // written, or a cancel): reading loops check it between records.
    bool StopRequested() const { return outputs.Failed() || cancelRequested.load(std::memory_order_relaxed); }
};

// Notes a warning of the run (AddRunWarning of its run values).
inline void AddRunWarning(RunContext& ctx, NoticeText warning) { AddRunWarning(ctx.run, std::move(warning)); }

// The run's outputs, its user interface and its cancel flag, for a step that
// writes files and is handed no more of the run.
inline RunOutputs OutputsOf(RunContext& ctx) { return {ctx.outputs, ctx.ui, ctx.cancelRequested}; }

// Where a reader hands each record it filled: the taker writes or rejects
// the record of the context it is given (its `point`, which need not be the
// run's own: a record read on a thread of its own is taken where that thread
// left it) and clears it. Whatever the taker keeps in the record's numbers
// from one record to the next (distances, times, speed, readings) goes on
// with it to the next record taken (CarryRunNumbers).
using RecordSink = std::function<void(RunContext&)>;

}  // namespace geoplait
