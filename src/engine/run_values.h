// The values a run works with beside its record: what it derives from the
// settings when it starts, what it counts and notes on the way, and the
// working space its writers reuse. Parts of the run context
// (engine/run_context.h), apart from it so that the readers and the KML
// writers, which use some of them, need not see the whole context.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/notices.h"
#include "geo/coordinates.h"
#include "geo/time_zone.h"
#include "geo/unit_system.h"

namespace geoplait {

// What a reader passed over in the input, counted so that a run can say so.
struct InputLosses {
    int32_t BadChecksums = 0;   // NMEA sentences whose checksum failed
    int32_t LongEpochLines = 0; // lines of an epoch beyond the pass-through's bound
    int32_t UnknownValues = 0;  // CSV or POT cells that were no number
    int32_t BrokenLines = 0;    // lines over the length a line may have
    int32_t LongLines = 0;      // NMEA lines over the length a line may have
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
    // The signs of the system default hemispheres (LatitudeNS, LongitudeWE),
    // decoded once a run: those of the default letters N and E until then.
    HemisphereSigns DefaultSigns{'+', '+'};
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

inline void InputLosses::Merge(const InputLosses& other) {
    for (int32_t InputLosses::*count : {&InputLosses::BadChecksums, &InputLosses::LongEpochLines,
                                        &InputLosses::UnknownValues, &InputLosses::BrokenLines,
                                        &InputLosses::LongLines, &InputLosses::DroppedTuples}) {
        if (other.*count > this->*count) this->*count = other.*count;
    }
}

// Notes a warning of the run (see RunValues::Warnings): a notice of kind
// Warning from the table in base/notices.h, made with its values by
// MakeNotice (its caption is "Warning").
inline void AddRunWarning(RunValues& run, NoticeText warning) { run.Warnings.push_back(std::move(warning)); }

// The run's local clock: its zone, or its fixed time difference.
inline LocalClock ClockOf(const RunValues& run) {
    LocalClock clock(run.TimeDifferenceValue);
    clock.zone = run.Zone;
    return clock;
}

}  // namespace geoplait
