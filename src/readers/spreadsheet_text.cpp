#include "readers/spreadsheet_text.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

#include "base/text_encoding.h"
#include "base/text_fields.h"
#include "geo/number_format.h"

namespace geoplait {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void Trim(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
}

// Digits with at most one point, one digit at least; the point may be a
// comma (`comma` true). Consumed from the front of `text` into `out` (the
// comma written as a point).
bool TakeDecimal(std::string_view& text, std::string& out, bool comma) {
    size_t i = 0;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
        } else if (!point && (c == '.' || (comma && c == ','))) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    out.assign(text.substr(0, i));
    for (char& c : out) {
        if (c == ',') c = '.';
    }
    text.remove_prefix(i);
    return true;
}

// An exponent after the digits of `number` ("1.5E1", as spreadsheets write
// large and small numbers): the number becomes its plain decimal text. True
// when there is none, or a whole one.
bool TakeExponent(std::string_view& text, std::string& number) {
    if (text.empty() || (text.front() != 'e' && text.front() != 'E')) return true;
    size_t i = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == digits || i - digits > 3) return false;
    number += text.substr(0, i);
    const double value = NumberOf(number);
    if (!std::isfinite(value)) return false;
    char plain[400];
    const auto result = std::to_chars(plain, plain + sizeof plain, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return false;
    number.assign(plain, result.ptr);
    text.remove_prefix(i);
    return true;
}

// One of `marks` at the front of `text` (blanks before it dropped), taken off.
bool TakeMark(std::string_view& text, std::initializer_list<std::string_view> marks) {
    Trim(text);
    for (std::string_view mark : marks) {
        if (text.starts_with(mark)) {
            text.remove_prefix(mark.size());
            Trim(text);
            return true;
        }
    }
    return false;
}

// The comma is a decimal point only where the text has no point and one comma.
bool CommaIsPoint(std::string_view text) {
    const size_t comma = text.find(',');
    return comma != std::string_view::npos && text.find(',', comma + 1) == std::string_view::npos &&
           text.find('.') == std::string_view::npos;
}

bool IsWhole(const std::string& number) { return number.find('.') == std::string::npos; }

// "47°", "47°22'", "47°22'36.92\"" (blanks anywhere between): the decimal
// degrees, or false.
bool ReadMarkedDegrees(std::string_view text, double& degrees) {
    const bool comma = CommaIsPoint(text);
    std::string part;
    if (!TakeDecimal(text, part, comma)) return false;
    degrees = NumberOf(part);
    const bool wholeDegrees = IsWhole(part);
    if (!TakeMark(text, {"\xC2\xB0", "\xC2\xBA"})) return false;  // ° or º
    if (text.empty()) return true;
    if (!wholeDegrees || !TakeDecimal(text, part, comma)) return false;
    const double minutes = NumberOf(part);
    const bool wholeMinutes = IsWhole(part);
    if (minutes >= 60.0 || !TakeMark(text, {"'", "\xE2\x80\xB2"})) return false;  // ' or ′
    degrees += minutes / 60.0;
    if (text.empty()) return true;
    if (!wholeMinutes || !TakeDecimal(text, part, comma)) return false;
    const double seconds = NumberOf(part);
    if (seconds >= 60.0 || !TakeMark(text, {"''", "\"", "\xE2\x80\xB3"})) return false;  // '' " ″
    degrees += seconds / 3600.0;
    return text.empty();
}

}  // namespace

bool TakeCellNumber(std::string& text, bool allowSign, bool allowMetres) {
    std::string_view rest = text;
    Trim(rest);
    if (allowMetres && !rest.empty() && (rest.back() == 'm' || rest.back() == 'M')) {
        rest.remove_suffix(1);
        Trim(rest);
    }
    std::string number;
    if (allowSign && !rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        number.push_back(rest.front());  // "+12" stays as it is written
        rest.remove_prefix(1);
    }
    std::string digits;
    if (!TakeDecimal(rest, digits, CommaIsPoint(rest)) || !TakeExponent(rest, digits) || !rest.empty()) {
        text.clear();
        return false;
    }
    number += digits;
    text.swap(number);
    return true;
}

CoordinateCell TakeCoordinateCell(std::string& text) {
    std::string_view rest = text;
    Trim(rest);
    if (rest.empty()) {
        text.clear();
        return CoordinateCell::Empty;
    }
    double degrees = 0.0;
    if (ReadMarkedDegrees(rest, degrees)) {
        AssignFixed(text, degrees, 9, 0);
        return CoordinateCell::Degrees;
    }
    return TakeCellNumber(text, false, false) ? CoordinateCell::Number : CoordinateCell::Unknown;
}

bool IsCutLine(std::string_view piece, size_t limit) {
    // A piece without its "\n" is cut only when it holds all a read gives;
    // bytes are never fewer than characters, so most pieces need no counting.
    return !piece.empty() && piece.back() != '\n' && piece.size() >= limit && Utf8CharCount(piece) >= limit;
}

bool ReadWholeLine(TextReader& input, std::string_view& line, int32_t& broken, size_t limit) {
    for (;;) {
        if (!input.ReadLine(line, limit + 1)) return false;
        if (!IsCutLine(line, limit)) return true;
        // NUL bytes are what a logger leaves in its file after a power cut,
        // as many as a block of the card holds: no part of a line, so the
        // text after them is read as the line it is.
        if (line.find_first_not_of('\0') == std::string_view::npos) continue;
        // Longer than a line may be: passed over to its end, not cut into lines.
        ++broken;
        while (input.ReadLine(line, limit + 1) && !line.empty() && line.back() != '\n') {
        }
    }
}

}  // namespace geoplait
