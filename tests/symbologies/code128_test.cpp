#include <gtest/gtest.h>

#include <set>

#include "symbologies/Code128.h"
#include "symbologies/EncoderSupport.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// Modulo 103 is not optional.
INSTANTIATE_TEST_SUITE_P(
    Code128, PatternTest,
    testing::Values(
        PatternCase{bcCode128A, "AB1", Checks::Either, "AB1",
                    "6053515052625250625171606052706270506"},
        PatternCase{bcCode128B, "Ab1", Checks::Either, "Ab1",
                    "6051535052625153605171606251516270506"},
        PatternCase{bcCode128C, "12345", Checks::Either, "012345",
                    "6051716160617060705070625150816270506"},
        PatternCase{bcCode128C, "1234", Checks::Either, "1234", "6051715061715250625151806270506"},
        PatternCase{bcCode128A, "", Checks::Either, "", "6053516061616270506"},
        PatternCase{bcCode128B, "", Checks::Either, "", "6051536160616270506"},
        // 105 + 0 = 105, check 2
        PatternCase{bcCode128C, "00", Checks::Either, "00", "6051716061616161606270506"},
        // FNC1 (411131) follows the start; 103 + 102 + 2*33 + 3*34 + 4*17 = 441, check 29
        PatternCase{bcCodeEAN128A, "AB1", Checks::Either, "AB1",
                    "6053518050705052625250625171607161506270506"},
        // 104 + 102 = 206, check 0
        PatternCase{bcCodeEAN128B, "", Checks::Either, "", "6051538050706061616270506"},
        // 105 + 102 + 2*1 = 209, check 3
        PatternCase{bcCodeEAN128C, "1", Checks::Either, "01", "6051718050706160615151626270506"},
        // set A carries control characters: \x01 is 65
        PatternCase{bcCode128A, "\x01", Checks::Either, "\x01", "6053515150635150636270506"}));

TEST(Code128, RefusesCharactersOutsideTheSet) {
    const struct {
        TBarcodeType type;
        const char* text;
        const char* message;
    } cases[] = {
        {bcCode128A, "Aa", "Code128A: character \"a\" cannot be encoded"},
        {bcCodeEAN128A, "{", "CodeEAN128A: character \"{\" cannot be encoded"},
        {bcCode128B, "A\x7f", "Code128B: character \"\u2421\" cannot be encoded"},
        {bcCode128B, "\x1d", "Code128B: character \"\u241d\" cannot be encoded"},
        {bcCodeEAN128B, "\u00e9", "CodeEAN128B: character \"\u00e9\" cannot be encoded"},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(c.type, c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.error, c.message);
    }
}

TEST(Code128, StandardTableShape) {
    std::set<std::u16string> seen;
    for (std::size_t v = 0; v < Code128Table.size(); ++v) {
        const std::u16string w = Code128Table[v].Widths;
        ASSERT_EQ(w.size(), 6u) << v;
        int modules = 0;
        int barModules = 0;
        for (std::size_t i = 0; i < w.size(); ++i) {
            modules += w[i] - u'0';
            if (i % 2 == 0) barModules += w[i] - u'0';
        }
        EXPECT_EQ(modules, 11) << v;
        EXPECT_EQ(barModules % 2, 0) << v; // the symbology's parity rule
        EXPECT_TRUE(seen.insert(w).second) << v;
    }
    EXPECT_EQ(std::u16string(Code128Table[Code128Fnc1].Widths), u"411131");
}

TEST(Code128, Lookups) {
    // Every character of a set has its value, in the standard's order.
    for (int c = 0; c < 96; ++c)
        EXPECT_EQ(FindCode128(static_cast<char16_t>(c), cs128A), c < 32 ? c + 64 : c - 32) << c;
    for (int c = 32; c < 127; ++c)
        EXPECT_EQ(FindCode128(static_cast<char16_t>(c), cs128B), c - 32) << c;
    EXPECT_EQ(FindCode128(u'\x7f', cs128B), std::nullopt);
    EXPECT_EQ(FindCode128(u'`', cs128A), std::nullopt);
    EXPECT_EQ(FindCode128C(u"00"), 0);
    EXPECT_EQ(FindCode128C(u"07"), 7);
    EXPECT_EQ(FindCode128C(u"99"), 99);
    // the placeholders of the values without digits are never found
    EXPECT_EQ(FindCode128C(u"  "), std::nullopt);
    EXPECT_EQ(FindCode128C(u"7"), std::nullopt);
}

TEST(Code128, WidthsToPatternAlternatesBarAndSpace) {
    EXPECT_EQ(WidthsToPattern(u"1234"), u"5173");
    EXPECT_EQ(WidthsToPattern(u"4321"), u"8260");
    EXPECT_EQ(WidthsToPattern(u""), u"");
    EXPECT_THROW(WidthsToPattern(u"15"), EBarcodeError);
}

} // namespace
