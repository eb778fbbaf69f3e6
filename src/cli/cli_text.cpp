// The help of geoplait-cli after its options. The manual page is made from
// these texts, so the two never differ.
#include "cli/cli_text.h"

#include <array>

namespace geoplait {

namespace {

constexpr std::array kSections{
    HelpSection{"Files and modes", R"(--in is required. Without --out the output is named after the input, as the
window's F button names it: the same folder, the same name, the extension of
the mode's output (walk.log gives walk.gpx); its path is printed after the
completion message. --out - (or /dev/stdout) writes the output to standard
output, and then the completion message and every other message go to
standard error; a run that makes more files named after its output (split
pieces, a KMZ, a photo list, photo copies) is refused then, before anything is
written. --in - reads standard input and, without --out, writes standard
output.

Without --mode the mode is the one that the extensions of --in and --out name
when exactly one does (.nmea, .log and .txt an NMEA log, .gpx, .kml a line,
.pot, .csv Full or Custom, .html a summary); else the mode of a --set Mode=...
line or of the --ini FILE; else the command is refused with the modes that
would fit. The mode kept in geoplait.ini is never taken without one of them.

MODE is a display text ("nmea(log) -> kml") or a settings-file value
(Geoplait), in any case, or a short name: the input, "2" and the output, as
nmea2kml, gpx2pot, nmea2csvfull, kml2gpx, csvcustom2nmea, photo2kml.
A name that names no mode gets the nearest one or two. --list-modes prints
every mode as display text, a tab and settings-file value.)"},
    HelpSection{"Several files", R"(--in takes several files, or a folder: the files of the mode's input in it
(by extension, in any case), sorted by name. "Photo(Only) -> kml" takes its
photo folder with --in. Each output is named after its input, in --out-dir
DIR (made when missing) or beside the input. Up to --jobs N files (default:
one per core) convert at a time, each a whole run of its own; a line per file
(input, output, written/read records, exit status) and a summary line go to
standard error, and the exit status is the first of 2, 4, 3, 1, 5, 0 that a
run ended with. A file that fails never stops the others. Two inputs that
would make one output, or an output that is an input of the batch, are
refused before any run starts. Ctrl-C cancels every run (status 2); the
settings are saved (AutoSave) once, after the batch.)"},
    HelpSection{"Settings", R"(Settings are made up in this order: the defaults; the settings file (only
AutoLoad, AutoSave and Protect, or all of it when its AutoLoad is 1; none of
it with --no-ini); --ini FILE (a FILE that cannot be read stops the command
with status 2); each --set line in the order given. --mode, --in and --out
then choose the mode, the input and the output of the conversion.

The settings file is geoplait.ini of the current directory when there is one,
else $XDG_CONFIG_HOME/geoplait/geoplait.ini (~/.config/geoplait/geoplait.ini).
Without a settings file the defaults are the machine's: TimeZone=system and
the language of the locale (LC_ALL, LC_MESSAGES, LANG).

--set takes a settings-file key, in any case, and its value: --set
Label_Date=1, --set MeterMile=UnitNMF, --set "TimeDifference=- 5:00",
--set TimeZone=Europe/Berlin (each record gets the offset its zone had at
that instant; TimeZone=system is the machine's zone, an empty TimeZone the
fixed TimeDifference, which a --set TimeDifference without --set TimeZone
asks for). The value is all that follows the first "=", as it stands. A
value the key cannot take (a flag other than 0 or 1, a number that is not
one, a time difference or a MeterMile, Language or Mode value that is not in
its list, a zone the system's time-zone database does not hold) is refused. TrackLine
and the Photo_Cal* keys, which the settings file does not hold, are accepted
too. --list-keys prints every key, its default and what it takes.

--mode also sets what the window sets when its mode is chosen and what decides
the output: Bom=1 for a mode that writes KML, Bom=0 for any other; Photo=1 for
"Photo(Only) -> kml"; Photo=0 and Kmz=0 for a mode without KML output. This
comes after geoplait.ini and before --ini and --set, so a value of the same
key from --ini or --set wins (--set Bom=1 keeps the byte-order mark).)"},
    HelpSection{"Pipes", R"(--in may be a pipe: "-" or /dev/stdin (standard input) or a named pipe
(FIFO). A pipe is read once, so a run that would read its input twice is
refused with "Input File Not a Regular File" before it writes anything: a
KML with position placemarks of the types "Start & End" and "Point N" (the
records are counted first), and photos matched with a track whose
placemarks or path are written too. Other devices are refused too.)"},
    HelpSection{"Messages", R"(Message boxes are printed to stderr as "Caption: text", the completion message
"Complete Record=written/read" to stdout. A message about a file names it and
the system's reason on the next line. An existing output file is replaced
only with --yes; without it the run stops. --quiet prints errors only,
--verbose each pass of the run with the records it read, and the settings file
the command used.)"},
    HelpSection{"Exit status", R"(  0   complete
  1   the settings file could not be written (--write-ini, or the save after a
      complete run when AutoSave is 1)
  2   the run stopped before its completion message (see stderr)
  3   records were read but none written ("Include Record Not Found")
  4   nothing was read ("No data?")
  5   complete with warnings: the outputs were written, but something was
      lost on the way (each warning is printed as "Warning: text")
  64  bad command line: unknown option, key or mode, no --in, no mode,
      a --set without "=", or a value its key cannot take)"},
    HelpSection{"Examples", R"(  geoplait-cli --in walk.nmea --out walk.gpx
  geoplait-cli --mode nmea2kml --in walk.nmea --set Label_Date=1 --yes
  cat walk.nmea | geoplait-cli --mode nmea2gpx --in - --out - > walk.gpx
  geoplait-cli --mode nmea2gpx --in card/ --out-dir gpx/ --jobs 4)"},
};

}  // namespace

std::span<const HelpSection> CliHelpSections() { return kSections; }

}  // namespace geoplait
