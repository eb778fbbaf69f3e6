// The XML outputs of a fuzz target: the GPX route and the KML placemarks and
// path that the program's writers make of the records a reader read, written
// to an anonymous memory file (an output named by its descriptor is written
// in place, as a run writes to /dev/stdout) and checked to be valid UTF-8 and
// well-formed XML whatever the input was.
#pragma once

#include <expat.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/record_filter.h"
#include "engine/run_context.h"
#include "job/kml_passes.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"
#include "kml/kml_path.h"
#include "kml/kml_placemark.h"
#include "writers/gpx_writer.h"
#include "writers/line_writer.h"

namespace geoplait {

inline void RequireXml(bool condition, const char* what, const std::string& detail = {}) {
    if (!condition) {
        std::fprintf(stderr, "broken output: %s %s\n", what, detail.c_str());
        std::abort();
    }
}

inline int XmlOutputDescriptor() {
    static const int fd = memfd_create("fuzz-output", 0);
    if (fd < 0) std::abort();
    return fd;
}

// The memory file, emptied: written in place through a copy of its
// descriptor (which shares the offset), it is neither truncated nor rewound.
inline const std::string& XmlOutputPath() {
    static const std::string path = "/proc/self/fd/" + std::to_string(XmlOutputDescriptor());
    if (ftruncate(XmlOutputDescriptor(), 0) != 0 || lseek(XmlOutputDescriptor(), 0, SEEK_SET) != 0) std::abort();
    return path;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    RequireXml(f != nullptr, "output not written", path);
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
    std::fclose(f);
    return bytes;
}

// Every byte sequence a well-formed UTF-8 encoder makes, and nothing else
// (no overlong forms, no surrogates, nothing beyond U+10FFFF).
inline bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (d & 0x3Fu);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// The file is valid UTF-8 and one well-formed XML document, as expat reads
// it (which refuses the characters XML forbids).
inline void RequireValidXmlFile(const std::string& path, const char* what) {
    std::string bytes = ReadWholeFile(path);
    RequireXml(IsValidUtf8(bytes), what, "is not valid UTF-8");
    XML_Parser parser = XML_ParserCreate(nullptr);
    RequireXml(parser != nullptr, "parser");
    const bool ok = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK;
    std::string error;
    if (!ok) {
        error = std::string("is not well-formed XML: line ") + std::to_string(XML_GetCurrentLineNumber(parser)) +
                ": " + XML_ErrorString(XML_GetErrorCode(parser));
        // The bytes around the fault, to tell which writer made them.
        const auto at = static_cast<size_t>(std::max<XML_Index>(XML_GetCurrentByteIndex(parser), 0));
        const size_t from = at > 80 ? at - 80 : 0;
        error += "\n...";
        for (const char c : std::string_view(bytes).substr(from, 160)) {
            const auto u = static_cast<unsigned char>(c);
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            error += u < 0x20 && c != '\n' ? std::string(escaped) : std::string(1, c);
        }
        error += "...";
    }
    XML_ParserFree(parser);
    RequireXml(ok, what, error);
}

// Settings that put every text of a record into the outputs.
inline void ShowEveryText(ConvertSettings& s) {
    s.Label_Tex = 1;
    s.Label_Description = 1;
    s.TimeStampPosition = 1;
}

// The GPX route of the records `read` hands over, as "-> gpx" writes it.
template <typename ReadRecords>
void CheckGpxOutput(RunContext& ctx, ReadRecords read) {
    const std::string& path = XmlOutputPath();
    {
        OutputFiles files;
        TextWriter out;
        out.Open(files, path, WriteMode::Create);
        RequireXml(out.IsOpen(), "GPX output not opened", path);
        LineOutput writer{LineWriterOptionsOf(ctx.Current(), ctx.settings.config), {}};
        WriteGpxHead(out, writer.options, ctx.Current().Name, true);
        read([&](RunContext& c) {
            NoteRecordRead(c);
            DeriveRecordValues(c);
            WriteGpxPoint(out, writer.options, c.point, {c.store.RecordIndex, c.store.WrittenCount},
                          writer.scratch);
            ++c.store.WrittenCount;
            ++c.store.RecordIndex;
        });
        WriteGpxTail(out, writer.options);
        RequireXml(out.Close() && files.Commit(), "GPX output not written", path);
    }
    RequireValidXmlFile(path, "GPX");
}

// The KML position placemarks and path of the records, as "-> kml" writes
// them: a point pass and a path pass, each reading the input again.
template <typename ReadRecords>
void CheckKmlOutput(RunContext& ctx, TrackSource source, std::string TrackPoint::*name, ReadRecords read) {
    const std::string& path = XmlOutputPath();
    {
        OutputFiles files;
        TextWriter out;
        out.Open(files, path, WriteMode::Create);
        RequireXml(out.IsOpen(), "KML output not opened", path);
        KmlBuffer buffer(out);
        buffer.Text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n");
        KmlRecordWriter writer{KmlRecordOptionsOf(ctx.Current(), ctx.settings.config, ctx.run), {}};
        ctx.store.RecordIndex = 0;
        ctx.store.WrittenCount = 0;
        OpenPointFolder(buffer);
        read([&](RunContext& c) {
            if (source == TrackSource::PotGpx) {
                TakeRangedPlacemark(buffer, c, writer, name != nullptr ? std::string_view(c.point.*name) : "");
            } else {
                TakeTrackRecord(buffer, c, writer, PathKind::Placemarks, source);
            }
        });
        ClosePointFolder(buffer);
        ctx.store.RecordIndex = 0;
        ctx.store.WrittenCount = 0;
        ctx.store.GapDistance = 0.0;
        ctx.store.SinceWrittenDistance = 9999999.0;
        ctx.store.GroupDate.clear();
        ctx.store.PreviousPoint.Clear();
        OpenPathFolder(buffer, SectionOf(ctx), PathKind::LineGroups);
        int32_t written = 0;
        read([&](RunContext& c) {
            if (source == TrackSource::PotGpx) {
                TakeGapRecord(buffer, c, writer, written);
            } else {
                TakeTrackRecord(buffer, c, writer, PathKind::LineGroups, source);
            }
        });
        ClosePathFolder(buffer, SectionOf(ctx), PathKind::LineGroups);
        buffer.Text("</Document>\n</kml>\n");
        buffer.Flush();
        RequireXml(out.Close() && files.Commit(), "KML output not written", path);
    }
    RequireValidXmlFile(path, "KML");
}

}  // namespace geoplait
