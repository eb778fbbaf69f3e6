// The photo steps of a KML conversion: the folder scan, the matching with the
// track, the photo folder of placemarks and the photo list.
#pragma once

#include <functional>

#include "engine/track_point.h"
#include "photo/photo_run.h"
#include "photo/photo_state.h"

namespace geoplait {

// Fills the photo table with every photo (IsPhotoFileName: JPEG, RAW, HEIC) of
// PhotoDir that is a regular file (links and other entries are skipped and
// counted apart), in name order, decides their copies (PlanPhotoCopies), reads
// each by ReadExif (a kept copy instead of its photo) and appends the
// statistics comments to the KML when Photo_Comment is on. A photo that cannot
// be read is noted as lost. With Photo_Exif_GPS_Point
// off no photo keeps its own position.
void ScanPhotoFolder(const PhotoRun& r, PhotoState& state);

// Seconds by which the camera clock is behind the true time (added to each
// photo's time):
// Photo_TimeAdjustSec, or the "Now" minus the "Camera" clock of the photo
// dialog when Photo_TimeAdjustCAL is on.
double CameraAdjust(const ConvertSettings& s);

// Sets state.CameraAdjust and moves the date and time of every photo by it
// (the camera clock to the true time), except those the GPS receiver's clock
// gave: the time the placemark shows is the time it is matched by.
void AdjustPhotoTimes(const ConvertSettings& s, PhotoState& state);

// Where a track reader hands each record it filled: the taker clears it.
using PointSink = std::function<void(TrackPoint&)>;

// Reads the whole track once more: opens the input and hands every record of
// it, without any filter, to the sink, starting with a cleared record; false
// when the input cannot be opened. The run supplies it with the reader of the
// input family.
using TrackReader = std::function<bool(const PointSink&)>;

// Reads the whole track of the input again and gives each photo without a
// position that of the last track record taken at or before it; photos
// before the first record or after the last take the fallbacks "(Fast)" and
// "(Last)". Records without a position are passed over. Without a track
// reader (no track) nothing is matched.
void MatchPhotos(const PhotoRun& r, PhotoState& state, const TrackReader& readTrack);

// Every photo still without a position gets the default location of the
// photo options and "(No Tag. Set Default)" in its GPS items.
void SetDefaultLocation(const ConvertSettings& s, PhotoState& state);

// Where a photo's placemark stands: sign characters (of its letters, else
// `defaultSigns`) and unsigned "%3.6f" degrees after the offsets (and, for a
// position from the track, the datum shift), and the altitude with
// OffAltitude as "%1.2f" metres.
struct PhotoPosition {
    char latitudeSign = ' ';
    char longitudeSign = ' ';
    std::string latitude;
    std::string longitude;
    std::string altitude;
};
PhotoPosition PlacemarkPosition(const ConvertSettings& s, HemisphereSigns defaultSigns, const PhotoEntry& photo);

// Appends the photo folder to the KML and writes the photo list
// "(OutFileName)_Photo.csv" when Photo_CsvOut is on; without a photo the
// list is not made and a warning of the run names it.
void WritePhotoFolder(const PhotoRun& r, PhotoState& state);

}  // namespace geoplait
