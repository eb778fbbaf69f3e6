// NMEA 0183 logs: one record per epoch, the group of sentences that starts at
// every line with the log's first sentence identifier.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/track_point.h"

namespace geoplait {

// The sentences the reader parses; every other line only counts for the
// epoch boundary.
enum class SentenceKind { Other, Gga, Rmc };

// An NMEA log as a source of records, one epoch at a time.
//
//   NmeaReader reader;
//   if (!reader.Open(path, firstId)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//
// Next parses the GGA and RMC lines of one epoch into the point (over what
// the caller left in it) and returns true at the line that opens the next
// epoch, which is parsed by the following call; after the last line it
// returns true once more (also for an empty log), then false. The epochs
// open at the log's first identifier `firstId` (see StartsEpoch). The reader
// keeps its file position and the line that opens the next epoch between
// calls; a pass that reads the log again opens it again.
// The date of the last "$xxZDA" sentence (hhmmss.ss,dd,mm,yyyy,...), which
// receivers that write no RMC send once a second: it dates the epochs after
// it that have no RMC date.
struct NmeaZdaDate {
    bool known = false;
    char date[7] = {};  // ddmmyy
    int32_t seconds = 0;  // its time of day
};

// The lines of one epoch as they stand, for a pass that copies the log
// instead of reading its records.
struct EpochLines {
    static constexpr size_t kMaxLines = 30;
    std::array<std::string, kMaxLines> lines;
    size_t count = 0;
    bool tooLong = false;  // the epoch had more lines: those past kMaxLines are left out
};

class NmeaReader {
public:
    bool Open(const std::string& path, std::string_view firstId);
    // The same with the log `opened` holds open, taken over where it stands
    // (a pipe whose first line was peeked at): `opened` is closed then.
    bool Open(TextReader& opened, std::string_view firstId);
    void Close() { input_.Close(); }
    bool Next(TrackPoint& point);
    // From now on Next gives each epoch as its lines in `lines` (each with its
    // "\n") instead of parsing it into the point; nullptr parses again.
    void KeepLines(EpochLines* lines) { kept_ = lines; }
    // True once the record Next gave last is the log's last one: its last
    // epoch comes with the end of the file.
    bool GaveLast() const { return ended_; }
    // Bytes of the input read up to the record last given, for progress.
    uint64_t BytesRead() const { return input_.BytesRead(); }

    // The fixes of the log from its first line: RMC sentences, or GGA in a
    // log without RMC. Reads the log to its end.
    int32_t CountFixes();

private:
    // The first identifier compared line after line: one of six characters,
    // as they all are in practice, as one number instead of a string.
    bool IsFirstId(std::string_view id) const;
    // Ready to read a log from its start, epochs opening at `firstId`.
    void Reset(std::string_view firstId);
    void Parse(std::string_view line, std::string_view id, SentenceKind kind, TrackPoint& point);
    // Parses the line, or keeps it when the lines are kept.
    void Take(std::string_view line, std::string_view id, SentenceKind kind, TrackPoint& point);
    // The end of an epoch: settled, or its lines handed over.
    void EndEpoch(TrackPoint& point);

    TextReader input_;
    std::string firstId_;
    uint64_t firstPacked_ = 0;
    SentenceKind firstKind_ = SentenceKind::Other;
    int64_t lineCount_ = 0;
    // The line that opens the next epoch, read but not yet parsed; it stays
    // valid in the text reader's buffer until the next read.
    std::string_view pending_;
    std::string_view pendingId_;
    SentenceKind pendingKind_ = SentenceKind::Other;
    bool hasPending_ = false;
    bool ended_ = true;
    NmeaZdaDate zda_;
    EpochLines* kept_ = nullptr;
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
// Whether a line with identifier `id` starts an epoch of a log that starts
// with `firstId`: the same identifier, or the same GGA/RMC of another talker.
bool StartsEpoch(std::string_view id, std::string_view firstId);

// Characters before the first ",", CR, LF or the end.
std::string_view SentenceIdOf(std::string_view line);

}  // namespace geoplait
