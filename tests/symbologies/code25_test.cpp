// Two of five, interleaved, industrial and matrix: the patterns, the length a
// digit takes, and the leading zero that pairs an odd interleaved code.
#include <gtest/gtest.h>

#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// None of them has a check digit: the option changes nothing.
INSTANTIATE_TEST_SUITE_P(
    TwoOfFive, PatternTest,
    testing::Values(
        PatternCase{bcCode_2_5_interleaved, "1234", Checks::Either, "1234",
                    "505060515050616060515051605"},
        PatternCase{bcCode_2_5_interleaved, "12", Checks::Either, "12", "50506051505061605"},
        // 0 is 00110
        PatternCase{bcCode_2_5_interleaved, "0", Checks::Either, "00", "50505050616150605"},
        PatternCase{bcCode_2_5_industrial, "12", Checks::Either, "12",
                    "60605060505050605060505060605060"},
        PatternCase{bcCode_2_5_industrial, "0", Checks::Either, "0", "6060505050606050605060"},
        PatternCase{bcCode_2_5_matrix, "12", Checks::Either, "12", "70505060506051506070505"},
        PatternCase{bcCode_2_5_matrix, "1234", Checks::Either, "1234",
                    "70505060506051506061505050606070505"},
        PatternCase{bcCode_2_5_matrix, "0", Checks::Either, "0", "70505050615070505"}));

TEST(TwoOfFive, LengthsPerDigit) {
    for (std::size_t n = 2; n <= 12; n += 2) {
        const std::string digits(n, '7');
        EXPECT_EQ(BuildSymbol(bcCode_2_5_industrial, digits).pattern.size(), 12 + 10 * n);
        EXPECT_EQ(BuildSymbol(bcCode_2_5_matrix, digits).pattern.size(),
                  11 + 6 * n); // five elements and a gap
        EXPECT_EQ(BuildSymbol(bcCode_2_5_interleaved, digits).pattern.size(), 7 + 5 * n);
    }
}

TEST(TwoOfFive, InterleavedOddLengthGetsALeadingZeroInTheText) {
    const TBuildResult odd = BuildSymbol(bcCode_2_5_interleaved, "123");
    EXPECT_EQ(odd.text, "0123");
    EXPECT_EQ(odd.pattern, BuildSymbol(bcCode_2_5_interleaved, "0123").pattern);
    EXPECT_EQ(BuildSymbol(bcCode_2_5_interleaved, "7").text, "07");
}

} // namespace
