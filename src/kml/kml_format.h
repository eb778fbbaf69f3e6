// The KML writers put a record's many small pieces (literals, texts, numbers)
// straight into the TextWriter's block: each byte is copied once, its line
// ends made CR LF on the way. Numbers come out byte for byte as the printf
// directives of the templates would write them, without going through printf.
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
    KmlBuffer(const KmlBuffer&) = delete;
    KmlBuffer& operator=(const KmlBuffer&) = delete;

    void Text(std::string_view text) {
        if (holding_) {
            held_.append(text);
        } else {
            out_.Write(text);
        }
    }
    void Char(char c) { Text(std::string_view(&c, 1)); }
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
    bool EndPiece();

private:
    // Room for a short formatted item where it goes (Room, Commit of the
    // writer, or the held piece).
    char* Room(size_t size);
    void Commit(size_t filled);
    TextWriter& out_;
    bool holding_ = false;
    int pieceCoordinates_ = 0;
    size_t heldUsed_ = 0;  // the held piece before the item being formatted
    std::string held_;
};

}  // namespace geoplait
