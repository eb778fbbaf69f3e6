// Element content a reader has no use for, recognised without the parser so
// that the parser need not be given it (XmlStream::PassOverContent).
//
// Only plain markup is recognised: printable ASCII, tabs and line breaks;
// start, end and empty-element tags with names of letters, digits and
// "_:.-" and attributes in quotes (none twice in a tag); comments and CDATA
// sections. An entity or character reference, a processing instruction, a
// declaration, a byte outside ASCII or anything else is not plain: such
// content is left to the parser, which reads it and finds its faults. Plain
// content is well-formed as it stands, so passing over it changes nothing of
// what the document is.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace geoplait {

// The line breaks of plain content: its LF and CR bytes.
struct PlainLines {
    size_t lineFeeds = 0;
    size_t carriageReturns = 0;
};

// The bytes of an element's content in `text` (which starts right after its
// start tag) up to the end tag `</rawName>` that closes it, when all of it is
// plain markup, its elements nest no deeper than `depthRoom` levels, and none
// of them has a local name among `wanted`, with its line breaks in `lines`;
// std::string::npos otherwise (also when `text` ends first).
size_t PlainContentLength(std::string_view text, std::string_view rawName, int depthRoom,
                          std::span<const std::string_view> wanted, PlainLines& lines);

}  // namespace geoplait
