// The containers of the Exif TIFF structure.
//
// JPEG: FF D8, then the leading segments (FF En or FF FE, each with a
// two-byte big-endian length that counts itself), walked until the first
// APP1 segment that starts with "Exif" (a JFIF APP0 of any length, other APPn
// and comments may come first). Its payload is "Exif\0\0" and a TIFF block.
// TIFF-structured RAW (DNG, NEF, CR2, ARW, PEF, SRW; ORF and RW2 with their
// own magic numbers): the file is the TIFF block, its offsets count from the
// file's start, and its folders may lie anywhere in it (after the picture
// too).
// RAF: "FUJIFILMCCD-RAW ", with the offset of an embedded JPEG (big-endian)
// at byte 84, whose Exif segment is read as above.
// ISO base media (HEIC, HEIF, AVIF): boxes of a big-endian size (1: a 64-bit
// size follows the type; 0: to the end) and a four-letter type. The file
// starts with "ftyp"; the top-level "meta" box (a full box: four bytes of
// version and flags first) holds "iinf" (item infos, "infe" boxes of version
// 2 or 3 naming each item's type) and "iloc" (where each item lies: base
// offset and extents, in sizes the box gives, in the file or in the "idat"
// box of the meta box). The item of type "Exif" starts with the big-endian
// offset of the TIFF header after those four bytes (6: "Exif\0\0" comes
// first).
// CR3 (ISO base media too): the top-level "moov" box holds a "uuid" box of
// Canon's UUID 85C0B687-820F-11E0-8111-F4CE462B6A48 whose boxes "CMT1",
// "CMT2" and "CMT4" are whole TIFF structures: IFD0, the Exif folder and the
// GPS folder. Every size and offset is checked against the box around it
// and the file; at most kBoxLimit boxes and kItemLimit iloc items are walked. Boxes are read where
// they lie, by offset, never whole: a meta box of any size costs a window.
#include "photo/photo_containers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "photo/exif_reader.h"

