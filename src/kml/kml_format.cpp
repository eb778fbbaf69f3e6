// std::to_chars with a given precision formats exactly as printf's "%.Nf" in
// the C locale; the field width pads with blanks on the left as printf does.
#include "kml/kml_format.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace geoplait {

namespace {

// Room for "%.6f" of the largest double: 309 digits, sign, point, decimals.
constexpr size_t kFixedRoom = 400;

void WriteNumber(TextWriter& out, const char* begin, const char* end) {
    out.Write(std::string_view(begin, static_cast<size_t>(end - begin)));
}

}  // namespace

void WriteFixed(TextWriter& out, double value, int precision, int width) {
    char text[kFixedRoom];
    size_t n = 0;
    if (std::isnan(value)) {
        const std::string_view nan = std::signbit(value) ? "-nan" : "nan";
        nan.copy(text, nan.size());
        n = nan.size();
    } else {
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
        if (ec != std::errc()) return;
        n = static_cast<size_t>(end - text);
    }
    for (size_t pad = n; pad < static_cast<size_t>(width > 0 ? width : 0); ++pad) out.Put(' ');
    WriteNumber(out, text, text + n);
}

void WriteInt(TextWriter& out, int64_t value) {
    char text[24];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    (void)ec;
    WriteNumber(out, text, end);
}

void WriteTwoDigits(TextWriter& out, int64_t value) {
    if (value >= 0 && value < 10) out.Put('0');
    WriteInt(out, value);
}

void WriteDuration(TextWriter& out, int32_t seconds) {
    const int32_t rest = seconds % 3600;
    WriteTwoDigits(out, seconds / 3600);
    out.Put(':');
    WriteTwoDigits(out, rest / 60);
    out.Put(':');
    WriteTwoDigits(out, rest % 60);
}

}  // namespace geoplait
