// Every type value, including the undefined ones, with an empty, a typical and
// an unencodable text: each build yields a pattern of the bar alphabet or one of
// the documented refusals, never anything else. An empty code is refused by the
// types of digits: they would draw zeros or a symbol that carries nothing.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <random>
#include <regex>

#include "tests/BuildSymbol.h"
#include "tests/symbologies/TestSeed.h"

namespace {

bool InBarAlphabet(const std::string& pattern) {
    return pattern.find_first_not_of("01235678ABCD") == std::string::npos;
}

bool Framed(const std::string& s, const std::string& head, const std::string& tail) {
    return s.size() > head.size() + tail.size() && s.starts_with(head) && s.ends_with(tail);
}

// The quoted parts may hold any character, NUL included, so those are matched by their frame.
bool IsDocumentedRefusal(const std::string& message) {
    for (const TBarcodeType t : EncodableBarcodeTypes())
        if (Framed(message,
                   ToUtf8(BarcodeTypeName(static_cast<TBarcodeType>(t))) + ": character \"",
                   "\" cannot be encoded"))
            return true;
    if (message.starts_with("TZoBarcode:Code93 bad Data <") && message.ends_with(">")) return true;
    static const std::regex known[] = {
        std::regex(R"(Barcode must be numeric)"),
        std::regex(R"(The code holds only blanks, and \w+ takes digits)"),
        std::regex(R"(TZoBarcode: wrong BarcodeType)"),
        std::regex(R"(CodeCodabar: the code must begin and end with A, B, C or D)"),
        std::regex(
            R"(Invalid length for barcode "\w+" \(must be \d+ digits, current "\d*(…\d*)?"\)\.)"),
        std::regex(
            R"(Invalid check digit for barcode "\w+" \(must be \d, current "\d*(…\d*)?"\)\.)"),
        std::regex(
            R"(Code(EAN8|EAN13|UPC_A|UPC_E0|UPC_E1): an add-on is 2 or 5 digits; "\d*" has \d+)"),
        std::regex(R"(Code(EAN8|EAN13|UPC_A|UPC_E0|UPC_E1): no code before the add-on)"),
        std::regex(
            R"(CodeSSCC18: an SSCC is 17 digits, or 18 with its check digit; "\d*" has \d+)"),
        std::regex(
            R"(CodeITF14: a GTIN-14 is 13 digits, or 14 with its check digit; "\d*" has \d+)"),
        // GS1 data: an AI, its data, or the brackets around them; the quoted parts are the user's
        std::regex(
            R"(Code(GS1_128|SSCC18|EAN128[ABC]): (unknown AI \(\d+\)|AI \(\d+\)(:| and AI \(\d+\) must not be in one symbol)|the data must begin with an AI in brackets, such as \(01\)|the bracket of ".*" is never closed|".*" is no AI: an AI is 2 to 4 digits|code set C carries digits in pairs, and "\d+" has \d+ digits).*)"),
    };
    for (const std::regex& r : known)
        if (std::regex_match(message, r)) return true;
    return false;
}

struct Case {
    int type;
    const char* text;
    const char* error; // nullptr: the build succeeds
    bool check = true;
};

constexpr const char* Numeric = "Barcode must be numeric";
constexpr const char* WrongType = "TZoBarcode: wrong BarcodeType";
constexpr const char* StartStop = "CodeCodabar: the code must begin and end with A, B, C or D";

class AllTypes : public testing::TestWithParam<Case> {};

TEST_P(AllTypes, PatternOrDocumentedRefusal) {
    const Case& c = GetParam();
    const TBuildResult r = BuildSymbol(c.type, c.text, c.check);
    if (c.error == nullptr) {
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_FALSE(r.pattern.empty());
        EXPECT_TRUE(InBarAlphabet(r.pattern)) << r.pattern;
    } else {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_TRUE(IsDocumentedRefusal(r.error)) << r.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EmptyTypicalBad, AllTypes,
    testing::Values(
        Case{bcCode_2_5_interleaved, "",
             "The code holds only blanks, and Code_2_5_interleaved takes digits"},
        Case{bcCode_2_5_interleaved, "1234", nullptr}, Case{bcCode_2_5_interleaved, "12a", Numeric},
        Case{bcCode_2_5_industrial, "",
             "The code holds only blanks, and Code_2_5_industrial takes digits"},
        Case{bcCode_2_5_industrial, "1234", nullptr}, Case{bcCode_2_5_industrial, "1.2", Numeric},
        Case{bcCode_2_5_matrix, "", "The code holds only blanks, and Code_2_5_matrix takes digits"},
        Case{bcCode_2_5_matrix, "1234", nullptr}, Case{bcCode_2_5_matrix, "-1", Numeric},
        Case{bcCode39, "", nullptr}, Case{bcCode39, "CODE-39 $/+%.", nullptr},
        Case{bcCode39, "Code", "Code39: character \"o\" cannot be encoded"},
        Case{bcCode39Extended, "", nullptr}, Case{bcCode39Extended, "Code 39!\n", nullptr},
        Case{bcCode39Extended, "\u00e9", "Code39Extended: character \"\u00e9\" cannot be encoded"},
        Case{bcCode128A, "", nullptr}, Case{bcCode128A, "AB\x01_", nullptr},
        Case{bcCode128A, "a", "Code128A: character \"a\" cannot be encoded"},
        Case{bcCode128B, "", nullptr}, Case{bcCode128B, "Ab1~", nullptr},
        Case{bcCode128B, "\t", "Code128B: character \"\u2409\" cannot be encoded"},
        Case{bcCode128C, "", "The code holds only blanks, and Code128C takes digits"},
        Case{bcCode128C, " 12345 ", nullptr}, Case{bcCode128C, "12a", Numeric},
        Case{bcCode93, "", nullptr}, Case{bcCode93, "TEST93", nullptr},
        Case{bcCode93, "Test", "TZoBarcode:Code93 bad Data <Test>"},
        Case{bcCode93Extended, "", nullptr}, Case{bcCode93Extended, "Test 93!\x7f", nullptr},
        Case{bcCode93Extended, "\u20ac", "Code93Extended: character \"\u20ac\" cannot be encoded"},
        Case{bcCodeMSI, "", "The code holds only blanks, and CodeMSI takes digits"},
        Case{bcCodeMSI, "1234", nullptr}, Case{bcCodeMSI, "x", Numeric},
        Case{bcCodePostNet, "", "The code holds only blanks, and CodePostNet takes digits"},
        Case{bcCodePostNet, "12345", nullptr}, Case{bcCodePostNet, "1234-5678", Numeric},
        Case{bcCodeCodabar, "", StartStop}, Case{bcCodeCodabar, "A123B", nullptr},
        Case{bcCodeCodabar, "A1a2B", "CodeCodabar: character \"a\" cannot be encoded"},
        Case{bcCodeEAN8, "", "The code holds only blanks, and CodeEAN8 takes digits"},
        Case{bcCodeEAN8, "1234567", nullptr},
        Case{bcCodeEAN8, "123456789",
             "Invalid length for barcode \"EAN8\" (must be 7 digits, current \"123456789\")."},
        Case{bcCodeEAN13, "", "The code holds only blanks, and CodeEAN13 takes digits"},
        Case{bcCodeEAN13, "123456789012", nullptr}, Case{bcCodeEAN13, "x", Numeric},
        Case{bcCodeUPC_A, "", "The code holds only blanks, and CodeUPC_A takes digits"},
        Case{bcCodeUPC_A, "12345678901", nullptr}, Case{bcCodeUPC_A, "1 2", Numeric},
        Case{bcCodeUPC_E0, "", "The code holds only blanks, and CodeUPC_E0 takes digits"},
        Case{bcCodeUPC_E0, "425261", nullptr},
        Case{bcCodeUPC_E0, "4252615",
             "Invalid check digit for barcode \"UPC_E0\" (must be 4, current \"4252615\")."},
        Case{bcCodeUPC_E1, "", "The code holds only blanks, and CodeUPC_E1 takes digits"},
        Case{bcCodeUPC_E1, "425261", nullptr}, Case{bcCodeUPC_E1, "x", Numeric},
        Case{bcCodeUPC_Supp2, "", "The code holds only blanks, and CodeUPC_Supp2 takes digits"},
        Case{bcCodeUPC_Supp2, "12", nullptr},
        Case{bcCodeUPC_Supp2, "123",
             "Invalid length for barcode \"UPC_Supp2\" (must be 2 digits, current \"123\")."},
        Case{bcCodeUPC_Supp5, "", "The code holds only blanks, and CodeUPC_Supp5 takes digits"},
        Case{bcCodeUPC_Supp5, "52495", nullptr},
        Case{bcCodeUPC_Supp5, "123456",
             "Invalid length for barcode \"UPC_Supp5\" (must be 5 digits, current \"123456\")."},
        Case{bcCodeEAN128A, "", nullptr}, Case{bcCodeEAN128A, "AB1", nullptr},
        Case{bcCodeEAN128A, "a", "CodeEAN128A: character \"a\" cannot be encoded"},
        Case{bcCodeEAN128B, "", nullptr}, Case{bcCodeEAN128B, "(10)abc", nullptr},
        // brackets begin GS1 data, which must be right: no longer parentheses as data
        Case{bcCodeEAN128B, "(01)abc",
             "CodeEAN128B: AI (01): the data must be 14 digits long, not 3"},
        Case{bcCodeEAN128B, "\u00e9", "CodeEAN128B: character \"\u00e9\" cannot be encoded"},
        Case{bcCodeEAN128C, "", "The code holds only blanks, and CodeEAN128C takes digits"},
        Case{bcCodeEAN128C, "0112345678901231", nullptr}, Case{bcCodeEAN128C, "1x", Numeric},
        Case{bcCodeEAN128C, "(00)123456789012345675", nullptr},
        Case{bcTypeUndefined, "", WrongType}, Case{bcTypeUndefined, "123", WrongType},
        Case{bcTypeUndefined, "a", Numeric}, Case{255, "", WrongType}, Case{255, "123", WrongType},
        Case{255, "a", WrongType},
        // without the check option the EAN/UPC digits must carry a right check digit
        Case{bcCodeEAN8, "12345670", nullptr, false},
        Case{bcCodeEAN8, "1234567",
             "Invalid check digit for barcode \"EAN8\" (must be 5, current \"01234567\").", false},
        Case{bcCodeUPC_E0, "", "The code holds only blanks, and CodeUPC_E0 takes digits", false},
        Case{bcCodeCodabar, "A1B", nullptr, false}, Case{bcCode39, "", nullptr, false},
        Case{bcCodeMSI, "", "The code holds only blanks, and CodeMSI takes digits", false},
        // the types after the window's
        Case{bcCode128, "", nullptr}, Case{bcCode128, "Gr\u00fc\u00dfe 12345678", nullptr},
        Case{bcCode128, "\u20ac5", "Code128: character \"\u20ac\" cannot be encoded"},
        Case{bcCode128, "ok \U0001F600", "Code128: character \"\U0001F600\" cannot be encoded"},
        Case{bcCodeGS1_128, "",
             "CodeGS1_128: the data must begin with an AI in brackets, such as (01)"},
        Case{bcCodeGS1_128, "(01)09520123456788(10)ABC123", nullptr},
        Case{bcCodeGS1_128, "(01)09520123456781",
             "CodeGS1_128: AI (01): the check digit is 1, it must be 8"},
        Case{bcCodeSSCC18, "", "The code holds only blanks, and CodeSSCC18 takes digits"},
        Case{bcCodeSSCC18, "37610425002123456", nullptr},
        Case{bcCodeSSCC18, "3761042500212345x", Numeric},
        Case{bcCodeITF14, "", "The code holds only blanks, and CodeITF14 takes digits"},
        Case{bcCodeITF14, "9501234567890", nullptr}, Case{bcCodeITF14, "(01)", Numeric},
        Case{bcCodeEAN13, "978030640615+51299", nullptr},
        Case{bcCodeEAN13, "978030640615+123",
             "CodeEAN13: an add-on is 2 or 5 digits; \"123\" has 3"},
        Case{bcCodeUPC_A, "03600029145+1+2", Numeric}));

// Every row of the type table: the name and digit rule applications rely on,
// a typical code that builds, and a check option that does what the row says.
TEST(TypeTable, EveryRow) {
    const struct {
        TBarcodeType type;
        const char* name;
        bool digitsOnly;
        const char* typical; // nullptr: no symbology
    } rows[] = {
        {bcCode_2_5_interleaved, "Code_2_5_interleaved", true, "1234"},
        {bcCode_2_5_industrial, "Code_2_5_industrial", true, "1234"},
        {bcCode_2_5_matrix, "Code_2_5_matrix", true, "1234"},
        {bcCode39, "Code39", false, "CODE39"},
        {bcCode39Extended, "Code39Extended", false, "Code 39"},
        {bcCode128A, "Code128A", false, "AB1"},
        {bcCode128B, "Code128B", false, "Ab1"},
        {bcCode128C, "Code128C", true, "12345"},
        {bcCode93, "Code93", false, "TEST93"},
        {bcCode93Extended, "Code93Extended", false, "Test 93"},
        {bcCodeMSI, "CodeMSI", true, "1234"},
        {bcCodePostNet, "CodePostNet", true, "12345"},
        {bcCodeCodabar, "CodeCodabar", false, "A123B"},
        {bcCodeEAN8, "CodeEAN8", true, "1234567"},
        {bcCodeEAN13, "CodeEAN13", true, "590123412345"},
        {bcCodeUPC_A, "CodeUPC_A", true, "12345678901"},
        {bcCodeUPC_E0, "CodeUPC_E0", true, "425261"},
        {bcCodeUPC_E1, "CodeUPC_E1", true, "425261"},
        {bcCodeUPC_Supp2, "CodeUPC_Supp2", true, "12"},
        {bcCodeUPC_Supp5, "CodeUPC_Supp5", true, "52495"},
        {bcCodeEAN128A, "CodeEAN128A", false, "AB1"},
        {bcCodeEAN128B, "CodeEAN128B", false, "(10)abc"},
        {bcCodeEAN128C, "CodeEAN128C", true, "0112345678901231"},
        {bcTypeUndefined, "Undefined", true, nullptr},
        {bcCode128, "Code128", false, "Order 12345"},
        {bcCodeGS1_128, "CodeGS1_128", false, "(01)09520123456788"},
        {bcCodeSSCC18, "CodeSSCC18", true, "37610425002123456"},
        {bcCodeITF14, "CodeITF14", true, "9501234567890"},
    };
    ASSERT_EQ(std::size(rows), BarcodeTypeTable.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.name);
        ASSERT_EQ(r.type, i);
        const TBCdata& row = BarcodeTypeTable[i];
        EXPECT_EQ(row.Type, r.type);
        EXPECT_EQ(ToUtf8(row.Name), r.name);
        EXPECT_EQ(row.num, r.digitsOnly);
        EXPECT_EQ(BuildSymbol(r.type, "1x").error == Numeric, r.digitsOnly);
        if (r.typical == nullptr) {
            EXPECT_EQ(BuildSymbol(r.type, "1").error, WrongType);
            continue;
        }
        const TBuildResult on = BuildSymbol(r.type, r.typical, true);
        ASSERT_TRUE(on.ok) << on.error;
        EXPECT_TRUE(InBarAlphabet(on.pattern)) << on.pattern;
        const TBuildResult off = BuildSymbol(r.type, r.typical, false);
        EXPECT_EQ(on.pattern != off.pattern, row.Check == ccOptional) << off.error;
    }
}

// The names other tools' users type: lower case, and each names one type
// only, also when "-", "_", blanks and case are ignored as the command line does.
TEST(TypeTable, AliasesNameOneTypeEach) {
    const auto folded = [](std::u16string s) {
        std::u16string out;
        for (char16_t c : s)
            if (c != u'-' && c != u'_' && c != u' ') out += c >= u'A' && c <= u'Z' ? c + 32 : c;
        return out;
    };
    std::map<std::u16string, int> owner;
    for (const TBarcodeType t : EncodableBarcodeTypes()) {
        const std::vector<std::u16string> aliases = BarcodeTypeAliases(t);
        EXPECT_FALSE(aliases.empty()) << int(t);
        std::vector<std::u16string> names = aliases;
        names.push_back(BarcodeTypeName(t));
        for (const std::u16string& n : names) {
            const auto [at, added] = owner.emplace(folded(n), t);
            EXPECT_TRUE(added || at->second == t)
                << ToUtf8(n) << " names types " << at->second << " and " << int(t);
        }
        for (const std::u16string& a : aliases)
            EXPECT_EQ(a.find_first_of(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ _"), std::u16string::npos)
                << ToUtf8(a);
    }
    // as users type them
    EXPECT_EQ(owner[u"code128"], bcCode128);
    EXPECT_EQ(owner[u"gs1128"], bcCodeGS1_128);
    EXPECT_EQ(owner[u"ucc128"], bcCodeGS1_128);
    EXPECT_EQ(owner[u"itf"], bcCode_2_5_interleaved);
    EXPECT_EQ(owner[u"upce"], bcCodeUPC_E0);
    EXPECT_EQ(owner[u"sscc18"], bcCodeSSCC18);
    EXPECT_EQ(BarcodeTypeAliases(bcTypeUndefined).size(), 0u);
    EXPECT_EQ(EncodableBarcodeTypes().size(), BarcodeTypeCount - 1);
}

// Hostile texts: every outcome is a pattern of the alphabet or a documented refusal.
TEST(AllTypesHostile, NeverAnythingElse) {
    std::string allAscii;
    for (int c = 0; c < 128; ++c)
        allAscii += static_cast<char>(c);
    const std::string lone = ToUtf8(std::u16string(1, u'\xD800')); // becomes U+FFFD
    const std::vector<std::string> texts = {
        std::string(1, '\0'),
        allAscii,
        std::string(5000, '9'),
        std::string(5000, 'Z'),
        "\U0001F600",
        lone,
        "   ",
        "A" + std::string(3000, '1') + "B",
        "\xff\xfe",
    };
    for (int type = 0; type < 256; type += type < 30 ? 1 : 15)
        for (const std::string& text : texts)
            for (bool check : {true, false}) {
                const TBuildResult r = BuildSymbol(type, text, check);
                if (r.ok)
                    EXPECT_TRUE(InBarAlphabet(r.pattern)) << type;
                else
                    EXPECT_TRUE(IsDocumentedRefusal(r.error)) << type << ": " << r.error;
            }
}

TEST(AllTypesHostile, RandomTexts) {
    const unsigned seed = TestSeed();
    std::cout << "seed " << seed << " (BARCODEGEN_SEED=" << seed << " repeats it)\n";
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 rng(seed);
    for (int round = 0; round < 300; ++round) {
        const int type = static_cast<int>(rng() % (BarcodeTypeCount + 1));
        std::u16string text(rng() % 40, u' ');
        for (char16_t& c : text)
            c = static_cast<char16_t>(rng() % 4 == 0 ? rng() % 0x10000 : u'0' + rng() % 75);
        const TBuildResult r = BuildSymbol(type, ToUtf8(text), rng() % 2 == 0);
        if (r.ok)
            EXPECT_TRUE(InBarAlphabet(r.pattern)) << "seed " << seed << " type " << type;
        else
            EXPECT_TRUE(IsDocumentedRefusal(r.error))
                << "seed " << seed << " type " << type << ": " << r.error;
    }
}

} // namespace
