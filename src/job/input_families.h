// One row per input family: how its reader is opened, how its records are
// counted in advance, what a record goes through in the record runs and what
// the KML passes do with it. Adding a family is adding a row here (and its
// modes to the mode list).
#pragma once

#include <string>

#include "base/output_files.h"
#include "base/text_file.h"
#include "geo/time_zone.h"
#include "job/track_input.h"
#include "kml/kml_path.h"
#include "settings/convert_modes.h"
#include "writers/record_emitter.h"

namespace geoplait {

// What a reader is opened with from its run.
struct ReaderStart {
    const ConvertSettings& settings;
    LocalClock clock;  // the run's local clock, for local times read from the input
    // The input the run holds open when it had to look at it first (a pipe,
    // RunContext::pipeInput): the reader reads on from there.
    TextReader& pipeInput;
};

// Opens `path` with the family's reader, emplaced in `readers`, handed what
// it needs from the run.
using ReaderOpen = bool (*)(TrackReaders& readers, const std::string& path, const ReaderStart& start,
                            bool toCsvCustom);

// How the records are counted before the run: every record the reader gives,
// or (NMEA) the fix sentences of the log.
enum class CountRule { Records, Fixes };

// What a record goes through before it is written by a record run: the
// record emitter with its filters and file split, the record range alone, or
// nothing.
enum class Acceptance { Emitter, RecordRange, Nothing };

struct FamilyRecordRun {
    Acceptance acceptance;
    InputOrigin origin;     // the emitter's variant
};

struct FamilyKmlPasses {
    bool track;                     // false: no point, path or photo-matching pass reads it
    TrackSource source;
    bool speedGroups;               // the path may be cut by speed ranges (SpeedGroup)
    std::string TrackPoint::*name;  // the record's own name, for the Label_Tex item
};

struct InputFamily {
    ModeKind kind;
    ReaderOpen open;  // nullptr: the family has no track (photos only)
    CountRule count;
    // The log must hold a known sentence near its start: it is looked for
    // before the run (FindLogStart, FirstSentenceId).
    bool firstSentence;
    FamilyRecordRun run;
    FamilyKmlPasses kml;
};

// The row of the family `kind`; every ModeKind has one.
const InputFamily& FamilyOf(ModeKind kind);

}  // namespace geoplait
