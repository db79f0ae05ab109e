// ITF-14: the check digit, and bars and spaces read back from the pattern's
// pixel widths, wide exactly 2.5 times narrow at every module.
#include <gtest/gtest.h>

#include "BuildSymbol.h"

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

// Runs of one colour in pixels, as a scanner sees them: two elements of the
// pattern side by side are one bar.
std::vector<std::pair<bool, int>> Runs(TZoBarcode& bc, const std::u16string& pattern) {
    std::vector<std::pair<bool, int>> runs;
    for (char16_t c : pattern) {
        const auto [width, kind] = bc.DecodePatternChar(c);
        const bool bar = kind != bkSpace;
        if (!runs.empty() && runs.back().first == bar)
            runs.back().second += width;
        else
            runs.push_back({bar, width});
    }
    return runs;
}

TEST(Itf14, BarsAndSpacesReadBackAtEveryModule) {
    const char* const codes[] = {"9501234567890", "0000000000000", "9999999999999"};
    const char* const twoOfFive[] = {"00110", "10001", "01001", "11000", "00101",
                                     "10100", "01100", "00011", "10010", "01010"};
    for (const char* code : codes)
        for (int m = 1; m <= 5; ++m) {
            SCOPED_TRACE(std::string(code) + " module " + std::to_string(m));
            TZoBarcode bc;
            bc.SetBarCodeType(bcCodeITF14);
            bc.SetBarCode(FromUtf8(code));
            bc.SetModul(m);
            bc.SetRatio(3.0); // the symbology fixes its own
            const std::u16string pattern = bc.BuildPattern();
            const auto runs = Runs(bc, pattern);
            const int x = 2 * m; // narrow
            // quiet zone, start (four narrow), 7 pairs of 10, stop (wide bar, narrow, narrow),
            // quiet zone
            ASSERT_EQ(runs.size(), 1u + 4 + 70 + 3 + 1);
            EXPECT_EQ(runs.front(), std::make_pair(false, 10 * x));
            EXPECT_EQ(runs.back(), std::make_pair(false, 10 * x));
            for (int i = 1; i <= 4; ++i)
                EXPECT_EQ(runs[i].second, x);
            EXPECT_EQ(runs[75].second, 5 * m);
            EXPECT_EQ(runs[76].second, x);
            EXPECT_EQ(runs[77].second, x);
            std::string digits;
            for (int pair = 0; pair < 7; ++pair) {
                std::string bars, spaces;
                for (int j = 0; j < 5; ++j) {
                    const auto& bar = runs[5 + pair * 10 + 2 * j];
                    const auto& space = runs[5 + pair * 10 + 2 * j + 1];
                    ASSERT_TRUE(bar.first && !space.first);
                    for (const auto& [kind, w] : {bar, space}) {
                        ASSERT_TRUE(w == x || 2 * w == 5 * x) << w; // narrow, or 2.5 narrow
                        (kind ? bars : spaces) += w == x ? '0' : '1';
                    }
                }
                for (const std::string& d : {bars, spaces})
                    for (int v = 0; v < 10; ++v)
                        if (d == twoOfFive[v]) digits += static_cast<char>('0' + v);
            }
            EXPECT_EQ(digits, ToUtf8(bc.BCText));
        }
}

} // namespace
