#include "ui/track_preview.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "base/text_fields.h"
#include "base/text_file.h"
#include "base/user_interface.h"
#include "engine/derived_values.h"
#include "engine/record_filter.h"
#include "engine/run_context.h"
#include "geo/time_difference.h"
#include "job/input_families.h"
#include "job/run_files.h"
#include "job/run_steps.h"
#include "job/track_input.h"
#include "kml/kml_path.h"
#include "photo/photo_folder.h"
#include "readers/nmea_reader.h"
#include "settings/convert_modes.h"
#include "settings/settings_keys.h"

namespace geoplait::ui {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusM = 6371000.0;

// The engine's user interface while previewing: silent, never replacing
// anything, with its progress and Cancel through the control.
class PreviewUi : public UserInterface {
public:
    explicit PreviewUi(PreviewControl& control) : control_(control) {}
    void Show(const NoticeText& notice) override {
        if (problem.empty()) problem = notice.text;
    }
    bool Ask(const NoticeText&) override { return false; }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
    void ShowProgress(const RunProgress& progress) override {
        control_.done.store(progress.records, std::memory_order_relaxed);
    }
    bool CancelRequested() override { return control_.cancel.load(std::memory_order_relaxed); }
    std::string problem;

private:
    PreviewControl& control_;
};

// Points of one group, thinned as they come: every `stride`-th point is
// kept, and when the group holds too many, every second one goes and the
// stride doubles. The last point of a line is always kept.
class GroupThinner {
public:
    void Start(std::vector<PreviewSegment>& segments, int group) {
        Finish(segments);
        segments.push_back({group, {}});
        open_ = segments.size() - 1;
    }
    void Add(std::vector<PreviewSegment>& segments, GeoPoint point) {
        std::vector<GeoPoint>& points = segments[open_].points;
        if (points.empty() || ++seen_ % stride_ == 0) {
            points.push_back(point);
            pending_.reset();
            if (++count_ > kPreviewPointsPerGroup) Halve(segments);
        } else {
            pending_ = point;
        }
    }
    void Finish(std::vector<PreviewSegment>& segments) {
        if (open_ != kNone && pending_) segments[open_].points.push_back(*pending_);
        pending_.reset();
        open_ = kNone;
    }
    bool Open() const { return open_ != kNone; }

private:
    void Halve(std::vector<PreviewSegment>& segments) {
        count_ = 0;
        const int group = segments[open_].group;
        for (PreviewSegment& segment : segments) {
            if (segment.group != group) continue;
            std::vector<GeoPoint>& points = segment.points;
            size_t kept = 0;
            for (size_t i = 0; i < points.size(); ++i) {
                if (i % 2 == 0 || i + 1 == points.size()) points[kept++] = points[i];
            }
            points.resize(kept);
            count_ += kept;
        }
        stride_ *= 2;
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t open_ = kNone;
    size_t count_ = 0;
    uint64_t seen_ = 0;
    uint64_t stride_ = 1;
    std::optional<GeoPoint> pending_;
};

// Marks (placemarks) thinned the same way, without lines.
void AddMark(std::vector<GeoPoint>& marks, uint64_t& stride, uint64_t& seen, GeoPoint point) {
    if (seen++ % stride != 0) return;
    marks.push_back(point);
    if (marks.size() <= kPreviewMarks) return;
    size_t kept = 0;
    for (size_t i = 0; i < marks.size(); i += 2) marks[kept++] = marks[i];
    marks.resize(kept);
    stride *= 2;
}

std::optional<GeoPoint> PositionOfLine(const std::string& line) {
    // "±lon,±lat,alt" as the KML writes it.
    GeoPoint point;
    const char* begin = line.data();
    const char* end = begin + line.size();
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    auto lon = std::from_chars(begin + (begin < end && *begin == '+' ? 1 : 0), end, point.lon);
    if (lon.ec != std::errc() || lon.ptr >= end || *lon.ptr != ',') return std::nullopt;
    const char* latStart = lon.ptr + 1;
    auto lat = std::from_chars(latStart + (latStart < end && *latStart == '+' ? 1 : 0), end, point.lat);
    if (lat.ec != std::errc() || !std::isfinite(point.lon) || !std::isfinite(point.lat)) return std::nullopt;
    if (std::abs(point.lat) > 90.0 || std::abs(point.lon) > 360.0) return std::nullopt;
    return point;
}

// Great-circle distance on the mean sphere.
double DistanceM(GeoPoint a, GeoPoint b) {
    const double rad = kPi / 180.0;
    const double dLat = (b.lat - a.lat) * rad;
    const double dLon = (b.lon - a.lon) * rad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(a.lat * rad) * std::cos(b.lat * rad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
}

std::string TimeOf(const TrackPoint& point) {
    std::string date;
    std::string time;
    LocalDateText(point, date);
    LocalTimeText(point, time);
    if (date.empty()) return time;
    return time.empty() ? date : date + " " + time;
}

// What one preview reading keeps between records. Each record is taken in
// the context it is handed in (the record where its reader left it).
struct Reader {
    PreviewTrack& track;
    const InputFamily& family;
    bool kmlGroups;
    int32_t placemarkInterval;
    KmlRecordWriter writer;
    std::array<GroupThinner, kGroupCount> thinners{};
    int group = 0;
    uint64_t markStride = 1;
    uint64_t marksSeen = 0;

    // The filters a run puts the record through: those of the KML passes,
    // or those of the family's record runs for any other output.
    bool Accept(RunContext& ctx) {
        const bool nmea = family.kml.source == TrackSource::Nmea;
        if (kmlGroups && family.kml.source != TrackSource::PotGpx) {
            return nmea ? AcceptRecordForKmlNmea(ctx) : AcceptRecordForKmlCsv(ctx);
        }
        if (!kmlGroups && family.run.acceptance == Acceptance::Emitter) {
            return AcceptRecordForEmitter(ctx, family.run.origin == InputOrigin::Nmea);
        }
        NoteRecordRead(ctx);
        if (!kmlGroups && family.run.acceptance == Acceptance::Nothing) return true;
        if (!PassesRangeFilter(ctx)) return false;
        TrackStore& store = ctx.store;
        if (store.PreviousPoint.Position.known) store.GapDistance = TrackDistance(ctx, store.PreviousPoint);
        store.PreviousPoint.Take(ctx.point);
        DeriveRecordValues(ctx);
        return true;
    }

    // The group the current record is drawn in and whether it starts a new line.
    void Place(RunContext& ctx, GeoPoint point) {
        TrackStore& store = ctx.store;
        const ConvertSettings& s = ctx.Current();
        const bool nmea = family.kml.source == TrackSource::Nmea;
        const bool gap = store.GapDistance > ctx.run.GapDistanceLimit ||
                         ctx.point.IntervalSec > ctx.run.GapSecondsLimit ||
                         (nmea && DateGroupChanges(ctx));
        const bool speed = kmlGroups && s.SpeedGroup != 0 && family.kml.speedGroups;
        const bool first = store.WrittenCount == 0;
        if (!kmlGroups) {
            if (first || gap) thinners[0].Start(track.segments, 0);
        } else if (speed) {
            const int n = SpeedGroupIndex(ctx.Current(), ctx.point);
            if (first || n != group || gap) {
                // Without a gap the old group ends with this record, so the groups join.
                if (!first && !gap) thinners[static_cast<size_t>(group)].Add(track.segments, point);
                group = n;
                thinners[static_cast<size_t>(group)].Start(track.segments, group);
            }
        } else if (first || gap) {
            if (!first) group = group >= kGroupCount - 1 ? 0 : group + 1;
            if (nmea && gap) SetGroupDate(ctx);
            thinners[static_cast<size_t>(group)].Start(track.segments, group);
        }
        thinners[static_cast<size_t>(group)].Add(track.segments, point);
        if (s.Placemark != 0 && kmlGroups && store.WrittenCount % placemarkInterval == 0) {
            AddMark(track.placemarks, markStride, marksSeen, point);
        }
        if (track.last) track.lengthM += DistanceM(*track.last, point);
        const std::string when = TimeOf(ctx.point);
        if (!track.first) {
            track.first = point;
            track.firstTime = when;
        }
        track.last = point;
        track.lastTime = when;
        ++track.records;
    }

    void Take(RunContext& ctx) {
        TrackStore& store = ctx.store;
        if (Accept(ctx)) {
            MakeCoordinateLine(ctx.point, writer, ctx.scratch.line);
            if (const auto point = PositionOfLine(ctx.scratch.line)) {
                Place(ctx, *point);
                ++store.WrittenCount;
            }
            store.SinceWrittenDistance = 0.0;
        }
        ++store.RecordIndex;
        ClearTrackPoint(ctx.point);
    }
};

// A log without a known sentence near its start is refused, as a run refuses it.
bool TakeFirstSentence(RunContext& ctx) {
    TextReader input;
    std::error_code ec;
    if (std::filesystem::is_directory(ctx.Current().InputFile, ec) || !input.Open(ctx.Current().InputFile)) {
        return false;
    }
    return FindLogStart(input, ctx.run.FirstSentenceId) != LogStart::Unknown;
}

void CollectPhotos(RunContext& ctx, const ConvertMode& mode, PreviewTrack& track) {
    PhotoState state;
    const PhotoRun photoRun = PhotoRunOf(ctx);
    ScanPhotoFolder(photoRun, state);
    if (ctx.StopRequested()) return;
    if (mode.kind != ModeKind::Photo) MatchPhotos(photoRun, state, TrackReaderOf(ctx, mode.kind));
    SetDefaultLocation(ctx.Current(), state);
    for (const PhotoEntry& photo : state.PhotoTable) {
        const auto lat = DegreesOfPackedDms(photo.Latitude, photo.LatitudeLetter);
        const auto lon = DegreesOfPackedDms(photo.Longitude, photo.LongitudeLetter);
        if (lat && lon) track.photos.push_back({*lon, *lat});
    }
}

}  // namespace

std::optional<double> DegreesOfPackedDms(const std::string& text, char letter) {
    double packed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), packed);
    if (ec != std::errc() || text.empty() || !std::isfinite(packed) || packed < 0.0) return std::nullopt;
    const double degrees = std::floor(packed / 10000.0);
    const double minutes = std::floor((packed - degrees * 10000.0) / 100.0);
    const double seconds = packed - degrees * 10000.0 - minutes * 100.0;
    const double value = degrees + minutes / 60.0 + seconds / 3600.0;
    if (value > 360.0) return std::nullopt;
    return letter == 'S' || letter == 'W' ? -value : value;
}

