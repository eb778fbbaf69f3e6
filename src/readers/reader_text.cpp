#include "readers/reader_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "base/text_encoding.h"
#include "geo/coordinates.h"
#include "geo/time_difference.h"
#include "readers/xml_stream.h"

namespace geoplait {

namespace {

// Byte length of the character at i.
size_t CharLength(std::string_view text, size_t i) {
    return Utf8CharLength(reinterpret_cast<const unsigned char*>(text.data()) + i, text.size() - i);
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

namespace {

void SettleTime(std::string& time) {
    const size_t digits = time.find_first_not_of(' ');
    if (digits == std::string::npos) {
        time.clear();
        return;
    }
    if (digits > 0) time.erase(0, digits);
    if (!IsTimeOfDay(time)) time.clear();
}

}  // namespace

void SettleRecordTimes(TrackPoint& p) {
    SettleTime(p.GgaTime);
    SettleTime(p.RmcTime);
    if (!p.RmcDate.empty() && !IsCalendarDate(p.RmcDate)) p.RmcDate.assign("000000");
    ReadTimeTexts(p);
}

bool ReadXmlTime(std::string_view text, const LocalClock* clock, RecordTime& time) {
    XmlTimeStamp stamp;
    if (!ReadXmlTimeStamp(text, stamp)) return false;
    // Records hold two-digit years meaning 20yy: a year of another century
    // (1999, or 1970 from a Unix-epoch export) is an unknown date, never
    // moved into this one. The record keeps no text of the time. Made in
    // place: a whole made apart would be stored field by field and read back
    // at once, which waits until every field is written.
    RecordTime& stated = time;
    stated = RecordTime{};
    if (stamp.year >= 2000 && stamp.year <= 2099) {
        stated.date = DateKind::Known;
        stated.day = DaysFromCivil(stamp.year, stamp.month, stamp.day);
    } else {
        stated.date = DateKind::Unknown;
    }
    stated.timeKnown = true;
    stated.second = stamp.second;
    int32_t offset = 0;
    if (stamp.zone == XmlTimeStamp::Zone::Offset) {
        offset = stamp.offset;
    } else if (stamp.zone == XmlTimeStamp::Zone::Unstated && clock != nullptr) {
        offset = OffsetAtLocal(*clock, OffsetInstant(stated));
    }
    if (offset != 0) time = UtcOf(stated, offset);
    return true;
}

namespace {

// An NMEA coordinate: unsigned ddmm.mmmm (dddmm.mmmm), minutes below 60 and
// at most `maxDegrees` in all. Empty is no coordinate, not a wrong one.
bool IsNmeaCoordinate(std::string_view text, int maxDegrees) {
    // One pass: the whole part (at most five digits after its leading
    // zeros), then the fraction's digits.
    const size_t n = text.size();
    size_t i = 0;
    int value = 0;
    int significant = 0;
    for (; i < n && text[i] != '.'; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        if (significant > 0 || c != '0') {
            if (++significant > 5) return false;
            value = value * 10 + (c - '0');
        }
    }
    if (i == 0) return false;
    bool zeroFraction = true;
    if (i < n) {
        for (++i; i < n; ++i) {
            const char c = text[i];
            if (c < '0' || c > '9') return false;
            if (c != '0') zeroFraction = false;
        }
    }
    const int degrees = value / 100;
    const int minutes = value % 100;
    if (minutes >= 60 || degrees > maxDegrees) return false;
    if (degrees < maxDegrees) return true;
    // At the limit itself only zero minutes.
    return minutes == 0 && zeroFraction;
}

bool IsWrongCoordinate(const std::string& text, int maxDegrees) {
    return !text.empty() && !IsNmeaCoordinate(text, maxDegrees);
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// What one pass over a number text found.
struct XmlNumberScan {
    bool negative = false;
    bool exponent = false;
    uint64_t digits = 0;  // the first 19 digits as an integer, the point left out
    size_t count = 0;     // digits before the exponent
    size_t decimals = 0;  // of them after the point
};

// Parses [sign] digits [. digits] [e [sign] digits] (one digit at least
// before the exponent), gathering the digits as it goes. `kShort`: the text
// has 19 bytes at most, so all its digits are gathered without a count.
template <bool kShort>
bool ScanXmlNumber(std::string_view t, XmlNumberScan& scan) {
    // Through a pointer and locals: the text's bytes may alias `scan`, which
    // would otherwise be stored and loaded again at every digit.
    const char* p = t.data();
    const char* const end = p + t.size();
    if (p < end && (*p == '+' || *p == '-')) scan.negative = *p++ == '-';
    uint64_t digits = 0;
    size_t count = 0;
    const auto take = [&] {
        if constexpr (kShort) {
            // Counted once, from where the digits end.
            const char* const first = p;
            for (; p < end; ++p) {
                const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - unsigned{'0'};
                if (digit > 9) break;
                digits = digits * 10 + digit;
            }
            count += static_cast<size_t>(p - first);
        } else {
            for (; p < end; ++p) {
                const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - unsigned{'0'};
                if (digit > 9) break;
                if (count < 19) digits = digits * 10 + digit;
                ++count;
            }
        }
    };
    take();
    if (p < end && *p == '.') {
        ++p;
        const size_t before = count;
        take();
        scan.decimals = count - before;
    }
    scan.digits = digits;
    scan.count = count;
    if (count == 0) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) ++p;
        const char* const expStart = p;
        while (p < end && *p >= '0' && *p <= '9') ++p;
        if (p == expStart) return false;
        scan.exponent = true;
    }
    return p == end;
}

bool ParseXmlNumber(std::string_view text, double& value, bool& exponent) {
    XmlNumberScan scan;
    if (!(text.size() <= 19 ? ScanXmlNumber<true>(text, scan) : ScanXmlNumber<false>(text, scan))) return false;
    exponent = scan.exponent;
    // The common plain decimal: its digits as an integer of at most 2^53
    // divided by an exact power of ten are two exact doubles, and the one
    // rounding of the division gives the correctly rounded value, as
    // from_chars does. Any other number goes the general way.
    if (!scan.exponent && scan.count <= 19 && scan.digits <= (uint64_t{1} << 53) &&
        scan.decimals < std::size(kExactPowersOfTen)) {
        value = static_cast<double>(scan.digits);
        if (scan.decimals > 0) value /= kExactPowersOfTen[scan.decimals];
        if (scan.negative) value = -value;
        return true;
    }
    if (text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold (a negative exponent) is zero; too large is no number.
        const size_t e = text.find_first_of("eE");
        if (e == std::string_view::npos || e + 1 >= text.size() || text[e + 1] != '-') return false;
        value = 0.0;
        return end == text.data() + text.size();
    }
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The value as a plain decimal text, the shortest that reads back the same.
void AssignPlainDecimal(std::string& out, double value) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    out.assign(text, result.ec == std::errc() ? static_cast<size_t>(result.ptr - text) : 0);
}

}  // namespace

void SettleRecord(TrackPoint& p) {
    SettleRecordTimes(p);
    // The RMC text is most often the GGA text again, checked once.
    if (IsWrongCoordinate(p.GgaLatitude, 90) ||
        (p.RmcLatitude != p.GgaLatitude && IsWrongCoordinate(p.RmcLatitude, 90)) ||
        IsWrongCoordinate(p.GgaLongitude, 180) ||
        (p.RmcLongitude != p.GgaLongitude && IsWrongCoordinate(p.RmcLongitude, 180))) {
        for (std::string* text : {&p.GgaLatitude, &p.RmcLatitude, &p.GgaLongitude, &p.RmcLongitude}) {
            text->clear();
        }
    }
    ReadPositionTexts(p);
}

RecordPosition PositionOfDegrees(bool known, double latitude, double longitude) {
    if (!known) return {};
    return {CoordinateOfDegrees(latitude), CoordinateOfDegrees(longitude), true};
}

void TakeDegreePosition(TrackPoint& p, bool known, double latitude, double longitude) {
    p.Position = PositionOfDegrees(known, latitude, longitude);
    p.GgaPosition = p.Position;
}

bool ReadXmlNumber(std::string_view text, double& value) {
    bool exponent = false;
    return ParseXmlNumber(text, value, exponent);
}

void TakeXmlNumber(std::string_view text, size_t maxChars, std::string& out) {
    double value = 0.0;
    bool exponent = false;
    if (!ParseXmlNumber(text, value, exponent)) {
        out.clear();
    } else if (!exponent) {
        out.assign(FirstChars(text, maxChars));
    } else {
        AssignPlainDecimal(out, value);
        out.resize(std::min(out.size(), maxChars));
    }
}

bool ReadXmlDegrees(std::string_view text, double limit, size_t maxChars, char positive, char negative,
                    double& degrees, char& letter) {
    XmlNumber number;
    if (!ReadXmlNumber(text, number) || std::fabs(number.value) > limit) {
        degrees = 0.0;
        letter = positive;
        return false;
    }
    letter = ReadDegrees(text, number, maxChars, positive, negative, degrees);
    return true;
}

bool ReadXmlNumber(std::string_view text, XmlNumber& number) {
    return ParseXmlNumber(text, number.value, number.exponent);
}

void TakeReadDegrees(std::string_view text, const XmlNumber& number, size_t maxChars, char positive,
                     char negative, double& degrees, std::string& ggaLetter, std::string& rmcLetter) {
    const char letter = ReadDegrees(text, number, maxChars, positive, negative, degrees);
    ggaLetter.assign(1, letter);
    rmcLetter.assign(1, letter);
}

char ReadDegrees(std::string_view text, const XmlNumber& number, size_t maxChars, char positive, char negative,
                 double& degrees) {
    const char letter = std::signbit(number.value) ? negative : positive;
    // The number's text without its sign; an exponent is written out first.
    std::string plain;
    if (number.exponent) {
        AssignPlainDecimal(plain, number.value);
        text = plain;
    }
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    // Mostly the whole text is read, and its value is the number's.
    degrees = text.size() <= maxChars && !number.exponent ? std::fabs(number.value)
                                                           : NumberOf(FirstChars(text, maxChars));
    return letter;
}

char TakeHemisphereLetter(std::string_view& text, char positive, char negative) {
    const auto letterOf = [&](char c) -> char {
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        return upper == positive || upper == negative ? upper : '\0';
    };
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.size() < 2) return '\0';
    char letter = letterOf(text.front());
    if (letter != '\0') {
        text.remove_prefix(1);
    } else {
        letter = letterOf(text.back());
        if (letter == '\0') return '\0';
        text.remove_suffix(1);
    }
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return letter;
}

std::string_view FirstChars(std::string_view text, size_t maxChars) {
    if (text.size() <= maxChars) return text;
    return text.substr(0, Utf8CharBytes(text, maxChars));
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
