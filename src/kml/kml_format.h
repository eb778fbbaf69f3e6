// The KML writers put a record's many small pieces (literals, texts, numbers)
// into a stack buffer and hand it to the TextWriter in one piece. Numbers come
// out byte for byte as the printf directives of the templates would write
// them, without going through printf.
#pragma once

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

class KmlBuffer {
public:
    explicit KmlBuffer(TextWriter& out) : out_(out) {}
    ~KmlBuffer() { Flush(); }
    KmlBuffer(const KmlBuffer&) = delete;
    KmlBuffer& operator=(const KmlBuffer&) = delete;

    void Text(std::string_view text) {
        if (text.size() <= sizeof buffer_ - used_ && !text.empty()) {
            std::memcpy(buffer_ + used_, text.data(), text.size());
            used_ += text.size();
            return;
        }
        TextSlow(text);
    }
    void Char(char c) {
        if (used_ == sizeof buffer_) Flush();
        buffer_[used_++] = c;
    }
    // A text from the user or from an input, with &, <, > and " escaped.
    void Escaped(std::string_view text);
    // printf("%<width>.<precision>f", value).
    void Fixed(double value, int precision, int width = 0);
    // printf("%d", value).
    void Int(int64_t value);
    // printf("%02d", value).
    void TwoDigits(int64_t value);
    // Seconds as "%02d:%02d:%02d" of hours, minutes and seconds (C integer
    // division: a negative duration shows negative parts).
    void Duration(int32_t seconds);
    // Hands what is buffered to the writer (or, while a piece is held, to
    // the held piece).
    void Flush();

    // Line pieces. A LineString needs two coordinates or more, so a piece of
    // a path is held back from its start (HoldPiece) until its second
    // coordinate (PieceCoordinate) and only then written; EndPiece drops a
    // piece that never got that far and says whether its end is to be
    // written. At most one piece head and one coordinate are held, so memory
    // stays flat however long the line.
    void HoldPiece();
    void PieceCoordinate(std::string_view line);
    bool EndPiece();

private:
    void TextSlow(std::string_view text);
    void Put(std::string_view text);
    TextWriter& out_;
    char buffer_[4096];
    size_t used_ = 0;
    bool holding_ = false;
    int pieceCoordinates_ = 0;
    std::string held_;
};

}  // namespace geoplait