PreviewResult CollectPreview(const Settings& settings, const std::string& scratchDir, PreviewControl& control,
                             PreviewTrack& track, std::string& problem) {
    Settings copy = settings;
    ConvertSettings& s = copy.current;
    // Whatever a step would write goes into the scratch folder, never beside the output.
    s.OutputFile = scratchDir + "/preview.kml";
    s.Photo_Comment = 0;
    s.Photo_CsvOut = 0;
    s.Photo_CreateDirectory = 0;
    PreviewUi ui(control);
    RunContext ctx(copy, ui);
    DeriveRunValues(ctx.Current(), ctx.run);
    track = PreviewTrack{};
    const ConvertMode* mode = FindModeByDisplayText(s.Mode);
    if (mode == nullptr) return PreviewResult::NoInput;
    track.groupColours = mode->output == ModeOutput::Kml;
    // A pipe or a device is the run's to read, once; the preview leaves it alone.
    if (mode->kind != ModeKind::Photo && IsSpecialFile(s.InputFile)) return PreviewResult::NoInput;
    if (FamilyOf(mode->kind).firstSentence && !TakeFirstSentence(ctx)) return PreviewResult::NoInput;
    try {
        if (mode->kind != ModeKind::Photo) {
            int32_t interval = PlacemarkIntervalOf(s, 0);
            TrackInput input;
            if (s.Placemark != 0 && s.PosType != 0 && track.groupColours) {
                if (!input.Open(ctx, mode->kind)) return PreviewResult::NoInput;
                interval = PlacemarkIntervalOf(s, input.Count(ctx));
                input.Close();
            }
            if (!input.Open(ctx, mode->kind, mode->output == ModeOutput::CsvCustom)) {
                problem = ui.problem;
                return PreviewResult::NoInput;
            }
            ctx.store.SinceWrittenDistance = 9999999.0;
            Reader reader{track, FamilyOf(mode->kind), track.groupColours, interval,
                          {KmlRecordOptionsOf(s, copy.config, ctx.run), {}}};
            input.ForEach(ctx, [&reader](RunContext& c) { reader.Take(c); });
            for (GroupThinner& thinner : reader.thinners) thinner.Finish(track.segments);
        }
        if (control.cancel.load()) return PreviewResult::Cancelled;
        if (track.groupColours && (s.Photo != 0 || mode->kind == ModeKind::Photo)) CollectPhotos(ctx, *mode, track);
    } catch (const RunCancelled&) {
        return PreviewResult::Cancelled;
    }
    problem = ui.problem;
    if (control.cancel.load()) return PreviewResult::Cancelled;
    return PreviewResult::Drawn;
}

