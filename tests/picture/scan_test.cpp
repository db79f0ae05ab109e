// Pictures of Generate must scan: two independent decoders read them back and
// must find exactly the text the symbol claims (BCText).
#include <gtest/gtest.h>

#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "tests/ScanSupport.h"

namespace {

struct ScanCase {
    int type;
    const char* code;
    bool check;
    bool showText;
    int border;
    std::string zbarName;
    std::string zxingName;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.zxingName << " " << c.code << (c.showText ? "" : " no text") << " border " << c.border;
}

class ScanBack : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanBack, BothDecodersReadTheText) {
    const ScanCase& c = GetParam();
    TGenerateOptions o;
    o.UseCheckSum = c.check;
    o.ShowText = c.showText;
    o.Border = c.border;
    const QString code = QString::fromUtf8(c.code);
    const QImage picture = GenerateBarcodePicture(code, c.type, o);
    const std::string expected = PrepareBarcode(code, c.type, c.check).Text.toStdString();

    const ScanResult zbar = ScanWithZbar(picture);
    ASSERT_TRUE(zbar.ok) << zbar.log;
    // A UPC-A reading drops the EAN-13 leading zero.
    const std::string text =
        c.type == bcCodeEAN13 && c.zbarName == "UPC-A" ? expected.substr(1) : expected;
    EXPECT_EQ(zbar.text, text);
    EXPECT_EQ(zbar.symbology, c.zbarName);

    const ScanResult zxing = ScanWithZxing(picture);
    ASSERT_TRUE(zxing.ok) << zxing.log;
    EXPECT_EQ(zxing.text, text);
    EXPECT_EQ(zxing.symbology, c.zxingName);
}

const ScanCase Cases[] = {
    {bcCodeEAN13, "590123412345", true, true, 10, "EAN-13", "EAN-13"},
    {bcCodeEAN13, "4006381333931", false, true, 10, "EAN-13", "EAN-13"},
    {bcCodeEAN13, "978020137962", true, false, 0, "EAN-13", "EAN-13"},
    // A leading 0 makes it a UPC-A symbol, and decoders say so.
    {bcCodeEAN13, "1", true, true, 10, "UPC-A", "UPC-A"},
    {bcCodeEAN13, " 501234567890 ", true, true, 30, "EAN-13", "EAN-13"},
    {bcCodeEAN8, "1234567", true, true, 10, "EAN-8", "EAN-8"},
    {bcCodeEAN8, "96385074", false, false, 5, "EAN-8", "EAN-8"},
    {bcCodeUPC_A, "12345678901", true, true, 10, "UPC-A", "UPC-A"},
    {bcCodeUPC_A, "036000291452", false, true, 0, "UPC-A", "UPC-A"},
    {bcCode_2_5_interleaved, "123456", true, true, 10, "I2/5", "ITF"},
    {bcCode_2_5_interleaved, "00123456789012", true, false, 10, "I2/5", "ITF"},
    {bcCode_2_5_interleaved, "1234567", true, true, 10, "I2/5", "ITF"}, // odd: a leading 0
    {bcCode_2_5_interleaved, "12345678901234567890", true, true, 0, "I2/5", "ITF"},
};

INSTANTIATE_TEST_SUITE_P(Generate, ScanBack, ::testing::ValuesIn(Cases));

} // namespace
