// The picture of Generate: size, border, crop, and what it refuses.
#include <gtest/gtest.h>

#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"

namespace {

bool ColumnIsWhite(const QImage& img, int x, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
        if (img.pixelColor(x, y) != Qt::white) return false;
    return true;
}

bool RowIsWhite(const QImage& img, int y) {
    for (int x = 0; x < img.width(); ++x)
        if (img.pixelColor(x, y) != Qt::white) return false;
    return true;
}

std::string Refusal(const QString& code, int type, TGenerateOptions o = {}) {
    try {
        GenerateBarcodePicture(code, type, o);
    } catch (const EBarcodeError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Generate, Ean13WithBorderIsFittedAtModule2) {
    const QImage img = GenerateBarcodePicture(QStringLiteral("590123412345"), 14, {});
    EXPECT_EQ(img.size(), QSize(218 + 20, 190));
    // A white margin of 10 pixels on every side.
    for (int y : {0, 9, 180, 189})
        EXPECT_TRUE(RowIsWhite(img, y)) << y;
    for (int x : {0, 9, 228, 237})
        EXPECT_TRUE(ColumnIsWhite(img, x, 0, 190)) << x;
    // The first bar stands after the lead-in of round(218 * 0.1) = 22 pixels.
    EXPECT_TRUE(ColumnIsWhite(img, 10 + 21, 10, 100));
    EXPECT_EQ(img.pixelColor(10 + 22, 50), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(10 + 23, 50), QColor(Qt::black));
}

TEST(Generate, WithoutBorderTheSymbolFillsThePicture) {
    TGenerateOptions o;
    o.Border = 0;
    o.ShowText = false;
    const QImage img = GenerateBarcodePicture(QStringLiteral("590123412345"), 14, o);
    EXPECT_EQ(img.size(), QSize(285, 200)); // module 3: 285; module 4 would be 380
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(284, 199), QColor(Qt::black));
}

TEST(Generate, SymbolWiderThanTheBitmapIsDrawnWhole) {
    TGenerateOptions o;
    o.Border = 0;
    o.ShowText = false;
    // Industrial two of five at module 1: 8 + 12 a digit + 8 pixels, 388 for 31 digits.
    const QImage img =
        GenerateBarcodePicture(QStringLiteral("1234567890123456789012345678901"), 1, o);
    EXPECT_EQ(img.width(), 388);
    // The stop pattern ends with wide bar, narrow space: the last bar is whole.
    const int w = img.width();
    EXPECT_EQ(img.pixelColor(w - 1, 100), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(w - 2, 100), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(w - 3, 100), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(w - 4, 100), QColor(Qt::white));
}

TEST(Generate, RefusalsCarryTheEngineMessages) {
    EXPECT_EQ(Refusal(QStringLiteral("123"), 255), "TZoBarcode: wrong BarcodeType");
    EXPECT_EQ(Refusal(QStringLiteral("12x"), 14), "Barcode must be numeric");
    EXPECT_EQ(Refusal(QStringLiteral("123456789"), 13),
              R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)");
}

TEST(Generate, AbsurdlyLongCodesAreRefusedNotDrawn) {
    // 3000 characters of Code 128 are 33 000 modules even at module 1.
    const std::string message = Refusal(QString(3000, u'A'), 6);
    EXPECT_EQ(message, "The symbol is 33055 pixels wide; a picture may be at most 32767.");
}

TEST(Generate, PreparedCodeIsWhatTheSymbolEncodes) {
    const TPreparedCode p = PrepareBarcode(QStringLiteral("123456789012"), 14, true);
    EXPECT_EQ(p.Text, QStringLiteral("1234567890128"));
    EXPECT_EQ(p.Pattern,
              QStringLiteral("50515160805170506253505152505050515270517150616060615152505"));
}

TEST(Generate, LargerBoxesFitByTheSameRules) {
    const struct {
        int width, height, border;
        QSize picture; // symbol plus border, height H - b; empty: the box is refused
    } cases[] = {
        {300, 200, 10, {238, 190}},  // the window's box
        {600, 400, 10, {566, 390}},  // 570 inside: module 5, 475 + 71 lead-in = 546
        {1200, 800, 0, {1092, 800}}, // 1200 inside: module 11 would be 1202
        {30, 300, 10, {}},           // nothing left inside three borders
        {8193, 8192, 0, {}},         // more than GenerateMaxPixels
    };
    for (const auto& c : cases) {
        TGenerateOptions o;
        o.Width = c.width;
        o.Height = c.height;
        o.Border = c.border;
        EXPECT_EQ(GenerateBoxProblem(o).isEmpty(), !c.picture.isEmpty()) << c.width;
        if (c.picture.isEmpty()) {
            EXPECT_THROW(GenerateBarcodePicture(QStringLiteral("590123412345"), 14, o),
                         EBarcodeError);
            continue;
        }
        EXPECT_EQ(GenerateBarcodePicture(QStringLiteral("590123412345"), 14, o).size(), c.picture)
            << c.width;
    }
}
