// "nmea(log) -> pot": reads the log epoch by epoch (one record per epoch, the
// last one handed on after the end of the input, also for an empty log) and
// writes each record that passes the filters as a POT line after the DAT line.
#include "engine/record_runs.h"

#include "engine/run_files.h"
#include "readers/nmea_reader.h"
#include "writers/pot_writer.h"
#include "writers/record_emitter.h"

namespace geoplait {

void RunNmeaToPot(RunContext& ctx) {
    TextReader input;
    TextWriter out;
    if (!OpenRunFiles(ctx, input, out, WriteMode::Create)) return;
    WritePotHead(out);
    ctx.point.TotalDistance = 0.0;
    ReadNmeaEpochs(input, ctx,
                   [&out](RunContext& c) { EmitRecord(out, c, 'P', InputOrigin::Nmea); });
    input.Close();
    out.Close();
}

}  // namespace geoplait
