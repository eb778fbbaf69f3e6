// std::to_chars with a given precision formats exactly as printf's "%.Nf" in
// the C locale; the field width pads with blanks on the left as printf does.
#include "kml/kml_format.h"

#include "engine/record_time.h"
#include "geo/number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <system_error>

namespace geoplait {

char* KmlBuffer::HeldRoom(size_t size) {
    if (held_.size() - heldSize_ < size) held_.resize(std::max(2 * held_.size(), heldSize_ + size));
    return held_.data() + heldSize_;
}

void KmlBuffer::Bytes(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t n = std::min(bytes.size(), TextWriter::kMaxRoom);
        std::memcpy(Room(n), bytes.data(), n);
        Commit(n);
        bytes.remove_prefix(n);
    }
}

void KmlBuffer::TextLong(std::string_view text) {
    if (!holding_) {
        out_.Write(text);
        return;
    }
    // Piece by piece, each with room for its line ends as CR LF.
    constexpr size_t kPiece = (TextWriter::kMaxRoom - 16) / 2;
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, kPiece);
        char* const at = Room(2 * piece.size() + 16);
        Commit(static_cast<size_t>(CopyWithCrLf(piece.data(), piece.size(), at) - at));
        text.remove_prefix(piece.size());
    }
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

// Index of the first byte of `text` that needs an entity, or its size: eight
// bytes at a time (in the byte order of a little-endian machine), then one by
// one.
size_t FirstNeedingEntity(std::string_view text) {
    const char* const data = text.data();
    const size_t size = text.size();
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // A byte equal to c gets its high bit set; a byte before it never
        // does falsely, so the lowest mark is the first match.
        constexpr auto match = [](uint64_t v, char c) {
            const uint64_t x = v ^ (0x0101010101010101ULL * static_cast<unsigned char>(c));
            return (x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL;
        };
        for (; size - i >= 8; i += 8) {
            uint64_t v = 0;
            std::memcpy(&v, data + i, 8);
            const uint64_t marks = match(v, '&') | match(v, '<') | match(v, '>') | match(v, '"');
            if (marks != 0) return i + static_cast<size_t>(std::countr_zero(marks) / 8);
        }
    }
    while (i < size && !NeedsEntity(data[i])) ++i;
    return i;
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
    // Most texts are short and need no escaping and no CR: copied whole and
    // looked at where they landed, one look at each sixteen bytes.
    if (text.size() <= kShortText) {
        char* const at = Room(2 * text.size() + 16);
        CopyShort(at, text.data(), text.size());
        if (FirstOfBytes<'&', '<', '>', '"', '\n'>(at, text.size()) == text.size()) {
            Commit(text.size());
            return;
        }
    }
    size_t i = FirstNeedingEntity(text);
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
    Commit(FormatFixedText(Room(kFixedTextSize), value, precision, width));
}

void KmlBuffer::Int(int64_t value) {
    constexpr size_t kSize = 24;
    char* const at = Room(kSize);
    const auto [end, ec] = std::to_chars(at, at + kSize, value);
    (void)ec;
    Commit(static_cast<size_t>(end - at));
}

void KmlBuffer::TwoDigits(int64_t value) {
    if (value >= 0 && value < 10) Char('0');
    Int(value);
}

void KmlBuffer::Duration(int32_t seconds) {
    Commit(FormatClock(Room(kClockTextSize), seconds));
}

void KmlBuffer::Date(int64_t day, char separator) {
    if (!dateKnown_ || day != dateDay_) {
        PutDateText(dateText_, day, '-');
        dateDay_ = day;
        dateKnown_ = true;
    }
    char* const at = Room(sizeof dateText_);
    std::memcpy(at, dateText_, sizeof dateText_);
    at[4] = separator;
    at[7] = separator;
    Commit(sizeof dateText_);
}

void KmlBuffer::When(int64_t day, int64_t second, std::string_view offset) {
    if (!dateKnown_ || day != dateDay_) {
        PutDateText(dateText_, day, '-');
        dateDay_ = day;
        dateKnown_ = true;
    }
    constexpr size_t kSize = sizeof dateText_ + 9;  // the date, "T", hh:mm:ss
    char* const at = Room(kSize + 8);
    std::memcpy(at, dateText_, sizeof dateText_);
    at[sizeof dateText_] = 'T';
    FormatClock(at + sizeof dateText_ + 1, static_cast<int32_t>(second));
    CopyShort(at + kSize, offset.data(), std::min<size_t>(offset.size(), 8));
    Commit(kSize + std::min<size_t>(offset.size(), 8));
}

void KmlBuffer::HoldPiece() {
    heldSize_ = 0;
    holding_ = true;
    pieceCoordinates_ = 0;
}

void KmlBuffer::PieceCoordinate(std::string_view line) {
    Text(line);
    if (!holding_ || ++pieceCoordinates_ < 2) return;
    holding_ = false;
    Bytes(std::string_view(held_.data(), heldSize_));
    heldSize_ = 0;
}

void KmlBuffer::PieceBytes(std::string_view bytes) {
    if (bytes.size() <= kShortText) {
        char* const at = Room(bytes.size());
        CopyShort(at, bytes.data(), bytes.size());
        Commit(bytes.size());
    } else {
        Bytes(bytes);
    }
    if (!holding_ || ++pieceCoordinates_ < 2) return;
    holding_ = false;
    Bytes(std::string_view(held_.data(), heldSize_));
    heldSize_ = 0;
}

bool KmlBuffer::EndPiece() {
    if (!holding_) return true;
    // Fewer than two coordinates: the piece is no line and goes.
    heldSize_ = 0;
    holding_ = false;
    return false;
}

}  // namespace geoplait