// ---------------------------------------------------------------- drawing

namespace {

struct Frame {
    bool shiftWest = false;  // western longitudes drawn as east of 180°
    double centreLon = 0.0;
    double centreLat = 0.0;
    double cosLat = 1.0;
    double scale = 1.0;  // pixels per degree of latitude
    QPointF middle;
};

void Extend(double& minLon, double& maxLon, double& minLat, double& maxLat, GeoPoint p) {
    minLon = std::min(minLon, p.lon);
    maxLon = std::max(maxLon, p.lon);
    minLat = std::min(minLat, p.lat);
    maxLat = std::max(maxLat, p.lat);
}

template <typename Visit>
void ForEachPosition(const PreviewTrack& track, Visit visit) {
    for (const PreviewSegment& segment : track.segments) {
        for (GeoPoint p : segment.points) visit(p);
    }
    for (GeoPoint p : track.placemarks) visit(p);
    for (GeoPoint p : track.photos) visit(p);
}

double Unwrapped(bool shiftWest, double lon) { return shiftWest && lon < 0.0 ? lon + 360.0 : lon; }

// The positions' box, with western longitudes moved east of 180° when that
// makes it narrower (a track across the antimeridian).
struct Box {
    bool shiftWest = false;
    double minLon = 1e9, maxLon = -1e9, minLat = 1e9, maxLat = -1e9;
};

Box BoxOf(const PreviewTrack& track) {
    Box plain;
    Box shifted;
    shifted.shiftWest = true;
    ForEachPosition(track, [&](GeoPoint p) {
        Extend(plain.minLon, plain.maxLon, plain.minLat, plain.maxLat, p);
        Extend(shifted.minLon, shifted.maxLon, shifted.minLat, shifted.maxLat, {Unwrapped(true, p.lon), p.lat});
    });
    return shifted.maxLon - shifted.minLon < plain.maxLon - plain.minLon ? shifted : plain;
}

Frame FrameOf(const PreviewTrack& track, QSize size) {
    const Box box = BoxOf(track);
    const double minLon = box.minLon, maxLon = box.maxLon, minLat = box.minLat, maxLat = box.maxLat;
    // The track keeps clear of the north arrow at the top and the scale bar at the bottom.
    constexpr double kTop = 34.0;
    constexpr double kBottom = 30.0;
    constexpr double kSide = 10.0;
    const double width = std::max(1.0, size.width() - 2 * kSide);
    const double height = std::max(1.0, size.height() - kTop - kBottom);
    Frame frame;
    frame.shiftWest = box.shiftWest;
    frame.middle = QPointF(size.width() / 2.0, kTop + height / 2.0);
    if (minLon > maxLon) return frame;
    frame.centreLon = (minLon + maxLon) / 2.0;
    frame.centreLat = (minLat + maxLat) / 2.0;
    frame.cosLat = std::max(0.01, std::cos(frame.centreLat * kPi / 180.0));
    const double spanX = std::max((maxLon - minLon) * frame.cosLat, 1e-6);
    const double spanY = std::max(maxLat - minLat, 1e-6);
    frame.scale = std::min(width / spanX, height / spanY);
    return frame;
}

QPointF Pixel(const Frame& frame, GeoPoint p) {
    return {frame.middle.x() + (Unwrapped(frame.shiftWest, p.lon) - frame.centreLon) * frame.cosLat * frame.scale,
            frame.middle.y() - (p.lat - frame.centreLat) * frame.scale};
}

QColor GroupColour(const ConvertSettings& s, int group, bool groupColours) {
    if (!groupColours) return QColor(40, 40, 220);
    const Rgb rgb = RgbOfHexColor(s.LineColorRGB[static_cast<size_t>(group)]);
    return QColor(rgb.R, rgb.G, rgb.B);
}

double GroupWidth(const ConvertSettings& s, int group, bool groupColours) {
    if (!groupColours) return 2.0;
    const double width = NumberOf(s.LineWidth[static_cast<size_t>(group)]);
    return std::clamp(width, 1.0, 20.0);
}

// A bar of a round length near a fifth of the width, bottom left.
void DrawScaleBar(QPainter& painter, const Frame& frame, QSize size) {
    const double metresPerPixel = (kPi / 180.0) * kEarthRadiusM / frame.scale;
    const double wanted = metresPerPixel * size.width() / 5.0;
    double length = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double step : {2.0, 2.5, 2.0}) {
        if (length * step <= wanted) length *= step;
    }
    const double pixels = length / metresPerPixel;
    const QPointF start(12.0, size.height() - 14.0);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(start, start + QPointF(pixels, 0));
    painter.drawLine(start, start + QPointF(0, -5));
    painter.drawLine(start + QPointF(pixels, 0), start + QPointF(pixels, -5));
    const QString text = length >= 1000.0 ? QString("%1 km").arg(length / 1000.0) : QString("%1 m").arg(length);
    painter.drawText(start + QPointF(pixels + 6, 4), text);
}

