// NMEA 0183 logs: one record per fix, the group of sentences that a receiver
// sends for one instant.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "readers/nmea_scan.h"

namespace geoplait {

// The sentences the reader tells apart: GGA and RMC are parsed; GLL and GNS
// carry a fix time and so open records too; the others only join a record.
enum class SentenceKind { Other, Gga, Rmc, Gll, Gns };

// A sentence as found on a line of a log: from its "$" to the end of the
// line (its "\n" included), whatever bytes stood before the "$".
struct NmeaSentence {
    std::string_view text;
    std::string_view id;  // "$GPGGA"
    SentenceKind kind = SentenceKind::Other;
};

// The sentence on `line`: at the first "$" that starts an identifier (three
// to nine capital letters or digits after it, then "," or "*" or the end).
// False when the line holds none (a blank line, a banner, binary bytes).
bool FindNmeaSentence(std::string_view line, NmeaSentence& sentence);

// A sentence whose "*hh" does not match the exclusive-or of its bytes between
// "$" and "*", or whose "*" is followed by anything but two hexadecimal
// digits and the line end. A sentence without "*" has nothing to check.
bool FailsChecksum(std::string_view text);

// Where the records of a log begin. A record is one fix: a sentence that
// carries a fix time (GGA, RMC, GLL, GNS) opens a new record when the record
// has a fix time and this one differs, or when the record already holds a
// sentence of its kind. Other sentences join the record they fall in.
//
// `time` is the sentence's fix time without the zeros that end its fraction
// (FixTimeOf): empty for a kind without one.
class NmeaEpochs {
public:
    // Whether a sentence of `kind` begins a new record (never the first sentence).
    bool Opens(SentenceKind kind, std::string_view time) const;
    // The sentence joins the current record.
    void Take(SentenceKind kind, std::string_view time);
    // A new record begins, empty.
    void Restart() {
        time_.clear();
        held_ = 0;
        any_ = false;
    }

private:
    std::string time_;  // the record's fix time, as its first fix sentence gave it
    unsigned held_ = 0;  // bit per SentenceKind held
    bool any_ = false;   // the record has a sentence
};

// The longest line of a log, in characters with its end. A sentence has at
// most 82; a longer line holds none, whatever its tail looks like, and is
// passed over whole (and counted), never read in pieces.
inline constexpr size_t kNmeaLineLimit = 4096;

// A line of a log as NmeaEpochLoop hands it on: the sentence found on it,
// from its "$" (`text` is the sentence's), or a line of text without one
// (`text` is the whole line).
struct NmeaLine {
    std::string_view text;
    NmeaSentence sentence;
    std::string_view time;  // the sentence's fix time (FixTimeOf)
    bool found = false;
};

// The fix time of a sentence of `kind` whose fields `scan` found (field 1 of
// GGA, RMC and GNS, 5 of GLL, up to ",", "*", CR or LF), without the zeros
// that end its fraction: "123519.00" and "123519" are the same instant.
// Empty for the other kinds.
std::string_view FixTimeOf(const NmeaSentence& sentence, const SentenceScan& scan);

// The one loop over the lines of a log, which the record reader and the
// pass-through share: it reads each line whole (a line over kNmeaLineLimit
// is passed over and counted), finds its sentence, leaves out a sentence
// whose checksum fails (counted) and a line of binary bytes without one (NUL
// padding, binary messages between sentences), and cuts the rest into epochs
// by NmeaEpochs.
//
//   NmeaEpochLoop loop;  // one per read of the log, from its start
//   do {
//       while (loop.NextLine(input, line)) { ...a line of the epoch... }
//       ...the epoch is whole (also the one empty epoch of an empty log)...
//   } while (!loop.Ended());
//
// A line handed on lies in the text reader's buffer: valid until the next
// call.
class NmeaEpochLoop {
public:
    // The next line of the current epoch. False at the epoch's end: then the
    // next call gives the first line of the next epoch, unless the log ended
    // (`line` holds no line then).
    bool NextLine(TextReader& input, NmeaLine& line);
    // The scan of the sentence of the line NextLine handed on last (its
    // fields for GGA, RMC, GLL and GNS), valid as long as the line.
    const SentenceScan& Scan() const { return scan_; }
    // The epoch that NextLine ended last is the log's last.
    bool Ended() const { return ended_; }
    // Sentences left out for a checksum that failed, and lines passed over
    // as longer than kNmeaLineLimit.
    int32_t BadChecksums() const { return badChecksums_; }
    int32_t LongLines() const { return longLines_; }

private:
    NmeaEpochs epochs_;
    // The line that opens the next epoch, read but not yet handed on.
    NmeaLine pending_;
    bool hasPending_ = false;
    bool ended_ = false;
    SentenceScan scan_;
    int32_t badChecksums_ = 0;
    int32_t longLines_ = 0;
};

// An NMEA log as a source of records, one fix at a time.
//
//   NmeaReader reader;
//   if (!reader.Open(path)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//
// Next parses the GGA and RMC sentences of one epoch (NmeaEpochLoop) into the
// point (over what the caller left in it) and returns true at its end; after
// the last epoch (an empty log has one, empty) it returns false. What the
// loop left out, Losses counts. The reader keeps its file position and the
// sentence that opens the next record between calls; a pass that reads the
// log again opens it again.
// The date of the last "$xxZDA" sentence (hhmmss.ss,dd,mm,yyyy,...), which
// receivers that write no RMC send once a second: it dates the epochs after
// it that have no RMC date.
struct NmeaZdaDate {
    bool known = false;
    char date[7] = {};  // ddmmyy
    int32_t seconds = 0;  // its time of day
};

class NmeaReader {
public:
    bool Open(const std::string& path);
    // The same with the log `opened` holds open, taken over where it stands
    // (a pipe whose first lines were peeked at): `opened` is closed then.
    bool Open(TextReader& opened);
    void Close() { input_.Close(); }
    bool Next(TrackPoint& point);
    // True once the record Next gave last is the log's last one: its last
    // epoch comes with the end of the file.
    bool GaveLast() const { return ended_; }
    // Bytes of the input read up to the record last given, for progress.
    uint64_t BytesRead() const { return input_.BytesRead(); }

