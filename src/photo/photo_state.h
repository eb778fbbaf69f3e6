// Run state of this subsystem that outlives one record within a run: the
// photos of the folder with what their Exif data and the track gave them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/notices.h"

namespace geoplait {

// What the copy step does with a photo.
enum class PhotoCopy {
    None,  // no copies are made (or the photo folder is the copy folder)
    Make,  // copied into the copy folder
    Same,  // the copy an earlier run made is this photo already
    Kept,  // the user declined replacing the copy an earlier run made: the
           // copy is the photo described, linked and packed
};

// One photo of the folder. Positions are packed d/m/s texts (ddmmss.ss...),
// unsigned, with the hemisphere in its own letter.
struct PhotoEntry {
    std::string FileName;  // exactly as the folder listing gave it
    uint64_t FileSize = 0;
    int32_t ExifResult = 0;
    std::string Title;
    char LatitudeLetter = '*';
    std::string Latitude;
    char LongitudeLetter = '*';
    std::string Longitude;
    std::string Altitude;
    std::string Date = "00000000";  // yyyymmdd
    std::string Time = "000000";    // hhmmss
    std::string DateSource = "Error(NoDate)";
    std::string GpsItems;
    // The date and time are the GPS receiver's (GPS time and date stamps),
    // not the camera clock's, so no camera adjustment applies to them.
    bool SatelliteClock = false;
    // The position (and altitude) came from a track record: it is in the
    // track's datum, and Tokyo2WGS84 shifts it as it shifts the record.
    bool FromTrack = false;
    PhotoCopy Copy = PhotoCopy::None;
    // Could not be read, copied or packed: left out of the copies and the
    // archive (its placemark stays).
    bool Lost = false;

    bool HasPosition() const { return !Latitude.empty(); }
};

struct PhotoState {
    // Every JPEG of PhotoDir in name order, refilled by each scan; there is
    // no fixed capacity.
    std::vector<PhotoEntry> PhotoTable;
    // Seconds by which the camera clock is behind: added to each photo's time.
    double CameraAdjust = 0.0;
    // Photo placemarks written by the last photo folder.
    int32_t PlacedCount = 0;
    // Entries of the folder left out: links and what is not a regular file.
    int32_t SkippedCount = 0;
    // One line for each photo lost on the way (PhotoLostOnCopy, ...).
    std::vector<NoticeText> LostLines;
};

}  // namespace geoplait
