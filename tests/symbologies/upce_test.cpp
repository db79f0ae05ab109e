#include <gtest/gtest.h>

#include "symbologies/EanUpc.h"
#include "symbologies/UpcE.h"
#include "tests/BuildSymbol.h"
#include "tests/symbologies/PatternCase.h"

namespace {

// None of these types lets the check digit be left out.
INSTANTIATE_TEST_SUITE_P(
    UpcE, PatternTest,
    testing::Values(PatternCase{bcCodeUPC_E0, "425261", Checks::Either, "04252614",
                                "505170515160715160605081615050505"},
                    PatternCase{bcCodeUPC_E1, "425261", Checks::Either, "14252611",
                                "505052615160715151635050616050505"},
                    PatternCase{bcCodeUPC_E0, "4252614", Checks::Either, "04252614",
                                "505170515160715160605081615050505"},
                    PatternCase{bcCodeUPC_E0, "0", Checks::Either, "00000000",
                                "505051705170517260526052605050505"},
                    PatternCase{bcCodeUPC_Supp5, "52495", Checks::Either, "52495",
                                "5060715051516051705052506050625"},
                    PatternCase{bcCodeUPC_Supp5, "1", Checks::Either, "00001",
                                "5060517052605052605052605050616"}, // check 3: EoooE
                    PatternCase{bcCodeUPC_Supp2, "12", Checks::Either, "12", "5061615051516"},
                    PatternCase{bcCodeUPC_Supp2, "5", Checks::Either, "05", "5062605050715"}));

TEST(UpcE, ExpansionByLastDigit) {
    const struct {
        const char* six;
        const char16_t* ns0;
        const char16_t* ns1;
    } cases[] = {
        {"123450", u"012000003455", u"112000003452"}, {"123451", u"012100003454", u"112100003451"},
        {"123452", u"012200003453", u"112200003450"}, {"123453", u"012300000451", u"112300000458"},
        {"123454", u"012340000053", u"112340000050"}, {"123455", u"012345000058", u"112345000055"},
        {"123456", u"012345000065", u"112345000062"}, {"123457", u"012345000072", u"112345000079"},
        {"123458", u"012345000089", u"112345000086"}, {"123459", u"012345000096", u"112345000093"},
        {"425261", u"042100005264", u"142100005261"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToUtf8(ExpandUPC_E(FromUtf8(c.six), u'0')), ToUtf8(c.ns0)) << c.six;
        EXPECT_EQ(ToUtf8(ExpandUPC_E(FromUtf8(c.six), u'1')), ToUtf8(c.ns1)) << c.six;
    }
}

TEST(UpcE, SixDigitsGetTheirCheckDigit) {
    for (const char* six : {"123450", "123453", "123454", "123459"}) {
        const std::string e0 = BuildSymbol(bcCodeUPC_E0, six).text;
        const std::string e1 = BuildSymbol(bcCodeUPC_E1, six).text;
        EXPECT_EQ(e0, "0" + std::string(six) + ToUtf8(ExpandUPC_E(FromUtf8(six), u'0')).back());
        EXPECT_EQ(e1, "1" + std::string(six) + ToUtf8(ExpandUPC_E(FromUtf8(six), u'1')).back());
    }
}

// E1 writes every digit in the other set than E0 would for the same parity row.
TEST(UpcE, NumberSystemOneSwapsTheSets) {
    const std::string e0 = BuildSymbol(bcCodeUPC_E0, "1234505").pattern;
    const std::string e1 = BuildSymbol(bcCodeUPC_E1, "1234502").pattern;
    ASSERT_EQ(e0.size(), 33u);
    ASSERT_EQ(e1.size(), 33u);
    // both use row 5 (E0 check 5) and row 2 (E1 check 2): compare each digit's set
    const char16_t* row5 = UPCEParityTable[5];
    const char16_t* row2 = UPCEParityTable[2];
    const std::string digits = "123450";
    for (int i = 0; i < 6; ++i) {
        const int d = digits[i] - '0';
        EXPECT_EQ(e0.substr(3 + 4 * i, 4), Utf8(EANDigitSets[row5[i] == u'E' ? 1 : 0][d])) << i;
        EXPECT_EQ(e1.substr(3 + 4 * i, 4), Utf8(EANDigitSets[row2[i] == u'E' ? 0 : 1][d])) << i;
    }
}

TEST(UpcE, Refusals) {
    const struct {
        TBarcodeType type;
        const char* text;
        const char* message;
    } cases[] = {
        {bcCodeUPC_E0, "4252615",
         "Invalid check digit for barcode \"UPC_E0\" (must be 4, current \"4252615\")."},
        // padded to seven, the last digit is still checked
        {bcCodeUPC_E0, "12345",
         "Invalid check digit for barcode \"UPC_E0\" (must be 4, current \"0012345\")."},
        {bcCodeUPC_E1, "4252614",
         "Invalid check digit for barcode \"UPC_E1\" (must be 1, current \"4252614\")."},
        {bcCodeUPC_E0, "12345678",
         "Invalid length for barcode \"UPC_E0\" (must be 7 digits, current \"12345678\")."},
        {bcCodeUPC_E1, "12345678",
         "Invalid length for barcode \"UPC_E1\" (must be 7 digits, current \"12345678\")."},
        {bcCodeUPC_Supp5, "123456",
         "Invalid length for barcode \"UPC_Supp5\" (must be 5 digits, current \"123456\")."},
        {bcCodeUPC_Supp2, "123",
         "Invalid length for barcode \"UPC_Supp2\" (must be 2 digits, current \"123\")."},
    };
    for (const auto& c : cases) {
        const TBuildResult r = BuildSymbol(c.type, c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.message);
        EXPECT_EQ(r.text, c.text); // left as it was trimmed
    }
}

TEST(Supplements, CheckValueAndParities) {
    const struct {
        const char16_t* digits;
        int check;
    } checks[] = {{u"52495", 1}, {u"00000", 0}, {u"99999", 3}, {u"90000", 7}, {u"24539", 1}};
    for (const auto& c : checks)
        EXPECT_EQ(SuppCheckDigit(c.digits), c.check) << ToUtf8(c.digits);

    // Two digits: the value modulo 4 picks the parities.
    const struct {
        const char* text;
        const char* parity;
    } pairs[] = {{"00", "oo"}, {"01", "oE"}, {"02", "Eo"},
                 {"03", "EE"}, {"04", "oo"}, {"99", "EE"}};
    for (const auto& c : pairs) {
        const std::string p = BuildSymbol(bcCodeUPC_Supp2, c.text).pattern;
        ASSERT_EQ(p.size(), 13u);
        for (int i = 0; i < 2; ++i) {
            const int set = c.parity[i] == 'E' ? EanSetB : EanSetA;
            EXPECT_EQ(p.substr(i == 0 ? 3 : 9, 4), Utf8(EANDigitSets[set][c.text[i] - '0']))
                << c.text;
        }
    }
}

} // namespace
