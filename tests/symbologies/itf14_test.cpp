// ITF-14: the check digit, and bars and spaces read back from the pattern's
// pixel widths, wide exactly 2.5 times narrow at every module.
#include <gtest/gtest.h>

#include "tests/BuildSymbol.h"

namespace {

TEST(Itf14, CheckDigitAddedOrVerified) {
    const struct {
        const char* code;
        const char* text; // nullptr: refused with error
        const char* error;
    } cases[] = {
        {"9501234567890", "95012345678903", nullptr},
        {"15400141288763", "15400141288763", nullptr},
        {" 0001234560001 ", "00012345600012", nullptr},
        {"15400141288760", nullptr,
         "Invalid check digit for barcode \"ITF14\" (must be 3, current \"15400141288760\")."},
        {"950123456789", nullptr,
         "CodeITF14: a GTIN-14 is 13 digits, or 14 with its check digit; \"950123456789\" has "
         "12"},
        {"950123456789012", nullptr,
         "CodeITF14: a GTIN-14 is 13 digits, or 14 with its check digit; \"950123456789012\" has "
         "15"},
        {"9501234-567890", nullptr, "Barcode must be numeric"},
    };
    for (const auto& c : cases)
        for (const bool check : {true, false}) { // the length decides, not the option
            const TBuildResult r = BuildSymbol(bcCodeITF14, c.code, check);
            if (c.text) {
                EXPECT_TRUE(r.ok) << r.error;
                EXPECT_EQ(r.text, c.text);
            } else {
                EXPECT_EQ(r.error, c.error);
            }
        }
}

// Bars and spaces as a scanner sees them, two elements of the pattern side by
// side being one: narrow 2 modules, wide exactly 2.5 times that at every
// module, quiet zones of ten narrow ones. The decoders read the digits.
TEST(Itf14, WideIsTwoAndAHalfNarrowAtEveryModule) {
    for (int m = 1; m <= 5; ++m) {
        TZoBarcode bc;
        bc.SetBarCodeType(bcCodeITF14);
        bc.SetBarCode(u"9501234567890");
        bc.SetModul(m);
        bc.SetRatio(3.0); // the symbology fixes its own
        std::vector<std::pair<bool, int>> runs;
        for (char16_t c : bc.BuildPattern()) {
            const auto [width, kind] = bc.DecodePatternChar(c);
            if (!runs.empty() && runs.back().first == (kind != bkSpace))
                runs.back().second += width;
            else
                runs.push_back({kind != bkSpace, width});
        }
        // quiet zone, start (four narrow), 7 pairs of 10, stop (wide, narrow, narrow), quiet zone
        ASSERT_EQ(runs.size(), 1u + 4 + 70 + 3 + 1);
        EXPECT_EQ(runs.front().second, 20 * m);
        EXPECT_EQ(runs.back().second, 20 * m);
        int wide = 0;
        for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
            EXPECT_TRUE(runs[i].second == 2 * m || runs[i].second == 5 * m) << m << " " << i;
            wide += runs[i].second == 5 * m;
        }
        EXPECT_EQ(wide, 14 * 2 + 1); // two of five per digit, and the stop's bar
    }
}

} // namespace
