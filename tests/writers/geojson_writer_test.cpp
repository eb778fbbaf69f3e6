// GeoJSON texts: every string valid JSON and valid UTF-8 whatever the record held.
#include "writers/geojson_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/record_position.h"
#include "support/temp_dir.h"

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

// The writer is handed the record and its options alone: a record without
// hemisphere letters stands where the default hemispheres decoded at the
// start put it, one with letters where they say; each point is numbered
// from its record index.
TEST(GeoJsonWriter, PointsWithoutLettersStandInTheDefaultHemispheres) {
    TempDir dir;
    ConvertSettings s;
    s.OutputFile = dir.File("out.geojson");
    ConfigSettings config;
    config.LatitudeNS = "S";
    config.LongitudeWE = "E";
    OutputFiles files;
    {
        TextWriter out;
        ASSERT_TRUE(out.Open(files, s.OutputFile, WriteMode::Plain));
        GeoJsonWriter geojson;
        ASSERT_TRUE(geojson.Begin(out, files, GeoJsonOptionsOf(s, config, true)));
        TrackPoint p;
        SetPositionTexts(p, "13945.0000", "3530.0000");
        p.GgaAltitude = "10";
        geojson.Add(out, p, 4, false);
        p.RmcNS = "N";
        p.RmcEW = "W";
        geojson.Add(out, p, 5, false);
        geojson.End(out, 0);
        ASSERT_TRUE(out.Close());
    }
    ASSERT_TRUE(files.Commit());
    const std::string json = ReadFileBytes(s.OutputFile);
    const std::string properties = "]},\"properties\":{\"name\":\"\",\"time\":null,\"no\":";
    const size_t first = json.find("\"coordinates\":[139.750000,-35.500000,10" + properties + "5,");
    const size_t second = json.find("\"coordinates\":[-139.750000,35.500000,10" + properties + "6,");
    EXPECT_NE(first, std::string::npos) << json;
    EXPECT_NE(second, std::string::npos) << json;
    EXPECT_LT(first, second);
}

}  // namespace
}  // namespace geoplait::test
