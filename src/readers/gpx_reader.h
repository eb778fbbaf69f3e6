// GPX 1.0 and 1.1 input: every wpt, rtept and trkpt is one record, in
// document order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/track_point.h"
#include "readers/xml_plain.h"
#include "readers/xml_stream.h"

namespace geoplait {

// How the points of a GPX document reach the reader: points in plain markup
// (xml_plain.h) by the reader's own scan, the parser kept from them, the rest
// through the parser; or every byte through the parser (to compare the two).
enum class GpxScan : uint8_t { kPlainPointsApart, kParserOnly };

// A GPX file as a source of records, read as XML in one streaming pass.
//
//   GpxReader reader;
//   if (!reader.Open(path)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//   if (!reader.Error().empty()) ... the document is broken after the last record
//
// Next fills only what the point holds (position and hemispheres always;
// altitude, UTC date and time, speed, course and satellites when present)
// and sets PointName to the point's name, empty when it has none; every other
// field keeps what the caller left in the record. The reader keeps its parse
// state between calls; a pass that reads the file again opens it again.
class GpxReader {
public:
    bool Open(const std::string& path, GpxScan scan = GpxScan::kPlainPointsApart);
    void Close() { xml_.Close(); }
    // The next point into `point`; false at the end of the document or where
    // it stops being well-formed.
    bool Next(TrackPoint& point);
    // Passes over the next point as Next would give it, without filling a
    // record: for counting. False where Next would be.
    bool Skip();
    const std::string& Error() const { return xml_.Error(); }
    // Bytes of the input read up to the end of the record last given, for
    // progress.
    uint64_t BytesRead() const { return bytesRead_; }
    // Points whose content the reader's own scan read (kPlainPointsApart).
    uint64_t PlainPointsRead() const { return plainPointsRead_; }
    // Those of them read along the shape of the point before.
    uint64_t ShapedPointsRead() const { return shapedPointsRead_; }

    // The bytes of a value or coordinate collected: more than any keeps
    // after tidying.
    static constexpr size_t kCollectBytes = 1024;

    // Next and Fill read the record's Values of the texts they fill, as
    // ReadRecordValues would, but for its speed (the track may yet give one).
    static constexpr bool kValuesRead = true;

    // The values of a point the reader takes, by element name.
    enum Value { kEle, kTime, kSpeed, kCourse, kSat, kName, kExtensionSpeed, kExtensionCourse, kValueCount };

    // The texts of one point as the document gives them, before they become
    // a record's values.
    struct PointTexts {
        std::string latitude;
        std::string longitude;
        std::array<std::string, kValueCount> values;
        std::array<bool, kValueCount> found{};
        // Whether a value may hold white space to tidy: always so of one the
        // parser gave.
        std::array<bool, kValueCount> spaced{};
        bool metresPerSecond = false;  // a <speed> of the point is in m/s (the document's layout)
        uint64_t bytesRead = 0;        // the input up to the point's end
        // The position read of latitude and longitude when the point is
        // given, with their hemisphere letters.
        RecordPosition position;
        char northSouth = 'N';
        char eastWest = 'E';
        // Also read then, on the thread that reads, with the values tidied:
        // each number value that is a plain decimal of at most its
        // characters (numberRead) and its number.
        std::array<bool, kValueCount> numberRead{};
        std::array<double, kValueCount> numbers{};
    };
    // Next in two steps, which may run on two threads: the texts of the next
    // point, its position read, null where Next would give false;
    // then the record made of them, as Next makes it (Fill needs nothing of
    // the reader, and may change the texts). The texts stay as they are while
    // the reader gives no more than the count of points last kept
    // (KeepTexts; none by default) after them.
    PointTexts* NextTexts();
    static void Fill(PointTexts& texts, TrackPoint& point);
    // Keeps the texts of the last `count` points given by NextTexts as they
    // are; texts given before the call are no longer kept.
    void KeepTexts(size_t count);

private:
    // Points read ahead of the one given: the parser is paused once per
    // kPointsAhead - 1 points instead of once per point. One slot stays
    // free for a point a call-back might still begin after the pause.
    static constexpr size_t kPointsAhead = 64;

    // What the start or end of an element is to the reader. kRoot: the
    // document's <gpx>; kPoint at a start: the element of a point, outside
    // any point (StartPoint tells whether it is one).
    enum class Began : uint8_t { kOther, kRoot, kPoint, kValue };
    enum class Ended : uint8_t { kOther, kPoint, kValue };
    // Where the reader stands in the elements, to go back to when plain
    // markup turns out not to be so after all.
    struct Place {
        int depth;
        int pointDepth;
        int valueDepth;
        int value;
        int extensionDepth;
        bool operator==(const Place&) const = default;
    };

