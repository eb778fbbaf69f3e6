// The Exif reader: from one photo (JPEG, TIFF-structured RAW, HEIC), the date and time it was taken, its GPS
// position and altitude, and its title.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/user_interface.h"
#include "geo/time_zone.h"
#include "photo/photo_state.h"
#include "settings/convert_settings.h"

namespace geoplait {

// ExifResult codes. A read Exif block gives its byte order (5 or 6) plus 10
// for each DateTime used, 100 for each DateTimeOriginal used and 1000 when
// IFD0 points to GPS data: 1115 is Intel with all three.
enum ExifCode : int32_t {
    kExifNotJpeg = 1,        // the file is no JPEG (FF D8) nor another container of Exif data
    kExifNoMarker = 2,       // the third byte is not FF
    kExifBadSignature = 3,   // an APP1 segment without the "Exif" signature
    kExifBadByteOrder = 4,   // neither "II" nor "MM"
    kExifIntel = 5,
    kExifMotorola = 6,
    kExifNoSegment = 7,      // no APP1 segment among the leading segments (no Exif item)
    kExifNoAttributes = 8,   // the file's attributes cannot be read
    kExifNotOpened = 9,
    kExifDateTime = 10,
    kExifDateTimeOriginal = 100,
    kExifGps = 1000,
};

// Fills `photo` (all but its file name and size) from the photo at `path`
// and returns the ExifResult. Reads only the leading segments and the Exif
// segment (or the box headers up to the Exif item, or the folders of a RAW
// file where they lie), never the picture. The date and time start as the file's
// modification time in the run's local time (`clock`: its zone, or UTC plus
// the time difference, whatever the machine's zone); a GPS time with its GPS
// date replaces them, moved to local time the same way.
int32_t ReadExif(const std::string& path, const ConvertSettings& s, const LocalClock& clock, UserInterface& ui,
                 PhotoEntry& photo);

// An Exif title as UTF-8: kept when it is valid UTF-8, otherwise decoded as
// Shift_JIS with U+FFFD for undecodable bytes; control characters become
// blanks. False when no Shift_JIS decoder is available (the bytes are then
// taken as U+FFFD).
bool DecodeExifTitle(std::string_view bytes, std::string& title);

}  // namespace geoplait
