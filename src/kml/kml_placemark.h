// The folder "Point" of position placemarks.
#pragma once

#include <string_view>

#include "engine/track_point.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"

namespace geoplait {

// "<Folder>", "<name>Point</name>", "<open>0</open>" and a blank line.
void OpenPointFolder(KmlBuffer& out);
// "</Folder>" and a blank line.
void ClosePointFolder(KmlBuffer& out);

// Whether the section's record (after ComputeDerived) gets a placemark: every
// PlacemarkInterval-th record, or with PosDistance each record at least the
// placemark distance from PlacemarkAnchor (which then moves to it); the first
// record read, the first written and the last counted always do.
bool PlacemarkSelected(KmlSection& section);

// The placemark of a record (after ComputeDerived) at its place in the run.
// `nameText` is the record's own name (POT "tex", GPX name) for the Label_Tex
// item; the position is moved in `scratch`, the record stays as it is.
void WritePlacemark(KmlBuffer& out, const KmlRecordOptions& options, const TrackPoint& point,
                    RecordNumbers numbers, std::string_view nameText, PositionTexts& scratch);

// Selects and, when selected, writes the section's record's placemark.
void WritePositionPlacemark(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer,
                            std::string_view nameText = {});

}  // namespace geoplait
