// The CSV column names, in English, as the header line gives them.
#include "engine/csv_columns.h"

#include <algorithm>

namespace geoplait {

const std::array<std::string_view, kCsvFullColumnCount> kCsvFullColumnNames = {
    "GGA Sentence", "GGA UTC Time", "GGA Latitude (ddmm.mmmm)", "GGA N/S", "GGA Longitude (dddmm.mmmm)",
    "GGA E/W", "GGA Fix Quality", "GGA Satellites", "GGA HDOP", "GGA Altitude", "GGA Altitude Unit",
    "GGA Geoid Height", "GGA Geoid Unit", "GGA DGPS Age", "GGA DGPS Station",
    "RMC Sentence", "RMC UTC Time", "RMC Status", "RMC Latitude (ddmm.mmmm)", "RMC N/S",
    "RMC Longitude (dddmm.mmmm)", "RMC E/W", "RMC Speed (knots)", "RMC Course", "RMC UTC Date (ddmmyy)",
    "RMC Magnetic Variation", "RMC Magnetic Variation E/W",
    "Reserved", "Record Type", "No", "Local Date", "Local Time", "Latitude (degrees)", "Longitude (degrees)",
    "Altitude", "Distance", "Speed", "Elapsed Time", "Elapsed Seconds", "Interval Seconds",
    "Latitude (ddmmss.ss)", "Longitude (dddmmss.ss)", "Local Date (ddmmyy)", "Local Time (hhmmss)",
    "Interval Distance", "Time Difference", "Units", "Unused 1", "Unused 2", "Program",
};

const std::array<std::string_view, kCsvCustomNameCount> kCsvCustomColumnNames = {
    "Name", "N/S", "Latitude (ddmm.mmmm)", "Latitude (degrees)", "Latitude (ddmmss.ss)",
    "E/W", "Longitude (dddmm.mmmm)", "Longitude (degrees)", "Longitude (dddmmss.ss)",
    "Altitude", "Speed (knots)", "Speed", "Course", "Satellites", "HDOP",
    "UTC Date (ddmmyy)", "Local Date", "UTC Time (hhmmss)", "Local Time",
    "Distance", "Elapsed Time", "Elapsed Seconds", "Interval Distance", "Interval Time", "Interval Seconds",
    "No", "Extra Data",
};

namespace {

bool IsColumnName(std::string_view field) {
    const auto named = [field](std::string_view name) { return !name.empty() && name == field; };
    return std::any_of(kCsvFullColumnNames.begin(), kCsvFullColumnNames.end(), named) ||
           std::any_of(kCsvCustomColumnNames.begin(), kCsvCustomColumnNames.end(), named);
}

}  // namespace

bool IsCsvHeaderLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    bool named = false;
    while (true) {
        const size_t comma = line.find(',');
        const std::string_view field = line.substr(0, comma);
        if (!field.empty()) {
            if (!IsColumnName(field)) return false;
            named = true;
        }
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return named;
}

}  // namespace geoplait
