// EAN and UPC symbols with a 2- or 5-digit add-on: the main symbol as it is
// alone, the gap, and the add-on as the supplements encode it.
#include <gtest/gtest.h>

#include "tests/BuildSymbol.h"

namespace {

TEST(EanAddOn, MainSymbolGapAndAddOn) {
    const struct {
        TBarcodeType type;
        const char* code;
        bool check;
        const char* text; // BCText: main digits, a blank, the add-on
        std::size_t gap;  // modules
    } cases[] = {
        {bcCodeEAN13, "978030640615+51299", true, "9780306406157 51299", 9},
        {bcCodeEAN13, "9780306406157+05", false, "9780306406157 05", 9},
        {bcCodeEAN8, "9638507+12345", true, "96385074 12345", 9},
        {bcCodeUPC_A, "03600029145+12", true, "036000291452 12", 9},
        {bcCodeUPC_E0, "425261+00000", true, "04252614 00000", 9},
        {bcCodeUPC_E1, "425261+99", false, "14252611 99", 9},
        {bcCodeEAN13, " 978030640615+51299 ", true, "9780306406157 51299", 9}, // blanks trimmed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const TBuildResult r = BuildSymbol(c.type, c.code, c.check);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.text, c.text);
        const std::string code = c.code;
        const std::size_t plus = code.find('+');
        const std::string addOn = code.substr(plus + 1, code.find(' ', plus) - plus - 1);
        const TBuildResult main = BuildSymbol(c.type, code.substr(0, plus), c.check);
        const TBuildResult supp =
            BuildSymbol(addOn.size() == 2 ? bcCodeUPC_Supp2 : bcCodeUPC_Supp5, addOn);
        ASSERT_TRUE(main.ok && supp.ok);
        EXPECT_EQ(r.pattern, main.pattern + std::string(c.gap, '0') + supp.pattern);

        TZoBarcode bc;
        bc.SetBarCodeType(c.type);
        bc.SetBarCode(FromUtf8(c.code));
        bc.SetUseCheckSum(c.check);
        bc.BuildPattern();
        EXPECT_EQ(ToUtf8(bc.AddOn), addOn);
        EXPECT_TRUE(bc.Gs1Elements.empty());
    }
}

TEST(EanAddOn, Refusals) {
    const struct {
        TBarcodeType type;
        const char* code;
        bool check;
        const char* error;
    } cases[] = {
        {bcCodeEAN13, "978030640615+123", true,
         "CodeEAN13: an add-on is 2 or 5 digits; \"123\" has 3"},
        {bcCodeUPC_A, "03600029145+", true, "CodeUPC_A: an add-on is 2 or 5 digits; \"\" has 0"},
        {bcCodeEAN13, "+51299", true, "CodeEAN13: no code before the add-on"},
        {bcCodeUPC_E0, " +12", false, "CodeUPC_E0: no code before the add-on"},
        {bcCodeEAN13, "978030640615+1a", true, "Barcode must be numeric"},
        {bcCodeEAN13, "978030640615+12+34", true, "Barcode must be numeric"},
        {bcCodeEAN13, "978030640615 +12", true, "Barcode must be numeric"},
        // the main symbol's own rules first
        {bcCodeEAN13, "9780306406150+12", false,
         "Invalid check digit for barcode \"EAN13\" (must be 7, current \"9780306406150\")."},
        {bcCodeEAN8, "123456789+12", true,
         "Invalid length for barcode \"EAN8\" (must be 7 digits, current \"123456789\")."},
        // the types without add-ons take no "+"
        {bcCodeUPC_Supp5, "12345+12", true, "Barcode must be numeric"},
        {bcCode128C, "12+34", true, "Barcode must be numeric"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildSymbol(c.type, c.code, c.check).error, c.error) << c.code;
}

} // namespace
