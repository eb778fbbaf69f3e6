// The unit systems a run shows distances, speeds and altitudes in.
#pragma once

namespace geoplait {

// Decoded once from the MeterMile text when a run starts (UnitSystemOf in
// settings/settings_keys.h). Unknown is a text that names none of the three
// (an edited settings file): distances and speeds are then counted in km,
// and the KML labels leave out their unit items and show the altitude in
// feet, as such a text always made them do.
enum class UnitSystem { Km, NauticalMile, StatuteMile, Unknown };

}  // namespace geoplait
