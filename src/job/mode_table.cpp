// The procedure of every mode, by how its output kind is run (OutputRun):
// KML by the passes, the summaries by their own loop, every other output by
// the record runs, one loop for every input family; the NMEA pass-through is
// the one pair run otherwise.
#include "job/mode_table.h"

#include <utility>

#include "job/kml_passes.h"
#include "job/record_runs.h"

namespace geoplait {

namespace {

// The procedure of each OutputRun, in its order.
constexpr ModeProcedure kRunProcedures[] = {RunKmlPasses, RunRecords, RunSummary, RunGeoJson};

// A pair of family and output run otherwise than its output says.
struct ModeException {
    ModeKind kind;
    ModeOutput output;
    ModeProcedure procedure;
};

constexpr ModeException kModeExceptions[] = {
    // An NMEA log to NMEA: epochs copied as they stand, not rebuilt.
    {ModeKind::Nmea, ModeOutput::Nmea, RunNmeaPassThrough},
};

template <size_t... Row>
std::array<ModeProcedure, kModeCount> TableOfModes(std::index_sequence<Row...>) {
    return {ProcedureOf(kConvertModes[Row])...};
}

}  // namespace

ModeProcedure ProcedureOf(const ConvertMode& mode) {
    for (const ModeException& exception : kModeExceptions) {
        if (exception.kind == mode.kind && exception.output == mode.output) return exception.procedure;
    }
    return kRunProcedures[static_cast<size_t>(OutputKindOf(mode.output).run)];
}

// kConvertModes is constant data, set before any table made at start-up.
const std::array<ModeProcedure, kModeCount> kModeTable = TableOfModes(std::make_index_sequence<kModeCount>());

}  // namespace geoplait