namespace geoplait {

namespace {

// No real file has more leading segments or boxes; a hostile one is not
// walked forever.
constexpr int kSegmentLimit = 1024;
constexpr int kBoxLimit = 4096;
constexpr uint64_t kItemLimit = 65536;

// A big-endian number of `bytes` bytes (0 to 8).
uint64_t BigEndian(const unsigned char* p, size_t bytes) {
    uint64_t v = 0;
    for (size_t i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// The span of up to `length` bytes at `offset`, cut at the file's end.
FileSpan SpanAt(const PhotoFile& file, uint64_t offset, uint64_t length) {
    if (offset >= file.Size()) return {file.Size(), file.Size()};
    return {offset, offset + std::min(length, file.Size() - offset)};
}

// Finds the Exif segment among the leading segments of the JPEG at `base`.
// Returns 0 with `tiff` the TIFF block after its "Exif\0\0" (cut at the
// file's end, maybe empty), or the code of what was found instead.
int32_t FindExifSegment(PhotoFile& file, uint64_t base, FileSpan& tiff) {
    unsigned char head[3]{};
    if (!file.Read(base, head, 2) || head[0] != 0xFF || head[1] != 0xD8) return kExifNotJpeg;
    if (!file.Read(base, head, 3) || head[2] != 0xFF) return kExifNoMarker;
    bool sawApp1 = false;
    uint64_t pos = base + 2;
    for (int n = 0; n < kSegmentLimit; ++n) {
        unsigned char marker[4];
        if (!file.Read(pos, marker, sizeof marker) || marker[0] != 0xFF) break;
        if (marker[1] == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        const bool isApp = marker[1] >= 0xE0 && marker[1] <= 0xEF;
        if (!isApp && marker[1] != 0xFE) break;
        const unsigned length = static_cast<unsigned>(marker[2]) << 8 | marker[3];
        if (length < 2) break;
        if (marker[1] == 0xE1) {
            sawApp1 = true;
            // A segment cut short by the end of the file keeps what is there.
            const FileSpan payload = SpanAt(file, pos + 4, length - 2);
            unsigned char signature[4];
            if (payload.Size() == 0) break;
            if (payload.Size() >= 4 && file.Read(payload.start, signature, 4) &&
                std::memcmp(signature, "Exif", 4) == 0) {
                tiff = {std::min(payload.start + 6, payload.end), payload.end};
                return 0;
            }
        }
        pos += 2 + length;
    }
    return sawApp1 ? kExifBadSignature : kExifNoSegment;
}

// "II" or "MM" and a magic number of the TIFF structures: 42, and those of
// Olympus ("RO", "RS") and Panasonic (0x55) RAW files.
bool IsTiffHeader(const unsigned char* h) {
    const bool little = h[0] == 'I' && h[1] == 'I';
    const bool big = h[0] == 'M' && h[1] == 'M';
    if (!little && !big) return false;
    const unsigned magic = little ? (h[2] | h[3] << 8) : (h[2] << 8 | h[3]);
    return magic == 42 || magic == 0x4F52 || magic == 0x5352 || magic == 0x55;
}

// A box of an ISO base-media file: its content from `start` to `end`.
struct Box {
    uint64_t start = 0;
    uint64_t end = 0;
    char type[4]{};
    bool Is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

// The boxes of the file from `at` to `end`, in turn: each header is read
// where it lies and its size checked against `end`.
class Boxes {
public:
    Boxes(PhotoFile& file, uint64_t at, uint64_t end) : file_(file), at_(at), end_(end) {}
    bool Next(Box& box) {
        if (++walked_ > kBoxLimit || at_ >= end_ || end_ - at_ < 8) return false;
        unsigned char header[16]{};
        if (!file_.Read(at_, header, 8)) return false;
        uint64_t size = BigEndian(header, 4);
        uint64_t headerSize = 8;
        if (size == 1) {
            if (end_ - at_ < 16 || !file_.Read(at_ + 8, header + 8, 8)) return false;
            size = BigEndian(header + 8, 8);
            headerSize = 16;
        } else if (size == 0) {
            size = end_ - at_;
        }
        if (size < headerSize || size > end_ - at_) return false;
        box.start = at_ + headerSize;
        box.end = at_ + size;
        std::memcpy(box.type, header + 4, 4);
        at_ = box.end;
        return true;
    }

private:
    PhotoFile& file_;
    uint64_t at_;
    uint64_t end_;
    int walked_ = 0;
};

// Bounds-checked reading of a box's content, field by field, where it lies.
struct Content {
    PhotoFile& file;
    uint64_t at;
    uint64_t end;
    bool failed = false;
    uint64_t Take(size_t bytes) {
        unsigned char field[8];
        if (failed || bytes > 8 || at > end || bytes > end - at || !file.Read(at, field, bytes)) {
            failed = true;
            return 0;
        }
        at += bytes;
        return BigEndian(field, bytes);
    }
};

constexpr uint64_t kExifType = 0x45786966;  // "Exif"

// The item ID of the Exif item of an "iinf" box; false when it has none.
bool ExifItemId(PhotoFile& file, const Box& iinf, uint64_t& id) {
    Content c{file, iinf.start, iinf.end};
    const uint64_t version = c.Take(1);
    c.Take(3);
    c.Take(version == 0 ? 2 : 4);  // the entry count: the boxes are walked instead
    if (c.failed) return false;
    Boxes entries(file, c.at, iinf.end);
    for (Box infe; entries.Next(infe);) {
        if (!infe.Is("infe")) continue;
        Content e{file, infe.start, infe.end};
        const uint64_t v = e.Take(1);
        e.Take(3);
        if (v < 2) continue;  // versions 0 and 1 name no item type
        const uint64_t itemId = e.Take(v == 2 ? 2 : 4);
        e.Take(2);  // protection index
        const uint64_t type = e.Take(4);
        if (!e.failed && type == kExifType) {
            id = itemId;
            return true;
        }
    }
    return false;
}

// Where the item `id` lies by an "iloc" box: its first extent, in the file
// (method 0) or in the idat box (method 1).
struct ItemPlace {
    uint64_t offset = 0;
    uint64_t length = 0;  // 0: to the end
    bool inIdat = false;
};

bool ItemLocation(PhotoFile& file, const Box& iloc, uint64_t id, ItemPlace& place) {
    Content c{file, iloc.start, iloc.end};
    const uint64_t version = c.Take(1);
    c.Take(3);
    const uint64_t sizes = c.Take(2);
    const auto offsetSize = static_cast<size_t>(sizes >> 12 & 0xF);
    const auto lengthSize = static_cast<size_t>(sizes >> 8 & 0xF);
    const auto baseSize = static_cast<size_t>(sizes >> 4 & 0xF);
    const auto indexSize = static_cast<size_t>(version == 1 || version == 2 ? sizes & 0xF : 0);
    if (offsetSize > 8 || lengthSize > 8 || baseSize > 8 || indexSize > 8) return false;
    const uint64_t count = c.Take(version < 2 ? 2 : 4);
    // The extents of another item are stepped over whole: with sizes of 0
    // they take no bytes, and 65535 of them per item must cost nothing.
    const uint64_t extentSize = indexSize + offsetSize + lengthSize;
    for (uint64_t i = 0; i < std::min(count, kItemLimit) && !c.failed; ++i) {
        const uint64_t itemId = c.Take(version < 2 ? 2 : 4);
        uint64_t method = 0;
        if (version == 1 || version == 2) method = c.Take(2) & 0xF;
        c.Take(2);  // data reference index
        const uint64_t base = c.Take(baseSize);
        const uint64_t extents = c.Take(2);
        if (c.failed) return false;
        if (itemId == id && extents > 0) {
            c.Take(indexSize);
            const uint64_t offset = c.Take(offsetSize);
            const uint64_t length = c.Take(lengthSize);
            if (c.failed || method > 1 || offset > UINT64_MAX - base) return false;
            place = {base + offset, length, method == 1};
            return true;
        }
        const uint64_t skip = extents * extentSize;  // at most 65535 * 24
        if (skip > c.end - c.at) return false;
        c.at += skip;
    }
    return false;
}

// The first box of type `type` among the boxes of the file from `at` to
// `end`; with `uuid`, a "uuid" box whose content starts with those 16 bytes.
bool FindFileBox(PhotoFile& file, uint64_t at, uint64_t end, const char* type, const unsigned char* uuid,
                 Box& found) {
    Boxes boxes(file, at, end);
    for (Box box; boxes.Next(box);) {
        if (!box.Is(type)) continue;
        unsigned char id[16]{};
        if (uuid == nullptr ||
            (box.end - box.start >= 16 && file.Read(box.start, id, 16) && std::memcmp(id, uuid, 16) == 0)) {
            found = box;
            return true;
        }
    }
    return false;
}

constexpr unsigned char kCanonUuid[16] = {0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                                          0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};

// The CMT boxes of a CR3 file; false when it has no CMT1 with content.
bool FindCanonBoxes(PhotoFile& file, TiffBlocks& blocks) {
    Box moov, canon;
    if (!FindFileBox(file, 0, file.Size(), "moov", nullptr, moov) ||
        !FindFileBox(file, moov.start, moov.end, "uuid", kCanonUuid, canon)) {
        return false;
    }
    const struct {
        const char* type;
        FileSpan* span;
    } parts[] = {{"CMT1", &blocks.block}, {"CMT2", &blocks.exif}, {"CMT4", &blocks.gps}};
    for (const auto& part : parts) {
        Box cmt;
        if (FindFileBox(file, canon.start + 16, canon.end, part.type, nullptr, cmt)) *part.span = {cmt.start, cmt.end};
    }
    return blocks.block.Size() > 0;
}

// The Exif item of an ISO base-media file (or the CMT boxes of a CR3) into
// `blocks`; 0 or an ExifCode.
int32_t FindExifItem(PhotoFile& file, TiffBlocks& blocks) {
    Box meta;
    if (!FindFileBox(file, 0, file.Size(), "meta", nullptr, meta)) {
        return FindCanonBoxes(file, blocks) ? 0 : kExifNoSegment;
    }
    Box iinf, iloc, idat;
    bool haveInfo = false, haveLocation = false, haveData = false;
    if (meta.end - meta.start < 4) return kExifNoSegment;
    Boxes children(file, meta.start + 4, meta.end);  // after the version and flags
    for (Box child; children.Next(child);) {
        if (child.Is("iinf") && !haveInfo) {
            iinf = child;
            haveInfo = true;
        } else if (child.Is("iloc") && !haveLocation) {
            iloc = child;
            haveLocation = true;
        } else if (child.Is("idat") && !haveData) {
            idat = child;
            haveData = true;
        }
    }
    uint64_t id = 0;
    ItemPlace place;
    if (!haveInfo || !haveLocation || !ExifItemId(file, iinf, id) || !ItemLocation(file, iloc, id, place)) {
        return kExifNoSegment;
    }
    uint64_t offset = place.offset;
    uint64_t limit = file.Size();
    if (place.inIdat) {
        if (!haveData || place.offset > idat.end - idat.start) return kExifNoSegment;
        offset = idat.start + place.offset;
        limit = idat.end;
    }
    if (offset >= limit) return kExifNoSegment;
    const uint64_t length = place.length == 0 ? limit - offset : std::min(place.length, limit - offset);
    // The offset of the TIFF header after the first four bytes.
    unsigned char skipField[4];
    if (length < 4 || !file.Read(offset, skipField, 4)) return kExifNoSegment;
    const uint64_t skip = BigEndian(skipField, 4);
    if (skip > length - 4) return kExifBadByteOrder;
    blocks.block = {offset + 4 + skip, offset + length};
    return 0;
}

struct PhotoExtension {
    std::string_view extension;  // lower case, with its dot
    bool jpeg;
};
constexpr PhotoExtension kPhotoExtensions[] = {
    {".jpg", true},   {".jpeg", true}, {".jpe", true},  {".dng", false}, {".nef", false}, {".cr2", false}, {".arw", false},  {".orf", false},
    {".rw2", false},  {".pef", false}, {".srw", false}, {".raf", false}, {".heic", false}, {".heif", false},
    {".avif", false}, {".cr3", false},
};

const PhotoExtension* ExtensionOf(std::string_view name) {
    for (const PhotoExtension& e : kPhotoExtensions) {
        if (name.size() < e.extension.size()) continue;
        const std::string_view tail = name.substr(name.size() - e.extension.size());
        bool same = true;
        for (size_t i = 0; i < tail.size() && same; ++i) {
            const char c = tail[i];
            same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) == e.extension[i];
        }
        if (same) return &e;
    }
    return nullptr;
}

}  // namespace

bool IsPhotoFileName(std::string_view name) { return ExtensionOf(name) != nullptr; }

bool IsJpegFileName(std::string_view name) {
    const PhotoExtension* e = ExtensionOf(name);
    return e != nullptr && e->jpeg;
}

int32_t FindTiffBlock(PhotoFile& file, TiffBlocks& blocks) {
    unsigned char head[96]{};
    const size_t have = static_cast<size_t>(std::min<uint64_t>(sizeof head, file.Size()));
    if (!file.Read(0, head, have)) return kExifNotJpeg;
    if (have >= 4 && IsTiffHeader(head)) {
        blocks.block = {0, file.Size()};
        return 0;
    }
    if (have >= 92 && std::memcmp(head, "FUJIFILMCCD-RAW ", 16) == 0) {
        return FindExifSegment(file, BigEndian(head + 84, 4), blocks.block);
    }
    if (have >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0) return FindExifItem(file, blocks);
    return FindExifSegment(file, 0, blocks.block);
}

}  // namespace geoplait
