// Fuzz target for the settings-file grammar: the bytes are taken as the lines
// of a settings file and applied to the defaults; the file written from the
// result must read back to the very same file (nothing a reader accepts may be
// written in a form it reads differently).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "settings/convert_settings.h"
#include "settings/settings_file.h"

namespace {

using namespace geoplait;

void ApplyLines(Settings& settings, std::string_view text) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        ApplySettingsLine(settings, line, LoadPass::AllKeys);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::string WrittenText(const uint8_t* data, size_t size) {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyLines(settings, std::string_view(reinterpret_cast<const char*>(data), size));
    ApplyBaselineSettings(settings);
    struct tm when {};
    when.tm_year = 124;
    when.tm_mday = 1;
    return SettingsFileText(settings, when);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string first = WrittenText(data, size);
    const std::string second =
        WrittenText(reinterpret_cast<const uint8_t*>(first.data()), first.size());
    if (first != second) {
        std::fprintf(stderr, "settings file does not read back as written\n");
        std::abort();
    }
    return 0;
}
