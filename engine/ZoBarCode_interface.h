// The engine's face towards applications: the symbology enumeration, the
// table with one row per symbology, and the one-call drawing entry.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Canvas.h"

// The ordinal is also the index of the symbology in the main window's list,
// which holds the 23 values before bcTypeUndefined. The symbologies after it
// came later: the window never lists them, so a stored index keeps its meaning
// and 23 stays "nothing encodes this". Any 8-bit value may be carried (the
// window passes 255 when nothing is selected).
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
    bcCode128,     // code sets chosen for the shortest symbol
    bcCodeGS1_128, // GS1 element strings in the bracketed form "(01)...(10)..."
    bcCodeSSCC18,  // GS1-128 of the one element (00)
    bcCodeITF14,   // GTIN-14 in interleaved two of five with bearer bars
};

// One row per value of the enumeration, bcTypeUndefined included.
inline constexpr std::size_t BarcodeTypeCount = bcCodeITF14 + 1;
// The symbologies of the main window's list: the values before bcTypeUndefined.
inline constexpr int WindowTypeCount = bcTypeUndefined;

enum TShowTextPosition : std::uint8_t {
    stpTopLeft,
    stpTopRight,
    stpTopCenter,
    stpBottomLeft,
    stpBottomRight,
    stpBottomCenter,
};

class TZoBarcode;
// An encoder: a member of the component that turns BCText into a pattern.
using TEncoder = std::u16string (TZoBarcode::*)();

// What the check option (UseCheckSum) means for a symbology.
enum TCheckCharacter : std::uint8_t {
    ccNone,     // the symbology has no check character; the option changes nothing
    ccOptional, // added when the option is on (EAN/UPC: verified when it is off)
    ccAlways,   // always part of the symbol, whatever the option says
};

// Where the wide-to-narrow ratio is clamped to before the module widths are
// computed; Low = 0 leaves any ratio as it is.
struct TRatioClamp {
    double Low = 0.0;
    double High = 0.0;
};

// A piece of BCText printed at its own place: characters First (1-based) to
// First + Length - 1, after the first After elements of the pattern, or at the
// symbol's left edge, in the lead-in, when After is LeftOfTheBars.
struct TTextPiece {
    static constexpr int LeftOfTheBars = -1;
    int First = 0;
    int Length = 0;
    int After = 0;
};

// Pattern positions, 1-based and inclusive.
struct TElementRange {
    int From = 0;
    int To = 0;
};

// A symbol whose text is printed in pieces between long guard bars (EAN and
// UPC). Such a symbol leaves a lead-in of a tenth of its width for the text at
// its left and, with RightAllowance, room for a digit right of the bars.
struct TTextLayout {
    std::array<TTextPiece, 4> Pieces{};
    std::size_t PieceCount = 0;
    std::array<TElementRange, 3> LongBars{}; // reach half a text line down into the text
    std::size_t LongBarCount = 0;
    bool RightAllowance = false;
    int AutoFontPercent = 75; // of the size whose text first reaches the symbol's width
    int Digits = 0;           // of the whole text, which the pieces print, check digit included
};

// What a text may hold besides what num says.
enum TTextSyntax : std::uint8_t {
    tsPlain,
    tsAddOn,   // EAN/UPC digits, then "+" and the 2 or 5 digits of an add-on
    tsGs1,     // plain, or GS1 element strings when it begins with "(" or "["
    tsGs1Only, // GS1 element strings only
};

// One symbology: everything the engine needs to know about it.
struct TBCdata {
    TBarcodeType Type;
    const char16_t* Name;
    bool num; // digits only, checked after trimming
    TCheckCharacter Check;
    TRatioClamp Ratio;
    TEncoder Encoder;        // nullptr: no symbology (bcTypeUndefined)
    const TTextLayout* Text; // nullptr: the whole text in one place
    TTextSyntax Syntax = tsPlain;
    // Bearer bars framing the symbol, this many modules thick; 0: none.
    int Frame = 0;
    // The lower-case names users of other tools know the symbology by,
    // separated by blanks; "" for none.
    const char16_t* Aliases = u"";
    // What the code is, in a few words ("digits", "text", ...).
    const char16_t* Takes = u"";
};

