// Where a photo file keeps its Exif TIFF structure: the APP1 segment of a
// JPEG, the file itself for the TIFF-structured RAW formats, the JPEG inside
// a Fujifilm RAF, the Exif item of an ISO base-media file (HEIC, HEIF, AVIF),
// the CMT boxes of a Canon CR3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace geoplait {

// The Exif TIFF structure of a photo, each part of at most kMaxTiffBlock
// bytes.
struct TiffBlocks {
    std::vector<unsigned char> block;  // the TIFF header at `start`
    size_t start = 0;
    // A Canon CR3 keeps its Exif and GPS folders apart, each the IFD0 of a
    // TIFF structure of its own (header at 0); empty for the other files.
    std::vector<unsigned char> exif;
    std::vector<unsigned char> gps;
};

// The Exif TIFF structure of the open file `f` into `blocks`. Returns 0, or
// the ExifCode of what was found instead (kExifNotJpeg for a file that is
// none of the containers).
int32_t FindTiffBlock(std::FILE* f, TiffBlocks& blocks);

// The photos of a folder, by their extension in any case: JPEG (".jpg"),
// the TIFF-structured RAW formats and RAF, HEIC, HEIF and AVIF, and CR3.
bool IsPhotoFileName(std::string_view name);
// A JPEG: the only photos shown in a placemark, copied and packed into a
// KMZ; the others are placed and get sidecars.
bool IsJpegFileName(std::string_view name);

// The most of a file read as its TIFF structure: the Exif segment of a JPEG
// is at most 64 KiB; a RAW file keeps its metadata before its picture data.
inline constexpr size_t kMaxTiffBlock = size_t{1} << 20;

}  // namespace geoplait
