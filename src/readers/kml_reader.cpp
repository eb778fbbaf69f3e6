// KML reader, Line and Point variants.
//
//   <Placemark>
//     <name>..</name>                          (several are joined, each as "<name>")
//     <TimeStamp><when>..</when></TimeStamp>
//     <LineString|Point><coordinates>lon,lat[,alt] lon,lat[,alt] ..</coordinates></..>
//     <MultiGeometry> .. LineStrings or Points .. </MultiGeometry>
//     <gx:Track><when>..</when>.. <gx:coord>lon lat alt</gx:coord>..</gx:Track>
//   </Placemark>
//
// Coordinates are split into tuples at white space, whatever the line layout
// (Google Earth writes a whole line on one line, this program one tuple a
// line); white space next to a comma does not split. Each tuple must be two
// or three numbers (signed decimals with an optional exponent, the longitude
// within 180 and the latitude within 90 degrees), else it is dropped and
// counted in OmitCount; an altitude that is no number is no altitude. A
// tuple equal to the one before it is skipped: in the Line variant across the
// whole file (a line that goes on where the last ended), in the Point variant
// within one coordinates element.
// A signed position gives the unsigned value and the letter S or W on both
// sides. Time stamps: "Z" is UTC, an offset is brought to UTC, a time with
// neither is local time of the TimeDifference setting; fractions of a second
// are dropped. Tracks pair each gx:coord with its when in order, the whens
// read by a second cursor over the file (from a pipe: collected as they come);
// an empty gx:coord is skipped.
// Element names are compared without their namespace prefix.
#include "readers/kml_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <unistd.h>

#include "base/text_file.h"
#include "geo/coordinates.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kTupleBytes = 4096;     // a longer tuple is not numbers
constexpr size_t kPendingBytes = 65536;  // a tuple joined at commas no longer than this
constexpr size_t kNamesBytes = 65536;
constexpr size_t kTextBytes = 4096;
constexpr size_t kValueChars = 31;
constexpr size_t kHoldBytes = 1 << 20;  // coordinates text held in memory for a later time stamp
constexpr size_t kSpoolBlock = 1 << 18;  // held text read back from the spool at a time
constexpr size_t kKeptCapacity = 4 * kPendingBytes;  // pending_ shrinks back to this when drained

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

// ---- The spool of held text ----

size_t HeldSpool::Append(std::string_view text) {
    if (reading_ || text.empty()) return 0;
    if (file_ == nullptr) {
        file_ = std::tmpfile();
        if (file_ == nullptr) return 0;
        // Written in large pieces anyway: unbuffered, a full disk shows in
        // the count written, not later at a flush.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    if (written_ == 0 && std::fseek(file_, 0, SEEK_SET) != 0) return 0;
    const size_t n = std::fwrite(text.data(), 1, text.size(), file_);
    written_ += n;
    return n;
}

bool HeldSpool::ReadBack(std::string& out, size_t bytes) {
    size_t got = 0;
    if (file_ != nullptr && read_ < written_) {
        if (!reading_) {
            reading_ = std::fseek(file_, 0, SEEK_SET) == 0;
        }
        if (reading_) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(bytes, written_ - read_));
            const size_t old = out.size();
            out.resize(old + want);
            got = std::fread(out.data() + old, 1, want, file_);
            out.resize(old + got);
            read_ += got;
        }
    }
    if (got == 0 || read_ >= written_) {
        // All read (or the file failed): empty for the next placemark.
        written_ = read_ = 0;
        reading_ = false;
    }
    return got > 0;
}

void HeldSpool::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    written_ = read_ = 0;
    reading_ = false;
}

// ---- The whens of a track read once ----

void WhenQueue::Clear() {
    memory_.clear();
    memoryPos_ = 0;
    written_ = read_ = 0;
}

void WhenQueue::Push(std::string_view when) {
    // Once texts wait in the file, the newer ones follow them there.
    if (read_ == written_ && memory_.size() - memoryPos_ + when.size() < kHoldBytes) {
        // What was taken goes once it is half of what is held.
        if (memoryPos_ > 0 && memoryPos_ >= memory_.size() / 2) {
            memory_.erase(0, memoryPos_);
            memoryPos_ = 0;
        }
        memory_.append(when);
        memory_.push_back('\0');
        return;
    }
    if (file_ == nullptr && (file_ = std::tmpfile()) == nullptr) return;
    std::string text(when);
    text.push_back('\0');
    const int fd = fileno(file_);
    if (pwrite(fd, text.data(), text.size(), static_cast<off_t>(written_)) == static_cast<ssize_t>(text.size())) {
        written_ += text.size();
    }
}

