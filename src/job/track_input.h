// The input of a conversion as a source of records: the reader of the input
// family of the mode, whatever it is. Every run and pass reads through it,
// and so do the pre-scan and the photo matching.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "engine/run_context.h"
#include "kml/kml_document.h"
#include "readers/csv_reader.h"
#include "readers/fit_reader.h"
#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"
#include "readers/nmea_reader.h"
#include "readers/pot_reader.h"
#include "readers/track_speed.h"
#include "settings/convert_modes.h"

namespace geoplait {

// The positions of the records as the KML writers write them, made ahead
// of the writers where the records are read: on the reading thread, when
// there is one, each record's adjusted position (AdjustOnce) is made beside
// the record in its batch, and `*current` points at it while the record is
// taken (KmlRecordWriter::madeAhead, which WriterPosition takes when it was
// made from the record's numbers and signs as they are then).
struct PositionsAhead {
    PositionAdjustment adjust;     // the writers' (a copy the reading thread reads)
    HemisphereSigns defaultSigns;  // the same
    const AdjustedPosition** current = nullptr;
};

// Where the records are made complete when the input is read on a thread of
// its own: on the reading thread, or on the run's just before each is taken
// (its numbers read, a missing speed filled; made of the texts of a reader
// that hands them over apart, GpxReader::NextTexts). A taker that writes a
// line per record does less than the reading, and the work is shared better
// when the run makes its records; one that writes KML does more.
enum class MakeRecords : uint8_t { kWhereRead, kWhereTaken };

// The reader of one input family at a time; monostate while none is open.
using TrackReaders = std::variant<std::monostate, NmeaReader, CsvReader, PotReader, GpxReader, KmlReader,
                                  FitReader>;

class TrackInput {
public:
    // Opens InputFile with the reader of the family `kind` (see InputFamily),
    // handed what it needs from the run. `toCsvCustom` selects the KML
    // reader's variant for CSV Custom output. False (and nothing shown) when
    // the file cannot be opened or the family has no track (photos only).
    bool Open(RunContext& ctx, ModeKind kind, bool toCsvCustom = false);
    void Close();

    // Hands every record, in ctx.point, to `take`, which writes or rejects it
    // and clears it: an NMEA log gives one record per epoch and one more after
    // its last line (also when empty), the other families one per line, point
    // or tuple. Reading ends early when the run must stop. A record read
    // without a speed gets the one computed from the track (TrackSpeed). The tuples a KML
    // reader dropped are added to the run's OmitCount. A GPX or KML document
    // that breaks after its last whole record is reported once a run (the
    // records before the break are taken).
    //
    // Each call is a pass of the progress (RunValues): the records handed on
    // and the bytes of the input read up to each. With `lookAhead` the next
    // record is read before the current one is handed on, so that
    // RunValues::LastRecord tells the last one.
    //
    // With `positions`, the records read on a reading thread come with their
    // adjusted positions made (PositionsAhead), unless the run makes them
    // (`make`, MakeRecords).
    void ForEach(RunContext& ctx, const RecordSink& take, bool lookAhead = false,
                 const PositionsAhead* positions = nullptr, MakeRecords make = MakeRecords::kWhereRead);

    // The records ForEach would hand on, counted by the family's count rule
    // without deriving or counting anything else; reads the input to its end.
    int32_t Count(RunContext& ctx);

private:
    ModeKind kind_ = ModeKind::Photo;
    TrackReaders readers_;
    TrackPoint ahead_;  // the record read ahead
    TrackSpeed speed_;  // for the records read without a speed
};

// "Input File Broken" with what the reader found, shown once a run; the run
// is then complete with warnings at best.
void ReportBrokenInput(RunContext& ctx, const std::string& error);

}  // namespace geoplait
