// The photo copies beside the KML and the KMZ archive of the KML and its photos.
#pragma once

#include "engine/run_context.h"
#include "photo/photo_state.h"

namespace geoplait {

// With Photo_CreateDirectory on, copies every photo of the table into the
// folder NAME_photo beside the output. Copies an earlier run left that differ
// from the photo are replaced only after one OK/Cancel question.
void CopyPhotos(RunContext& ctx, const PhotoState& state);

// Writes NAME.kmz beside the output: the KML, the photos under NAME_photo/
// and the folder entry. "KMZ File Create Error" and no archive on failure;
// without a photo no archive and a warning of the run that names it.
void BuildKmz(RunContext& ctx, const PhotoState& state);

}  // namespace geoplait
