// TZoBarcode: everything about one barcode. It turns the code text into a
// pattern string over the bar alphabet, measures the symbol, fits the module
// width and draws itself on a TCanvas.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/BarcodeError.h"
#include "engine/Canvas.h"
#include "engine/ZoBarCode_interface.h"

enum TBarKind : std::uint8_t { bkSpace, bkBar, bkShortBar };

class TZoBarcode {
public:
    static constexpr const char* ClassName = "TZoBarcode";
    static constexpr int MaxModul = 49;
    // Bounds the automatic text size, which would otherwise grow for ever on a
    // text that takes no width; far above any size a real symbol asks for.
    static constexpr int MaxAutoFontSize = 500;
    // The widest symbol that is measured and drawn: half the int range, so that
    // Left plus any position in the symbol is still an int on the canvas.
    static constexpr int MaxWidth = std::numeric_limits<int>::max() / 2;

    TZoBarcode();

    // Copies geometry, text, type, text position and colours; not UseCheckSum,
    // the font or the automatic font sizing.
    void Assign(const TZoBarcode& source);

    const std::u16string& BarCode() const { return FBarCode; }
    void SetBarCode(const std::u16string& v) { FBarCode = v; }
    TBarcodeType BarCodeType() const { return FBarCodeType; }
    void SetBarCodeType(TBarcodeType v) { FBarCodeType = v; }
    bool UseCheckSum() const { return FUseCheckSum; }
    void SetUseCheckSum(bool v) { FUseCheckSum = v; }
    int Top() const { return FTop; }
    void SetTop(int v) { FTop = v; }
    int Left() const { return FLeft; }
    void SetLeft(int v) { FLeft = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Modul() const { return FModul; }
    void SetModul(int v); // 1..49; anything else is ignored
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool v) { FShowText = v; }
    const TFont& ShowTextFont() const { return FShowTextFont; }
    void SetShowTextFont(const TFont& f) { FShowTextFont = f; }
    TShowTextPosition ShowTextPosition() const { return FShowTextPosition; }
    void SetShowTextPosition(TShowTextPosition v) { FShowTextPosition = v; }
    bool AutoFontSize() const { return FAutoFontSize; }
    void SetAutoFontSize(bool v) { FAutoFontSize = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor ColorBar() const { return FColorBar; }
    void SetColorBar(TColor v) { FColorBar = v; }
    // White left and right of the bars (outside bearer bars), in pixels, in
    // place of the tenth of the width an EAN/UPC text takes; -1 for that tenth.
    int QuietLeft() const { return FQuietLeft; }
    int QuietRight() const { return FQuietRight; }
    void SetQuietZones(int left, int right);
    // Pixels between the bars and the text line.
    int TextGap() const { return FTextGap; }
    void SetTextGap(int v) { FTextGap = v > 0 ? v : 0; }

    // Rebuilds BCText, the module widths and the pattern from BarCode. Nothing
    // is kept between builds: every width query and every drawing builds again.
    std::u16string BuildPattern();
    // Width in pixels and kind of one pattern character.
    std::pair<int, TBarKind> DecodePatternChar(char16_t c) const;
    // Widths refuse a symbol wider than MaxWidth.
    int GetWidth();
    int WidthUpTo(int n);
    void SetWidth(int v);
    void DrawBarcode(TCanvas& canvas);

    const std::array<int, 4>& Modules() const { return modules; }

    // The prepared text: after a build, the text as the symbol encodes it
    // (GS1 data as printed, AIs in parentheses; an add-on after a blank).
    std::u16string BCText;
    // After a build: the GS1 element strings the symbol carries (GS1-128,
    // SSCC-18, EAN-128 given in the bracketed form); empty for other data.
    std::vector<TGs1Element> Gs1Elements;
    // After a build: the digits of an EAN/UPC add-on; empty without one.
    std::u16string AddOn;
    // Height of the digit "8" in the text font, measured before drawing.
    int ShowTextH1 = 0;

private:
    std::u16string FBarCode;
    TBarcodeType FBarCodeType = bcCodeEAN13;
    bool FShowText = true;
    bool FUseCheckSum = true;
    int FModul = 1;
    double FRatio = 2.0;
    TColor FColor = clWhite;
    TColor FColorBar = clBlack;
    int FLeft = 0;
    int FTop = 0;
    int FHeight = 0;
    TFont FShowTextFont;
    TShowTextPosition FShowTextPosition = stpTopLeft;
    bool FAutoFontSize = false;
    // Wider than the 8 bits the width classes would need at small modules, so a
    // large module or ratio cannot wrap round to a negative width.
    std::array<int, 4> modules{};
    // The pattern position (1-based) where an add-on begins; 0: none.
    int FAddOnFrom = 0;
    int FQuietLeft = -1;
    int FQuietRight = -1;
    int FTextGap = 0;

    void ComputeModules(const TRatioClamp& clamp);
    const TTextLayout* TextLayout() const;
    bool HasLeadIn() const;
    bool ExplicitQuietZones() const { return FQuietLeft >= 0; }
    // Pixels left of the first bar (or bearer bar) in a symbol w pixels wide.
    int LeadIn(int w) const;
    int FrameWidth() const; // bearer bars left and right of the symbol, each
    // In 64 bits: a long text at a large module and ratio goes beyond any int.
    std::int64_t PatternWidth(const std::u16string& pattern, std::size_t count) const;
    std::int64_t FullWidth(const std::u16string& pattern) const;

    // Sizes and measures the text font; false when the box has no room for the text.
    bool PrepareTextFont(TCanvas& canvas, bool autoSize, int w);
    void DrawCodeText(TCanvas& canvas, int w);
    // text: the text is drawn, and the bars stop above its line.
    void DrawBars(const std::u16string& pattern, TCanvas& canvas, int w, bool text);
    void DrawFrame(TCanvas& canvas, int w);

    // Encoders, one source per family under symbologies/. Each reads BCText
    // (and UseCheckSum or the type where it matters), may replace BCText, and
    // returns the pattern or throws EBarcodeError. They are members because
    // they work on the component's own BCText; BuildPattern, which has checked
    // the text first, calls them through the type table, and nothing else may.
    friend struct TBarcodeTypeRows;
    std::u16string Code_2_5_interleaved();
    std::u16string Code_2_5_industrial();
    std::u16string Code_2_5_matrix();
    std::u16string Code_39();
    std::u16string Code_39Extended();
    std::u16string Code_128();
    std::u16string Code_93();
    std::u16string Code_93Extended();
    std::u16string Code_MSI();
    std::u16string Code_PostNet();
    std::u16string Code_Codabar();
    std::u16string Code_EAN8();
    std::u16string Code_EAN13();
    std::u16string Code_UPC_A();
    std::u16string Code_UPC_E0();
    std::u16string Code_UPC_E1();
    std::u16string Code_Supp5();
    std::u16string Code_Supp2();
    std::u16string Code_128Auto();
    std::u16string Code_GS1_128();
    std::u16string Code_SSCC18();
    std::u16string Code_ITF14();
    // The EAN/UPC encoder main, and an add-on after a "+" in BCText.
    std::u16string WithAddOn(TEncoder main);
    // EAN-128 of GS1 data in the bracketed form, all in the code set (a TCode128Set).
    std::u16string Gs1InOneSet(int set);
};
