#include "readers/reader_text.h"

#include <array>

namespace geoplait {

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte length of the character at i: a lead byte and its continuation bytes.
size_t CharLength(std::string_view text, size_t i) {
    size_t n = 1;
    while (i + n < text.size() && IsContinuation(text[i + n])) ++n;
    return n;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

void FillNmeaDefaults(TrackPoint& p, const ConvertSettings& s) {
    p.GgaId.assign("$GPGGA");
    p.RmcId.assign("$GPRMC");
    p.GgaNS.assign(s.Default_NS);
    p.RmcNS.assign(s.Default_NS);
    p.GgaEW.assign(s.Default_WE);
    p.RmcEW.assign(s.Default_WE);
    p.GgaSatellites.assign("00");
    p.GgaQuality.assign(1, '1');  // assign(1, c): GCC 12 warns falsely on one-letter texts
    p.GgaDilution.assign("0.0");
    p.GgaAltitudeUnit.assign(1, 'M');
    p.GgaGeoid.assign("0.0");
    p.GgaGeoidUnit.assign(1, 'M');
    p.GgaDgpsAge.clear();
    p.GgaDgpsStation.clear();
    p.RmcStatus.assign(1, 'A');
    p.RmcMagVar.clear();
    p.RmcMagVarEW.clear();
}

void TakeSignedDegrees(std::string_view text, size_t maxChars, char positive, char negative,
                       std::string& value, std::string& ggaLetter, std::string& rmcLetter) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    char letter = positive;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-') letter = negative;
        text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    }
    // A number ends at a blank; what follows cannot be part of it. A text
    // that does not start like a number ("--5", "abc") is no position.
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsBlank(text[i])) text = text.substr(0, i);
    }
    if (!text.empty() && !(text.front() == '.' || (text.front() >= '0' && text.front() <= '9'))) text = {};
    value.assign(FirstChars(text, maxChars));
    ggaLetter.assign(1, letter);
    rmcLetter.assign(1, letter);
}

std::string_view FirstChars(std::string_view text, size_t maxChars) {
    if (text.size() <= maxChars) return text;
    size_t i = 0;
    for (size_t chars = 0; chars < maxChars && i < text.size(); ++chars) i += CharLength(text, i);
    return text.substr(0, i);
}

void PickChars(std::string& out, std::string_view text, const unsigned char* positions, size_t count) {
    out.clear();
    // Byte offsets of the first characters, enough for any position asked for.
    constexpr size_t kMaxPosition = 32;
    std::array<size_t, kMaxPosition + 1> starts{};
    size_t known = 0;
    for (size_t i = 0; i < text.size() && known <= kMaxPosition; i += CharLength(text, i)) {
        starts[known++] = i;
    }
    for (size_t k = 0; k < count; ++k) {
        const size_t at = positions[k];
        if (at >= known) continue;
        out.append(text.substr(starts[at], CharLength(text, starts[at])));
    }
}

}  // namespace geoplait
