// The small text and number helpers of the settings file, the geodesy, the
// readers and the writers. All of them run once or more per record, so they
// reuse string capacity and never consult the locale.
#include "base/text_fields.h"

#include "base/text_file.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <iterator>
#include <cstdint>
#include <limits>
#include <system_error>

namespace geoplait {

namespace {

// Scan limit of FieldAt: readers take fields from the first 2048 characters only.
constexpr size_t kFieldScanLimit = 2048;

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading white space and one optional sign; returns the index of the
// first character after them and sets `negative`.
size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    size_t i = 0;
    // Every blank is a control character or the space: one test for the rest.
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ' && IsCSpace(text[i])) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// True when the decimal number text[begin, end) (digits, point, exponent) is
// too small for a double rather than too large.
bool IsUnderflow(std::string_view text) {
    int64_t pointPos = -1;
    int64_t firstNonZero = -1;
    int64_t digitIndex = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            pointPos = digitIndex;
        } else if (IsDigit(c)) {
            if (c != '0' && firstNonZero < 0) firstNonZero = digitIndex;
            ++digitIndex;
        } else {
            break;
        }
    }
    if (firstNonZero < 0) return true;
    if (pointPos < 0) pointPos = digitIndex;
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            ++i;
        }
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (exponent < 100000000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    // Decimal magnitude of the leading non-zero digit.
    return pointPos - firstNonZero + exponent <= 0;
}

constexpr double kPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

// Appends the run of decimal digits at p to `digits` and returns its end.
// Four digits at a time where the text has them (the bytes are checked and
// converted together; their order in a word is that of a little-endian
// machine), the rest one by one. Digits past the nineteenth wrap `digits`;
// the caller refuses such runs by their length.
inline const char* ReadDigitRun(const char* p, const char* end, uint64_t& digits) {
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 4) {
            uint32_t v = 0;
            std::memcpy(&v, p, 4);
            if ((v & 0xF0F0F0F0) != 0x30303030 || ((v + 0x06060606) & 0xF0F0F0F0) != 0x30303030) break;
            v -= 0x30303030;
            v = (v * 10 + (v >> 8)) & 0x00FF00FF;
            v = (v * 100 + (v >> 16)) & 0xFFFF;
            digits = digits * 10000 + v;
            p += 4;
        }
    }
    for (; p != end; ++p) {
        const auto d = static_cast<unsigned>(static_cast<unsigned char>(*p) - '0');
        if (d > 9) break;
        digits = digits * 10 + d;
    }
    return p;
}

// The common case of a plain "ddd.ddd" without exponent, in one pass: its
// digits as an integer of at most 2^53 divided by an exact power of ten of at
// most 10^22. Both operands are exact doubles, so the one rounding of the
// division gives the correctly rounded value, as from_chars does. False for
// anything else (more digits, an exponent), which goes the general way.
bool PlainDecimal(const char* p, const char* end, double& value) {
    uint64_t digits = 0;
    const char* const first = p;
    p = ReadDigitRun(p, end, digits);
    size_t count = static_cast<size_t>(p - first);
    size_t decimals = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        p = ReadDigitRun(p, end, digits);
        decimals = static_cast<size_t>(p - fraction);
        count += decimals;
    }
    if (p != end && (*p == 'e' || *p == 'E')) return false;
    if (count > 19 || digits > (uint64_t{1} << 53) || decimals >= std::size(kPowersOfTen)) return false;
    value = static_cast<double>(digits);
    if (decimals > 0) value /= kPowersOfTen[decimals];
    return true;
}

}  // namespace

char SlotChar(const std::string& s, size_t i) {
    if (i < s.size()) return s[i];
    if (i == s.size()) return '\0';
    if (i <= 7) return ' ';
    return '\0';
}

std::string ReplaceExtension(const std::string& path, std::string_view suffix) {
    // Only the file name's extension: a "." in a folder name (/home/ann/.gps/track)
    // or at the start of the name (.profile) starts none.
    size_t cut = ExtensionStart(path);
    if (cut == std::string::npos) cut = path.size();
    std::string result;
    result.reserve(cut + suffix.size());
    result.append(path, 0, cut);
    result.append(suffix);
    return result;
}

