// The containers of the Exif TIFF structure.
//
// JPEG: FF D8, then the leading segments (FF En or FF FE, each with a
// two-byte big-endian length that counts itself), walked until the first
// APP1 segment that starts with "Exif" (a JFIF APP0 of any length, other APPn
// and comments may come first). Its payload is "Exif\0\0" and a TIFF block.
// TIFF-structured RAW (DNG, NEF, CR2, ARW, PEF, SRW; ORF and RW2 with their
// own magic numbers): the file is the TIFF block, its offsets count from the
// file's start; its first kMaxTiffBlock bytes are read, and a value beyond
// them is absent.
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
// and the file; at most kBoxLimit boxes are walked.
#include "photo/photo_containers.h"

#include <sys/types.h>

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
// The meta box of a HEIF file is a few kilobytes; more is not read.
constexpr size_t kMaxMetaBox = size_t{1} << 20;

// Reads `length` bytes at `offset`; false when the file is shorter.
bool ReadAt(std::FILE* f, uint64_t offset, unsigned char* out, size_t length) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, length, f) == length;
}

// Up to `length` bytes (at most kMaxTiffBlock) at `offset` into `block`;
// false when none could be read.
bool ReadBlock(std::FILE* f, uint64_t offset, uint64_t length, std::vector<unsigned char>& block) {
    block.clear();
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    block.resize(static_cast<size_t>(std::min<uint64_t>(length, kMaxTiffBlock)));
    block.resize(std::fread(block.data(), 1, block.size(), f));
    return !block.empty();
}

