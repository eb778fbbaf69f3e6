// The photo steps of a KML conversion: the folder scan, the matching with the
// track, the photo folder of placemarks and the photo list.
#pragma once

#include <functional>

#include "engine/run_context.h"
#include "photo/photo_state.h"

namespace geoplait {

// Fills the photo table with every photo (IsPhotoFileName: JPEG, RAW, HEIC) of
// PhotoDir that is a regular file (links and other entries are skipped and
// counted apart), in name order, decides their copies (PlanPhotoCopies), reads
// each by ReadExif (a kept copy instead of its photo) and appends the
// statistics comments to the KML when Photo_Comment is on. A photo that cannot
// be read is noted as lost. With Photo_Exif_GPS_Point
// off no photo keeps its own position.
void ScanPhotoFolder(RunContext& ctx, PhotoState& state);

// Seconds by which the camera clock is behind the true time (added to each
// photo's time):
// Photo_TimeAdjustSec, or the "Now" minus the "Camera" clock of the photo
// dialog when Photo_TimeAdjustCAL is on.
double CameraAdjust(const ConvertSettings& s);

// Sets state.CameraAdjust and moves the date and time of every photo by it
// (the camera clock to the true time), except those the GPS receiver's clock
// gave: the time the placemark shows is the time it is matched by.
void AdjustPhotoTimes(RunContext& ctx, PhotoState& state);

// Reads the whole track once more: opens the input and hands every record of
// it, without any filter, to the sink, which clears it; false when the input
// cannot be opened. The run supplies it with the reader of the input family.
using TrackReader = std::function<bool(RunContext&, const RecordSink&)>;

// Reads the whole track of the input again and gives each photo without a
// position that of the last track record taken at or before it; photos
// before the first record or after the last take the fallbacks "(Fast)" and
// "(Last)". Records without a position are passed over. Without a track
// reader (no track) nothing is matched.
void MatchPhotos(RunContext& ctx, PhotoState& state, const TrackReader& readTrack);

// Every photo still without a position gets the default location of the
// photo options and "(No Tag. Set Default)" in its GPS items.
void SetDefaultLocation(RunContext& ctx, PhotoState& state);

// Where a photo's placemark stands: sign characters and unsigned "%3.6f"
// degrees after the offsets (and, for a position from the track, the datum
// shift), and the altitude with OffAltitude as "%1.2f" metres.
struct PhotoPosition {
    char latitudeSign = ' ';
    char longitudeSign = ' ';
    std::string latitude;
    std::string longitude;
    std::string altitude;
};
PhotoPosition PlacemarkPosition(RunContext& ctx, const PhotoEntry& photo);

// Appends the photo folder to the KML and writes the photo list
// "(OutFileName)_Photo.csv" when Photo_CsvOut is on; without a photo the
// list is not made and a warning of the run names it.
void WritePhotoFolder(RunContext& ctx, PhotoState& state);

}  // namespace geoplait
