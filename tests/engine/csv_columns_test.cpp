// The header line test the CSV readers pass over a line of ours with.
#include "engine/csv_columns.h"

#include <gtest/gtest.h>

#include <string>

namespace geoplait::test {
namespace {

TEST(CsvColumns, HeaderLinesOfOursAndNoOther) {
    std::string full;
    for (const std::string_view name : kCsvFullColumnNames) full.append(name).push_back(',');
    full.pop_back();
    const std::pair<std::string, bool> cases[] = {
        {full, true},
        {full + "\r\n", true},
        {full + "\n", true},
        {"Name,Latitude (ddmm.mmmm),Longitude (dddmm.mmmm),No", true},
        {"Latitude (degrees)", true},
        {",,No,", true},                                   // empty fields beside names
        {"", false},
        {",,,", false},                                    // no name at all
        {"\r\n", false},
        {"Name,Latitude,Longitude", false},                // another program's header
        {"name,Latitude (ddmm.mmmm)", false},              // names are compared exactly
        {" Name,Latitude (ddmm.mmmm)", false},
        {"Bondi,3352.2000,15112.6000", false},             // a record
        {"$GPGGA,120000,3539.1234,N,13945.6789,E", false},
    };
    for (const auto& [line, header] : cases) EXPECT_EQ(IsCsvHeaderLine(line), header) << line;
}

TEST(CsvColumns, EveryNameIsTakenBackAndNoneHoldsAComma) {
    for (const std::string_view name : kCsvCustomColumnNames) {
        EXPECT_EQ(name.find(','), std::string_view::npos);
        EXPECT_TRUE(IsCsvHeaderLine(name)) << name;
    }
    // Every Full column has a name of its own, as CSV readers key by name.
    for (size_t i = 0; i < kCsvFullColumnCount; ++i) {
        EXPECT_EQ(kCsvFullColumnNames[i].find(','), std::string_view::npos);
        EXPECT_FALSE(kCsvFullColumnNames[i].empty()) << i;
        for (size_t j = 0; j < i; ++j) EXPECT_NE(kCsvFullColumnNames[i], kCsvFullColumnNames[j]);
    }
}

}  // namespace
}  // namespace geoplait::test