uint64_t FileSize(std::FILE* f) {
    if (fseeko(f, 0, SEEK_END) != 0) return 0;
    const off_t end = ftello(f);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

// A big-endian number of `bytes` bytes (0 to 8).
uint64_t BigEndian(const unsigned char* p, size_t bytes) {
    uint64_t v = 0;
    for (size_t i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// Finds the Exif segment among the leading segments of the JPEG at `base`
// and reads its payload. Returns 0 with `payload` filled, or the code of what
// was found instead.
int32_t FindExifSegment(std::FILE* f, uint64_t base, std::vector<unsigned char>& payload) {
    unsigned char head[3]{};
    const bool whole = ReadAt(f, base, head, 3);
    if (!ReadAt(f, base, head, 2) || head[0] != 0xFF || head[1] != 0xD8) return kExifNotJpeg;
    if (!whole || head[2] != 0xFF) return kExifNoMarker;
    bool sawApp1 = false;
    uint64_t pos = base + 2;
    for (int n = 0; n < kSegmentLimit; ++n) {
        unsigned char marker[4];
        if (!ReadAt(f, pos, marker, sizeof marker) || marker[0] != 0xFF) break;
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
            if (!ReadBlock(f, pos + 4, length - 2, payload)) break;
            if (payload.size() >= 4 && std::memcmp(payload.data(), "Exif", 4) == 0) return 0;
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

// A box of an ISO base-media file or of a part of it held in memory: its
// content from `start` to `end` (offsets of the same source).
struct Box {
    uint64_t start = 0;
    uint64_t end = 0;
    char type[4]{};
    bool Is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

// The box whose header (`header`, 16 bytes readable or fewer near `end`)
// starts at `at`; false when it does not fit between `at` and `end`.
bool BoxOf(const unsigned char* header, size_t readable, uint64_t at, uint64_t end, Box& box) {
    if (at > end || end - at < 8 || readable < 8) return false;
    uint64_t size = BigEndian(header, 4);
    uint64_t headerSize = 8;
    if (size == 1) {
        if (end - at < 16 || readable < 16) return false;
        size = BigEndian(header + 8, 8);
        headerSize = 16;
    } else if (size == 0) {
        size = end - at;
    }
    if (size < headerSize || size > end - at) return false;
    box.start = at + headerSize;
    box.end = at + size;
    std::memcpy(box.type, header + 4, 4);
    return true;
}

// The boxes of `data` from `at` to its end, in turn.
class MemoryBoxes {
public:
    MemoryBoxes(std::string_view data, size_t at) : data_(data), at_(at) {}
    bool Next(Box& box) {
        if (++walked_ > kBoxLimit || at_ >= data_.size()) return false;
        const auto* header = reinterpret_cast<const unsigned char*>(data_.data() + at_);
        if (!BoxOf(header, data_.size() - at_, at_, data_.size(), box)) return false;
        at_ = static_cast<size_t>(box.end);
        return true;
    }

private:
    std::string_view data_;
    size_t at_;
    int walked_ = 0;
};

// Bounds-checked reading of a box's content held in memory.
struct Content {
    std::string_view data;
    size_t at = 0;
    bool failed = false;
    uint64_t Take(size_t bytes) {
        if (failed || bytes > data.size() || at > data.size() - bytes) {
            failed = true;
            return 0;
        }
        const uint64_t v = BigEndian(reinterpret_cast<const unsigned char*>(data.data() + at), bytes);
        at += bytes;
        return v;
    }
};

std::string_view Part(std::string_view data, const Box& box) {
    return data.substr(static_cast<size_t>(box.start), static_cast<size_t>(box.end - box.start));
}

// The item ID of the Exif item of an "iinf" box; false when it has none.
bool ExifItemId(std::string_view iinf, uint64_t& id) {
    Content c{iinf};
    const uint64_t version = c.Take(1);
    c.Take(3);
    c.Take(version == 0 ? 2 : 4);  // the entry count: the boxes are walked instead
    if (c.failed) return false;
    MemoryBoxes entries(iinf, c.at);
    for (Box infe; entries.Next(infe);) {
        if (!infe.Is("infe")) continue;
        Content e{Part(iinf, infe)};
        const uint64_t v = e.Take(1);
        e.Take(3);
        if (v < 2) continue;  // versions 0 and 1 name no item type
        const uint64_t itemId = e.Take(v == 2 ? 2 : 4);
        e.Take(2);  // protection index
        const uint64_t type = e.Take(4);
        if (!e.failed && type == BigEndian(reinterpret_cast<const unsigned char*>("Exif"), 4)) {
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

bool ItemLocation(std::string_view iloc, uint64_t id, ItemPlace& place) {
    Content c{iloc};
    const uint64_t version = c.Take(1);
    c.Take(3);
    const uint64_t sizes = c.Take(2);
    const auto offsetSize = static_cast<size_t>(sizes >> 12 & 0xF);
    const auto lengthSize = static_cast<size_t>(sizes >> 8 & 0xF);
    const auto baseSize = static_cast<size_t>(sizes >> 4 & 0xF);
    const auto indexSize = static_cast<size_t>(version == 1 || version == 2 ? sizes & 0xF : 0);
    if (offsetSize > 8 || lengthSize > 8 || baseSize > 8 || indexSize > 8) return false;
    const uint64_t count = c.Take(version < 2 ? 2 : 4);
    for (uint64_t i = 0; i < count && !c.failed; ++i) {
        const uint64_t itemId = c.Take(version < 2 ? 2 : 4);
        uint64_t method = 0;
        if (version == 1 || version == 2) method = c.Take(2) & 0xF;
        c.Take(2);  // data reference index
        const uint64_t base = c.Take(baseSize);
        const uint64_t extents = c.Take(2);
        for (uint64_t n = 0; n < extents && !c.failed; ++n) {
            c.Take(indexSize);
            const uint64_t offset = c.Take(offsetSize);
            const uint64_t length = c.Take(lengthSize);
            if (itemId != id || n != 0 || c.failed) continue;
            if (method > 1 || offset > UINT64_MAX - base) return false;
            place = {base + offset, length, method == 1};
            return true;
        }
    }
    return false;
}

// The first box of type `type` among the boxes of the file from `at` to
// `end`; with `uuid`, a "uuid" box whose content starts with those 16 bytes.
bool FindFileBox(std::FILE* f, uint64_t at, uint64_t end, const char* type, const unsigned char* uuid, Box& found) {
    for (int n = 0; n < kBoxLimit && at < end; ++n) {
        unsigned char header[16]{};
        const size_t readable = static_cast<size_t>(std::min<uint64_t>(16, end - at));
        if (!ReadAt(f, at, header, readable)) return false;
        Box box;
        if (!BoxOf(header, readable, at, end, box)) return false;
        if (box.Is(type)) {
            unsigned char id[16]{};
            if (uuid == nullptr ||
                (box.end - box.start >= 16 && ReadAt(f, box.start, id, 16) && std::memcmp(id, uuid, 16) == 0)) {
                found = box;
                return true;
            }
        }
        at = box.end;
    }
    return false;
}

constexpr unsigned char kCanonUuid[16] = {0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                                          0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};

// The CMT boxes of a CR3 file; false when it has none.
bool FindCanonBoxes(std::FILE* f, uint64_t size, TiffBlocks& blocks) {
    Box moov, canon;
    if (!FindFileBox(f, 0, size, "moov", nullptr, moov) ||
        !FindFileBox(f, moov.start, moov.end, "uuid", kCanonUuid, canon)) {
        return false;
    }
    const struct {
        const char* type;
        std::vector<unsigned char>* block;
    } parts[] = {{"CMT1", &blocks.block}, {"CMT2", &blocks.exif}, {"CMT4", &blocks.gps}};
    for (const auto& part : parts) {
        Box cmt;
        if (FindFileBox(f, canon.start + 16, canon.end, part.type, nullptr, cmt)) {
            ReadBlock(f, cmt.start, cmt.end - cmt.start, *part.block);
        }
    }
    blocks.start = 0;
    return !blocks.block.empty();
}

// The Exif item of an ISO base-media file (or the CMT boxes of a CR3) into
// `blocks`; 0 or an ExifCode.
int32_t FindExifItem(std::FILE* f, TiffBlocks& blocks) {
    std::vector<unsigned char>& block = blocks.block;
    const uint64_t size = FileSize(f);
    Box meta;
    if (!FindFileBox(f, 0, size, "meta", nullptr, meta)) {
        return FindCanonBoxes(f, size, blocks) ? 0 : kExifNoSegment;
    }
    // The meta box in memory; its children are walked there.
    std::vector<unsigned char> metaBytes;
    if (!ReadBlock(f, meta.start, std::min<uint64_t>(meta.end - meta.start, kMaxMetaBox), metaBytes)) {
        return kExifNoSegment;
    }
    const std::string_view content(reinterpret_cast<const char*>(metaBytes.data()), metaBytes.size());
    Box iinf, iloc, idat;
    bool haveInfo = false, haveLocation = false, haveData = false;
    MemoryBoxes children(content, 4);  // after the version and flags
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
    if (!haveInfo || !haveLocation || !ExifItemId(Part(content, iinf), id) ||
        !ItemLocation(Part(content, iloc), id, place)) {
        return kExifNoSegment;
    }
    uint64_t offset = place.offset;
    uint64_t limit = size;
    if (place.inIdat) {
        if (!haveData || place.offset > idat.end - idat.start) return kExifNoSegment;
        offset = meta.start + idat.start + place.offset;
        limit = meta.start + idat.end;
    }
    if (offset >= limit) return kExifNoSegment;
    const uint64_t length = place.length == 0 ? limit - offset : std::min(place.length, limit - offset);
    if (!ReadBlock(f, offset, length, block) || block.size() < 4) return kExifNoSegment;
    // The offset of the TIFF header after the first four bytes.
    const uint64_t skip = BigEndian(block.data(), 4);
    if (skip > block.size() - 4) return kExifBadByteOrder;
    blocks.start = static_cast<size_t>(4 + skip);
    return 0;
}

struct PhotoExtension {
    std::string_view extension;  // lower case, with its dot
    bool jpeg;
};
constexpr PhotoExtension kPhotoExtensions[] = {
    {".jpg", true},   {".dng", false}, {".nef", false}, {".cr2", false}, {".arw", false},  {".orf", false},
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

int32_t FindTiffBlock(std::FILE* f, TiffBlocks& blocks) {
    std::vector<unsigned char>& block = blocks.block;
    size_t& tiffStart = blocks.start;
    unsigned char head[96]{};
    const size_t got = ReadAt(f, 0, head, sizeof head) ? sizeof head : 0;
    // A short file: what it has of a head.
    size_t have = got;
    if (have == 0) {
        if (fseeko(f, 0, SEEK_SET) != 0) return kExifNotJpeg;
        have = std::fread(head, 1, sizeof head, f);
    }
    if (have >= 4 && IsTiffHeader(head)) {
        tiffStart = 0;
        return ReadBlock(f, 0, kMaxTiffBlock, block) ? 0 : kExifNotJpeg;
    }
    if (have >= 92 && std::memcmp(head, "FUJIFILMCCD-RAW ", 16) == 0) {
        tiffStart = 6;
        return FindExifSegment(f, BigEndian(head + 84, 4), block);
    }
    if (have >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0) return FindExifItem(f, blocks);
    tiffStart = 6;  // after "Exif\0\0"
    return FindExifSegment(f, 0, block);
}

}  // namespace geoplait
