// CSV input: the Full layout (the 50 columns this program writes) and the
// Custom layout (columns and notations described by the Imput_ settings).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/track_point.h"
#include "settings/convert_settings.h"

namespace geoplait {

// One line of the Full layout into the record: columns 1-28 into the NMEA
// fields and the reserved slot, 33/34 into the decimal degrees, 41/42 into
// the d/m/s texts, 43/44 into the local date and time. The other columns are
// recomputed by ComputeDerived and not read.
void ParseCsvFullLine(std::string_view line, TrackPoint& point);

// One line of the Custom layout into the record, the NMEA defaults first.
// Local times are turned into UTC by `timeDifference` (signed hhmmss).
void ParseCsvCustomLine(std::string_view line, const ConvertSettings& settings, int32_t timeDifference,
                        TrackPoint& point);

enum class CsvLayout { Full, Custom };

// A CSV file as a source of records: every line is one, the first included
// (there is no header line; a header is read as data).
//
//   CsvReader reader;
//   if (!reader.Open(path, CsvLayout::Custom, settings, timeDifference)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//
// The Custom layout reads its columns and notations from the Imput_ items of
// `items` (kept by reference: they must outlive the reading) and turns local
// times into UTC by `timeDifference` (signed hhmmss); the Full layout needs
// neither. The reader keeps nothing between records but its file position; a
// pass that reads the file again opens it again.
class CsvReader {
public:
    bool Open(const std::string& path, CsvLayout layout, const ConvertSettings& items, int32_t timeDifference);
    void Close() { input_.Close(); }
    // Parses the next line into the point; false at the end of the file.
    bool Next(TrackPoint& point);

private:
    TextReader input_;
    CsvLayout layout_ = CsvLayout::Full;
    const ConvertSettings* items_ = nullptr;
    int32_t timeDifference_ = 0;
};

}  // namespace geoplait
