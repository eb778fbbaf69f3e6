#include "ui/window_tables.h"

namespace geoplait::ui {

const std::array<const char*, 3> kUnitTexts = {"Km/Meter", "Nautical Mile/Feet", "Statute Mile/Feet"};

const std::array<const char*, 40> kTimeDifferenceTexts = {
    "+14:00", "+13:00", "+12:45", "+12:00", "+11:30", "+11:00", "+10:30", "+10:00",
    "+ 9:30", "+ 9:00", "+ 8:45", "+ 8:00", "+ 7:00", "+ 6:30", "+ 6:00", "+ 5:45",
    "+ 5:30", "+ 5:00", "+ 4:30", "+ 4:00", "+ 3:30", "+ 3:00", "+ 2:00", "+ 1:00",
    "  0:00", "- 1:00", "- 2:00", "- 3:00", "- 3:30", "- 4:00", "- 4:30", "- 5:00",
    "- 6:00", "- 7:00", "- 8:00", "- 9:00", "- 9:30", "-10:00", "-11:00", "-12:00",
};

const std::array<const char*, 7> kPlacemarkTypeTexts = {
    "Start & End", "Point 3", "Point 5", "Point 10", "Point 30", "Point 50", "Point 100",
};

const std::array<const char*, 8> kTransparencyTexts = {" 0%", "12%", "25%", "38%",
                                                       "50%", "62%", "75%", "88%"};

const std::array<const char*, 14> kLineWidthTexts = {"1", "2", "3",  "4",  "5",  "6",  "7",
                                                     "8", "9", "10", "11", "12", "18", "24"};

// Switches in the order the window shows them.
const std::array<ColourTheme, 3> kColourThemes = {{
    {{250, 230, 230}, {250, 250, 220}, {220, 250, 220}},
    {{230, 250, 230}, {230, 230, 250}, {250, 220, 220}},
    {{220, 240, 250}, {220, 250, 220}, {250, 220, 220}},
}};

const FileType* InputFileTypeOf(std::string_view mode) {
    const ConvertMode* entry = FindModeByDisplayText(mode);
    return entry != nullptr ? &ModeFamilyOf(entry->kind).file : nullptr;
}

const FileType* OutputFileTypeOf(std::string_view mode) {
    const ConvertMode* entry = FindModeByDisplayText(mode);
    return entry != nullptr ? &OutputKindOf(entry->output).file : nullptr;
}

bool WritesKml(std::string_view mode) {
    const ConvertMode* entry = FindModeByDisplayText(mode);
    return entry != nullptr && OutputKindOf(entry->output).kmlDocument;
}

bool DrawsKmlTrack(std::string_view mode) {
    const ConvertMode* entry = FindModeByDisplayText(mode);
    return entry != nullptr && OutputKindOf(entry->output).kmlDocument && !ModeFamilyOf(entry->kind).photosOnly;
}

std::string ForceExtension(const std::string& path, std::string_view extension) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const size_t cut = dot != std::string::npos && dot > nameStart ? dot : path.size();
    return path.substr(0, cut) + std::string(extension);
}

namespace {

// Extensions a side also takes besides its chooser's patterns, by its default extension.
struct KindredExtension {
    std::string_view defaultExtension;
    std::string_view extension;
};
constexpr KindredExtension kKindredExtensions[] = {{"log", "txt"}};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Whether "*.<extension>" is one of the patterns of `filters`.
bool FiltersName(std::string_view filters, std::string_view extension) {
    for (size_t at = filters.find("*."); at != std::string_view::npos; at = filters.find("*.", at + 2)) {
        size_t end = at + 2;
        while (end < filters.size() && filters[end] != ' ' && filters[end] != ')' && filters[end] != ';') ++end;
        if (SameLetters(filters.substr(at + 2, end - at - 2), extension)) return true;
    }
    return false;
}

}  // namespace

std::string FitExtension(const std::string& path, const FileType* type) {
    if (type == nullptr) return path;
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        const std::string_view extension = std::string_view(name).substr(dot + 1);
        if (FiltersName(type->filters, extension)) return path;
        for (const KindredExtension& kin : kKindredExtensions) {
            if (kin.defaultExtension == type->extension && SameLetters(kin.extension, extension)) return path;
        }
    }
    return ForceExtension(path, std::string(".") + type->extension);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

std::string StemOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name;
}

uint64_t ApplyLayoutActions(const ModeLayout& layout, ConvertSettings& s) {
    uint64_t shown = layout.shown;
    const uint32_t actions = layout.actions;
    if (actions & kSetTimeStamps) s.TimeStampPath = s.TimeStampPosition = 1;
    if (actions & kClearTokyo) s.Tokyo2WGS84 = 0;
    if (actions & kPlacemarkLabels) s.Placemark = s.Label_No = s.Label_Km = s.Label_Speed = s.Label_Elapsed = 1;
    if (actions & kSetTrackLine) s.TrackLine = 1;
    if (actions & kSetPhoto) s.Photo = 1;
    if ((actions & (kCsvInputKml | kCsvInputPoints)) == 0) return shown;

    // What a CSV Custom input can give decides which labels and splits make sense.
    const bool date = s.Imput_Date > 0;
    const bool time = s.Imput_Time > 0;
    if (!date) shown &= ~kLabelDate;
    if (time) {
        s.Label_Elapsed = 1;
    } else {
        shown &= ~(kLabelTime | kLabelElapsed);
        if (actions & (kCsvInputKml | kElapsedNeedsTime)) s.Label_Elapsed = 0;
    }
    s.Label_Speed = s.Imput_Speed > 0 ? 1 : 0;
    if (s.Imput_Speed <= 0) shown &= ~kLabelSpeed;
    if (actions & kCsvInputKml) {
        if (s.Imput_Altitude <= 0) shown &= ~(kAltitudeBox | kLabelAltitude);
        if (!time) shown &= ~(kSplitSeconds | kSplitDate | kLabelIntervalTime);
        if (date && time) {
            s.TimeStampPath = s.TimeStampPosition = 1;
        } else {
            shown &= ~kTimeStampBox;
            s.TimeStampPath = s.TimeStampPosition = 0;
        }
        if (s.Imput_Degrees <= 0) shown &= ~kLabelDegrees;
    }
    return shown;
}

}  // namespace geoplait::ui