    static void OnStart(void* user, const XML_Char* name, const XML_Char** attributes);
    static void OnEnd(void* user, const XML_Char* name);
    static void OnText(void* user, const XML_Char* text, int length);
    // The reader's part of each event, whether the parser or the plain scan
    // found it.
    // What an element is to the reader, by its local name; `value`: the
    // Value of a point's own kValue element.
    enum class Named : uint8_t { kOther, kGpx, kPoint, kExtension, kValue };
    struct Element {
        Named name;
        int value;
    };
    static Element ElementOf(std::string_view local);
    // The Value an element begins at `depth` within a point; -1 for none.
    int PointValueAt(Element element, int depth) const {
        if (element.name != Named::kValue) return -1;
        if (extensionDepth_ != 0 && depth == extensionDepth_ + 1) {
            // The speed and course of the extension.
            if (element.value == kSpeed) return kExtensionSpeed;
            if (element.value == kCourse) return kExtensionCourse;
            return -1;
        }
        return depth == pointDepth_ + 1 ? element.value : -1;
    }
    Began Begin(std::string_view name);
    bool StartPoint(std::string_view latitude, std::string_view longitude);
    Ended Finish();
    void Take(std::string_view text);
    // The whole text of the value just begun, at once.
    void TakeWhole(std::string_view text, bool spaced);
    // From the start of a point: the points in plain markup from here on,
    // read without the parser (gpx_plain_points.cpp).
    void ReadPlainPoints(const XML_Char* name);
    // A point's content up to its end tag: along the shape of the point
    // before where it has it, else token by token (ReadPlainContent), its
    // shape kept for the next.
    bool ReadPointContent(PlainTokens& tokens, PlainToken& token, std::string_view rawName);
    bool ReadPlainContent(PlainTokens& tokens, PlainToken& token);
    // The Value a whole element was taken as, -1 for none.
    inline int TakeElement(const PlainToken& element);
    static inline void TakeText(PointTexts& point, size_t value, std::string_view text, bool spaced);
    bool BeginPlainPoint(const PlainToken& token);
    // What is read of a point where it is given: its position and numbers
    // (Fill makes the record of them, on the other thread when there are
    // two).
    static void ReadAhead(PointTexts& texts);
    Place Here() const { return {depth_, pointDepth_, valueDepth_, value_, extensionDepth_}; }
    void GoBack(const Place& place);
    PointTexts& Slot(uint64_t n) { return points_[n & mask_]; }
    PointTexts& Reading() { return Slot(read_); }

    XmlStream xml_;
    GpxScan scan_ = GpxScan::kPlainPointsApart;
    int depth_ = 0;
    int pointDepth_ = 0;  // depth of the point being read; 0 between points
    int valueDepth_ = 0;  // depth of the value element being collected; 0 when none
    int value_ = -1;
    int extensionDepth_ = 0;  // depth of a Garmin TrackPointExtension of the point; 0 when none
    bool metresPerSecond_ = false;  // a document with a GPX namespace or version 1.0: <speed> in m/s
    // The points read and not yet given, and the last ones given whose texts
    // are kept: a ring of a power of two slots, point n in slot n & mask_.
    std::vector<PointTexts> points_ = std::vector<PointTexts>(kPointsAhead);
    uint64_t mask_ = kPointsAhead - 1;
    uint64_t read_ = 0;   // whole points read so far
    uint64_t given_ = 0;  // points given by Next so far
    uint64_t bytesRead_ = 0;
    uint64_t plainPointsRead_ = 0;
    uint64_t shapedPointsRead_ = 0;
    // The shape of the last point whose content was read token by token,
    // where the reader stood in its elements at its start and end, and the
    // raw name of its element.
    PlainShape shape_;
    Place shapeStart_{};
    Place shapeEnd_{};
    std::string shapeName_;
    std::array<PlainShapeText, PlainShape::kMaxTexts> shapeTexts_;  // the data of a point followed so
    PlainTagShape tagShape_;  // of the start tag of the last point whose tag was read token by token
    std::string latitude_;  // attribute values with their white space made blanks
    std::string longitude_;
    std::string text_;  // character data with its line breaks made LF
};

}  // namespace geoplait
