// --verify's comparison: what ZXing-C++ reads from a symbol against what was
// encoded, GS1 data element by element and an add-on apart from its symbol.
#include <gtest/gtest.h>

#include "cli/VerifyPicture.h"
#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"

namespace {

TExpectedReading Expected(int type, const char* code) {
    return ExpectedReading(FromUtf8(code), type, true);
}

} // namespace

// Real pictures of one code read against what another code would carry: the
// faults a wrong encoder makes, each caught with what differs.
TEST(VerifyReading, PicturesOfOtherDataAreRefused) {
    const struct {
        int drawnType;
        const char* drawn;
        int type;
        const char* code;
        const char* says; // "": it reads back as encoded
    } cases[] = {
        {bcCodeGS1_128, "(01)09520123456788(10)ABC123(21)4567", bcCodeGS1_128,
         "(01)09520123456788(10)ABC123(21)4567", ""},
        // Without the separator after the variable-length AI 10, AI 21 runs into its data.
        {bcCodeEAN128B, "010952012345678810ABC123214567", bcCodeGS1_128,
         "(01)09520123456788(10)ABC123(21)4567",
         "reads back (10)ABC123214567 where (10)ABC123 was encoded"},
        // The brackets drawn as data, without the FNC1 that flags GS1 content.
        {bcCode128B, "(01)09520123456788", bcCodeGS1_128, "(01)09520123456788",
         "with the identifier ]C0, not ]C1"},
        {bcCodeGS1_128, "(01)09520123456788", bcCodeGS1_128, "(01)09520123456788(10)ABC123",
         "reads back without (10)ABC123"},
        {bcCodeGS1_128, "(01)09520123456788(10)ABC123", bcCodeGS1_128, "(01)09520123456788",
         "reads back (10)ABC123, never encoded"},
        {bcCodeSSCC18, "09520123456789123", bcCodeSSCC18, "09520123456789124",
         "reads back (00)095201234567891235 where (00)09520123456789124"},
        {bcCodeEAN128C, "(01)09520123456788(17)261231", bcCodeEAN128C,
         "(01)09520123456788(17)261231", ""},
        {bcCodeEAN13, "978030640615+51299", bcCodeEAN13, "978030640615+51299", ""},
        {bcCodeEAN13, "978030640615+51299", bcCodeEAN13, "978030640615+51290",
         "reads back with the add-on \"51299\", not \"51290\""},
        {bcCodeEAN13, "978030640615", bcCodeEAN13, "978030640615+51299",
         "reads no CodeEAN13 symbol with an add-on"},
        {bcCodeEAN13, "590123412345+12", bcCodeEAN13, "978030640615+12",
         "reads back as \"5901234123457\", not \"9780306406157\""},
        {bcCodeUPC_E0, "425261+12345", bcCodeUPC_E0, "425261+12345", ""},
        {bcCodeITF14, "1540014128876", bcCodeITF14, "1540014128876", ""},
        // The same digits as plain interleaved two of five, the last not their check digit.
        {bcCode_2_5_interleaved, "15400141288760", bcCodeITF14, "1540014128876",
         "reads no CodeITF14 symbol"},
        {bcCode128, "ABC1234567890", bcCode128, "ABC1234567891",
         "reads back as \"ABC1234567890\", not \"ABC1234567891\""},
    };
    for (const auto& c : cases) {
        const TBitmap picture =
            GenerateBarcodePicture(FromUtf8(c.drawn), c.drawnType, TGenerateOptions{});
        const std::string problem = VerifyProblem(GreyOf(picture), Expected(c.type, c.code));
        EXPECT_EQ(problem.empty(), *c.says == 0) << c.drawn << " as " << c.code << ": " << problem;
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.code << ": " << problem;
    }
}

// Readings no picture of ours gives: the reader's terms compared as such.
TEST(VerifyReading, ReadingsAreComparedInTheReadersTerms) {
    const TExpectedReading gs1 = Expected(bcCodeGS1_128, "(01)09520123456788(10)ABC123(21)4567");
    const TExpectedReading itf = Expected(bcCodeITF14, "1540014128876");
    const struct {
        const TExpectedReading& expected;
        TReading reading;
        const char* says;
    } cases[] = {
        {gs1,
         {"Code128",
          u"010952012345678810ABC123\x1d"
          u"214567",
          "]C1"},
         ""},
        {gs1,
         {"Code128", u"(01)09520123456788(10)ABC123(21)4567", "]C1"},
         "which are no GS1 element strings"},
        {gs1,
         {"Code128",
          u"010952012345678810ABC123\x1d"
          u"214567",
          "]C0"},
         "]C0, not ]C1"},
        {gs1, {"EAN-13", u"5901234123457", "]E0"}, "symbol reads back as EAN-13"},
        {gs1, {"", u"", ""}, "ZXing-C++ reads no CodeGS1_128 symbol in the picture"},
        {itf, {"ITF", u"15400141288763", "]I1"}, ""},
        {itf, {"ITF", u"1540014128876", "]I0"}, "reads back as \"1540014128876\""},
    };
    for (const auto& c : cases) {
        const std::string problem = ReadingProblem(c.expected, c.reading);
        EXPECT_EQ(problem.empty(), *c.says == 0) << ToUtf8(c.reading.Bytes) << ": " << problem;
        EXPECT_NE(problem.find(c.says), std::string::npos)
            << ToUtf8(c.reading.Bytes) << ": " << problem;
    }
}
