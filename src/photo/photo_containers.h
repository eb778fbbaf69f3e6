// Where a photo file keeps its Exif TIFF structure: the APP1 segment of a
// JPEG, the file itself for the TIFF-structured RAW formats, the JPEG inside
// a Fujifilm RAF, the Exif item of an ISO base-media file (HEIC, HEIF, AVIF),
// the CMT boxes of a Canon CR3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "photo/photo_file.h"

namespace geoplait {

// A stretch of a photo file, from `start` up to `end`.
struct FileSpan {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t Size() const { return end - start; }
};

// Where the Exif TIFF structure of a photo lies in its file; its offsets
// count from the start of its span.
struct TiffBlocks {
    FileSpan block;  // the TIFF header at block.start
    // A Canon CR3 keeps its Exif and GPS folders apart, each the IFD0 of a
    // TIFF structure of its own; empty for the other files.
    FileSpan exif;
    FileSpan gps;
};

// The Exif TIFF structure of the open file into `blocks`. Returns 0, or the
// ExifCode of what was found instead (kExifNotJpeg for a file that is none of
// the containers). Nothing but box and segment headers is read here.
int32_t FindTiffBlock(PhotoFile& file, TiffBlocks& blocks);

// The photos of a folder, by their extension in any case: JPEG (".jpg"),
// the TIFF-structured RAW formats and RAF, HEIC, HEIF and AVIF, and CR3.
bool IsPhotoFileName(std::string_view name);
// A JPEG: the only photos shown in a placemark, copied and packed into a
// KMZ; the others are placed and get sidecars.
bool IsJpegFileName(std::string_view name);

}  // namespace geoplait
