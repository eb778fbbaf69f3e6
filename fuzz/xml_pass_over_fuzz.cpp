// Fuzz target for passing over element content without the parser: the bytes
// are read as an XML document twice, once by the parser alone and once with
// the content of each element named "P" (and of the plain siblings after
// it) kept from the parser where it is plain markup. Both reads must end
// with the same error, at the same line and column, and every element event
// of the second read must be one of the first, in the same order, at the
// same depth and byte count: passing over leaves out events, it never makes
// or moves one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "readers/xml_stream.h"
#include "memory_file.h"

namespace {

using namespace geoplait;

constexpr std::string_view kWanted[] = {"LineString", "Track"};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

struct Read {
    XmlStream xml;
    bool passOver = false;
    bool siblings = false;
    int depth = 0;
    std::vector<std::string> events;

    static void OnStart(void* user, const XML_Char* name, const XML_Char**) {
        auto& r = *static_cast<Read*>(user);
        ++r.depth;
        r.events.push_back("<" + std::string(name) + " " + std::to_string(r.depth) + " " +
                           std::to_string(r.xml.BytesThroughEvent()));
        if (r.passOver && std::string_view(name) == "P") r.xml.PassOverContent(name, kWanted, r.siblings);
    }
    static void OnEnd(void* user, const XML_Char* name) {
        auto& r = *static_cast<Read*>(user);
        r.events.push_back("</" + std::string(name) + " " + std::to_string(r.depth) + " " +
                           std::to_string(r.xml.BytesThroughEvent()));
        --r.depth;
    }
    static void OnText(void*, const XML_Char*, int) {}

    void Run(const std::string& path) {
        Require(xml.Open(path, this, {&Read::OnStart, &Read::OnEnd, &Read::OnText}), "open");
        if (passOver) xml.EndPiecesAtStartTags("P");
        while (xml.Run()) {
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses whether runs of siblings are passed over too.
    const bool siblings = data[0] % 2 == 0;
    const std::string& path = WriteMemoryFile(data + 1, size - 1);
    Read whole;
    whole.Run(path);
    Read over;
    over.passOver = true;
    over.siblings = siblings;
    over.Run(path);
    if (over.xml.Error() != whole.xml.Error()) {
        std::fprintf(stderr, "parser alone: %s\npassing over: %s\n", whole.xml.Error().c_str(), over.xml.Error().c_str());
        Require(false, "the same error either way");
    }
    Require(over.xml.BytesRead() == whole.xml.BytesRead(), "the same bytes read either way");
    size_t at = 0;
    for (const std::string& event : over.events) {
        while (at < whole.events.size() && whole.events[at] != event) ++at;
        Require(at < whole.events.size(), "an event the parser alone does not report");
        ++at;
    }
    return 0;
}
