// The KML writers put a record's many small pieces (literals, texts, numbers)
// straight into the TextWriter's block: each byte is copied once, its line
// ends made CR LF on the way. Numbers come out byte for byte as the printf
// directives of the templates would write them, without going through printf.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/text_file.h"

namespace geoplait {

// Appends a text from the user or from an input with &, <, > and " escaped,
// as KmlBuffer::Escaped writes it.
void AppendEscaped(std::string& out, std::string_view text);

// Index of the first byte of `at[0, size)` that is one of `Set`, or `size`,
// sixteen bytes at a time. It reads up to 15 bytes past `size`, which the
// caller owns (its room in a block); what lies there is never taken as a match.
template <char... Set>
inline size_t FirstOfBytes(const char* at, size_t size) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    if constexpr (std::endian::native == std::endian::little) {
        for (size_t i = 0; i < size; i += 16) {
            Bytes v;
            std::memcpy(&v, at + i, sizeof v);
            const auto found = ((v == (Bytes{} + static_cast<unsigned char>(Set))) | ...);
            uint64_t words[2];
            static_assert(sizeof found == sizeof words);
            std::memcpy(words, &found, sizeof words);
            if ((words[0] | words[1]) == 0) continue;
            const size_t in = words[0] != 0 ? static_cast<size_t>(std::countr_zero(words[0]) / 8)
                                            : 8 + static_cast<size_t>(std::countr_zero(words[1]) / 8);
            return i + in < size ? i + in : size;
        }
        return size;
    } else {
        size_t i = 0;
        while (i < size && ((at[i] != Set) && ...)) ++i;
        return i;
    }
}

// memcpy for the short pieces of a placemark without the library call: two
// copies of a fixed size that overlap where the size is between two powers.
inline void CopyShort(char* to, const char* from, size_t size) {
    if (size >= 16) {
        if (size > 32) {
            std::memcpy(to, from, size);
            return;
        }
        char head[16], tail[16];
        std::memcpy(head, from, 16);
        std::memcpy(tail, from + size - 16, 16);
        std::memcpy(to, head, 16);
        std::memcpy(to + size - 16, tail, 16);
    } else if (size >= 8) {
        uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + size - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + size - 8, &tail, 8);
    } else if (size >= 4) {
        uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + size - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + size - 4, &tail, 4);
    } else if (size > 0) {
        const char first = from[0], middle = from[size / 2], last = from[size - 1];
        to[0] = first;
        to[size / 2] = middle;
        to[size - 1] = last;
    }
}

class KmlBuffer {
public:
    explicit KmlBuffer(TextWriter& out) : out_(out) {}
    KmlBuffer(const KmlBuffer&) = delete;
    KmlBuffer& operator=(const KmlBuffer&) = delete;

