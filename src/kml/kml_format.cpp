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
            out_.Write(text);
            return;
        }
    }
    std::memcpy(buffer_ + used_, text.data(), text.size());
    used_ += text.size();
}

void KmlBuffer::Escaped(std::string_view text) {
    // Most texts need no escaping: copy them in one piece.
    if (text.find_first_of("&<>\"") == std::string_view::npos) {
        Text(text);
        return;
    }
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: continue;
        }
        Text(text.substr(start, i - start));
        Text(entity);
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
    const int32_t rest = seconds % 3600;
    TwoDigits(seconds / 3600);
    Char(':');
    TwoDigits(rest / 60);
    Char(':');
    TwoDigits(rest % 60);
}

void KmlBuffer::Flush() {
    if (used_ == 0) return;
    out_.Write(std::string_view(buffer_, used_));
    used_ = 0;
}

}  // namespace geoplait
