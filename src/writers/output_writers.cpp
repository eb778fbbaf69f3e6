#include "writers/output_writers.h"

#include "writers/csv_writer.h"
#include "writers/gpx_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pot_writer.h"

namespace geoplait {

namespace {

void PotHead(TextWriter& out, const LineWriterOptions&, const std::string&, bool) { WritePotHead(out); }

constexpr OutputWriter kOutputWriters[] = {
    {ModeOutput::Pot, WritePotLine, PotHead, nullptr, nullptr, false, false},
    {ModeOutput::Gpx, WriteGpxPoint, WriteGpxHead, WriteGpxTail, nullptr, false, false},
    {ModeOutput::Nmea, WriteNmeaSentences, nullptr, nullptr, nullptr, false, true},
    {ModeOutput::CsvFull, WriteCsvFullLine, nullptr, nullptr, WriteCsvFullHead, true, true},
    {ModeOutput::CsvCustom, WriteCsvCustomLine, nullptr, nullptr, WriteCsvCustomHead, true, true},
};

}  // namespace

const OutputWriter* OutputWriterOf(ModeOutput output) {
    for (const OutputWriter& writer : kOutputWriters) {
        if (writer.output == output) return &writer;
    }
    return nullptr;
}

bool SplitsOutput(const OutputWriter& writer, InputOrigin origin) {
    return origin == InputOrigin::Nmea ? writer.splitsFromNmea : writer.splitsFromCsvFull;
}

}  // namespace geoplait