void FieldAt(std::string& destination, std::string_view line, int n, char separator) {
    destination.clear();
    if (n < 1) return;
    const size_t limit = ScanLimitBytes(line);
    size_t i = 0;
    for (int skipped = 0; skipped < n - 1; ++i) {
        if (i >= limit) return;
        if (line[i] == separator) ++skipped;
    }
    size_t end = i;
    while (end < limit && line[end] != separator && line[end] != '\r' && line[end] != '\n') ++end;
    destination.assign(line.substr(i, end - i));
}

size_t ScanLimitBytes(std::string_view line) {
    if (line.size() <= kFieldScanLimit) return line.size();
    size_t chars = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) {
            if (chars == kFieldScanLimit) return i;
            ++chars;
        }
    }
    return line.size();
}

std::string FieldAt(std::string_view line, int n, char separator) {
    std::string field;
    FieldAt(field, line, n, separator);
    return field;
}

void AppendCsvField(std::string& line, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (const char c : text) {
        if (c == '"') line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

std::string NumericOnly(std::string_view source) {
    std::string result;
    for (char c : source) {
        if (IsDigit(c) || c == '.' || c == ',' || c == '+' || c == '-') result.push_back(c);
    }
    return result;
}

void CollapseBlanks(std::string& text) {
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') continue;
        text[out++] = text[i];
    }
    text.resize(out);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    if (!text.empty() && text.back() == ' ') text.pop_back();
}

int32_t IntegerOf(std::string_view text) {
    bool negative = false;
    const size_t start = SkipBlanksAndSign(text, negative);
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (first == last || !IsDigit(*first)) return 0;
    constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
    constexpr uint64_t kMaxNegative = kMaxPositive + 1;
    // Every digit is read; once past the int32_t range the value only needs
    // to stay past it, so it stops growing there.
    uint64_t magnitude = 0;
    for (const char* p = first; p != last && IsDigit(*p); ++p) {
        if (magnitude <= kMaxNegative) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (negative) {
        if (magnitude >= kMaxNegative) return std::numeric_limits<int32_t>::min();
        return -static_cast<int32_t>(magnitude);
    }
    if (magnitude > kMaxPositive) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(magnitude);
}

double NumberOf(std::string_view text) {
    // Most texts are a whole plain number ("3539.5158", "43.1", "08"): read
    // in one short pass, with the rounding PlainDecimal gives.
    if (!text.empty() && text.size() <= 19 && IsDigit(text[0])) {
        const char* const p = text.data();
        const size_t n = text.size();
        uint64_t digits = 0;
        size_t i = 0;
        for (; i < n && IsDigit(p[i]); ++i) digits = digits * 10 + static_cast<uint64_t>(p[i] - '0');
        size_t decimals = 0;
        if (i < n && p[i] == '.') {
            const size_t fraction = ++i;
            for (; i < n && IsDigit(p[i]); ++i) digits = digits * 10 + static_cast<uint64_t>(p[i] - '0');
            decimals = i - fraction;
        }
        if (i == n && digits <= (uint64_t{1} << 53)) {
            const auto value = static_cast<double>(digits);
            return decimals > 0 ? value / kPowersOfTen[decimals] : value;
        }
    }
    bool negative = false;
    const size_t start = SkipBlanksAndSign(text, negative);
    if (start >= text.size()) return 0.0;
    // Only decimal notation: "inf", "nan" and hexadecimal texts read as 0.
    const char lead = text[start];
    if (!IsDigit(lead) && !(lead == '.' && start + 1 < text.size() && IsDigit(text[start + 1]))) {
        return 0.0;
    }
    double value = 0.0;
    if (PlainDecimal(text.data() + start, text.data() + text.size(), value)) {
        return negative ? -value : value;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const std::string_view matched(first, static_cast<size_t>(ptr - first));
        value = IsUnderflow(matched) ? 0.0 : std::numeric_limits<double>::max();
    } else if (ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace geoplait
