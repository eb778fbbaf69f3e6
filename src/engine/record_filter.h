// The record filters: whether the current record is written.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace geoplait {

// Thrown by NoteRecordRead when the user cancelled; RunConversion catches it.
struct RunCancelled {};

// Every record of every run passes here first (each filter below starts with
// it): reports the progress to the user interface and ends a cancelled run by
// throwing RunCancelled, so that the record just read is not written.
void NoteRecordRead(RunContext& ctx);

// "20yymmddhhmmss" of the current record in local time (runs LocalDateTime).
std::string RecordStamp(RunContext& ctx);

// "20yymmddhhmmss" from a "yyyy/mm/dd" date and a "hh:mm:ss" or "h:mm:ss"
// time of the window's pickers, as record stamps are compared with it.
std::string RangeStamp(std::string_view date, std::string_view time);

// True when the date window is off or the record lies inside it.
bool InsideDateWindow(RunContext& ctx);

// Filter of the record emitter (non-KML outputs). `nmeaInput` selects the
// NMEA-input behaviour (the date group set from the local date) over the CSV Full one.
bool AcceptRecordForEmitter(RunContext& ctx, bool nmeaInput);

// Filter of the KML emitter over NMEA input. GapDistance is in km in every
// filter.
bool AcceptRecordForKmlNmea(RunContext& ctx);

// Filter of the KML emitter over CSV input (the previous point moves whether
// the record passes or not).
bool AcceptRecordForKmlCsv(RunContext& ctx);

// The date of the current date group (GroupDay) becomes the record's local
// date, unless that is no calendar date: a record without a date
// neither starts nor ends a date group.
void SetGroupDate(RunContext& ctx);
// With TrackGroupDate: the record has a date, and another than its group's.
bool DateGroupChanges(const RunContext& ctx);

// The filter of the runs over CSV Custom, POT and GPX input, which neither
// thin nor date-filter: false when IncludeData is on and the current record
// (RecordIndex + 1) lies outside the record range, or when OmitErrorData is on
// and the record has no position at all (a blank or header line).
bool PassesRangeFilter(const RunContext& ctx);

// The values a record gets on its way to a writer without the thinning
// filters: SatCount and DilutionValue from its own fields, then ComputeDerived.
void DeriveRecordValues(RunContext& ctx);

// The range check of the CSV Custom, POT and GPX runs: rejects a record
// that fails PassesRangeFilter, else DeriveRecordValues.
bool AcceptRecordInRange(RunContext& ctx);

// For the runs without the emitter's filter: the distance (km) from the
// previous record this run let through becomes GapDistance, and the current
// record the previous one.
void NoteGapDistance(RunContext& ctx);
// Whether a gap in distance or time (LineDistance, LineDistanceSec) lies
// before the current record: the line is cut there.
bool GapBeforeRecord(const RunContext& ctx);

}  // namespace geoplait
