// Element content kept from the parser (XmlStream::PassOverContent): the
// block is handed on in pieces that end with the start tags the reader may
// pass over, and the parser's byte counts, lines and columns are corrected
// for what it was not given.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "readers/xml_plain.h"
#include "readers/xml_stream.h"

namespace geoplait {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Moves a position over text as expat counts it: LF, CR and CR LF each end
// a line; a column is a character, not each byte of one.
void Advance(std::string_view text, uint64_t& line, uint64_t& column) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            ++line;
            column = 0;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column;
        }
    }
}

}  // namespace

void XmlStream::EndPiecesAtStartTags(std::span<const std::string_view> names) {
    pieceNameCount_ = std::min(names.size(), pieceNames_.size());
    pieceName_.assign(pieceNameCount_ == 0 ? std::string_view() : names[0]);
    for (size_t i = 0; i < pieceNameCount_; ++i) {
        pieceNames_[i].assign(names[i]);
        while (!pieceName_.empty() && !names[i].ends_with(pieceName_)) pieceName_.erase(0, 1);
    }
    if (pieceName_.empty()) pieceNameCount_ = 0;
}

size_t XmlStream::PieceEnd() const {
    const std::string_view text = block_;
    size_t at = blockPos_;
    for (;;) {
        // The end the names share ("pt" of trkpt, rtept and wpt), then the name.
        const void* found = memmem(text.data() + at, text.size() - at, pieceName_.data(), pieceName_.size());
        if (found == nullptr) return text.size();
        at = static_cast<size_t>(static_cast<const char*>(found) - text.data());
        const size_t after = at + pieceName_.size();
        // The name of a start tag: after "<" or a prefix, before the tag goes on.
        if (after < text.size() && (IsSpace(text[after]) || text[after] == '>' || text[after] == '/')) {
            for (size_t i = 0; i < pieceNameCount_; ++i) {
                const std::string_view name = pieceNames_[i];
                if (after <= name.size()) continue;
                const size_t start = after - name.size();
                if ((text[start - 1] == '<' || text[start - 1] == ':') && text.substr(start, name.size()) == name) {
                    const size_t close = text.find('>', after);
                    return close == std::string_view::npos ? text.size() : close + 1;
                }
            }
        }
        at = after;
    }
}

bool XmlStream::PassOverContent(const XML_Char* name, std::span<const std::string_view> wanted, bool siblingsToo) {
    const TextAhead ahead = TextAfterStartTag(name);
    if (ahead.text.empty()) return false;
    PlainLines lines;
    const bool siblings = siblingsToo && !ahead.outermost;
    const size_t length = siblings ? PlainSiblingsLength(ahead.text, name, ahead.depthRoom, wanted, lines)
                                      : PlainContentLength(ahead.text, name, ahead.depthRoom, wanted, lines);
    if (length == std::string::npos) return false;
    PassOver(length, lines);
    return true;
}

XmlStream::TextAhead XmlStream::TextAfterStartTag(const XML_Char* name) const {
    if (pieceName_.empty() || !repairUtf8_ || pieceRepaired_ || collecting_ || tooDeep_ || parser_ == nullptr) {
        return {};
    }
    const XML_Index at = XML_GetCurrentByteIndex(parser_);
    const int count = XML_GetCurrentByteCount(parser_);
    // The start tag must end what the parser has been given, as it stands in
    // the block (its piece needed no repair): the block after it is not the
    // parser's yet. An element begun in an entity's text has the reference
    // there instead.
    if (at < 0 || count < 3 || at + count != fed_ || static_cast<size_t>(count) > blockPos_) return {};
    const std::string_view tag = block_.substr(blockPos_ - static_cast<size_t>(count), static_cast<size_t>(count));
    const std::string_view rawName(name);
    if (tag.front() != '<' || tag.back() != '>' || tag[tag.size() - 2] == '/' || tag.size() < rawName.size() + 2 ||
        tag.substr(1, rawName.size()) != rawName ||
        (!IsSpace(tag[rawName.size() + 1]) && tag[rawName.size() + 1] != '>')) {
        return {};
    }
    return {block_.substr(blockPos_), kXmlMaxDepth - depth_, depth_ == 1};
}

void XmlStream::PassOver(size_t length, const PlainLines& lines) {
    // The parser's position after the tag, and the document's after the
    // content: what follows on that line of the parser is shifted by their
    // columns' difference.
    const auto count = static_cast<size_t>(XML_GetCurrentByteCount(parser_));
    const std::string_view tag = block_.substr(blockPos_ - count, count);
    uint64_t line = XML_GetCurrentLineNumber(parser_);
    uint64_t column = XML_GetCurrentColumnNumber(parser_);
    Advance(tag, line, column);
    uint64_t documentColumn = column;
    if (line == shiftLine_) documentColumn = static_cast<uint64_t>(static_cast<int64_t>(column) + columnShift_);
    const std::string_view content = block_.substr(blockPos_, length);
    uint64_t breaks = 0;
    if (lines.carriageReturns == 0) {
        // Plain content is ASCII: after its last LF, a column is a byte.
        breaks = lines.lineFeeds;
        const size_t last = breaks == 0 ? std::string_view::npos : content.rfind('\n');
        documentColumn = last == std::string_view::npos ? documentColumn + content.size() : content.size() - last - 1;
    } else {
        Advance(content, breaks, documentColumn);
    }
    passedLines_ += breaks;
    shiftLine_ = line;
    columnShift_ = static_cast<int64_t>(documentColumn) - static_cast<int64_t>(column);
    passedBytes_ += length;
    blockPos_ += length;
}

XmlStream::Position XmlStream::DocumentPosition() const {
    const uint64_t line = XML_GetCurrentLineNumber(parser_);
    int64_t column = static_cast<int64_t>(XML_GetCurrentColumnNumber(parser_));
    if (line == shiftLine_) column += columnShift_;
    return {line + passedLines_, static_cast<uint64_t>(column)};
}

}  // namespace geoplait
