// One pass over the bytes of an NMEA sentence: its checksum and where its
// fields lie, found together, sixteen bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace geoplait {

// Field k (from 1) of a sentence is the text after its k-th "," up to the
// next ",", CR or LF, or the end of the text (a lone CR inside the text ends
// the field, not the sentence); the last field keeps its "*hh". A field whose
// "," lies beyond the first kFieldScanChars characters is absent, and so is
// every field after it.
inline constexpr size_t kFieldScanChars = 2048;

// What ScanSentence found.
struct SentenceScan {
    // The first fields of a sentence: GGA has 14, RMC 11, GLL its time in 5.
    static constexpr size_t kMaxFields = 15;
    size_t start[kMaxFields];  // field k lies at [start[k-1], end[k-1])
    size_t end[kMaxFields];
    size_t fields = 0;         // fields found (at most kMaxFields)
    bool cutAtLimit = false;   // a "," beyond kFieldScanChars ended the fields
    bool failsChecksum = false;

    // Field k of `text` (the scanned text); empty when absent.
    std::string_view Field(std::string_view text, size_t k) const {
        if (k == 0 || k > fields) return {};
        return text.substr(start[k - 1], end[k - 1] - start[k - 1]);
    }
};

// Scans `text`, a sentence from its "$": whether its "*hh" fails
// (FailsChecksum) and, with `wantFields`, its fields as far as kMaxFields.
// Without `wantFields` the scan ends at the "*".
void ScanSentence(std::string_view text, bool wantFields, SentenceScan& scan);

// Bytes of sixteen that are ",", "*", CR or LF, bit i for byte i.
struct ChunkMarks {
    uint32_t comma = 0;
    uint32_t star = 0;
    uint32_t lineEnd = 0;  // CR or LF
};
// The marks of the sixteen bytes at p, one byte at a time: what the vector
// instructions, where the machine has them, must give too.
ChunkMarks MarksOfBytes(const unsigned char* p);
// The same, with the vector instructions where the machine has them.
ChunkMarks MarksOfChunk(const unsigned char* p);

// Whether the byte at `pos` of `line` lies within the first kFieldScanChars
// characters (a valid UTF-8 sequence is one character, so is every byte that
// does not start one).
bool WithinFieldScan(std::string_view line, size_t pos);

}  // namespace geoplait