bool WhenQueue::Pop(std::string& when) {
    if (memoryPos_ == memory_.size() && read_ < written_) {
        // The next block of the file, whole texts only.
        memory_.resize(static_cast<size_t>(std::min<uint64_t>(kSpoolBlock, written_ - read_)));
        const ssize_t got = pread(fileno(file_), memory_.data(), memory_.size(), static_cast<off_t>(read_));
        const size_t end = got > 0 ? memory_.rfind('\0', static_cast<size_t>(got) - 1) : std::string::npos;
        if (end == std::string::npos) {
            Clear();
            return false;
        }
        memory_.resize(end + 1);
        memoryPos_ = 0;
        read_ += end + 1;
    }
    if (memoryPos_ == memory_.size()) return false;
    const size_t end = memory_.find('\0', memoryPos_);
    when.assign(memory_, memoryPos_, end - memoryPos_);
    memoryPos_ = end + 1;
    return true;
}

void WhenQueue::Close() {
    Clear();
    memory_.shrink_to_fit();
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

// ---- The when cursor ----

bool KmlWhenCursor::Open(const std::string& path) {
    depth_ = 0;
    count_ = 0;
    target_ = 0;
    trackDepth_ = 0;
    whenDepth_ = 0;
    trackFound_ = false;
    whenReady_ = false;
    if (!xml_.Open(path, this, {&OnStart, &OnEnd, &OnText})) return false;
    // Placemarks without a track (the points beside it) are passed over.
    xml_.EndPiecesAtStartTags("Placemark");
    return true;
}

void KmlWhenCursor::OnStart(void* user, const XML_Char* name, const XML_Char**) {
    auto& c = *static_cast<KmlWhenCursor*>(user);
    ++c.depth_;
    const std::string_view local = LocalName(name);
    if (local == "Placemark") {
        // With the placemarks like it that follow (nothing here counts them).
        constexpr std::string_view wanted[] = {"Track"};
        if (c.trackDepth_ == 0) c.xml_.PassOverContent(name, wanted, true);
    } else if (local == "Track") {
        if (++c.count_ == c.target_ && c.trackDepth_ == 0) {
            c.trackDepth_ = c.depth_;
            c.trackFound_ = true;
            c.xml_.Pause();
        }
    } else if (c.trackDepth_ != 0 && c.depth_ == c.trackDepth_ + 1 && local == "when") {
        c.whenDepth_ = c.depth_;
        c.text_.clear();
        c.xml_.CollectText(true);
    }
}

void KmlWhenCursor::OnEnd(void* user, const XML_Char*) {
    auto& c = *static_cast<KmlWhenCursor*>(user);
    if (c.depth_ == c.whenDepth_) {
        c.whenDepth_ = 0;
        c.xml_.CollectText(false);
        c.whenReady_ = true;
        c.xml_.Pause();
    } else if (c.depth_ == c.trackDepth_) {
        c.trackDepth_ = 0;
        c.xml_.Pause();
    }
    --c.depth_;
}

void KmlWhenCursor::OnText(void* user, const XML_Char* text, int length) {
    auto& c = *static_cast<KmlWhenCursor*>(user);
    if (c.whenDepth_ != 0 && c.depth_ == c.whenDepth_) AppendCapped(c.text_, text, length, kTextBytes);
}

bool KmlWhenCursor::Seek(int64_t track) {
    target_ = track;
    trackDepth_ = 0;
    whenDepth_ = 0;
    trackFound_ = false;
    while (!trackFound_) {
        if (count_ >= track || !xml_.Run()) return false;
    }
    whenReady_ = false;
    return true;
}

bool KmlWhenCursor::Next(std::string& when) {
    for (;;) {
        if (whenReady_) {
            whenReady_ = false;
            when.assign(text_);
            return true;
        }
        if (trackDepth_ == 0 || !xml_.Run()) return false;
    }
}

// ---- The reader ----

bool KmlReader::Open(const std::string& path, KmlVariant variant, const ConvertSettings& defaults,
                     const LocalClock& clock) {
    Close();
    variant_ = variant;
    defaults_ = &defaults;
    clock_ = clock;
    dropped_ = 0;
    readTimes_ = !(variant.line && variant.toCsvCustom);
    path_ = path;
    depth_ = placemarkDepth_ = nameDepth_ = timeStampDepth_ = whenDepth_ = 0;
    geometryDepth_ = coordinatesDepth_ = trackDepth_ = coordDepth_ = 0;
    current_.Clear();
    pending_.clear();
    pendingPos_ = 0;
    tokenBytes_ = 0;
    heldEnd_ = 0;
    held_.Clear();
    ended_ = false;
    spool_.Close();
    spoolHeld_ = false;
    unspooling_ = false;
    holdGivenUp_ = false;
    after_.clear();
    afterHeldEnd_ = 0;
    trackCount_ = 0;
    coordReady_ = false;
    whensTrack_ = 0;
    readOnce_ = IsPipe(path);
    trackWhens_.Clear();
    latestTrackDepth_ = trackWhenDepth_ = 0;
    previousTuple_.clear();
    if (!xml_.Open(path, this, {&OnStart, &OnEnd, &OnText})) return false;
    // A path's placemarks stand among many that hold no line (the points of
    // the same track): the parser is kept from their content.
    if (variant.line) xml_.EndPiecesAtStartTags("Placemark");
    return true;
}

void KmlReader::Close() {
    xml_.Close();
    whens_.Close();
    trackWhens_.Close();
    spool_.Close();
}

void KmlReader::OnStart(void* user, const XML_Char* name, const XML_Char**) {
    auto& r = *static_cast<KmlReader*>(user);
    const int depth = ++r.depth_;
    const std::string_view local = LocalName(name);
    if (local == "Placemark") {
        if (r.placemarkDepth_ != 0) return;
        r.placemarkDepth_ = depth;
        r.current_.Clear();
        r.holdGivenUp_ = false;
        r.PassOverUnusedPlacemark(name);
    } else if (local == "name") {
        if (r.placemarkDepth_ == 0 || depth != r.placemarkDepth_ + 1) return;
        r.nameDepth_ = depth;
        r.text_.clear();
    } else if (local == "TimeStamp") {
        if (r.placemarkDepth_ != 0 && depth == r.placemarkDepth_ + 1) r.timeStampDepth_ = depth;
    } else if (local == "when") {
        if (r.latestTrackDepth_ != 0 && depth == r.latestTrackDepth_ + 1) {
            r.trackWhenDepth_ = depth;
            r.trackWhen_.clear();
        } else {
            if (r.timeStampDepth_ == 0 || depth != r.timeStampDepth_ + 1 || !r.readTimes_) return;
            r.whenDepth_ = depth;
            r.text_.clear();
        }
    } else if (local == (r.variant_.line ? "LineString" : "Point")) {
        if (r.geometryDepth_ == 0) r.geometryDepth_ = depth;
    } else if (local == "coordinates") {
        if (r.geometryDepth_ != 0 && depth == r.geometryDepth_ + 1) r.coordinatesDepth_ = depth;
    } else if (local == "Track") {
        ++r.trackCount_;
        if (r.readOnce_ && r.readTimes_) {
            // The coordinates from here on pair with this track's whens only.
            r.trackWhens_.Clear();
            r.latestTrackDepth_ = depth;
        }
        if (r.variant_.line && r.trackDepth_ == 0) r.trackDepth_ = depth;
    } else if (local == "coord") {
        if (r.trackDepth_ == 0 || depth != r.trackDepth_ + 1) return;
        r.coordDepth_ = depth;
        r.coordText_.clear();
    }
    r.CollectWhileInValue();
}

void KmlReader::OnEnd(void* user, const XML_Char*) {
    auto& r = *static_cast<KmlReader*>(user);
    const int depth = r.depth_--;
    if (depth == r.latestTrackDepth_) r.latestTrackDepth_ = 0;
    if (depth == r.nameDepth_) {
        r.nameDepth_ = 0;
        TidyText(r.text_);
        std::string& names = r.current_.names;
        if (names.size() < kNamesBytes) {
            names.push_back('<');
            names.append(r.text_);
            names.push_back('>');
        }
    } else if (depth == r.whenDepth_) {
        r.whenDepth_ = 0;
        r.TakeWhen();
    } else if (depth == r.timeStampDepth_) {
        r.timeStampDepth_ = 0;
    } else if (depth == r.coordinatesDepth_) {
        r.coordinatesDepth_ = 0;
        r.pending_.push_back('\0');
        r.tokenBytes_ = 0;
        r.xml_.Pause();
    } else if (depth == r.geometryDepth_) {
        r.geometryDepth_ = 0;
    } else if (depth == r.coordDepth_) {
        r.coordDepth_ = 0;
        r.coordReady_ = true;
        r.xml_.Pause();
    } else if (depth == r.trackWhenDepth_) {
        r.trackWhenDepth_ = 0;
        r.trackWhens_.Push(r.trackWhen_);
    } else if (depth == r.trackDepth_) {
        r.trackDepth_ = 0;
    } else if (depth == r.placemarkDepth_) {
        // What a placemark holds ends with it; tuples of it not yet taken
        // keep its names and time.
        if (r.pendingPos_ < r.pending_.size() || !r.spool_.Empty()) {
            r.spoolHeld_ = !r.spool_.Empty();
            r.heldEnd_ = r.pending_.size();
            std::swap(r.held_, r.current_);
            r.xml_.Pause();
        }
        r.placemarkDepth_ = 0;
        r.current_.Clear();
    }
    r.CollectWhileInValue();
}

void KmlReader::OnText(void* user, const XML_Char* text, int length) {
    auto& r = *static_cast<KmlReader*>(user);
    const int depth = r.depth_;
    if (depth == r.coordinatesDepth_ && depth != 0) {
        // Tuples pile up until the reader takes them; one without white space
        // stops growing at kTupleBytes (and is then dropped as not numbers).
        bool boundary = false;
        for (int i = 0; i < length;) {
            if (IsSpace(text[i])) {
                r.tokenBytes_ = 0;
                boundary = true;
                r.pending_.push_back(text[i++]);
                continue;
            }
            int end = i + 1;
            while (end < length && !IsSpace(text[end])) ++end;
            const size_t keep = std::min(static_cast<size_t>(end - i), kTupleBytes - r.tokenBytes_);
            r.pending_.append(text + i, keep);
            r.tokenBytes_ += keep;
            i = end;
        }
        // A tuple is there for the taking, unless the tuples wait for their
        // placemark's time stamp: then only when the held text is to go
        // to the spool.
        if (boundary && (!r.Holding() || r.pending_.size() - r.pendingPos_ >= kHoldBytes)) r.xml_.Pause();
    } else if (depth == r.nameDepth_ || depth == r.whenDepth_) {
        if (depth != 0) AppendCapped(r.text_, text, length, kTextBytes);
    } else if (depth == r.coordDepth_ && depth != 0) {
        AppendCapped(r.coordText_, text, length, kTupleBytes);
    } else if (depth == r.trackWhenDepth_ && depth != 0) {
        AppendCapped(r.trackWhen_, text, length, kTextBytes);
    }
}

// A placemark without a LineString and without a track gives no
// tuple: its names and time stamp are dropped at its end unused. When
// nothing read before waits for that end (no tuple to take, none held, no
// geometry or track open around it), the parser passes over its content,
// and over the placemarks like it that follow: each would end as it began,
// with nothing waiting, so one placemark stands for them all.
void KmlReader::PassOverUnusedPlacemark(const XML_Char* name) {
    if (geometryDepth_ != 0 || coordinatesDepth_ != 0 || trackDepth_ != 0 || coordDepth_ != 0 ||
        latestTrackDepth_ != 0 || pendingPos_ != pending_.size() || heldEnd_ > pendingPos_ || !spool_.Empty() ||
        unspooling_ || coordReady_) {
        return;
    }
    constexpr std::string_view wanted[] = {"LineString", "Track"};
    xml_.PassOverContent(name, wanted, true);
}

// Character data is wanted inside a name, a when (of a time stamp, or of a
// track read once), a coordinates element or a gx:coord being read, and
// nowhere else.
void KmlReader::CollectWhileInValue() {
    xml_.CollectText(nameDepth_ != 0 || whenDepth_ != 0 || trackWhenDepth_ != 0 || coordinatesDepth_ != 0 ||
                     coordDepth_ != 0);
}

void KmlReader::TakeWhen() {
    current_.timed = ReadXmlTime(text_, &clock_, current_.time);
}

// Whether the tuples read so far wait for the rest of their placemark: in the
// Line variant, inside a placemark without a time stamp yet, while no track
// coordinate is waiting to be taken in order and the held text has room.
bool KmlReader::Holding() const {
    return variant_.line && readTimes_ && !ended_ && placemarkDepth_ != 0 && !current_.timed &&
           heldEnd_ <= pendingPos_ && !coordReady_ && !unspooling_ && !holdGivenUp_;
}

// Moves the held text of pending_ to the end of the spool. What the spool
// cannot take (no temporary file, a full disk) stays in memory, and the
// placemark is held no longer: its tuples go on undated after the spooled ones.
void KmlReader::SpoolHeld() {
    const std::string_view text(pending_.data() + pendingPos_, pending_.size() - pendingPos_);
    const size_t written = spool_.Append(text);
    if (written < text.size()) holdGivenUp_ = true;
    pending_.erase(0, pendingPos_ + written);
    pendingPos_ = 0;
    heldEnd_ = 0;
}

// The spool holds the oldest text: it is read back through pending_ first,
// the newer text waiting in after_.
void KmlReader::BeginUnspool() {
    after_.assign(pending_, pendingPos_, std::string::npos);
    afterHeldEnd_ = heldEnd_ > pendingPos_ ? heldEnd_ - pendingPos_ : 0;
    pending_.clear();
    pendingPos_ = 0;
    heldEnd_ = 0;
    unspooling_ = true;
}

// The next block of the spool, or, when all is read back, the newer text
// after it (a tuple cut at the block's end goes on in it).
void KmlReader::ContinueUnspool() {
    if (spool_.ReadBack(pending_, kSpoolBlock)) return;
    const size_t base = pending_.size();
    pending_.append(after_);
    heldEnd_ = spoolHeld_ ? base + afterHeldEnd_ : 0;
    spoolHeld_ = false;
    unspooling_ = false;
    after_.clear();
    after_.shrink_to_fit();
}

// The next whole tuple of pending_, or false when it holds none yet.
bool KmlReader::TakeTuple(std::string_view& tuple) {
    const char* p = pending_.data();
    const size_t size = pending_.size();
    size_t i = pendingPos_;
    while (i < size && (IsSpace(p[i]) || p[i] == '\0')) {
        // The end of a coordinates element: points compare within one only.
        if (p[i] == '\0' && !variant_.line) previousTuple_.clear();
        ++i;
    }
    const size_t start = i;
    bool whole = false;
    while (i < size) {
        if (p[i] == '\0') {
            whole = true;
            break;
        }
        if (IsSpace(p[i])) {
            size_t next = i;
            while (next < size && IsSpace(p[next])) ++next;
            if (next == size) break;  // the text still to come decides
            if (p[i - 1] != ',' && p[next] != ',') {
                whole = true;
                break;
            }
            i = next;
            continue;
        }
        ++i;
    }
    if (!whole && size - start > kPendingBytes) {
        whole = true;  // joined at commas beyond any tuple: dropped as not numbers
        i = size;
    }
    if (!whole) {
        // Keep the unfinished tuple at the start of the buffer.
        pending_.erase(0, start);
        pendingPos_ = 0;
        heldEnd_ = heldEnd_ > start ? heldEnd_ - start : 0;
        // What a long placemark held is freed once it has been taken.
        if (pending_.capacity() > kKeptCapacity && pending_.size() < kPendingBytes) pending_.shrink_to_fit();
        return false;
    }
    tuple = std::string_view(p + start, i - start);
    pendingPos_ = i;
    return true;
}

// One tuple into the record; false when it gives none (repeated, or not
// numbers and counted).
bool KmlReader::FillTuple(TrackPoint& p, std::string_view tuple, bool fromTrack, bool held) {
    // White space next to a comma joined the tuple; nothing else is dropped:
    // a value is a number as it stands, or the tuple is none.
    tuple_.clear();
    for (size_t i = 0; i < tuple.size();) {
        size_t end = i;
        while (end < tuple.size() && !IsSpace(tuple[end])) ++end;
        tuple_.append(tuple.data() + i, end - i);
        i = end;
        while (i < tuple.size() && IsSpace(tuple[i])) ++i;
    }
    if (!fromTrack) {
        if (tuple_ == previousTuple_) return false;
        previousTuple_.assign(tuple_);
    }
    const std::string_view text = tuple_;
    const size_t first = text.find(',');
    const size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    const bool columns = first != std::string_view::npos &&
                         (second == std::string_view::npos || text.find(',', second + 1) == std::string_view::npos);
    const std::string_view longitude = columns ? text.substr(0, first) : std::string_view();
    const std::string_view latitude = columns ? text.substr(first + 1, second - first - 1) : std::string_view();
    const std::string_view altitude =
        columns && second != std::string_view::npos ? text.substr(second + 1) : std::string_view();
    // Longitude and latitude numbers within their ranges; an altitude that is
    // no finite number is no altitude.
    XmlNumber lon;
    XmlNumber lat;
    if (!columns || tuple.size() >= kTupleBytes || !ReadXmlNumber(longitude, lon) || std::fabs(lon.value) > 180.0 ||
        !ReadXmlNumber(latitude, lat) || std::fabs(lat.value) > 90.0) {
        ++dropped_;
        return false;
    }

    if (!variant_.toCsvCustom) FillNmeaDefaults(p, *defaults_);
    double longitudeDegrees = 0.0;
    double latitudeDegrees = 0.0;
    TakeReadDegrees(longitude, lon, kValueChars, 'E', 'W', longitudeDegrees, p.GgaEW, p.RmcEW);
    TakeReadDegrees(latitude, lat, kValueChars, 'N', 'S', latitudeDegrees, p.GgaNS, p.RmcNS);
    TakeDegreePosition(p, true, latitudeDegrees, longitudeDegrees);
    TakeXmlNumber(altitude, kValueChars, p.GgaAltitude);

    PlacemarkStamp& stamp = held ? held_ : current_;
    if (fromTrack) {
        ReadXmlTime(when_, &clock_, p.Time);
    } else if (stamp.timed) {
        p.Time = stamp.time;
    }
    if (variant_.toCsvCustom) {
        p.PointName.assign(stamp.names);
    } else {
        p.ExtendData.assign(stamp.names);
        stamp.names.clear();
    }
    return true;
}

// The gx:coord just read, with the next when of its track.
bool KmlReader::FillTrackCoord(TrackPoint& p) {
    when_.clear();
    if (readTimes_ && readOnce_) {
        trackWhens_.Pop(when_);
    } else if (readTimes_) {
        if (!whens_.IsOpen()) whens_.Open(path_);
        if (whensTrack_ != trackCount_) {
            whensTrack_ = trackCount_;
            whens_.Seek(trackCount_);
        }
        whens_.Next(when_);
    }
    // "lon lat alt" becomes "lon,lat,alt", in place (it only shrinks).
    const std::string_view text = TrimXmlSpace(coordText_);
    if (text.empty()) return false;
    size_t out = 0;
    bool space = false;
    for (const char c : text) {
        if (IsSpace(c)) {
            space = true;
            continue;
        }
        if (space) coordText_[out++] = ',';
        space = false;
        coordText_[out++] = c;
    }
    coordText_.resize(out);
    return FillTuple(p, coordText_, true, false);
}

bool KmlReader::Next(TrackPoint& point) {
    for (;;) {
        if (!unspooling_ && !spool_.Empty() && !Holding()) BeginUnspool();
        std::string_view tuple;
        while (!Holding() && TakeTuple(tuple)) {
            const bool held = unspooling_ ? spoolHeld_
                                          : static_cast<size_t>(tuple.data() - pending_.data()) < heldEnd_;
            if (FillTuple(point, tuple, false, held)) return true;
        }
        if (unspooling_) {
            ContinueUnspool();
            continue;
        }
        if (coordReady_) {
            coordReady_ = false;
            if (FillTrackCoord(point)) return true;
            continue;
        }
        if (ended_) return false;
        if (Holding() && pending_.size() - pendingPos_ >= kHoldBytes) SpoolHeld();
        // At the end (or where the document breaks) the tuples read so far
        // are still taken.
        if (!xml_.Run()) ended_ = true;
    }
}

}  // namespace geoplait
