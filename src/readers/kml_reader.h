// KML input: the coordinate tuples of LineString elements and tracks (Line
// variant) or of Point elements (Point variant), one record per tuple.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/track_point.h"
#include "geo/time_zone.h"
#include "settings/convert_settings.h"
#include "readers/xml_stream.h"

namespace geoplait {

struct KmlVariant {
    bool line = true;  // LineString and gx:Track coordinates; false: Point coordinates
    // For CSV Custom output: the placemark's names go to PointName and stay
    // for each of its tuples, the record gets no NMEA defaults, and the Line
    // variant reads no time stamps. Otherwise the names go to ExtendData of the
    // first tuple after them, and every record starts with the NMEA defaults.
    bool toCsvCustom = false;
};

// The `when` texts of one gx:Track after another: a second pass over the same
// file, moved along with the reader, so that a track's times pair with its
// coordinates without being held in memory.
class KmlWhenCursor {
public:
    bool Open(const std::string& path);
    void Close() { xml_.Close(); }
    bool IsOpen() const { return xml_.IsOpen(); }
    // Moves to the start of the document's track number `track` (from 1);
    // false when there is no such track.
    bool Seek(int64_t track);
    // The current track's next `when` text; false after its last.
    bool Next(std::string& when);

private:
    static void OnStart(void* user, const XML_Char* name, const XML_Char** attributes);
    static void OnEnd(void* user, const XML_Char* name);
    static void OnText(void* user, const XML_Char* text, int length);

    XmlStream xml_;
    int depth_ = 0;
    int64_t count_ = 0;   // tracks begun so far
    int64_t target_ = 0;  // the track Seek looks for
    int trackDepth_ = 0;  // depth of the target track while inside it
    int whenDepth_ = 0;
    bool trackFound_ = false;
    bool whenReady_ = false;
    std::string text_;
};

// The `when` texts of the latest gx:Track that its coordinates have not taken
// yet, collected as the document is read, for an input that can be read only
// once (a pipe), where no second cursor can go over it. In memory up to
// kHoldBytes, the rest in an anonymous temporary file: memory stays flat
// whatever a track holds.
class WhenQueue {
public:
    WhenQueue() = default;
    ~WhenQueue() { Close(); }
    WhenQueue(const WhenQueue&) = delete;
    WhenQueue& operator=(const WhenQueue&) = delete;

    // Empties the queue (a new track begins).
    void Clear();
    void Push(std::string_view when);
    // The oldest text not yet taken; false when there is none (or the file
    // failed: the coordinates go on without times).
    bool Pop(std::string& when);
    void Close();

private:
    std::string memory_;  // texts, each ended by a NUL (XML text holds none)
    size_t memoryPos_ = 0;
    std::FILE* file_ = nullptr;  // the texts after memory_, in order
    uint64_t written_ = 0;
    uint64_t read_ = 0;
};

// Coordinates text set aside in an anonymous temporary file, written while
// a placemark is held and read back once it can be dated, in order.
class HeldSpool {
public:
    HeldSpool() = default;
    ~HeldSpool() { Close(); }
    HeldSpool(const HeldSpool&) = delete;
    HeldSpool& operator=(const HeldSpool&) = delete;

