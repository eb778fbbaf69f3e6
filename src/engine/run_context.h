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
#include <string>
#include <vector>

#include "base/notices.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "base/user_interface.h"
#include "engine/geo_state.h"
#include "geo/time_zone.h"
#include "geo/unit_system.h"
#include "settings/convert_settings.h"

namespace geoplait {

// What a reader passed over in the input, counted so that a run can say so.
struct InputLosses {
    int32_t BadChecksums = 0;   // NMEA sentences whose checksum failed
    int32_t LongEpochLines = 0; // lines of an epoch beyond the pass-through's bound
    int32_t UnknownValues = 0;  // CSV or POT cells that were no number
    int32_t BrokenLines = 0;    // lines over the length a line may have
    int32_t DroppedTuples = 0;  // KML coordinates that were no numbers
    // Each count the larger of the two.
    void Merge(const InputLosses& other);
};

// Values the job derives from the settings texts at its start.
struct RunValues {
    int32_t RecordRangeStart = 0;
    int32_t RecordRangeEnd = 0;
    int32_t SatelliteThreshold = 0;
    int32_t DilutionThreshold = 0;
    double ThinningDistance = 0.0;   // km
    double PlacemarkDistance = 0.0;  // km
    double GapDistanceLimit = 99999.0;     // km
    double GapSecondsLimit = 99999999.0;   // seconds
    int32_t PlacemarkInterval = 1;
    std::string RangeStartStamp;  // "20yymmddhhmmss"
    std::string RangeEndStamp;
    int32_t TimeDifferenceValue = 0;  // signed hhmmss
    // The TimeZone's zone; without one local time is TimeDifferenceValue
    // fixed (see ClockOf).
    const date::time_zone* Zone = nullptr;
    UnitSystem Units = UnitSystem::Km;  // of MeterMile
    std::string OverrideNote;
    std::string DirectoryNote;
    std::string FirstSentenceId;  // the first known sentence of an NMEA log
    int32_t PrescanCount = 0;
    // OutputFile split into its parts; the extension keeps its dot.
    std::string OutputDrive;  // always empty here
    std::string OutputDirectory;  // with its trailing "/"; empty for a bare file name
    std::string OutputName;
    std::string OutputExtension;
    std::string PhotoListPath;  // "(OutFileName)_Photo.csv" when Photo_CsvOut is on
    bool SettingsSaveFailed = false;  // the save after a complete run could not write the file
    bool InputErrorShown = false;  // a broken input document was reported (once a run)
    // What the run lost on the way although it wrote its outputs (an input
    // that broke off, a photo left out, a requested output not made): shown
    // after the completion message, and the run is complete with warnings.
    std::vector<NoticeText> Warnings;
    // What the readers could not use, the most any one pass over the input
    // found (each pass reads the same input): warnings at the run's end.
    InputLosses Losses;
    // Progress: each read of the input is a pass (from 1), with the records
    // it handed on so far; ProgressDone is the record last reported.
    int ProgressPass = 0;
    int32_t RecordsRead = 0;
    int32_t ProgressDone = 0;
    // The record at hand is the last the input gives (known where the
    // reading looks one record ahead: the placemarks of a KML).
    bool LastRecord = false;
    // The input's size (0 when unknown) and the bytes read up to the record
    // at hand, which the progress shows.
    uint64_t InputBytes = 0;
    uint64_t InputBytesRead = 0;
};

// Working space a writer reuses for one record at a time, so that writing a
// record allocates nothing once warm. Nothing in it outlives the record.
struct RunScratch {
    std::string line;  // the record's output, built whole
};

// The parts of a run that a context owns; a section's context (below) uses
// those of its run instead, but for its record.
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
    // Declared first: the references below are bound to it.
    RunParts own_;

public:
    RunContext(Settings& s, UserInterface& u)
        : settings(s), ui(u), point(own_.point), store(own_.store), run(own_.run), geo(own_.geo),
          scratch(own_.scratch), outputs(own_.outputs), pipeInput(own_.pipeInput),
          cancelRequested(own_.cancelRequested), beforePhotoCopies(own_.beforePhotoCopies),
          beforeArchiveClose(own_.beforeArchiveClose) {}
    // A section of the run `whole` that keeps a record and its record state of
    // its own (the path of a KML beside its placemarks): everything else, the
    // run values, outputs and cancel included, is the run's.
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

inline void InputLosses::Merge(const InputLosses& other) {
    for (int32_t InputLosses::*count : {&InputLosses::BadChecksums, &InputLosses::LongEpochLines,
                                        &InputLosses::UnknownValues, &InputLosses::BrokenLines,
                                        &InputLosses::DroppedTuples}) {
        if (other.*count > this->*count) this->*count = other.*count;
    }
}

// Notes a warning of the run (see RunValues::Warnings): a notice of kind
// Warning from the table in base/notices.h, made with its values by
// MakeNotice (its caption is "Warning").
// The run's local clock: its zone, or its fixed time difference.
inline LocalClock ClockOf(const RunValues& run) {
    LocalClock clock(run.TimeDifferenceValue);
    clock.zone = run.Zone;
    return clock;
}

inline void AddRunWarning(RunContext& ctx, NoticeText warning) { ctx.run.Warnings.push_back(std::move(warning)); }

// Where a reader hands each record it filled in ctx.point: the taker writes
// or rejects it and clears it.
using RecordSink = std::function<void(RunContext&)>;

}  // namespace geoplait
