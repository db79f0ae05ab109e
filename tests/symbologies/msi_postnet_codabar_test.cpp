#include <gtest/gtest.h>

#include <set>

#include "symbologies/MsiPostNetCodabar.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// The check digit is drawn, never printed.
INSTANTIATE_TEST_SUITE_P(
    MsiPostNetCodabar, PatternTest,
    testing::Values(PatternCase{bcCodeMSI, "1234", Checks::On, "1234",
                                "605151516051516051515160605160515151605151515"},
                    PatternCase{bcCodeMSI, "0", Checks::On, "0", "605151515151515151515"},
                    PatternCase{bcCodeMSI, "0", Checks::Off, "0", "6051515151515"},
                    PatternCase{bcCodePostNet, "123", Checks::On, "123",
                                "51A1A1A15151A1A151A151A1A15151A1A151A1A1515"},
                    PatternCase{bcCodePostNet, "123", Checks::Off, "123",
                                "51A1A1A15151A1A151A151A1A15151A15"},
                    PatternCase{bcCodePostNet, "0", Checks::On, "0", "515151A1A1A15151A1A1A15"},
                    PatternCase{bcCodePostNet, "0", Checks::Off, "0", "515151A1A1A15"},
                    PatternCase{bcCodeCodabar, "A123B", Checks::On, "A123B",
                                "5061515050506150505150606150505051515060"},
                    PatternCase{bcCodeCodabar, "A123B", Checks::Off, "A123B",
                                "5061515050506150505150606150505051515060"}));

// The check digit's entry is the last one before the stop.
TEST(Msi, CheckDigit) {
    const struct {
        const char* text;
        int check;
    } cases[] = {{"123", 0}, {"5", 9}, {"12", 5}, {"80523", 4}, {"1234", 4}, {"99999999", 8}};
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCodeMSI, c.text, true);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.pattern.substr(r.pattern.size() - 3 - 8, 8), Utf8(MSITable[c.check])) << c.text;
    }
}

TEST(PostNet, CheckDigit) {
    const struct {
        const char* text;
        int check;
    } cases[] = {{"123", 4}, {"55", 0}, {"12345", 5}, {"999999999", 9}};
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCodePostNet, c.text, true);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.pattern.substr(r.pattern.size() - 1 - 10, 10), Utf8(PostNetTable[c.check]))
            << c.text;
    }
}

TEST(PostNet, EveryDigitHasTwoFullBars) {
    std::set<std::u16string> seen;
    for (const char16_t* e : PostNetTable) {
        const std::u16string s = e;
        EXPECT_EQ(std::count(s.begin(), s.end(), u'5'), 2) << ToUtf8(s);
        EXPECT_TRUE(seen.insert(s).second) << ToUtf8(s);
    }
}

TEST(Codabar, StandardTableShape) {
    std::set<std::u16string> seen;
    for (const TCodabarEntry& e : CodabarTable) {
        const std::u16string p = e.Pattern;
        ASSERT_EQ(p.size(), 7u);
        int wideBars = 0;
        int wideSpaces = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const char16_t narrow = i % 2 == 0 ? u'5' : u'0';
            ASSERT_TRUE(p[i] == narrow || p[i] == narrow + 1);
            (i % 2 == 0 ? wideBars : wideSpaces) += p[i] == narrow + 1;
        }
        // digits, '-' and '$' have one wide bar and one wide space; ":/.+" three
        // wide bars; the start/stop characters one wide bar and two wide spaces
        const bool startStop = e.Char >= u'A' && e.Char <= u'D';
        const bool wideThree = std::u16string_view(u":/.+").find(e.Char) != std::u16string::npos;
        EXPECT_EQ(wideBars, wideThree ? 3 : 1) << static_cast<char>(e.Char);
        EXPECT_EQ(wideSpaces, wideThree ? 0 : startStop ? 2 : 1) << static_cast<char>(e.Char);
        EXPECT_TRUE(seen.insert(p).second) << static_cast<char>(e.Char);
    }
    EXPECT_EQ(FindCodabar(u'1'), 0);
    EXPECT_EQ(FindCodabar(u'D'), 19);
    EXPECT_EQ(FindCodabar(u'a'), std::nullopt);
}

TEST(Codabar, Refusals) {
    const char* startStop = "CodeCodabar: the code must begin and end with A, B, C or D";
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", startStop},
        {"123", startStop},
        {"A123", startStop},
        {"123D", startStop},
        {"A", startStop}, // one character cannot be both ends
        {"a123b", startStop},
        {"A1 2B", "CodeCodabar: character \" \" cannot be encoded"},
        {"C1c2D", "CodeCodabar: character \"c\" cannot be encoded"},
        // start/stop characters inside the data end the symbol for a scanner
        {"A12B34B", "CodeCodabar: character \"B\" cannot be encoded"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildSymbol(bcCodeCodabar, c.text).error, c.message);
    EXPECT_TRUE(BuildSymbol(bcCodeCodabar, "DA").ok);
    EXPECT_TRUE(BuildSymbol(bcCodeCodabar, "C-$:/.+0D").ok);
}

} // namespace
