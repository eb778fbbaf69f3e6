// The tokens of plain markup (PlainTokens), read for the GPX points.
#include "readers/xml_plain_scan.h"

namespace geoplait {

PlainTokens::PlainTokens(std::string_view text, int depthRoom)
    : begin_(text.data()),
      p_(text.data()),
      end_(text.data() + text.size()),
      tokenStart_(text.data()),
      maxOpen_(depthRoom < kMaxOpen ? depthRoom : kMaxOpen) {}

namespace {

// White space between markup: a line break counted, a blank or tab passed;
// false for any other byte.
[[gnu::always_inline]] inline bool TakeBlank(char c, PlainLines& lines) {
    if (c == '\n') {
        ++lines.lineFeeds;
        return true;
    }
    if (c == '\r') {
        ++lines.carriageReturns;
        return true;
    }
    return c == ' ' || c == '\t';
}

}  // namespace

// White space up to the next markup, passed by: mostly the line break and
// indent between two elements, the blanks eight at a time. False, nothing
// passed, where anything else stands before the markup or the text ends
// first (Data then reads it). Called with a byte left to read.
[[gnu::always_inline]] inline bool PlainTokens::SkipBlanks() {
    const char* q = p_;
    PlainLines lines = lines_;
    // Mostly a line feed, then the indent.
    if (*q == '\n') {
        ++lines.lineFeeds;
        ++q;
    }
    for (;;) {
        if (end_ - q >= 8) q += LeadingBlanks(Word(q));
        if (q == end_) return false;
        const char c = *q;
        if (c == '<') break;
        if (!TakeBlank(c, lines)) return false;
        ++q;
    }
    p_ = q;
    lines_ = lines;
    return true;
}

// At markup: "<name>data</name>" as one token, where the start tag has no
// attributes, the data no reference and no ">" (nor anything else that is
// not plain), and the end tag follows as it stands, without blanks. False,
// nothing read, for any other markup: the token is read piece by piece.
[[gnu::always_inline]] inline bool PlainTokens::Element(PlainToken& token) {
    const char* q = p_ + 1;
    if (q >= end_ || (ClassOf(*q) & kNameStart) == 0) return false;
    const char* name = q;
    const char* colon = nullptr;
    for (++q; q < end_ && (ClassOf(*q) & kNameChar) != 0; ++q) {
        if (*q != ':') continue;
        if (colon != nullptr) return false;
        colon = q;
    }
    if (q == end_ || *q != '>' || colon == q - 1 || depth_ >= maxOpen_) return false;
    const auto nameLength = static_cast<size_t>(q - name);
    const char* data = ++q;
    PlainLines lines = lines_;
    bool spaced = false;
    for (;;) {
        q = PrintableRunEnd(q, end_, ' ');
        if (q == end_) return false;
        const char c = *q;
        if (c == '<') break;
        if (!TakeBlank(c, lines)) return false;
        spaced = true;
        ++q;
    }
    if (static_cast<size_t>(end_ - q) < nameLength + 3 || q[1] != '/' || q[nameLength + 2] != '>') return false;
    if (nameLength <= 8 && end_ - q >= 10) {
        // The name in one word: its bytes are before q, and the word at q + 2
        // within the text.
        const uint64_t differ = Word(name) ^ Word(q + 2);
        const uint64_t mask = nameLength == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * nameLength)) - 1;
        if constexpr (std::endian::native == std::endian::little) {
            if ((differ & mask) != 0) return false;
        } else if (!SameBytes(q + 2, std::string_view(name, nameLength))) {
            return false;
        }
    } else if (!SameBytes(q + 2, std::string_view(name, nameLength))) {
        return false;
    }
    token.kind = PlainToken::Kind::kElement;
    token.empty = false;
    token.attributeCount = 0;
    token.text = std::string_view(name, nameLength);
    token.local = colon == nullptr ? token.text : token.text.substr(static_cast<size_t>(colon + 1 - name));
    token.content = std::string_view(data, static_cast<size_t>(q - data));
    token.carriageReturn = lines.carriageReturns != lines_.carriageReturns;
    token.spaced = spaced;
    p_ = q + nameLength + 3;
    lines_ = lines;
    return true;
}

