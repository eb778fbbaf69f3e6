#include "base/notices.h"

#include <array>
#include <cstring>
#include <cstddef>
#include <string_view>

#include "base/text_encoding.h"

namespace geoplait {

namespace {

using enum NoticeKind;

constexpr std::array kNoticeTable{
    NoticeEntry{Notice::RunComplete, Result, "Complete", "Complete Record=%d/%d\n%s\n%s"},
    NoticeEntry{Notice::SettingsSaved, Result, "Message", "Parameter Saved. "},

    // Records read but none written is a problem under the caption of a
    // completion: the caption is the program's own.
    NoticeEntry{Notice::NothingIncluded, Problem, "Complete",
                "Include Record Not Found=%d/%d\n\n               Error!"},
    NoticeEntry{Notice::NoData, Problem, "Error!", "No data?\n\nOmit=%d\n"},
    NoticeEntry{Notice::RunCancelled, Problem, "Cancel",
                "Cancelled Record=%d/%d\nOutput File Not Replaced."},
    // A signal while the run waits on a pipe: the process ends at once.
    NoticeEntry{Notice::RunInterrupted, Problem, "Cancel", "Cancelled While Waiting\nOutput File Not Replaced."},
    NoticeEntry{Notice::OutputNotCreated, Problem, "Error", "Output File Not Create"},

    NoticeEntry{Notice::PhotoFolderNotGiven, Problem, "Error", "Not input Photo Folder."},
    NoticeEntry{Notice::OutputNotKml, Problem, "Check", "(%s)  OutFile Ext not [.kml .KML .Kml]"},
    NoticeEntry{Notice::InputIsOutput, Problem, "Error", "Input and Output File Same name."},
    // A name the run derives (split piece, NAME_photo, the photo list, the
    // archive) that the file system would not take, with its path.
    NoticeEntry{Notice::OutputNameTooLong, Problem, "Error", "File Name Too Long: %s"},
    // /dev/stdout while descriptor 1 is closed: never made as a file.
    NoticeEntry{Notice::OutputDescriptorClosed, Problem, "Error", "Output Descriptor Not Open: %s"},
    // A new file in /dev, /proc or /sys.
    NoticeEntry{Notice::OutputInSystemFolder, Problem, "Error", "Output File Not Made in System Folder: %s"},
    // Near-twins, kept apart on purpose: the check before a run says
    // "Input File Not Found.. " under "Error"; a reader that cannot open the
    // input during the run (InputNotFound) says "Input File Not Found" under
    // "Check!".
    NoticeEntry{Notice::InputNotFoundOnCheck, Problem, "Error", "Input File Not Found.. "},
    // A device or a pipe is no input: it is read more than once.
    NoticeEntry{Notice::InputNotRegular, Problem, "Error", "Input File Not a Regular File: %s"},
    NoticeEntry{Notice::FirstSentenceUnknown, Problem, "Error!", "Data First ID Not $Gxxxx"},
    // A TimeZone of a settings file that the system's zone database lacks.
    NoticeEntry{Notice::TimeZoneUnknown, Problem, "Error", "Time Zone Not Found: %s"},

    NoticeEntry{Notice::InputNotFound, Problem, "Check!", "Input File Not Found"},
    NoticeEntry{Notice::InputBroken, Problem, "Check!", "Input File Broken\n%s"},

    // After the completion: what the reader found where the document broke
    // (the records before it were written).
    NoticeEntry{Notice::InputBrokenWarning, Warning, "Warning", "Input File Broken\n%s"},
    // What the readers passed over, each with its count.
    NoticeEntry{Notice::BadChecksums, Warning, "Warning", "Checksum Error, Sentences Not Used=%d"},
    NoticeEntry{Notice::LongEpochLines, Warning, "Warning", "Epoch Over 1024 Lines, Lines Not Written=%d"},
    NoticeEntry{Notice::UnknownValues, Warning, "Warning", "Not a Number, Values Left Unknown=%d"},
    NoticeEntry{Notice::BrokenLines, Warning, "Warning", "Line Over 1 MiB, Lines Not Read=%d"},
    NoticeEntry{Notice::LongLines, Warning, "Warning", "Line Over 4095 Characters, Lines Not Read=%d"},
    NoticeEntry{Notice::DroppedTuples, Warning, "Warning", "KML Coordinates Not Numbers, Skipped=%d"},

    // "found" and "Create", each with a trailing space.
    NoticeEntry{Notice::SettingsFileNotFound, Problem, "Error", "Config File Not found. "},
    NoticeEntry{Notice::SettingsFileNotRegular, Problem, "Error", "Config File Not a Regular File: %s"},
    // Beyond 1 MiB a file is no settings file of this program: not read.
    NoticeEntry{Notice::SettingsFileTooLarge, Problem, "Error", "Config File Too Large: %s"},
    NoticeEntry{Notice::SettingsProtected, Problem, "Protect", "Save Inhibit. geoplait.ini(ProtectMode)"},
    NoticeEntry{Notice::SettingsNotCreated, Problem, "Error", "Config File Not Create. "},
    // Before a command-line run: an output the settings file of the current
    // folder turns on beyond the one named, what it is and where it goes.
    NoticeEntry{Notice::SettingsWidenRun, Warning, "Warning", "geoplait.ini: %s"},

    NoticeEntry{Notice::PhotoFolderNotFound, Problem, "Photo Directory Error", "Photo Folder Not Found."},
    NoticeEntry{Notice::PhotoFolderError, Problem, "Photo Directory Error", "Photo Folder Error"},
    // Not OutputNotCreated: the photo list is its own file, named in its text.
    NoticeEntry{Notice::PhotoListNotCreated, Problem, "Error", "Photo Output File Not Create"},
    NoticeEntry{Notice::PhotoNotCopied, Problem, "Error", "Photo File Not Copy: %s"},
    NoticeEntry{Notice::KmzNotCreated, Problem, "Error", "KMZ File Create Error"},
    // The caption starts with a space and the text ends with one.
    NoticeEntry{Notice::ExifTitleUndecodable, Problem, " TAG:270(0x010E) Error",
                "Exif TAG Title sjis2unicode Error "},
    // A KMZ or photo list asked for but not made, as there was no photo to put in.
    NoticeEntry{Notice::PhotoOutputNotMade, Warning, "Warning", "Not Create (No Photo): %s"},
    // An existing file where an XMP sidecar goes that is not ours, or ours
    // when the replace question was answered Cancel: left as it is.
    NoticeEntry{Notice::SidecarNotReplaced, Warning, "Warning", "XMP File Not Replaced: %s"},
    // A photo folder the run may not write to (a card set read-only): the
    // sidecars are left out, the other outputs are made.
    NoticeEntry{Notice::SidecarNotWritable, Warning, "Warning", "XMP File Not Create (Folder Read Only): %s"},
    // Short sidecar names: two photos of one name and two extensions
    // (IMG_1.CR2, IMG_1.JPG) would share one sidecar. The first named photo
    // gets it; the other, the second, gets none.
    NoticeEntry{Notice::SidecarNameShared, Warning, "Warning", "XMP File Not Create (Name Shared with %s): %s"},

    // The lines of the one warning that names the photos a run lost alone
    // (ReportLostPhotos): at most 20, then how many more.
    NoticeEntry{Notice::PhotoNotRead, Warning, "Warning", "Photo File Not Read: %s"},
    NoticeEntry{Notice::PhotoLostOnCopy, Warning, "Warning", "Photo File Not Copy: %s"},
    NoticeEntry{Notice::PhotoNotPacked, Warning, "Warning", "Photo File Not Packed: %s"},
    NoticeEntry{Notice::PhotosMoreLost, Warning, "Warning", "(%d more)"},
    // The lines of the one warning that names the photos whose time lies too
    // far from the track's records (at most 20, then PhotosMoreLost), and the
    // warning that names the offset most photos are off by and its setting.
    NoticeEntry{Notice::PhotoNotMatched, Warning, "Warning", "Photo Not Matched (%s h from the track): %s"},
    NoticeEntry{Notice::PhotosOffByOffset, Warning, "Warning",
                "%d of %d photos are %s h from the track: is the camera's clock on %s? (%s)"},
    // A photo whose name the photo list cannot hold as it is (not UTF-8, or
    // with a control character such as a line break): its name is left empty there.
    NoticeEntry{Notice::PhotoNotNamedInList, Warning, "Warning", "Photo Name Not Listed: %s"},

    NoticeEntry{Notice::ReplaceOutput, Question, "Check!",
                "Already exists Output File. Do you want to replace it?"},
    NoticeEntry{Notice::ReplacePhotos, Question, "Check!",
                "Already exists Photo File. Do you want to replace it?"},
};

// The rows stand in the order of `Notice`, one for each, and every warning
// is captioned "Warning".
constexpr bool TableInOrder() {
    for (size_t i = 0; i < kNoticeTable.size(); ++i) {
        if (static_cast<size_t>(kNoticeTable[i].notice) != i) return false;
        if (kNoticeTable[i].kind == Warning && std::string_view(kNoticeTable[i].caption) != "Warning") {
            return false;
        }
    }
    return kNoticeTable.size() == static_cast<size_t>(Notice::Count);
}
static_assert(TableInOrder(), "kNoticeTable must list every Notice in its order");

bool IsPlaceholder(std::string_view format, size_t at) {
    return format[at] == '%' && at + 1 < format.size() && (format[at + 1] == 'd' || format[at + 1] == 's');
}

void AppendHex(std::string& out, unsigned char u) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out.push_back(kHex[u >> 4]);
    out.push_back(kHex[u & 15]);
}

// A value with its control characters as "\xNN": C0, DEL and the C1 controls
// of UTF-8 (U+0080 to U+009F, which a terminal may take as ESC sequences),
// and every byte that is no part of a valid UTF-8 sequence (a Shift_JIS name).
void AppendShown(std::string& out, std::string_view value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char u = bytes[i];
        if (u < 0x80) {
            if (u < 0x20 || u == 0x7F) {
                AppendHex(out, u);
            } else {
                out.push_back(value[i]);
            }
            continue;
        }
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(bytes + i, value.size() - i, incomplete);
        if (length == 0 || (u == 0xC2 && bytes[i + 1] <= 0x9F)) {
            // A stray byte, or a C1 control: each of its bytes shown.
            for (size_t k = 0; k < (length == 0 ? 1 : length); ++k) AppendHex(out, bytes[i + k]);
        } else {
            out.append(value.substr(i, length));
        }
        i += (length == 0 ? 1 : length) - 1;
    }
}

}  // namespace

const NoticeEntry& EntryOf(Notice notice) { return kNoticeTable[static_cast<size_t>(notice)]; }

std::span<const NoticeEntry> AllNotices() { return kNoticeTable; }

int PlaceholderCount(Notice notice) {
    const std::string_view format = EntryOf(notice).format;
    int count = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (IsPlaceholder(format, i)) ++count;
    }
    return count;
}

NoticeText MakeNotice(Notice notice, std::initializer_list<NoticeValue> values) {
    const NoticeEntry& entry = EntryOf(notice);
    const std::string_view format = entry.format;
    NoticeText shown{notice, entry.kind, {}, entry.caption};
    const NoticeValue* value = values.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (!IsPlaceholder(format, i)) {
            shown.text += format[i];
            continue;
        }
        if (value != values.end()) AppendShown(shown.text, (value++)->Text());
        ++i;
    }
    return shown;
}

NoticeText WithCause(NoticeText notice, const std::string& path, int error) {
    if (path.empty()) return notice;  // no file was named
    notice.text += "\n" + path;
    if (error != 0) notice.text += std::string(": ") + std::strerror(error);
    return notice;
}

}  // namespace geoplait
