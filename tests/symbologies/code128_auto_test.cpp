// Code 128 with automatic code sets: as short as the shortest known symbol
// for each text, and read back exactly, also for the characters above 127.
#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include "tests/BuildSymbol.h"
#include "tests/Code128Reading.h"
#include "tests/symbologies/TestSeed.h"

namespace {

std::u16string U16(std::string_view utf8) {
    return FromUtf8(utf8);
}

// Modules of the symbol: six elements of 11 modules per value (start, data,
// check) and the stop of 13.
int Modules(const std::string& pattern) {
    return static_cast<int>((pattern.size() - 7) / 6 * 11 + 13);
}

TEST(Code128Auto, AsShortAsTheShortestKnown) {
    const struct {
        const char* text;
        int modules; // zint 2.11's symbol (-b 20); where ours is shorter, ours
    } cases[] = {
        {"ABC1234567890", 134}, // Code128B: 178
        {"1234567890", 90},
        {"a1b2c3", 101},
        {"ORDER-2024-000123", 200},
        {"12345678901234567890abc", 189},
        {"A", 46},
        {"12", 46},
        {"123", 68},
        {"1234", 57},
        {"a12345b", 112},
        {"AB\tcd12", 123},
        {"x1234y56789z", 167},
        {"PO#12/345-678 (rush)", 255},
        {"000000000000000000a", 156},
        {"a00000000000000000", 156},
        {"Hello World", 156},
        {"1a2b3c4d5e6f", 167},
        {"ABCabc123456ABC", 189},
        {"Gr\u00fc\u00dfe caf\u00e9", 178},
        {"\u00c0\u00c9\u00ce\u00d5\u00dc\u00e0\u00e9\u00ee\u00f5\u00fc12", 211},
        {"h\u00e9llo12345678w\u00f6rld", 233},
        // zint 2.11 gives 79: a shift instead of its change to set A
        {"6-\x01", 68},
        // and 156: the latch instead of an FNC4 before each character
        {"\u00a0\u00c0\u00fc\u00fc \u00fc", 134},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCode128, c.text);
        ASSERT_TRUE(r.ok) << c.text << ": " << r.error;
        EXPECT_EQ(Modules(r.pattern), c.modules) << c.text;
        EXPECT_EQ(r.text, c.text);
        const TCode128Reading read = ReadCode128(U16(r.pattern));
        ASSERT_TRUE(read.Ok) << c.text << ": " << read.Error;
        EXPECT_EQ(ToUtf8(read.Text), c.text);
        EXPECT_FALSE(read.Gs1);
    }
}

// The values pin the rules: set C for digit pairs, a shift for one character
// of the other set, FNC4 before one character above 127 and the latch (two
// FNC4) for a run of them.
TEST(Code128Auto, ChoosesSetsShiftsAndFnc4) {
    const struct {
        const char* text;
        std::vector<int> values;
    } cases[] = {
        {"ABC1234567890", {104, 33, 34, 35, 99, 12, 34, 56, 78, 90}},
        {"1234567890", {105, 12, 34, 56, 78, 90}},
        {"a\x01"
         "b",
         {104, 65, 98, 65, 66}},
        {"\x01\x02"
         "ab",
         {103, 65, 66, 100, 65, 66}},
        {"12345a", {105, 12, 34, 100, 21, 65}},
        {"\u00e9", {104, 100, 73}},
        {"\u00c0\u00c9\u00ce\u00d5\u00dc", {104, 100, 100, 32, 41, 46, 53, 60}},
        {"\u00c0\u00c9\u00ce\u00d5\u00dcA", {104, 100, 100, 32, 41, 46, 53, 60, 100, 33}},
        {"\u00ff", {104, 100, 95}}, // DEL in set B, which the fixed Code128B refuses
        {"", {104}},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(bcCode128, c.text);
        ASSERT_TRUE(r.ok) << r.error;
        const TCode128Reading read = ReadCode128(U16(r.pattern));
        ASSERT_TRUE(read.Ok) << read.Error;
        EXPECT_EQ(read.Values, c.values) << c.text;
    }
}

// Random Latin-1 texts of mixed kinds read back as they were, and never take
// more values than one fixed set would.
TEST(Code128Auto, RandomTextsReadBackNoLongerThanOneSet) {
    const unsigned seed = TestSeed();
    std::cout << "seed " << seed << " (BARCODEGEN_SEED=" << seed << " repeats it)\n";
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 rng(seed);
    const std::u16string pools[] = {u"0123456789", u"abcxyz{~\x7f", u"ABC XYZ-./",
                                    u"\x01\t\x1b\x1f", u"\u00e9\u00fc\u00c0\u00ff\u00a0\u0080"};
    for (int round = 0; round < 400; ++round) {
        std::u16string text(rng() % 30, u' ');
        const unsigned kinds = 1 + rng() % 31;
        for (char16_t& c : text) {
            unsigned k = rng() % 5;
            while (!(kinds >> k & 1))
                k = (k + 1) % 5;
            c = pools[k][rng() % pools[k].size()];
        }
        TZoBarcode bc;
        bc.SetBarCodeType(bcCode128);
        bc.SetBarCode(text);
        const std::u16string pattern = bc.BuildPattern();
        const TCode128Reading read = ReadCode128(pattern);
        SCOPED_TRACE("seed " + std::to_string(seed) + " text " + ToUtf8(text));
        ASSERT_TRUE(read.Ok) << read.Error;
        EXPECT_EQ(read.Text, text);
        const bool inA = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 96; });
        const bool inB =
            std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 32 && c < 128; });
        const bool pairs =
            text.size() % 2 == 0 && std::all_of(text.begin(), text.end(),
                                                [](char16_t c) { return c >= u'0' && c <= u'9'; });
        if (inA || inB) {
            EXPECT_LE(read.Values.size(), text.size() + 1);
        }
        if (pairs) {
            EXPECT_EQ(read.Values.size(), text.size() / 2 + 1);
        }
    }
}

} // namespace
