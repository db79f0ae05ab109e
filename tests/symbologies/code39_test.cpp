#include <gtest/gtest.h>

#include <set>

#include "symbologies/Code39.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// Neither encoder alters the printed text.
INSTANTIATE_TEST_SUITE_P(
    Code39, PatternTest,
    testing::Values(PatternCase{bcCode39, "123", Checks::On, "123",
                                "51506060506051505060506150506060615050505061605050515060605"},
                    PatternCase{bcCode39, "123", Checks::Off, "123",
                                "5150606050605150506050615050606061505050515060605"},
                    PatternCase{bcCode39Extended, "a1", Checks::On, "a1",
                                "51506060505150515150605051506060515050605061506050515060605"},
                    PatternCase{bcCode39, "", Checks::Off, "", "5150606050515060605"},
                    PatternCase{bcCode39, "", Checks::On, "", "51506060505051606050515060605"},
                    // blanks are data here: nothing trims them
                    PatternCase{bcCode39, " ", Checks::Off, " ", "51506060505160506050515060605"}));

// The check character is the entry whose value is the sum modulo 43.
TEST(Code39, CheckCharacter) {
    const struct {
        const char* text;
        char16_t check;
    } cases[] = {
        {"Z8", u'0'},   // 43 wraps to 0, which is the digit, not the start/stop '*'
        {"Z7", u'%'},   // 42, the last value
        {"%%%%", u'$'}, // 168 = 3 * 43 + 39
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        const TBuildResult r = BuildSymbol(bcCode39, text, true);
        ASSERT_TRUE(r.ok) << r.error;
        const std::size_t at = 10 * (text.size() + 1);
        EXPECT_EQ(r.pattern.substr(at, 9), Utf8(Code39Table[*FindCode39(c.check)].Pattern)) << text;
    }
}

TEST(Code39, StandardTableShape) {
    std::set<std::u16string> seen;
    for (const TCode39Entry& e : Code39Table) {
        const std::u16string p = e.Pattern;
        ASSERT_EQ(p.size(), 9u) << static_cast<char>(e.Char);
        int wide = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const char16_t narrow = i % 2 == 0 ? u'5' : u'0';
            EXPECT_TRUE(p[i] == narrow || p[i] == narrow + 1) << static_cast<char>(e.Char);
            wide += p[i] == narrow + 1;
        }
        EXPECT_EQ(wide, 3) << static_cast<char>(e.Char); // three of nine
        EXPECT_TRUE(seen.insert(p).second) << static_cast<char>(e.Char);
    }
}

TEST(Code39, FindIsExact) {
    EXPECT_EQ(FindCode39(u'0'), 0);
    EXPECT_EQ(FindCode39(u'%'), 43);
    EXPECT_EQ(FindCode39(u'a'), std::nullopt);
    EXPECT_EQ(FindCode39(u'\0'), std::nullopt);
}

TEST(Code39, RefusesCharactersWithoutEntry) {
    const struct {
        TBarcodeType type;
        std::string text;
        const char* message;
    } cases[] = {
        {bcCode39, "ABc", "Code39: character \"c\" cannot be encoded"},
        // control characters are shown as their pictures: a NUL would cut the message short
        {bcCode39, "A\tB", "Code39: character \"\u2409\" cannot be encoded"},
        {bcCode39, std::string("A\0B", 3), "Code39: character \"\u2400\" cannot be encoded"},
        {bcCode39, "a!", "Code39: character \"a\" cannot be encoded"}, // the first one
        // '*' is the start/stop character: scanners stop reading at it
        {bcCode39, "AB*CD", "Code39: character \"*\" cannot be encoded"},
        {bcCode39Extended, "A\u00e91", "Code39Extended: character \"\u00e9\" cannot be encoded"},
        {bcCode39Extended, "x\U0001F600",
         "Code39Extended: character \"\U0001F600\" cannot be encoded"},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(c.type, c.text, true);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.error, c.message);
    }
}

// Full ASCII: the extended symbol of a character is the plain symbol of its two-character code.
TEST(Code39Extended, FullAsciiMap) {
    const struct {
        std::string ascii;
        const char* plain;
    } cases[] = {
        {std::string(1, '\0'), "%U"},
        {"\x01", "$A"},
        {"\x1a", "$Z"},
        {"\x1b", "%A"},
        {"\x1f", "%E"},
        {"!", "/A"},
        {"-", "/M"},
        {".", "/N"},
        {"/", "/O"},
        {":", "/Z"},
        {";", "%F"},
        {"?", "%J"},
        {"@", "%V"},
        {"[", "%K"},
        {"_", "%O"},
        {"`", "%W"},
        {"z", "+Z"},
        {"{", "%P"},
        {"~", "%S"},
        {"\x7f", "%T"},
        {" ", " "},
        {"Q", "Q"},
    };
    for (const auto& c : cases) {
        const TBuildResult ext = BuildSymbol(bcCode39Extended, c.ascii, true);
        const TBuildResult plain = BuildSymbol(bcCode39, c.plain, true);
        ASSERT_TRUE(ext.ok) << ext.error;
        EXPECT_EQ(ext.pattern, plain.pattern) << "code " << int(c.ascii[0]);
        EXPECT_EQ(ext.text, c.ascii);
    }
}

} // namespace