void DrawNorth(QPainter& painter, QSize size) {
    const QPointF tip(size.width() - 20.0, 12.0);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(-6, 16));
    arrow.lineTo(tip + QPointF(6, 16));
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(tip.x() - 10, tip.y() + 17, 20, 14), Qt::AlignCenter, QStringLiteral("N"));
}

}  // namespace

QPointF PreviewPixel(const PreviewTrack& track, QSize size, GeoPoint point) {
    return Pixel(FrameOf(track, size), point);
}

PreviewExtent ExtentOf(const PreviewTrack& track) {
    const Box box = BoxOf(track);
    PreviewExtent extent;
    if (box.minLon > box.maxLon) return extent;
    const auto wrapped = [](double lon) { return lon > 180.0 ? lon - 360.0 : lon; };
    extent = {true, wrapped(box.minLon), wrapped(box.maxLon), box.minLat, box.maxLat};
    return extent;
}

void DrawPreview(const PreviewTrack& track, const ConvertSettings& s, QImage& image) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QSize size = image.deviceIndependentSize().toSize();
    const Frame frame = FrameOf(track, size);
    for (const PreviewSegment& segment : track.segments) {
        QPen pen(GroupColour(s, segment.group, track.groupColours), GroupWidth(s, segment.group, track.groupColours));
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        if (segment.points.size() == 1) {
            painter.drawPoint(Pixel(frame, segment.points.front()));
            continue;
        }
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(segment.points.size()));
        for (GeoPoint p : segment.points) line << Pixel(frame, p);
        painter.drawPolyline(line);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 160, 0), 1.5));
    // At most one ring per cell of a few pixels, so that the line's colours show between them.
    constexpr int kRingCell = 8;
    const int columns = size.width() / kRingCell + 1;
    std::vector<bool> ringAt(static_cast<size_t>(columns) * static_cast<size_t>(size.height() / kRingCell + 1));
    for (GeoPoint p : track.placemarks) {
        const QPointF at = Pixel(frame, p);
        if (at.x() < 0 || at.y() < 0 || at.x() >= size.width() || at.y() >= size.height()) continue;
        const size_t cell = static_cast<size_t>(static_cast<int>(at.y()) / kRingCell) * static_cast<size_t>(columns) +
                            static_cast<size_t>(static_cast<int>(at.x()) / kRingCell);
        if (ringAt[cell]) continue;
        ringAt[cell] = true;
        painter.drawEllipse(at, 3.0, 3.0);
    }
    painter.setPen(QPen(QColor(150, 0, 150), 1.5));
    for (GeoPoint p : track.photos) {
        const QPointF at = Pixel(frame, p);
        painter.drawRect(QRectF(at - QPointF(4, 4), QSizeF(8, 8)));
    }
    // The last point under the first, smaller, so that both show where they
    // meet; each ringed in white and black, so that it shows on any line.
    const std::tuple<const std::optional<GeoPoint>*, QColor, double> ends[] = {
        {&track.last, QColor(220, 0, 0), 6.0}, {&track.first, QColor(0, 170, 0), 4.0}};
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 3));
    for (const auto& [end, colour, radius] : ends) {
        if (*end) painter.drawEllipse(Pixel(frame, **end), radius + 1.5, radius + 1.5);
    }
    painter.setPen(QPen(Qt::black, 1));
    for (const auto& [end, colour, radius] : ends) {
        if (!*end) continue;
        painter.setBrush(colour);
        painter.drawEllipse(Pixel(frame, **end), radius, radius);
    }
    // One position has no extent to measure.
    const Box box = BoxOf(track);
    if (box.maxLon > box.minLon || box.maxLat > box.minLat) DrawScaleBar(painter, frame, size);
    DrawNorth(painter, size);
}

}  // namespace geoplait::ui
