// XMP sidecars: the position a photo got from the track, in a file beside it
// that photo programs (digiKam, darktable, Lightroom, exiftool) read.
#pragma once

#include <string_view>

#include "photo/photo_run.h"
#include "photo/photo_state.h"

namespace geoplait {

// With Photo_Sidecar on, writes NAME.EXT.xmp (Photo_SidecarName=Short:
// NAME.xmp) beside every photo placed from the track (none for a photo with
// its own GPS position or at the default location; with short names, one
// photo of those that would share a name, the others named in a warning): GPS latitude and longitude, altitude, time stamp (UTC) and the
// datum WGS-84, where the placemark stands. The photos themselves are never
// written. Each sidecar is an output of the run, put into place when the run
// completes. An existing sidecar this program wrote is replaced after the
// run's replace question (asked here once when the run has not asked it); any
// other existing file of that name is left as it is, and every sidecar not
// written is a warning of the run.
void WriteSidecars(const PhotoRun& r, const PhotoState& state);

// True when `bytes` (the start of a file) are a sidecar this program wrote:
// its XMP toolkit names the program.
bool IsOwnSidecar(std::string_view bytes);

}  // namespace geoplait
