// GeoJSON texts: every string valid JSON and valid UTF-8 whatever the record held.
#include "writers/geojson_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace geoplait::test {
namespace {

TEST(GeoJsonWriter, StringsAreEscapedAndValidUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {"Walk \"A\" & B", "\"Walk \\\"A\\\" & B\""},
        {"a\\b/c", "\"a\\\\b/c\""},
        {"tab\there\r\n", "\"tab\\u0009here\\u000d\\u000a\""},
        {std::string("nul\0del\x7F", 8), "\"nul\\u0000del\\u007f\""},
        {"caf\xC3\xA9 \xE6\x9D\xB1\xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xE6\x9D\xB1\xF0\x9F\x98\x80\""},  // whole characters
        {"a\x80z", "\"a\xEF\xBF\xBDz\""},                            // stray continuation
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                // overlong
        {"end\xE6\x97", "\"end\xEF\xBF\xBD\xEF\xBF\xBD\""},          // cut at the end
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // surrogate
    };
    for (const auto& [text, json] : cases) {
        std::string out = "x";
        AppendJsonString(out, text);
        EXPECT_EQ(out, "x" + json) << text;
    }
}

}  // namespace
}  // namespace geoplait::test
