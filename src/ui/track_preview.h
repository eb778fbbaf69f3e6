// The track as the KML will draw it, for the preview pane: the input read
// through the same readers and record filters as a run, cut into its line
// groups (or speed groups), with the placemark and photo positions and the
// first and last point; and its drawing into an image. Reading keeps a
// decimated polyline of at most kPreviewPointsPerGroup points per group, so
// that any size of log previews in constant memory.
#pragma once

#include <QImage>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/convert_settings.h"

namespace geoplait::ui {

inline constexpr size_t kPreviewPointsPerGroup = 4000;
inline constexpr size_t kPreviewMarks = 4000;

struct GeoPoint {
    double lon = 0.0;
    double lat = 0.0;
};

// A run of points of one group that the KML draws as one line.
struct PreviewSegment {
    int group = 0;
    std::vector<GeoPoint> points;
};

struct PreviewTrack {
    std::vector<PreviewSegment> segments;
    std::vector<GeoPoint> placemarks;
    std::vector<GeoPoint> photos;
    std::optional<GeoPoint> first;
    std::optional<GeoPoint> last;
    // KML output colours the groups; any other output is drawn in one colour.
    bool groupColours = false;
    int32_t records = 0;  // records drawn
    double lengthM = 0.0;  // along the drawn records, gaps included
    std::string firstTime;  // "yyyy/mm/dd hh:mm:ss" of the first and last record drawn, when they have one
    std::string lastTime;
};

// The box the track's positions take. A track across 180° is unwrapped:
// `west` is then greater than `east` (179.9 to -179.9).
struct PreviewExtent {
    bool any = false;
    double west = 0.0;
    double east = 0.0;
    double south = 0.0;
    double north = 0.0;
};
PreviewExtent ExtentOf(const PreviewTrack& track);

// Shared between the window and the reading thread.
struct PreviewControl {
    std::atomic<bool> cancel{false};
    std::atomic<int32_t> done{0};  // records read so far
};

enum class PreviewResult { Drawn, NoInput, Cancelled };

// Reads the input of `settings.current` (on any thread) into `track`.
// Nothing is written: a photo folder's scan writes into `scratchDir`, which
// the caller removes. `problem` gets the first notice the engine gave.
PreviewResult CollectPreview(const Settings& settings, const std::string& scratchDir, PreviewControl& control,
                             PreviewTrack& track, std::string& problem);

// Draws `track` into `image`, north up, in an equirectangular projection
// around the track's centre (longitudes unwrapped, so a track across 180°
// is drawn whole): each group in its colour and width (one colour without
// group colours), placemarks as rings at most one per few pixels, photos as
// squares, the first point green and the last red (outlined, so that they
// show on any line), and a scale bar when the track has an extent. Works in
// the image's device-independent pixels.
void DrawPreview(const PreviewTrack& track, const ConvertSettings& s, QImage& image);

// Where DrawPreview puts a position in an image of `size` for `track`.
QPointF PreviewPixel(const PreviewTrack& track, QSize size, GeoPoint point);

// A packed d/m/s text ("ddmmss.ss", "dddmmss.ss") with its hemisphere
// letter in degrees; nullopt for a text that is no number.
std::optional<double> DegreesOfPackedDms(const std::string& text, char letter);

}  // namespace geoplait::ui
