// POT reader.
//
//   ORD=POI/tex=LABEL/ide=N/des=(Sat=S Mar=M)/ido=Sddd'mm'ss't/kei=Sddd'mm'ss't
//   /adr=1/alt=+A/col=12/pda=dd-MON-yy/pti=hh:mm:ss
//
// An item's key is the text before its first "=", its value the text after
// it up to the next "=" or the end of the item; keys are compared exactly, so
// "IDO" or a month name in lower case is not recognised. A position is four
// groups separated by apostrophes (degrees, minutes, seconds, tenths of a
// second); a "-" before the degrees, or a letter S or W before or after the
// groups, is south or west, and the minutes and seconds add to the unsigned
// degrees. Satellites and HDOP of "des" are not
// read back.
#include "readers/pot_reader.h"

#include <array>

#include "base/text_encoding.h"
#include "geo/number_format.h"
#include "readers/reader_text.h"
#include "readers/spreadsheet_text.h"

namespace geoplait {

namespace {

constexpr int kItemLimit = 15;

constexpr std::array<std::string_view, 12> kMonthNames = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

constexpr unsigned char kMonthChars[] = {3, 4, 5};
constexpr unsigned char kDayChars[] = {0, 1};
constexpr unsigned char kYearChars[] = {7, 8};
constexpr unsigned char kTimeChars[] = {0, 1, 3, 4, 6, 7};

// "Sddd'mm'ss't" into the NMEA text, "%0.4f", unsigned; the letter by the
// sign character.
// False when the sign contradicts a hemisphere letter, or a group is no
// number (counted in `unknown`): the record has no position then.
bool TakePosition(std::string_view value, char positive, char negative, std::string& gga, std::string& rmc,
                  std::string& ggaLetter, std::string& rmcLetter, int32_t& unknown) {
    // A hemisphere letter before or after the groups is the hemisphere; a
    // sign that contradicts it leaves no position.
    const char written = TakeHemisphereLetter(value, positive, negative);
    char letter = '\0';
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        letter = value.front() == '-' ? negative : positive;
        value.remove_prefix(1);
    }
    if (written != '\0') {
        if (letter != '\0' && letter != written) return false;
        letter = written;
    }
    double groups[4] = {0.0, 0.0, 0.0, 0.0};
    std::string group;
    for (double& number : groups) {
        const size_t mark = value.find('\'');
        group.assign(value.substr(0, mark));
        // A group that is no number leaves no position, not its leading digits.
        if (!TakeCellNumber(group, false, false)) {
            ++unknown;
            return false;
        }
        number = NumberOf(group);
        if (mark == std::string_view::npos) break;
        value.remove_prefix(mark + 1);
    }
    const double minutes = (groups[2] + groups[3] / 10.0) / 60.0 + groups[1];
    AssignFixed(gga, groups[0] * 100.0 + minutes, 4, 0);
    rmc.assign(gga);
    if (letter != '\0') {
        ggaLetter.assign(1, letter);
        rmcLetter.assign(1, letter);
    }
    return true;
}

// "dd-MON-yy" as ddmmyy; an unknown month name gives "00".
void TakeDate(std::string_view value, std::string& date, std::string& scratch) {
    PickChars(scratch, value, kMonthChars, std::size(kMonthChars));
    const char* month = "00";
    static constexpr const char* kNumbers[] = {"01", "02", "03", "04", "05", "06",
                                               "07", "08", "09", "10", "11", "12"};
    for (size_t m = 0; m < kMonthNames.size(); ++m) {
        if (scratch == kMonthNames[m]) month = kNumbers[m];
    }
    PickChars(date, value, kDayChars, std::size(kDayChars));
    date.append(month);
    PickChars(scratch, value, kYearChars, std::size(kYearChars));
    date.append(scratch);
}

}  // namespace

int32_t ParsePotLine(std::string_view line, const ConvertSettings& s, TrackPoint& p) {
    int32_t unknown = 0;
    FillNmeaDefaults(p, s);
    p.RmcSpeed.clear();  // a POT point has no speed: the track gives it one
    p.ExtendData.clear();  // not emptied with the record: each line has its own
    // The record ends at the line end, or at a lone CR, which no value may hold.
    line = line.substr(0, line.find_first_of("\r\n"));

    bool positioned = true;
    for (int item = 1; item <= kItemLimit && !line.empty(); ++item) {
        const size_t slash = line.find('/');
        const std::string_view text = line.substr(0, slash);
        line.remove_prefix(slash == std::string_view::npos ? line.size() : slash + 1);
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = text.substr(0, equals);
        std::string_view value = text.substr(equals + 1);
        value = value.substr(0, value.find('='));
        if (key == "ido") {
            positioned &= TakePosition(value, 'N', 'S', p.GgaLatitude, p.RmcLatitude,
                                       p.GgaNS, p.RmcNS, unknown);
        } else if (key == "kei") {
            positioned &= TakePosition(value, 'E', 'W', p.GgaLongitude, p.RmcLongitude,
                                       p.GgaEW, p.RmcEW, unknown);
        } else if (key == "pda") {
            TakeDate(value, p.RmcDate, p.LocalDate);
            p.LocalDate.clear();  // used as scratch only; ComputeDerived fills it
        } else if (key == "pti") {
            PickChars(p.RmcTime, value, kTimeChars, std::size(kTimeChars));
            p.GgaTime.assign(p.RmcTime);
        } else if (key == "tex") {
            // Japanese programs write POT files in Shift_JIS.
            p.ExtendData.assign(value);
            DecodeInputText(p.ExtendData);
        } else if (key == "alt") {
            p.GgaAltitude.assign(value);
            if (!p.GgaAltitude.empty() && !TakeCellNumber(p.GgaAltitude, true, true)) ++unknown;
        }
    }
    if (!positioned) {
        for (std::string* text : {&p.GgaLatitude, &p.RmcLatitude, &p.GgaLongitude, &p.RmcLongitude}) {
            text->clear();
        }
    }
    SettleRecord(p);
    return unknown;
}

bool PotReader::Open(const std::string& path, const ConvertSettings& defaults) {
    defaults_ = &defaults;
    headerSkipped_ = false;
    losses_ = {};
    return input_.Open(path);
}

bool PotReader::NextLine(std::string_view& line) {
    if (!headerSkipped_) {
        headerSkipped_ = true;
        if (!ReadWholeLine(input_, line, losses_.BrokenLines)) return false;
    }
    return ReadWholeLine(input_, line, losses_.BrokenLines);
}

bool PotReader::Skip() {
    std::string_view line;
    return NextLine(line);
}

bool PotReader::Next(TrackPoint& point) {
    std::string_view line;
    if (!NextLine(line)) return false;
    losses_.UnknownValues += ParsePotLine(line, *defaults_, point);
    return true;
}

}  // namespace geoplait
