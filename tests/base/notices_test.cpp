#include "base/notices.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

namespace geoplait {
namespace {

using enum NoticeKind;

// The texts themselves, byte for byte, are what the golden cases print.
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
    EXPECT_EQ(MakeNotice(Notice::NoData, {INT32_MIN}).text, "No data?\n\nOmit=-2147483648\n");
}

// A name cannot drive the terminal: its control characters are shown, as
// bytes, whatever their kind; text of every other kind stays.
TEST(Notices, ControlCharactersOfValuesAreShownEscaped) {
    const struct {
        std::string value;
        const char* shown;
    } cases[] = {
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x1b]0;title\x07.jpg", "\\x1b]0;title\\x07.jpg"},
        {"line\nbreak\r\t", "line\\x0abreak\\x0d\\x09"},
        {"del\x7f", "del\\x7f"},
        {"\xc2\x9b" "31m", "\\xc2\\x9b31m"},         // U+009B, the 8-bit CSI
        {"\xc2\xa0\xc2\x7f", "\xc2\xa0\\xc2\\x7f"},  // U+00A0 stays; C2 before DEL is no character
        {"\x1f \x20~\x80\x9f", "\\x1f  ~\\x80\\x9f"},   // stray bytes
        {"\x8e\xca\x90^.jpg", "\\x8e\xca\x90^.jpg"},       // Shift_JIS: its second character reads as UTF-8
        {"\xe5\x86.jpg", "\\xe5\\x86.jpg"},                 // a sequence cut short
        {"\xe5\x86\x99\xe7\x9c\x9f.jpg", "\xe5\x86\x99\xe7\x9c\x9f.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeNotice(Notice::PhotoNotRead, {c.value}).text, std::string("Photo File Not Read: ") + c.shown)
            << c.shown;
    }
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
