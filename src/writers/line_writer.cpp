// The line writers' options, decoded from the settings when a run starts.
#include "writers/line_writer.h"

#include "writers/csv_writer.h"

namespace geoplait {

LineWriterOptions LineWriterOptionsOf(const ConvertSettings& s, const ConfigSettings& config) {
    LineWriterOptions options;
    options.label = {s.Label_No != 0, s.Label_Elapsed != 0, s.Label_Km != 0, s.Label_Speed != 0};
    options.gpx = s.GpxType == "Track" ? GpxLayout::Track : GpxLayout::Route;
    options.defaultSigns = DefaultHemisphereSigns(config.LatitudeNS, config.LongitudeWE);
    options.nmea = {s.Create_GPGGA != 0, s.Create_GPRMC != 0, s.Tokyo2WGS84 != 0};
    CsvWriterOptions& csv = options.csv;
    for (size_t i = 0; i < kCsvCustomColumnCount; ++i) csv.customColumns[i] = s.*kCsvCustomFlags[i] > 0;
    csv.latitudeHemisphereColumn = s.Output_Latitude_ns > 0;
    csv.longitudeHemisphereColumn = s.Output_Longitude_ew > 0;
    csv.meterMile = s.MeterMile;
    csv.header = s.CsvHeader != 0;
    return options;
}

}  // namespace geoplait
