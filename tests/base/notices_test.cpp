#include "base/notices.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

namespace geoplait {
namespace {

using enum NoticeKind;

// Every notice as the user reads it, byte for byte, with sample values.
TEST(Notices, EveryTextAndCaption) {
    const struct {
        NoticeText made;
        NoticeKind kind;
        const char* caption;
        const char* text;
    } cases[] = {
        {MakeNotice(Notice::RunComplete, {3, 5, "Create Directory.", "Output File Override."}), Result,
         "Complete", "Complete Record=3/5\nCreate Directory.\nOutput File Override."},
        {MakeNotice(Notice::RunComplete, {3, 5, "", ""}), Result, "Complete", "Complete Record=3/5\n\n"},
        {MakeNotice(Notice::SettingsSaved), Result, "Message", "Parameter Saved. "},
        {MakeNotice(Notice::NothingIncluded, {0, 4}), Problem, "Complete",
         "Include Record Not Found=0/4\n\n               Error!"},
        {MakeNotice(Notice::NoData, {7}), Problem, "Error!", "No data?\n\nOmit=7\n"},
        {MakeNotice(Notice::RunCancelled, {-1, 12}), Problem, "Cancel",
         "Cancelled Record=-1/12\nOutput File Not Replaced."},
        {MakeNotice(Notice::OutputNotCreated), Problem, "Error", "Output File Not Create"},
        {MakeNotice(Notice::PhotoFolderNotGiven), Problem, "Error", "Not input Photo Folder."},
        {MakeNotice(Notice::OutputNotKml, {"track.kmz"}), Problem, "Check",
         "(track.kmz)  OutFile Ext not [.kml .KML .Kml]"},
        {MakeNotice(Notice::InputIsOutput), Problem, "Error", "Input and Output File Same name."},
        {MakeNotice(Notice::OutputNameTooLong, {"dir/t_Photo.csv"}), Problem, "Error",
         "File Name Too Long: dir/t_Photo.csv"},
        {MakeNotice(Notice::InputNotFoundOnCheck), Problem, "Error", "Input File Not Found.. "},
        {MakeNotice(Notice::InputNotRegular, {"/dev/stdin"}), Problem, "Error",
         "Input File Not a Regular File: /dev/stdin"},
        {MakeNotice(Notice::FirstSentenceUnknown), Problem, "Error!", "Data First ID Not $Gxxxx"},
        {MakeNotice(Notice::InputNotFound), Problem, "Check!", "Input File Not Found"},
        {MakeNotice(Notice::InputBroken, {"line 3: not well-formed"}), Problem, "Check!",
         "Input File Broken\nline 3: not well-formed"},
        {MakeNotice(Notice::InputBrokenWarning, {"line 3: not well-formed"}), Warning, "Warning",
         "Input File Broken\nline 3: not well-formed"},
        {MakeNotice(Notice::BadChecksums, {2}), Warning, "Warning", "Checksum Error, Sentences Not Used=2"},
        {MakeNotice(Notice::LongEpochLines, {7}), Warning, "Warning", "Epoch Over 1024 Lines, Lines Not Written=7"},
        {MakeNotice(Notice::UnknownValues, {3}), Warning, "Warning", "Not a Number, Values Left Unknown=3"},
        {MakeNotice(Notice::BrokenLines, {1}), Warning, "Warning", "Line Over 1 MiB, Lines Not Read=1"},
        {MakeNotice(Notice::DroppedTuples, {4}), Warning, "Warning", "KML Coordinates Not Numbers, Skipped=4"},
        {MakeNotice(Notice::SettingsFileNotFound), Problem, "Error", "Config File Not found. "},
        {MakeNotice(Notice::SettingsFileNotRegular, {"fifo.ini"}), Problem, "Error",
         "Config File Not a Regular File: fifo.ini"},
        {MakeNotice(Notice::SettingsProtected), Problem, "Protect", "Save Inhibit. geoplait.ini(ProtectMode)"},
        {MakeNotice(Notice::SettingsNotCreated), Problem, "Error", "Config File Not Create. "},
        {MakeNotice(Notice::PhotoFolderNotFound), Problem, "Photo Directory Error", "Photo Folder Not Found."},
        {MakeNotice(Notice::PhotoFolderError), Problem, "Photo Directory Error", "Photo Folder Error"},
        {MakeNotice(Notice::PhotoListNotCreated), Problem, "Error", "Photo Output File Not Create"},
        {MakeNotice(Notice::PhotoNotCopied, {"IMG_0001.JPG"}), Problem, "Error", "Photo File Not Copy: IMG_0001.JPG"},
        {MakeNotice(Notice::KmzNotCreated), Problem, "Error", "KMZ File Create Error"},
        {MakeNotice(Notice::ExifTitleUndecodable), Problem, " TAG:270(0x010E) Error",
         "Exif TAG Title sjis2unicode Error "},
        {MakeNotice(Notice::PhotoOutputNotMade, {"trip.kmz"}), Warning, "Warning", "Not Create (No Photo): trip.kmz"},
        {MakeNotice(Notice::SidecarNotReplaced, {"photos/a.jpg.xmp"}), Warning, "Warning",
         "XMP File Not Replaced: photos/a.jpg.xmp"},
        {MakeNotice(Notice::SidecarNotWritable, {"photos/a.jpg.xmp"}), Warning, "Warning",
         "XMP File Not Create (Folder Read Only): photos/a.jpg.xmp"},
        {MakeNotice(Notice::PhotoNotRead, {"a.jpg"}), Warning, "Warning", "Photo File Not Read: a.jpg"},
        {MakeNotice(Notice::PhotoLostOnCopy, {"a.jpg"}), Warning, "Warning", "Photo File Not Copy: a.jpg"},
        {MakeNotice(Notice::PhotoNotPacked, {"a.jpg"}), Warning, "Warning", "Photo File Not Packed: a.jpg"},
        {MakeNotice(Notice::PhotosMoreLost, {4}), Warning, "Warning", "(4 more)"},
        {MakeNotice(Notice::PhotoNotMatched, {"7:00", "a.jpg"}), Warning, "Warning",
         "Photo Not Matched (7:00 h from the track): a.jpg"},
        {MakeNotice(Notice::PhotosOffByOffset, {14, 15, "7:00", "UTC+2", "TimeDifference=+ 2:00"}), Warning,
         "Warning", "14 of 15 photos are 7:00 h from the track: is the camera's clock on UTC+2? (TimeDifference=+ 2:00)"},
        {MakeNotice(Notice::TimeZoneUnknown, {"Mars/Olympus"}), Problem, "Error", "Time Zone Not Found: Mars/Olympus"},
        {MakeNotice(Notice::ReplaceOutput), Question, "Check!",
         "Already exists Output File. Do you want to replace it?"},
        {MakeNotice(Notice::ReplacePhotos), Question, "Check!",
         "Already exists Photo File. Do you want to replace it?"},
    };
    std::set<Notice> seen;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.made.kind, c.kind);
        EXPECT_EQ(c.made.caption, c.caption);
        EXPECT_EQ(c.made.text, c.text);
        seen.insert(c.made.notice);
    }
    EXPECT_EQ(seen.size(), AllNotices().size()) << "every notice is pinned here";
}