PlainToken::Kind PlainTokens::Next(PlainToken& token, bool withText, bool whole) {
    tokenStart_ = p_;
    linesBefore_ = lines_;
    token.kind = PlainToken::Kind::kNotPlain;
    if (stopped_ || p_ == end_) return token.kind;
    if (*p_ != '<') {
        if (withText || !SkipBlanks()) {
            if (Data(token) == PlainToken::Kind::kNotPlain || withText) return token.kind;
        }
        // Checked and passed by: the markup after it is the token.
        tokenStart_ = p_;
        linesBefore_ = lines_;
        token.kind = PlainToken::Kind::kNotPlain;
    }
    if (whole && Element(token)) return token.kind;
    return MarkupToken(token);
}

// Apart from Next, whose common steps need none of this.
PlainToken::Kind PlainTokens::MarkupToken(PlainToken& token) {
    PlainScan scan{p_, end_, lines_};
    const PlainToken::Kind kind = Markup(scan, token);
    if (kind == PlainToken::Kind::kNotPlain) {
        stopped_ = true;
        return kind;
    }
    p_ = scan.p;
    lines_ = scan.lines;
    token.kind = kind;
    return kind;
}

// Character data up to the next markup ("<", which must follow): no
// reference, no "]]>". Byte by byte: the runs between the elements of a
// point are a few bytes long.
PlainToken::Kind PlainTokens::Data(PlainToken& token) {
    const char* q = p_;
    for (;; ++q) {
        if (q == end_) {
            stopped_ = true;
            return PlainToken::Kind::kNotPlain;
        }
        const char c = *q;
        if ((ClassOf(c) & kDataStop) == 0) continue;
        if (c == '<') break;
        if (c == '\n') {
            ++lines_.lineFeeds;
        } else if (c == '\r') {
            ++lines_.carriageReturns;
        } else if (c != '>' || (q - p_ >= 2 && q[-1] == ']' && q[-2] == ']')) {
            stopped_ = true;
            return PlainToken::Kind::kNotPlain;
        }
    }
    token.text = std::string_view(p_, static_cast<size_t>(q - p_));
    token.carriageReturn = lines_.carriageReturns != linesBefore_.carriageReturns;
    p_ = q;
    token.kind = PlainToken::Kind::kText;
    return token.kind;
}

PlainToken::Kind PlainTokens::Markup(PlainScan& scan, PlainToken& token) {
    using Kind = PlainToken::Kind;
    ++scan.p;
    if (scan.Take('/')) {
        // Mostly the end tag of the element open, as it stands: "</name>".
        if (depth_ > 0) {
            const std::string_view open = open_[static_cast<size_t>(depth_ - 1)];
            if (static_cast<size_t>(scan.end - scan.p) > open.size() && scan.p[open.size()] == '>' &&
                SameBytes(scan.p, open)) {
                scan.p += open.size() + 1;
                token.text = open;
                --depth_;
                return Kind::kEnd;
            }
        }
        const std::string_view name = scan.TakeName();
        scan.SkipSpace();
        if (name.empty() || !scan.Take('>')) return Kind::kNotPlain;
        token.text = name;
        if (depth_ == 0) return Kind::kOuterEnd;
        if (open_[static_cast<size_t>(depth_ - 1)] != name) return Kind::kNotPlain;
        --depth_;
        return Kind::kEnd;
    }
    if (scan.Take('!')) {
        // A comment ("--" only in its closing "-->") or a CDATA section.
        if (scan.Take("--")) return scan.Through("--") && scan.Take('>') ? Kind::kComment : Kind::kNotPlain;
        if (!scan.Take("[CDATA[")) return Kind::kNotPlain;
        const char* start = scan.p;
        if (!scan.Through("]]>")) return Kind::kNotPlain;
        token.text = std::string_view(start, static_cast<size_t>(scan.p - 3 - start));
        token.carriageReturn = scan.lines.carriageReturns != lines_.carriageReturns;
        return Kind::kCData;
    }
    // A start or empty-element tag (anything else after "<" has no name).
    const std::string_view name = scan.TakeName();
    const char* colon = scan.colon;
    if (name.empty() || depth_ >= maxOpen_) return Kind::kNotPlain;
    if (scan.p < scan.end && *scan.p == '>') {
        // Mostly a tag without attributes.
        ++scan.p;
        token.empty = false;
        token.attributeCount = 0;
    } else if (!scan.TagRest(token.empty, token.attributes.data(), token.attributeCount)) {
        return Kind::kNotPlain;
    }
    token.text = name;
    token.local = colon == nullptr ? name : name.substr(static_cast<size_t>(colon + 1 - name.data()));
    if (!token.empty) open_[static_cast<size_t>(depth_++)] = name;
    return Kind::kStart;
}

}  // namespace geoplait
