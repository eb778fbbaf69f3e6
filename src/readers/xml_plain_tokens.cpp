// The tokens of plain markup (PlainTokens), read for the GPX points.
#include "readers/xml_plain_scan.h"

namespace geoplait {

PlainTokens::PlainTokens(std::string_view text, int depthRoom)
    : begin_(text.data()),
      p_(text.data()),
      end_(text.data() + text.size()),
      tokenStart_(text.data()),
      maxOpen_(depthRoom < kMaxOpen ? depthRoom : kMaxOpen) {}

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

namespace {

// A piece of markup appended to a shape's bytes, its line breaks counted.
const PlainShape::Piece& AppendPiece(std::string& literals, std::vector<PlainShape::Piece>& pieces,
                                     std::string_view bytes) {
    PlainShape::Piece& added = pieces.emplace_back();
    added.length = static_cast<uint32_t>(bytes.size());
    for (const char c : bytes) CountBreak(c, added.lines);
    literals.append(bytes);
    return added;
}

}  // namespace

void PlainShape::Start(const char* at, int open) {
    literals.clear();
    pieces.clear();
    tags.clear();
    lines = {};
    maxOpen = open;
    whole = false;
    from_ = at;
}

bool PlainShape::AddPiece(const char* to) {
    if (pieces.size() > kMaxTexts) return false;
    const Piece& added = AppendPiece(literals, pieces, std::string_view(from_, static_cast<size_t>(to - from_)));
    lines.lineFeeds += added.lines.lineFeeds;
    lines.carriageReturns += added.lines.carriageReturns;
    return true;
}

bool PlainShape::AddText(std::string_view text, int tag) {
    if (!AddPiece(text.data())) return false;
    tags.push_back(tag);
    from_ = text.data() + text.size();
    return true;
}

void PlainShape::Close(const char* end) { whole = AddPiece(end); }

namespace {

// Whether n bytes at a are those at b: sixteen at a time where the machine
// compares so, else in words, the last ones overlapping those before, with
// no call for the few bytes of a piece.
[[gnu::always_inline]] inline bool SameRun(const char* a, const char* b, size_t n) {
#if defined(__SSE2__)
    const auto same16 = [](const char* x, const char* y) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
        return _mm_movemask_epi8(_mm_cmpeq_epi8(u, v)) == 0xFFFF;
    };
    if (n >= 16) {
        for (; n > 16; n -= 16, a += 16, b += 16) {
            if (!same16(a, b)) return false;
        }
        return same16(a + n - 16, b + n - 16);
    }
#endif
    if (n >= 8) {
        for (; n > 8; n -= 8, a += 8, b += 8) {
            if (Word(a) != Word(b)) return false;
        }
        return Word(a + n - 8) == Word(b + n - 8);
    }
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace

bool PlainTokens::FollowShape(const PlainShape& shape, std::string_view outerName, PlainShapeText* texts,
                              PlainToken& token) {
    if (stopped_ || depth_ != 0 || !shape.whole || shape.maxOpen > maxOpen_ ||
        shape.pieces.size() > PlainShape::kMaxTexts + 1) {
        return false;
    }
    // In locals: the stores of the texts might otherwise be taken to change
    // the scan's own fields.
    const char* q = p_;
    const char* const end = end_;
    const PlainShape::Piece* const pieces = shape.pieces.data();
    // The line breaks of the data; those of the pieces are added at the end.
    PlainLines lines = lines_;
    const char* literal = shape.literals.data();
    const size_t holes = shape.pieces.size() - 1;
    for (size_t i = 0;; ++i) {
        const uint32_t length = pieces[i].length;
        if (static_cast<size_t>(end - q) < length || !SameRun(q, literal, length)) return false;
        q += length;
        literal += length;
        if (i == holes) break;
        // The data of a whole element, as Element reads it; a CR in it is
        // left to the token way.
        const char* text = q;
        bool spaced = false;
        q = WholeDataEnd<true>(q, end, lines, spaced);
        if (q == nullptr) return false;
        texts[i] = {std::string_view(text, static_cast<size_t>(q - text)), spaced};
    }
    const size_t n = outerName.size();
    if (static_cast<size_t>(end - q) < n + 3 || q[0] != '<' || q[1] != '/' || q[n + 2] != '>' ||
        !SameBytes(q + 2, outerName)) {
        return false;
    }
    lines.lineFeeds += shape.lines.lineFeeds;
    lines.carriageReturns += shape.lines.carriageReturns;
    tokenStart_ = q;
    linesBefore_ = lines;
    p_ = q + n + 3;
    lines_ = lines;
    token.kind = PlainToken::Kind::kOuterEnd;
    token.text = std::string_view(q + 2, n);
    return true;
}

void PlainTagShape::Record(const char* from, const char* tag, const char* end, const PlainLines& lines,
                           const PlainToken& token) {
    literals.clear();
    pieces.clear();
    names.clear();
    whole = false;
    if (token.kind != PlainToken::Kind::kStart || token.empty || token.attributeCount == 0 ||
        token.text.data() < tag) {
        return;
    }
    tagAt = static_cast<uint32_t>(tag - from);
    linesBefore = lines;
    name = {static_cast<uint32_t>(token.text.data() - from), static_cast<uint32_t>(token.text.size())};
    local = {static_cast<uint32_t>(token.local.data() - from), static_cast<uint32_t>(token.local.size())};
    const auto addPiece = [this](const char* start, const char* stop) {
        AppendPiece(literals, pieces, std::string_view(start, static_cast<size_t>(stop - start)));
    };
    // The values stand in the tag one after the other, as their attributes do.
    const char* piece = from;
    for (int i = 0; i < token.attributeCount; ++i) {
        const PlainAttribute& attribute = token.attributes[static_cast<size_t>(i)];
        const char* value = attribute.value.data();
        if (attribute.spaced || attribute.name.data() < piece || value < attribute.name.data()) return;
        names.push_back(
            {static_cast<uint32_t>(attribute.name.data() - piece), static_cast<uint32_t>(attribute.name.size())});
        addPiece(piece, value);
        piece = value + attribute.value.size();
    }
    addPiece(piece, end);
    whole = true;
}

bool PlainTokens::FollowTag(const PlainTagShape& shape, PlainToken& token) {
    if (stopped_ || !shape.whole || depth_ >= maxOpen_) return false;
    const char* const start = p_;
    const char* q = p_;
    PlainLines lines = lines_;
    const char* literal = shape.literals.data();
    const size_t values = shape.names.size();
    for (size_t i = 0;; ++i) {
        const PlainShape::Piece& piece = shape.pieces[i];
        if (static_cast<size_t>(end_ - q) < piece.length || !SameRun(q, literal, piece.length)) return false;
        if (i == values) {
            q += piece.length;
            break;
        }
        const PlainTagShape::Name& name = shape.names[i];
        PlainAttribute& attribute = token.attributes[i];
        attribute.name = std::string_view(q + name.at, name.length);
        q += piece.length;
        literal += piece.length;
        lines.lineFeeds += piece.lines.lineFeeds;
        lines.carriageReturns += piece.lines.carriageReturns;
        // The value up to its quote, the last byte of the piece before.
        const char quote = q[-1];
        const char* value = q;
        q = PrintableRunEnd(q, end_, quote);
        if (q == end_ || *q != quote) return false;
        attribute.value = std::string_view(value, static_cast<size_t>(q - value));
        attribute.spaced = false;
    }
    const PlainShape::Piece& last = shape.pieces[values];
    lines.lineFeeds += last.lines.lineFeeds;
    lines.carriageReturns += last.lines.carriageReturns;
    const std::string_view name(start + shape.name.at, shape.name.length);
    token.kind = PlainToken::Kind::kStart;
    token.empty = false;
    token.text = name;
    token.local = std::string_view(start + shape.local.at, shape.local.length);
    token.attributeCount = static_cast<int>(values);
    open_[static_cast<size_t>(depth_++)] = name;
    tokenStart_ = start + shape.tagAt;
    linesBefore_ = lines_;
    linesBefore_.lineFeeds += shape.linesBefore.lineFeeds;
    linesBefore_.carriageReturns += shape.linesBefore.carriageReturns;
    p_ = q;
    lines_ = lines;
    return true;
}

}  // namespace geoplait
