// The photo copies beside the KML and the KMZ archive of the KML and its photos.
#pragma once

#include <functional>
#include <string>

#include "photo/photo_run.h"
#include "photo/photo_state.h"

namespace geoplait {

// The folder NAME_photo beside the output, where the copies go.
std::string CopyFolder(const RunValues& run);
// The photo `name` of PhotoDir.
std::string OriginalPath(const ConvertSettings& s, const std::string& name);
// Where a photo is described and packed from: its kept copy, else the photo.
std::string PhotoSource(const ConvertSettings& s, const RunValues& run, const PhotoEntry& photo);

// Decides, before the photos are read, what the copy step does with each
// photo of the table (PhotoEntry::Copy) when Photo_CreateDirectory is on:
// copies an earlier run left that differ from their photo are replaced only
// after one OK/Cancel question, and are kept (and describe the photo) when it
// is declined; a photo folder that is the copy folder needs no copies. A copy
// that would replace an input of the run is refused (the set fails).
void PlanPhotoCopies(const PhotoRun& r, PhotoState& state);

// Copies every photo planned for it into NAME_photo. A photo that cannot be
// read (gone since the scan, no permission) is lost alone: it is left out of
// the copies and the archive and named in the run's warnings; a copy that
// cannot be written stops the run. `beforeCopies` (for tests; may be empty)
// is called once just before the first copy.
void CopyPhotos(const PhotoRun& r, PhotoState& state, const std::function<void()>& beforeCopies);

// Writes NAME.kmz beside the output: the KML, the photos under NAME_photo/
// and the folder entry. A photo that cannot be read is left out (and named
// in the warnings); "KMZ File Create Error" and no archive when the archive
// cannot be written; without a photo no archive and a warning of the run
// that names it. `beforeClose` (for tests; may be empty) is called just
// before the archive is written, after its photos were checked.
void BuildKmz(const PhotoRun& r, PhotoState& state, const std::function<void()>& beforeClose);

// Notes the photos lost on the way as one warning of the run: one line per
// photo, at most 20, then how many more.
void ReportLostPhotos(RunValues& run, const PhotoState& state);

}  // namespace geoplait
