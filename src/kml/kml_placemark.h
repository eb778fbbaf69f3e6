// The folder "Point" of position placemarks.
#pragma once

#include <string_view>

#include "engine/run_context.h"
#include "kml/kml_format.h"

namespace geoplait {

// "<Folder>", "<name>Point</name>", "<open>0</open>" and a blank line.
void OpenPointFolder(KmlBuffer& out);
// "</Folder>" and a blank line.
void ClosePointFolder(KmlBuffer& out);

// Whether the current record (after ComputeDerived) gets a placemark: every
// PlacemarkInterval-th record, or with PosDistance each record at least the
// placemark distance from PlacemarkAnchor (which then moves to it); the first
// record read, the first written and the last counted always do.
bool PlacemarkSelected(RunContext& ctx);

// Selects and, when selected, writes the current record's placemark. `nameText`
// is the record's own name (POT "tex", GPX name) for the Label_Tex item.
void WritePositionPlacemark(KmlBuffer& out, RunContext& ctx, std::string_view nameText = {});

// The point pass's step for a record of POT or GPX input, which the thinning
// filters do not touch: outside the record range (IncludeData) it is only
// counted; otherwise its values are derived, its placemark is written when
// selected and it counts as written. Clears the record.
void WriteRangedPlacemark(KmlBuffer& out, RunContext& ctx, std::string_view nameText);

}  // namespace geoplait
