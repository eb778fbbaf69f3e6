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

}  // namespace geoplait
