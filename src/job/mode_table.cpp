// The procedure of every mode. Every output but KML is written by the record
// runs, one loop per input family; KML by the passes; the NMEA pass-through
// and the summaries own their loops.
#include "job/mode_table.h"

#include "job/kml_passes.h"
#include "job/record_runs.h"

namespace geoplait {

const std::array<ModeProcedure, kModeCount> kModeTable = {
    RunKmlPasses,        // nmea(log) -> kml
    RunRecords,          // nmea(log) -> pot
    RunRecords,          // nmea(log) -> gpx
    RunRecords,          // nmea(log) -> csv(Full)
    RunRecords,          // nmea(log) -> csv(Custom)
    RunNmeaPassThrough,  // nmea(log) -> nmea(log)
    RunSummary,          // nmea(log) -> Summary(csv)
    RunSummary,          // nmea(log) -> Summary(html)
    RunKmlPasses,        // csv(Full) -> kml
    RunRecords,          // csv(Full) -> pot
    RunRecords,          // csv(Full) -> gpx
    RunRecords,          // csv(Full) -> nmea(log)
    RunRecords,          // csv(Full) -> csv(Full)
    RunRecords,          // csv(Full) -> csv(Custom)
    RunKmlPasses,        // csv(Custom) -> kml
    RunRecords,          // csv(Custom) -> pot
    RunRecords,          // csv(Custom) -> gpx
    RunRecords,          // csv(Custom) -> nmea(log)
    RunRecords,          // csv(Custom) -> csv(Custom)
    RunKmlPasses,        // pot -> kml
    RunRecords,          // pot -> nmea(log)
    RunRecords,          // pot -> csv(Custom)
    RunRecords,          // pot -> gpx
    RunKmlPasses,        // gpx -> kml
    RunRecords,          // gpx -> nmea(log)
    RunRecords,          // gpx -> csv(Custom)
    RunRecords,          // gpx -> pot
    RunRecords,          // kml(Line) -> pot
    RunRecords,          // kml(Line) -> gpx
    RunRecords,          // kml(Line) -> nmea(log)
    RunRecords,          // kml(Line) -> csv(Custom)
    RunRecords,          // kml(Point) -> pot
    RunRecords,          // kml(Point) -> gpx
    RunRecords,          // kml(Point) -> nmea(log)
    RunRecords,          // kml(Point) -> csv(Custom)
    RunKmlPasses,        // Photo(Only) -> kml
};

}  // namespace geoplait