    // Appends text; the number of bytes written (short when the file cannot
    // be made or the disk is full).
    size_t Append(std::string_view text);
    // Appends up to `bytes` of what was written and not yet read to `out`;
    // false when all has been read (the file is then emptied for reuse).
    bool ReadBack(std::string& out, size_t bytes);
    bool Empty() const { return written_ == read_; }
    void Close();

private:
    std::FILE* file_ = nullptr;
    uint64_t written_ = 0;
    uint64_t read_ = 0;
    bool reading_ = false;
};

// A KML file as a source of records, read as XML in one streaming pass.
//
//   KmlReader reader;
//   if (!reader.Open(path, {.line = true, .toCsvCustom = false}, settings, clock)) ...
//   while (reader.Next(point)) { ...write point..., ClearTrackPoint }
//   if (!reader.Error().empty()) ... the document is broken after the last record
//   droppedTuples += reader.Dropped();
//
// Each tuple fills the position with its hemisphere letters, the altitude
// (empty for a two-value tuple), the placemark's names (see KmlVariant) and,
// when the placemark has a time stamp, the UTC date and time (a time stamp
// without a zone is local time, `clock` from UTC); a placemark
// without one leaves the date and time as the caller left them (unknown).
// Outside CSV Custom output every record starts with the NMEA defaults of
// `defaults` (kept by reference: they must outlive the reading).
// In the Line variant a time stamp written after the geometry (as this
// program, Google Earth, gpsbabel and GDAL write their paths) dates the
// placemark's tuples too: the tuples of a placemark not yet dated are held
// until it ends or its time stamp comes. Memory stays flat whatever a path
// holds: beyond kHoldBytes the held coordinates text goes on in a temporary
// file (HeldSpool), read back in blocks, and what a placemark held is freed
// when it has been taken.
// A tuple that is not two or three numbers is dropped and counted (Dropped);
// a tuple equal to the one before is skipped. The reader keeps, between calls,
// its parse state, the current placemark's names and time, and the previous
// tuple; a pass that reads the file again opens it again, which resets all of it.
// From a pipe, which cannot be read twice, a track's whens are collected as
// they come (a track gives them before its coordinates).
class KmlReader {
public:
    bool Open(const std::string& path, KmlVariant variant, const ConvertSettings& defaults,
              const LocalClock& clock);
    void Close();
    // The next tuple into `point`; false at the end of the document or where
    // it stops being well-formed.
    bool Next(TrackPoint& point);
    const std::string& Error() const { return xml_.Error(); }
    // Bytes of the input read up to the record last given, for progress.
    uint64_t BytesRead() const { return xml_.BytesRead(); }
    // Tuples dropped since Open because they were not two or three numbers.
    int32_t Dropped() const { return dropped_; }

private:
    static void OnStart(void* user, const XML_Char* name, const XML_Char** attributes);
    static void OnEnd(void* user, const XML_Char* name);
    static void OnText(void* user, const XML_Char* text, int length);
    void CollectWhileInValue();
    void PassOverUnusedPlacemark(const XML_Char* name);
    void TakeWhen();
    bool Holding() const;
    void SpoolHeld();
    void BeginUnspool();
    void ContinueUnspool();
    bool TakeTuple(std::string_view& tuple);
    bool FillTuple(TrackPoint& p, std::string_view tuple, bool fromTrack, bool held);
    bool FillTrackCoord(TrackPoint& p);

    KmlVariant variant_;
    const ConvertSettings* defaults_ = nullptr;
    int32_t dropped_ = 0;
    bool readTimes_ = true;
    std::string path_;
    XmlStream xml_;
    LocalClock clock_;  // for time stamps without a zone

    int depth_ = 0;
    int placemarkDepth_ = 0;
    int nameDepth_ = 0;
    int timeStampDepth_ = 0;
    int whenDepth_ = 0;
    int geometryDepth_ = 0;     // the LineString or Point of the variant
    int coordinatesDepth_ = 0;
    int trackDepth_ = 0;
    int coordDepth_ = 0;        // a gx:coord of the track
    std::string text_;          // the name or when being collected

    // What a placemark gives each of its tuples: its names and time stamp.
    struct PlacemarkStamp {
        std::string names;
        bool timed = false;
        std::string date;  // UTC ddmmyy
        std::string time;  // UTC hhmmss
        void Clear() {
            names.clear();
            timed = false;
        }
    };
    PlacemarkStamp current_;  // the placemark being read

    // Coordinates text not yet taken: tuples separated by white space, a NUL
    // after the end of each coordinates element.
    std::string pending_;
    size_t pendingPos_ = 0;
    size_t tokenBytes_ = 0;  // bytes of the last tuple in pending_ so far

    int64_t trackCount_ = 0;  // gx:Track elements begun in the document
    std::string coordText_;
    bool coordReady_ = false;
    KmlWhenCursor whens_;
    int64_t whensTrack_ = 0;  // the track the cursor stands in
    std::string when_;
    // An input read once (a pipe) pairs its coordinates with the whens of
    // the latest track collected on the way instead (WhenQueue).
    bool readOnce_ = false;
    WhenQueue trackWhens_;
    int latestTrackDepth_ = 0;  // of the latest gx:Track begun, while inside it
    int trackWhenDepth_ = 0;
    std::string trackWhen_;

    // Tuples of pending_ before heldEnd_ belong to a placemark that has
    // ended; its stamp is kept in held_ until they are taken.
    size_t heldEnd_ = 0;
    PlacemarkStamp held_;
    bool ended_ = false;  // the parser has read all it can

    // Held text beyond kHoldBytes, older than all of pending_. Once the
    // placemark can be dated it is read back through pending_, while the
    // text that came after it waits in after_ (heldEnd_ in afterHeldEnd_).
    HeldSpool spool_;
    bool spoolHeld_ = false;  // the spooled text belongs to held_ (its placemark ended)
    bool unspooling_ = false;
    bool holdGivenUp_ = false;  // no room to spool: this placemark's tuples go on undated
    std::string after_;
    size_t afterHeldEnd_ = 0;

    std::string previousTuple_;
    std::string tuple_;  // the tuple being read, filtered
};

}  // namespace geoplait