    void Text(std::string_view text) {
        if (text.size() > kShortText) {
            TextLong(text);
            return;
        }
        Short(text.data(), text.size());
    }
    // A literal of the templates (a string literal; its last byte, the
    // terminating NUL, is not written). Its bytes are known when the program
    // is compiled: the loops, unrolled, leave the literal with its CR LF
    // stored a word at a time, without a look at a byte when it runs. An
    // array filled when the program runs (snprintf's) is written up to its
    // first NUL.
    template <size_t N>
    [[gnu::always_inline]] void Text(const char (&literal)[N]) {
        static_assert(N >= 1);
        constexpr size_t size = N - 1;
        bool whole = literal[size] == '\0';
#pragma GCC unroll 256
        for (size_t i = 0; i < size; ++i) whole = whole && literal[i] != '\0';
        if (size > kShortText || !whole) {
            Text(std::string_view(literal, strnlen(literal, N)));
            return;
        }
        char* const at = Room(2 * size);
        char* out = at;
#pragma GCC unroll 256
        for (size_t i = 0; i < size; ++i) {
            if (literal[i] == '\n') *out++ = '\r';
            *out++ = literal[i];
        }
        Commit(static_cast<size_t>(out - at));
    }
    // Bytes as they are to reach the file (line ends CR LF already), of any
    // length: a text made once and written many times.
    void Bytes(std::string_view bytes);
    void Char(char c) {
        char* const at = Room(2);
        if (c == '\n') {
            at[0] = '\r';
            at[1] = '\n';
            Commit(2);
        } else {
            at[0] = c;
            Commit(1);
        }
    }
    // A text from the user or from an input, with &, <, > and " escaped.
    void Escaped(std::string_view text);
    // A text this program made that holds no line end and nothing to
    // escape (a number), at most TextWriter::kMaxRoom - 64 bytes, with
    // blanks before it up to `width` as printf pads.
    void Padded(std::string_view text, int width = 0) {
        const size_t pad = width > 0 && text.size() < static_cast<size_t>(width)
                               ? static_cast<size_t>(width) - text.size()
                               : 0;
        char* const at = Room(pad + text.size());
        for (size_t i = 0; i < pad; ++i) at[i] = ' ';
        CopyShort(at + pad, text.data(), text.size());
        Commit(pad + text.size());
    }
    // printf("%<width>.<precision>f", value).
    void Fixed(double value, int precision, int width = 0);
    // printf("%d", value).
    void Int(int64_t value);
    // printf("%02d", value).
    void TwoDigits(int64_t value);
    // Seconds as "%02d:%02d:%02d" of hours, minutes and seconds (C integer
    // division: a negative duration shows negative parts).
    void Duration(int32_t seconds);
    // "20yy<separator>mm<separator>dd" of a day since 1970-01-01, as
    // PutDateText writes it. The digits are made once a day: a track's
    // records share their date for hours.
    void Date(int64_t day, char separator);
    // "20yy-mm-ddThh:mm:ss" of a day (Date) and a time of day (0 to 86399
    // seconds), then `offset` (at most 8 bytes): an instant of a time stamp.
    void When(int64_t day, int64_t second, std::string_view offset);
    // Nothing waits here: what was given is in the writer's block already
    // (or, while a piece is held, in the held piece).
    void Flush() {}

    // Line pieces. A LineString needs two coordinates or more, so a piece of
    // a path is held back from its start (HoldPiece) until its second
    // coordinate (PieceCoordinate) and only then written; EndPiece drops a
    // piece that never got that far and says whether its end is to be
    // written. At most one piece head and one coordinate are held, so memory
    // stays flat however long the line.
    void HoldPiece();
    void PieceCoordinate(std::string_view line);
    // PieceCoordinate of a line as it reaches the file (its line end CR LF).
    void PieceBytes(std::string_view bytes);
    bool EndPiece();

private:
    static constexpr size_t kShortText = 256;
    // Copied whole, then looked at for a line end where it landed: most
    // pieces have one at most, at their end, and only the bytes from there
    // on are copied again with it made CR LF.
    void Short(const char* text, size_t size) {
        char* const at = Room(2 * size + 16);
        CopyShort(at, text, size);
        const size_t lf = FirstOfBytes<'\n'>(at, size);
        Commit(lf == size ? size : LineEndsFrom(text, size, at, lf));
    }
    // `text` copied to `at` has its first line end at `lf`: the bytes from
    // there are copied again with each "\n" as CR LF. Returns the size at `at`.
    static size_t LineEndsFrom(const char* text, size_t size, char* at, size_t lf) {
        return static_cast<size_t>(CopyWithCrLf(text + lf, size - lf, at + lf) - at);
    }
    void TextLong(std::string_view text);
    // Room for `size` bytes (at most TextWriter::kMaxRoom) where the next
    // bytes go: the writer's block, or the held piece. They are filled as
    // they are to reach the file (line ends CR LF already), then committed.
    char* Room(size_t size) {
        if (!holding_) return out_.Room(size);
        if (held_.size() - heldSize_ >= size) return held_.data() + heldSize_;
        return HeldRoom(size);
    }
    void Commit(size_t filled) {
        if (holding_) {
            heldSize_ += filled;
        } else {
            out_.Commit(filled);
        }
    }
    char* HeldRoom(size_t size);
    TextWriter& out_;
    bool holding_ = false;
    int pieceCoordinates_ = 0;
    // The held piece is held_[0, heldSize_), its bytes as they are to reach
    // the file; held_ only grows, so holding a piece allocates nothing once
    // the longest head was held.
    size_t heldSize_ = 0;
    std::string held_;
    // The date Date wrote last, with "-" as its separators.
    int64_t dateDay_ = 0;
    bool dateKnown_ = false;
    char dateText_[10] = {};
};

}  // namespace geoplait
