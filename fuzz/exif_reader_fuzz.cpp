// Fuzz target for the Exif reader: the bytes are read as a photo file with
// every option on. The reader must return one of its codes and leave only
// whole, well-formed texts in the photo.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/run_context.h"
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

bool Digits(const std::string& text, size_t size) {
    if (text.size() != size) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = WriteMemoryFile(data, size);

    static Settings settings;
    static SilentUi ui;
    RunContext ctx(settings, ui);
    ConvertSettings& s = ctx.Current();
    s.Photo_Icon_Title = 1;
    s.Photo_Exif_DateTime = 1;
    s.Photo_Exif_DateTimeOriginal = 1;
    s.Photo_Exif_GPS_TimeStamp = 1;
    ctx.run.TimeDifferenceValue = (size % 2 == 0) ? 90000 : -93000;

    PhotoEntry photo;
    const int32_t code = ReadExif(path, ctx, photo);
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
