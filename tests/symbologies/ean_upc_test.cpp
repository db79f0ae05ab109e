// EAN-8, EAN-13 and UPC-A: the modulo 10 check digit, worked examples,
// padding, the check digit a code brings along, the length of a whole code,
// and the refusals.
#include <gtest/gtest.h>

#include <map>

#include "symbologies/EanUpc.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

TEST(EanUpc, CheckDigitModulo10) {
    EXPECT_EQ(CheckSumModulo10(u"590123412345"), u"5901234123457");
    EXPECT_EQ(CheckSumModulo10(u"123456789012"), u"1234567890128");
    EXPECT_EQ(CheckSumModulo10(u"000000000000"), u"0000000000000");
    EXPECT_EQ(CheckSumModulo10(u""), u"0");
}

INSTANTIATE_TEST_SUITE_P(
    EanUpc, PatternTest,
    testing::Values(PatternCase{bcCodeEAN13, "123456789012", Checks::On, "1234567890128",
                                "50515160805170506253505152505050515270517150616060615152505"},
                    PatternCase{bcCodeEAN8, "1234567", Checks::On, "12345670",
                                "5051615151608050526050505170505352517150505"},
                    PatternCase{bcCodeUPC_A, "12345678901", Checks::On, "123456789012",
                                "50516151516080505260625050805050525151527051715061606061505"}));

TEST(EanUpc, PaddingAndTheirOwnCheckDigits) {
    const struct {
        TBarcodeType type;
        const char* in;
        bool check;
        const char* text;
    } cases[] = {
        {bcCodeEAN13, "0", true, "0000000000000"},
        {bcCodeEAN8, "0", false, "00000000"},
        {bcCodeUPC_A, "1234", true, "000000012348"},
        {bcCodeEAN13, "1234567890128", false, "1234567890128"},
        {bcCodeEAN8, "12345670", false, "12345670"},
        {bcCodeUPC_A, "12348", false, "000000012348"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildSymbol(c.type, c.in, c.check).text, c.text) << c.in;
}

TEST(EanUpc, Refusals) {
    const struct {
        TBarcodeType type;
        const char* in;
        bool check;
        const char* message;
    } cases[] = {
        {bcCodeEAN8, "123456789", true,
         R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)"},
        {bcCodeEAN8, "123456789", false,
         R"(Invalid length for barcode "EAN8" (must be 8 digits, current "123456789").)"},
        {bcCodeEAN13, "1234567890123", true,
         R"(Invalid length for barcode "EAN13" (must be 12 digits, current "1234567890123").)"},
        {bcCodeUPC_A, "1234567890123", false,
         R"(Invalid length for barcode "UPC_A" (must be 12 digits, current "1234567890123").)"},
        // A wrong last digit would make a symbol that no scanner reads.
        {bcCodeEAN13, "1234567890123", false,
         R"(Invalid check digit for barcode "EAN13" (must be 8, current "1234567890123").)"},
        {bcCodeEAN8, "1234567", false,
         R"(Invalid check digit for barcode "EAN8" (must be 5, current "01234567").)"},
        {bcCodeUPC_A, "123456789011", false,
         R"(Invalid check digit for barcode "UPC_A" (must be 2, current "123456789011").)"},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(c.type, c.in, c.check);
        EXPECT_FALSE(r.ok) << c.in;
        EXPECT_EQ(r.error, c.message);
        EXPECT_EQ(r.text, c.in) << "keeps the trimmed input";
    }
}

TEST(EanUpc, LeadingZeroMakesEan13LikeUpcA) {
    EXPECT_EQ(BuildSymbol(bcCodeEAN13, "0123456789012", false).pattern,
              BuildSymbol(bcCodeUPC_A, "123456789012", false).pattern);
}

// DigitsWithCheckDigit is how long a whole code of the type is: with the
// check digit added, one digit fewer makes it and a whole code is too long;
// without, a whole code is taken as it is. Every other type says 0.
TEST(EanUpc, DigitsWithCheckDigitAreWhatTheSymbolHolds) {
    const std::map<TBarcodeType, int> lengths = {
        {bcCodeEAN8, 8}, {bcCodeEAN13, 13}, {bcCodeUPC_A, 12}};
    for (const TBarcodeType type : EncodableBarcodeTypes()) {
        const int n = DigitsWithCheckDigit(type);
        EXPECT_EQ(n, lengths.contains(type) ? lengths.at(type) : 0) << int(type);
        if (n == 0) continue;
        const TBuildResult made = BuildSymbol(type, std::string(std::size_t(n) - 1, '7'));
        ASSERT_TRUE(made.ok) << made.error;
        EXPECT_EQ(made.text.size(), std::size_t(n));
        EXPECT_FALSE(BuildSymbol(type, made.text).ok) << made.text;
        const TBuildResult verified = BuildSymbol(type, " " + made.text + "\t", false);
        EXPECT_TRUE(verified.ok) << verified.error;
        EXPECT_EQ(verified.text, made.text);
    }
    EXPECT_EQ(DigitsWithCheckDigit(TBarcodeType(200)), 0);
}

TEST(EanUpc, EveryDigitIsSevenModules) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCodeEAN13);
    bc.SetBarCode(u"1");
    bc.BuildPattern();
    for (int d = 0; d <= 9; ++d)
        for (int set = 0; set < 3; ++set) {
            int w = 0;
            for (const char16_t* p = EANDigitSets[set][d]; *p; ++p)
                w += bc.DecodePatternChar(*p).first;
            EXPECT_EQ(w, 7) << "set " << set << " digit " << d;
        }
}

} // namespace
