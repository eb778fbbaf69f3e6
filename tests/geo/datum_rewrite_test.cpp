// Without the datum shift, TokyoToWgs84 leaves texts alone that its "%3.6f"
// would write back unchanged: for every text the result must be exactly the
// rewrite of its number.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/text_fields.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"

namespace geoplait {
namespace {

std::string Rewritten(const std::string& text) {
    std::string out;
    AssignFixed(out, NumberOf(text), 6, 3);
    return out;
}

void ExpectRewrite(const std::string& lat, const std::string& lon) {
    std::string latitude = lat;
    std::string longitude = lon;
    TokyoToWgs84(latitude, longitude, false);
    EXPECT_EQ(latitude, Rewritten(lat)) << "'" << lat << "'";
    EXPECT_EQ(longitude, Rewritten(lon)) << "'" << lon << "'";
}

TEST(TokyoToWgs84Off, EveryTextComesOutAsItsRewrite) {
    const std::vector<std::string> texts = {
        "35.658581", "139.745433", "-35.658581", "0.000000", "-0.000000", "0.500000",
        "00.500000", "-00.500000", "+1.000000", " 1.000000", "1.0000000", "1.00000",
        "1.00000a", "1.", ".500000", "-", "", "1,000000", "999999999.999999",
        "1000000000.000000", "123456789.123456", "-999999999.999999", "0123.456789",
        "35.6585810", "3.5e1", "35.658581\n", "NaN", "inf",
    };
    for (const std::string& lat : texts) {
        for (const std::string& lon : {std::string("139.745433"), lat}) ExpectRewrite(lat, lon);
    }
    // Random texts near the six-decimal form.
    std::mt19937 random(17);
    for (int n = 0; n < 20000; ++n) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const size_t whole = random() % 12;
        for (size_t i = 0; i < whole; ++i) text += static_cast<char>('0' + random() % 10);
        text += '.';
        const size_t decimals = random() % 10 == 0 ? random() % 9 : 6;
        for (size_t i = 0; i < decimals; ++i) text += static_cast<char>('0' + random() % 10);
        ExpectRewrite(text, text);
    }
}

}  // namespace
}  // namespace geoplait
