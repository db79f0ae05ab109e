#include <gtest/gtest.h>

#include <set>

#include "symbologies/Code93.h"
#include "symbologies/EncoderSupport.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// The check pair is always there.
INSTANTIATE_TEST_SUITE_P(
    Code93, PatternTest,
    testing::Values(PatternCase{bcCode93, "123", Checks::Either, "123",
                                "5050805051525052515053506050526060515050805"},
                    PatternCase{bcCode93, "TEST93", Checks::Either, "TEST93",
                                "5050806051606151506050616051605350505053505070605152505050805"},
                    PatternCase{bcCode93Extended, "a", Checks::Either, "a",
                                "5050805161506050525251505250605050805"},
                    PatternCase{bcCode93, "", Checks::Either, "", "5050805250515250515050805"}));

// The two check characters sit just before the stop; each is six elements.
std::string CheckPair(const std::string& pattern) {
    return pattern.substr(pattern.size() - 7 - 12, 12);
}

std::string Widths(char16_t a, char16_t b) {
    return ToUtf8(WidthsToPattern(std::u16string(Code93Table[*FindCode93(a)].Widths) +
                                  Code93Table[*FindCode93(b)].Widths));
}

TEST(Code93, CheckWeightsWrap) {
    const struct {
        const char* text;
        char16_t c, k;
    } cases[] = {
        {"123", u'A', u'Q'},
        {"0123456789ABCDEFGHIJ0", u'G', u'1'},          // 21 characters: C weight back to 1
        {"CODE 93 LONGER THAN TWENTY ONE", u'}', u'-'}, // C is 46, the (+) shift
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCode93, c.text);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(CheckPair(r.pattern), Widths(c.c, c.k)) << c.text;
    }
}

TEST(Code93, StandardTableShape) {
    std::set<std::u16string> seen;
    for (const TCode93Entry& e : Code93Table) {
        const std::u16string w = e.Widths;
        ASSERT_EQ(w.size(), 6u);
        int modules = 0;
        for (char16_t d : w)
            modules += d - u'0';
        EXPECT_EQ(modules, 9) << static_cast<char>(e.Char);
        EXPECT_TRUE(seen.insert(w).second) << static_cast<char>(e.Char);
    }
    EXPECT_EQ(FindCode93(u'}'), 46);
    EXPECT_EQ(FindCode93(u'a'), std::nullopt);
}

TEST(Code93, Refusals) {
    EXPECT_EQ(BuildSymbol(bcCode93, "abc").error, "TZoBarcode:Code93 bad Data <abc>");
    EXPECT_EQ(BuildSymbol(bcCode93, "A\u00e9").error, "TZoBarcode:Code93 bad Data <A\u00e9>");
    // control characters are shown, not cut the message short
    EXPECT_EQ(BuildSymbol(bcCode93, std::string("A\0B\t", 4)).error,
              "TZoBarcode:Code93 bad Data <A\u2400B\u2409>");
    EXPECT_EQ(BuildSymbol(bcCode93Extended, "A\u00e9").error,
              "Code93Extended: character \"\u00e9\" cannot be encoded");
    // Plain Code 93 cannot write its shift characters: a scanner would read
    // the control character each one starts, not the bracket printed below.
    for (const std::string shift : {"[", "]", "{", "}"})
        EXPECT_EQ(BuildSymbol(bcCode93, "AB" + shift + "C").error,
                  "Code93: character \"" + shift + "\" cannot be encoded");
}

TEST(Code93Extended, FullAsciiMap) {
    const struct {
        std::string ascii;
        const char* plain;
    } cases[] = {
        {std::string(1, '\0'), "]U"},
        {"\x01", "[A"},
        {"\x1b", "]A"},
        {"!", "{A"},
        {"-", "{M"},
        {":", "{Z"},
        {";", "]F"},
        {"@", "]V"},
        {"[", "]K"},
        {"`", "]W"},
        {"a", "}A"},
        {"z", "}Z"},
        {"{", "]P"},
        {"\x7f", "]T"},
        {"7", "7"},
        {" ", " "},
    };
    for (const auto& c : cases) {
        const TBuildResult ext = BuildSymbol(bcCode93Extended, c.ascii);
        ASSERT_TRUE(ext.ok) << ext.error;
        std::u16string widths;
        for (char16_t p : FromUtf8(c.plain))
            widths += Code93Table[*FindCode93(p)].Widths;
        // the data characters follow the six elements of the start character
        EXPECT_EQ(ext.pattern.substr(6, widths.size()), ToUtf8(WidthsToPattern(widths)))
            << "code " << int(c.ascii[0]);
        EXPECT_EQ(ext.text, c.ascii);
    }
}

} // namespace
