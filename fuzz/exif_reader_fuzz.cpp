// Fuzz target for the Exif reader: the bytes are read as a photo file with
// every option on. The reader must return one of its codes and leave only
// whole, well-formed texts in the photo.
//
// Built once per container (GEOPLAIT_FUZZ_CONTAINER): kAny takes the bytes
// as they come; kJpeg, kTiff and kIsoMedia first write the signature of that
// container over the first bytes (FF D8 FF; "II*\0" or "MM\0*"; "ftyp" at
// byte 4), so that every input walks the segments of a JPEG, the folders of
// a TIFF-structured RAW file, or the boxes of a HEIF or CR3 file.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "photo/exif_reader.h"
#include "memory_file.h"

namespace {

using namespace geoplait;

class SilentUi : public UserInterface {
public:
    void Show(const NoticeText&) override {}
    bool Ask(const NoticeText&) override { return true; }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

enum Container { kAny, kJpeg, kTiff, kIsoMedia };
#ifndef GEOPLAIT_FUZZ_CONTAINER
#define GEOPLAIT_FUZZ_CONTAINER kAny
#endif
constexpr Container kContainer = GEOPLAIT_FUZZ_CONTAINER;

// The input with its container's signature; unchanged for kAny. The byte
// order of a TIFF header is the input's own when it has one of the two,
// else chosen by its first byte.
void Sign(std::vector<uint8_t>& bytes) {
    switch (kContainer) {
        case kAny:
            break;
        case kJpeg:
            if (bytes.size() < 3) bytes.resize(3);
            std::memcpy(bytes.data(), "\xFF\xD8\xFF", 3);
            break;
        case kTiff: {
            if (bytes.size() < 4) bytes.resize(4);
            const bool little = bytes[0] == 'I' || (bytes[0] != 'M' && bytes[0] % 2 == 0);
            std::memcpy(bytes.data(), little ? "II*\0" : "MM\0*", 4);
            break;
        }
        case kIsoMedia:
            if (bytes.size() < 8) bytes.resize(8);
            std::memcpy(bytes.data() + 4, "ftyp", 4);
            break;
    }
}

bool Digits(const std::string& text, size_t size) {
    if (text.size() != size) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    Sign(bytes);
    const std::string& path = WriteMemoryFile(bytes.data(), bytes.size());

    static SilentUi ui;
    ConvertSettings s;
    s.Photo_Icon_Title = 1;
    s.Photo_Exif_DateTime = 1;
    s.Photo_Exif_DateTimeOriginal = 1;
    s.Photo_Exif_GPS_TimeStamp = 1;
    const LocalClock clock((size % 2 == 0) ? 90000 : -93000);

    PhotoEntry photo;
    const int32_t code = ReadExif(path, s, clock, ui, photo);
    const int32_t base = code % 10;
    Require(code >= 1 && (code <= 9 || base == 5 || base == 6), "code");
    Require(Digits(photo.Date, 8), "date");
    Require(Digits(photo.Time, 6), "time");
    Require(photo.Time < "240000", "time of day");
    for (char c : photo.Title) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "title control");
    for (char letter : {photo.LatitudeLetter, photo.LongitudeLetter}) {
        Require(letter > ' ' && letter < 0x7F, "letter");
    }
    return 0;
}
