// Every message box the engine shows, in one table: what it says, its
// caption and its kind. The window shows each as a message box; the command
// line prints a result to stdout and everything else to stderr, as
// "Caption: text"; the tests compare notices.
//
// To add a notice: add its name to `Notice` (before Count) and a row at the
// same place in `kNoticeTable` (notices.cpp; a compile-time check keeps the
// two in step, and tests/base/notices_test.cpp pins every text),
// with its kind, its caption and its text. A text takes its values through
// "%d" (a count) and "%s" (a name or a text), filled in order by
// MakeNotice(notice, values...). A warning is added to the run with
// AddRunWarning and its caption is "Warning". The texts are the program's
// own, byte for byte: trailing spaces and dots are part of them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace geoplait {

enum class NoticeKind {
    Result,    // the outcome the user asked for (stdout on the command line)
    Problem,   // the run, or the step, could not do what it was asked
    Question,  // OK or Cancel
    Warning,   // the run completed, but lost something on the way
};

enum class Notice {
    // Results
    RunComplete,
    SettingsSaved,
    // Problems at the end of a run
    NothingIncluded,
    NoData,
    RunCancelled,
    RunInterrupted,
    OutputNotCreated,
    // Problems before a run reads its input
    PhotoFolderNotGiven,
    OutputNotKml,
    InputIsOutput,
    OutputNameTooLong,
    OutputDescriptorClosed,
    OutputInSystemFolder,
    InputNotFoundOnCheck,
    InputNotRegular,
    FirstSentenceUnknown,
    TimeZoneUnknown,
    // Problems while reading
    InputNotFound,
    InputBroken,
    // Warnings
    InputBrokenWarning,
    BadChecksums,
    LongEpochLines,
    UnknownValues,
    BrokenLines,
    LongLines,
    DroppedTuples,
    // The settings file
    SettingsFileNotFound,
    SettingsFileNotRegular,
    SettingsFileTooLarge,
    SettingsProtected,
    SettingsNotCreated,
    SettingsWidenRun,
    // Photos and the KMZ archive
    PhotoFolderNotFound,
    PhotoFolderError,
    PhotoListNotCreated,
    PhotoNotCopied,
    KmzNotCreated,
    ExifTitleUndecodable,
    PhotoOutputNotMade,
    SidecarNotReplaced,
    SidecarNotWritable,
    SidecarNameShared,
    // Warnings: a photo lost alone, one line each in one warning
    PhotoNotRead,
    PhotoLostOnCopy,
    PhotoNotPacked,
    PhotosMoreLost,
    // Warnings: photos too far from the track in time to be placed
    PhotoNotMatched,
    PhotosOffByOffset,
    PhotoNotNamedInList,
    // Questions
    ReplaceOutput,
    ReplacePhotos,
    // Keep last: the number of notices, which is no notice itself.
    Count
};

// One row of the table.
struct NoticeEntry {
    Notice notice;
    NoticeKind kind;
    const char* caption;
    const char* format;  // the text, with "%d" and "%s" for its values
};

// A notice as shown: its row's kind and caption, its text with the values in.
struct NoticeText {
    Notice notice;
    NoticeKind kind;
    std::string text;
    std::string caption;
    bool operator==(const NoticeText&) const = default;
};

// A value of a notice's text: a count or a text.
class NoticeValue {
public:
    NoticeValue(int32_t number) : text_(std::to_string(number)) {}
    NoticeValue(std::string_view text) : text_(text) {}
    NoticeValue(const std::string& text) : text_(text) {}
    NoticeValue(const char* text) : text_(text) {}
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

const NoticeEntry& EntryOf(Notice notice);

// The notice with its values put in place of its "%d" and "%s", in order; a
// placeholder without a value stays empty, a value without one is left out.
// The values are put in as they are (a "%" in a file name is not read),
// except their control characters, shown as "\x1b": a file name must not
// move the terminal's cursor or start an escape sequence there.
NoticeText MakeNotice(Notice notice, std::initializer_list<NoticeValue> values = {});

// `notice` with the file it is about and the system's reason on a line of
// their own after its text: "Input File Not Found.. \nwalk.log: No such file
// or directory". The text stays first and unchanged; error 0 names the file
// alone, and an empty path leaves the notice as it is.
NoticeText WithCause(NoticeText notice, const std::string& path, int error);

// The number of "%d" and "%s" in a notice's text.
int PlaceholderCount(Notice notice);

// Every row, in the order of `Notice`.
std::span<const NoticeEntry> AllNotices();

}  // namespace geoplait
