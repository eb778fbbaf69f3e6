// The procedure of every mode. Every output but KML is written by the record
// runs, one loop for every input family; KML by the passes; the NMEA
// pass-through and the summaries own their loops.
#include "job/mode_table.h"

#include <utility>

#include "job/kml_passes.h"
#include "job/record_runs.h"

namespace geoplait {

namespace {

struct OutputProcedure {
    ModeOutput output;
    ModeProcedure procedure;
};

constexpr OutputProcedure kOutputProcedures[] = {
    {ModeOutput::Kml, RunKmlPasses},       {ModeOutput::Pot, RunRecords},
    {ModeOutput::Gpx, RunRecords},         {ModeOutput::Nmea, RunRecords},
    {ModeOutput::CsvFull, RunRecords},     {ModeOutput::CsvCustom, RunRecords},
    {ModeOutput::SummaryCsv, RunSummary},  {ModeOutput::SummaryHtml, RunSummary},
};

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
    for (const OutputProcedure& row : kOutputProcedures) {
        if (row.output == mode.output) return row.procedure;
    }
    return nullptr;
}

// kConvertModes is constant data, set before any table made at start-up.
const std::array<ModeProcedure, kModeCount> kModeTable = TableOfModes(std::make_index_sequence<kModeCount>());

}  // namespace geoplait