TEST(Notices, TableRowsFollowTheEnumAndWarningsSayWarning) {
    size_t row = 0;
    for (const NoticeEntry& entry : AllNotices()) {
        EXPECT_EQ(static_cast<size_t>(entry.notice), row++);
        EXPECT_EQ(&EntryOf(entry.notice), &entry);
        if (entry.kind == Warning) {
            EXPECT_STREQ(entry.caption, "Warning");
        }
    }
}

TEST(Notices, PlaceholdersAreCounted) {
    EXPECT_EQ(PlaceholderCount(Notice::RunComplete), 4);
    EXPECT_EQ(PlaceholderCount(Notice::NothingIncluded), 2);
    EXPECT_EQ(PlaceholderCount(Notice::NoData), 1);
    EXPECT_EQ(PlaceholderCount(Notice::PhotoNotCopied), 1);
    EXPECT_EQ(PlaceholderCount(Notice::FirstSentenceUnknown), 0) << "a $ is no placeholder";
}

TEST(Notices, ValuesAreTakenAsTheyAre) {
    // A name with printf conversions in it is text, not a format.
    EXPECT_EQ(MakeNotice(Notice::PhotoNotCopied, {"%s%d%n%%.jpg"}).text, "Photo File Not Copy: %s%d%n%%.jpg");
    EXPECT_EQ(MakeNotice(Notice::InputBroken, {std::string("a\0b", 3)}).text, std::string("Input File Broken\na\0b", 21));
    EXPECT_EQ(MakeNotice(Notice::NoData, {INT32_MIN}).text, "No data?\n\nOmit=-2147483648\n");
}

TEST(Notices, MissingValuesStayEmptyAndExtraOnesAreLeftOut) {
    EXPECT_EQ(MakeNotice(Notice::NothingIncluded, {2}).text, "Include Record Not Found=2/\n\n               Error!");
    EXPECT_EQ(MakeNotice(Notice::NoData).text, "No data?\n\nOmit=\n");
    EXPECT_EQ(MakeNotice(Notice::InputNotFound, {"extra"}).text, "Input File Not Found");
}

TEST(Notices, NearTwinsStayApart) {
    const NoticeText during = MakeNotice(Notice::InputNotFound);
    const NoticeText before = MakeNotice(Notice::InputNotFoundOnCheck);
    EXPECT_NE(during, before);
    EXPECT_EQ(before.text, during.text + ".. ");
    EXPECT_NE(MakeNotice(Notice::OutputNotCreated).text, MakeNotice(Notice::PhotoListNotCreated).text);
}

TEST(Notices, WithCauseNamesTheFileAndTheReasonAfterTheText) {
    const NoticeText plain = MakeNotice(Notice::InputNotFoundOnCheck);
    const NoticeText named = WithCause(plain, "walk.log", ENOENT);
    EXPECT_EQ(named.text, "Input File Not Found.. \nwalk.log: No such file or directory");
    EXPECT_EQ(named.caption, plain.caption);
    EXPECT_EQ(named.kind, plain.kind);
    EXPECT_EQ(WithCause(MakeNotice(Notice::OutputNotCreated), "out/x.gpx", EACCES).text,
              "Output File Not Create\nout/x.gpx: Permission denied");
    EXPECT_EQ(WithCause(plain, "walk.log", 0).text, "Input File Not Found.. \nwalk.log");
    EXPECT_EQ(WithCause(plain, "", ENOENT), plain);
}

}  // namespace
}  // namespace geoplait
