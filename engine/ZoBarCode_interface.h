// The engine's face towards applications: the symbology enumeration, the
// table naming every symbology, and the one-call drawing entry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

// The ordinal is also the index of the symbology in the main window's list.
// Any 8-bit value may be carried (the window passes 255 when nothing is selected).
enum TBarcodeType : std::uint8_t {
    bcCode_2_5_interleaved,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
    bcCodeUPC_A,
    bcCodeUPC_E0,
    bcCodeUPC_E1,
    bcCodeUPC_Supp2,
    bcCodeUPC_Supp5,
    bcCodeEAN128A,
    bcCodeEAN128B,
    bcCodeEAN128C,
    bcTypeUndefined,
};

enum TShowTextPosition : std::uint8_t {
    stpTopLeft,
    stpTopRight,
    stpTopCenter,
    stpBottomLeft,
    stpBottomRight,
    stpBottomCenter,
};

struct TBCdata {
    const char16_t* Name;
    bool num; // digits only, checked after trimming
};

extern const std::array<TBCdata, 24> BarcodeTypeTable;

// Replaces the list's entries with the symbology names; returns their count (23 or 24).
int FillBarcodeTypeNames(std::vector<std::u16string>& list, bool withUndefined);

// The table name of a type ("CodeEAN13"), or "" for a value outside the table.
std::u16string BarcodeTypeName(TBarcodeType type);

// Draws one barcode into rect in a single call. On return rect.Right is
// rect.Left + the symbol's width; a module of 0 comes back as 1. Errors of the
// engine and the encoders (EBarcodeError) reach the caller; rect is then unchanged.
void DrawBarcodeInRect(const std::u16string& text, TBarcodeType type, TCanvas& canvas, TRect& rect,
                       int& module, const TFont& font, bool autoFontSize, bool showText,
                       TShowTextPosition textPosition, bool useCheckSum);