// Indexed by TBarcodeType. The rows are in symbologies/BarcodeTypeTable.cpp,
// beside the encoders they name.
extern const std::array<TBCdata, BarcodeTypeCount> BarcodeTypeTable;

// The row of a type; none for a value outside the enumeration.
std::optional<TBCdata> BarcodeTypeRow(TBarcodeType type);

// Replaces the list's entries with the names of the window's symbologies;
// returns their count (23, or 24 with "Undefined").
int FillBarcodeTypeNames(std::vector<std::u16string>& list, bool withUndefined);

// Every type that encodes something, the window's and the later ones, in
// the order of the enumeration.
std::vector<TBarcodeType> EncodableBarcodeTypes();

// The aliases of a type's row, one string each ("code128", "code-128"); none
// for a value outside the table.
std::vector<std::u16string> BarcodeTypeAliases(TBarcodeType type);

// One GS1 element string: an application identifier and its data.
struct TGs1Element {
    std::u16string Ai;
    std::u16string Data;
    bool operator==(const TGs1Element&) const = default;
};

// What a scanner transmits for the elements of a GS1-128 symbol: the
// symbology identifier "]C1", then the AIs and their data with GS for every
// separating FNC1.
std::u16string Gs1Transmission(const std::vector<TGs1Element>& elements);
// The elements of transmitted GS1 data (with or without "]C1"), split where
// the dictionary's lengths and the GS say; refused when the data cannot be
// GS1 element strings. The elements are split, not checked.
std::vector<TGs1Element> ParseGs1Transmission(std::u16string_view data);

// The table name of a type ("CodeEAN13"), or "" for a value outside the table.
std::u16string BarcodeTypeName(TBarcodeType type);

// The code as the engine reads it for a type of digits and for GS1 data: without
// the blanks and control characters around it.
std::u16string TrimmedCode(std::u16string_view text);

// How many digits a whole code of the type holds, its check digit included,
// where the type takes that many and adds its check digit when asked, or
// verifies the last digit when not (EAN-8, EAN-13, UPC-A); 0 for other types.
int DigitsWithCheckDigit(TBarcodeType type);

// Draws one barcode into rect in a single call. On return rect.Right is
// rect.Left + the symbol's width; a module of 0 comes back as 1. Errors of the
// engine and the encoders (EBarcodeError) reach the caller; rect is then unchanged.
void DrawBarcodeInRect(const std::u16string& text, TBarcodeType type, TCanvas& canvas, TRect& rect,
                       int& module, const TFont& font, bool autoFontSize, bool showText,
                       TShowTextPosition textPosition, bool useCheckSum);

// A symbol at a module of its own instead of one fitted into a box: labels
// printed at a size. Every distance is in pixels.
struct TSymbolGeometry {
    int Module = 1;     // 1 to TZoBarcode::MaxModul
    int QuietLeft = 0;  // white left of the bars (outside bearer bars)
    int QuietRight = 0; // and right of them
    int BarHeight = 1;  // of the bars, bearer bars not counted
    int TextGap = 0;    // between the bars and the text line
    bool operator==(const TSymbolGeometry&) const = default;
};

struct TSymbolExtent {
    TSymbolGeometry Geometry; // as asked, the quiet zones widened where the text needs room
    int Width = 0;            // quiet zones and bearer bars included
    // Bars, bearer bars and text, or without text as far as the long guard
    // bars reach below the bars.
    int Height = 0;
    int TextLine = 0; // the height of a text line in the font
};

// What DrawBarcodeAtModule would take. The quiet zones grow where the digits
// printed left or right of EAN/UPC bars need more (a module between them and
// the bars), and both grow evenly where a centred text is wider than the symbol.
// Throws EBarcodeError for a refused code or a module outside 1 to MaxModul.
TSymbolExtent MeasureBarcodeAtModule(const std::u16string& text, TBarcodeType type, TCanvas& canvas,
                                     const TSymbolGeometry& geometry, const TFont& font,
                                     bool showText, bool useCheckSum);

// Draws the symbol with its top-left corner at (left, top) and geometry as
// MeasureBarcodeAtModule gave it back, the text (if shown) centred below.
void DrawBarcodeAtModule(const std::u16string& text, TBarcodeType type, TCanvas& canvas, int left,
                         int top, const TSymbolGeometry& geometry, const TFont& font, bool showText,
                         bool useCheckSum);
