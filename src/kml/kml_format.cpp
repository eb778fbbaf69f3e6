// std::to_chars with a given precision formats exactly as printf's "%.Nf" in
// the C locale; the field width pads with blanks on the left as printf does.
#include "kml/kml_format.h"

#include "geo/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace geoplait {

void KmlBuffer::TextSlow(std::string_view text) {
    if (text.empty()) return;  // its data() may be null
    if (text.size() > sizeof buffer_ - used_) {
        Flush();
        if (text.size() > sizeof buffer_) {
            Put(text);
            return;
        }
    }
    std::memcpy(buffer_ + used_, text.data(), text.size());
    used_ += text.size();
}

namespace {

// Whether a byte is one that Escaped replaces by an entity.
constexpr bool NeedsEntity(char c) { return c == '&' || c == '<' || c == '>' || c == '"'; }

// The entity of a byte that needs one.
std::string_view EntityOf(char c) {
    switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        default: return "&quot;";
    }
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (NeedsEntity(c)) {
            out.append(EntityOf(c));
        } else {
            out.push_back(c);
        }
    }
}

void KmlBuffer::Escaped(std::string_view text) {
    // Most texts need no escaping: one look at each byte, then they are copied
    // in one piece (find_first_of would search the four characters for each).
    size_t i = 0;
    while (i < text.size() && !NeedsEntity(text[i])) ++i;
    if (i == text.size()) {
        Text(text);
        return;
    }
    size_t start = 0;
    for (; i < text.size(); ++i) {
        if (!NeedsEntity(text[i])) continue;
        Text(text.substr(start, i - start));
        Text(EntityOf(text[i]));
        start = i + 1;
    }
    Text(text.substr(start));
}

void KmlBuffer::Fixed(double value, int precision, int width) {
    char text[kFixedTextSize];
    Text(std::string_view(text, FormatFixedText(text, value, precision, width)));
}

void KmlBuffer::Int(int64_t value) {
    char text[24];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    (void)ec;
    Text(std::string_view(text, static_cast<size_t>(end - text)));
}

void KmlBuffer::TwoDigits(int64_t value) {
    if (value >= 0 && value < 10) Char('0');
    Int(value);
}

void KmlBuffer::Duration(int32_t seconds) {
    // Made whole on the stack and copied in one piece.
    char text[kClockTextSize];
    Text(std::string_view(text, FormatClock(text, seconds)));
}

void KmlBuffer::Put(std::string_view text) {
    if (holding_) {
        held_.append(text);
    } else {
        out_.Write(text);
    }
}

void KmlBuffer::Flush() {
    if (used_ == 0) return;
    Put(std::string_view(buffer_, used_));
    used_ = 0;
}

void KmlBuffer::HoldPiece() {
    Flush();
    held_.clear();
    holding_ = true;
    pieceCoordinates_ = 0;
}

void KmlBuffer::PieceCoordinate(std::string_view line) {
    Text(line);
    if (!holding_ || ++pieceCoordinates_ < 2) return;
    Flush();
    holding_ = false;
    out_.Write(held_);
    held_.clear();
}

bool KmlBuffer::EndPiece() {
    if (!holding_) return true;
    // Fewer than two coordinates: the piece is no line and goes.
    used_ = 0;
    held_.clear();
    holding_ = false;
    return false;
}

}  // namespace geoplait
