// The record filters: whether the current record is written.
#pragma once

#include <string>

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

// True when the date window is off or the record lies inside it.
bool InsideDateWindow(RunContext& ctx);

// Filter of the record emitter (non-KML outputs). `nmeaInput` selects the
// NMEA-input behaviour (GroupDate set from LocalDate) over the CSV Full one.
bool AcceptRecordForEmitter(RunContext& ctx, bool nmeaInput);

// Filter of the KML emitter over NMEA input. GapDistance is in km in every
// filter.
bool AcceptRecordForKmlNmea(RunContext& ctx);

// Filter of the KML emitter over CSV input (the previous point moves whether
// the record passes or not).
bool AcceptRecordForKmlCsv(RunContext& ctx);

// GroupDate, the date of the current date group, becomes the record's
// LocalDate, unless that is no calendar date: a record without a date
// neither starts nor ends a date group.
void SetGroupDate(RunContext& ctx);
// With TrackGroupDate: the record has a date, and another than its group's.
bool DateGroupChanges(const RunContext& ctx);

// The inline range check of the CSV Custom, POT and GPX runs: rejects a record
// outside the record range when IncludeData is on, else runs ComputeDerived.
bool AcceptRecordInRange(RunContext& ctx);

}  // namespace geoplait
