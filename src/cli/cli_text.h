// The texts of geoplait-cli's help, which its manual page is made from too.
#pragma once

#include <span>

namespace geoplait {

inline constexpr const char* kCliUsage =
    "Usage: geoplait-cli [--ini FILE | --no-ini] [--mode MODE] --in PATH... [--out PATH | --out-dir DIR]\n"
    "                    [--jobs N] [--set KEY=VALUE]... [--yes] [--quiet | --verbose]\n"
    "       geoplait-cli [--ini FILE] [--set KEY=VALUE]... --write-ini FILE\n"
    "       geoplait-cli --list-modes | --list-keys | --version | --help\n";

inline constexpr const char* kCliSummary =
    "converts GPS track logs (NMEA, CSV, POT, GPX, KML, photos) into KML/KMZ, GPX, POT, CSV, NMEA and summaries";

// One part of the help: a title and its paragraphs.
struct HelpSection {
    const char* title;
    const char* text;
};

// The parts of the help after the options, in order.
std::span<const HelpSection> CliHelpSections();

}  // namespace geoplait