    // The fixes of the log from its first line, as the epoch loop reads it
    // (one read): RMC sentences, or GGA in a log without RMC, whose checksums
    // hold. Reads the log to its end.
    int32_t CountFixes();
    // Sentences and lines left out so far in this pass (NmeaEpochLoop), and
    // altitudes left unknown as they were no number.
    InputLosses Losses() const {
        InputLosses losses;
        losses.BadChecksums = loop_.BadChecksums();
        losses.UnknownValues = unknownValues_;
        losses.LongLines = loop_.LongLines();
        return losses;
    }

private:
    // Ready to read a log from its start.
    void Reset();
    void Parse(const NmeaSentence& sentence, TrackPoint& point);
    // The kind of the epoch's last GGA or RMC sentence: the side of the
    // record it fills from the other at the epoch's end.
    SentenceKind lastFix_ = SentenceKind::Other;

    TextReader input_;
    NmeaEpochLoop loop_;
    int32_t unknownValues_ = 0;  // GGA altitudes that were no number
    bool ended_ = true;
    NmeaZdaDate zda_;
};

// Parse the line when it is a GGA / RMC sentence of a known talker
// ("$GPGGA", "$GNGGA", ...).
void ParseGga(std::string_view line, TrackPoint& point);
void ParseRmc(std::string_view line, TrackPoint& point);

// The talkers whose sentences are read: GP (GPS) and those of the receivers
// that combine systems: GN (several), GL (GLONASS), GA (Galileo), GB and BD
// (BeiDou), GQ (QZSS).
bool IsKnownTalker(std::string_view talker);
// "$ttGGA" / "$ttRMC" of a known talker tt.
bool IsGgaId(std::string_view id);
bool IsRmcId(std::string_view id);

// Characters before the first ",", CR, LF or the end.
std::string_view SentenceIdOf(std::string_view line);

}  // namespace geoplait
