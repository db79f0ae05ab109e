// Between the library's public types and the engine's: conversions, and the
// canvas of a caller seen as the engine's TCanvas. Not installed.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "barcodegen/barcodegen.h"
#include "engine/BarcodeError.h"
#include "engine/Canvas.h"
#include "engine/ZoBarCode_interface.h"

namespace barcodegen {

// The engine's messages become the library's error; so does a box or file
// problem reported below it. Anything else (bad_alloc, a canvas's own
// exception) passes as it is.
template <class F> auto Refusals(F&& work) -> decltype(work()) {
    try {
        return work();
    } catch (const EBarcodeError& e) {
        throw EError(e.what());
    }
}

// A code that is no UTF-8 would reach the encoders with replacement
// characters in it and be refused for a character the caller never gave.
inline std::u16string CodeText(std::string_view code) {
    std::u16string text = FromUtf8(code);
    if (ToUtf8(text) != code) throw EError("The code is not valid UTF-8.");
    return text;
}

// An index outside the table is the engine's "wrong BarcodeType", not a
// type whose index it shares in 8 bits.
inline TBarcodeType EngineType(int type) {
    return type >= 0 && type < int(BarcodeTypeCount) ? static_cast<TBarcodeType>(type)
                                                     : bcTypeUndefined;
}

// 0xRRGGBB of the library, 0x00BBGGRR of the engine: the swap is its own inverse.
inline std::uint32_t SwappedRedBlue(std::uint32_t c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

inline ::TFont EngineFont(const TFont& font) {
    ::TFont f;
    f.Name = FromUtf8(font.Name);
    f.Size = font.Size;
    f.Color = SwappedRedBlue(font.Color);
    f.Style = font.Bold ? std::uint8_t(TFontStyle::fsBold) : 0;
    return f;
}

inline TFont LibraryFont(const ::TFont& font) {
    TFont f;
    f.Name = ToUtf8(font.Name);
    f.Size = font.Size;
    f.Color = SwappedRedBlue(font.Color);
    f.Bold = (font.Style & std::uint8_t(TFontStyle::fsBold)) != 0;
    return f;
}

// The engine sets Font, Pen and Brush and calls the four operations; the
// caller's canvas gets that state with each call instead.
class TCanvasAdapter : public ::TCanvas {
public:
    explicit TCanvasAdapter(barcodegen::TCanvas& canvas) : target(canvas) {}

    int TextWidth(const std::u16string& text) override {
        return target.TextWidth(LibraryFont(Font), ToUtf8(text));
    }
    int TextHeight(const std::u16string& text) override {
        return target.TextHeight(LibraryFont(Font), ToUtf8(text));
    }
    void TextOut(int x, int y, const std::u16string& text) override {
        std::optional<TColor> background;
        if (Brush.Style == TBrushStyle::bsSolid) background = SwappedRedBlue(Brush.Color);
        target.TextOut(x, y, LibraryFont(Font), ToUtf8(text), background);
    }
    // Every shape the engine draws has its pen and brush in one colour.
    void Polygon(const std::vector<::TPoint>& points) override {
        std::vector<barcodegen::TPoint> corners;
        corners.reserve(points.size());
        for (const ::TPoint& p : points)
            corners.push_back({p.X, p.Y});
        target.Polygon(
            corners, SwappedRedBlue(Brush.Style == TBrushStyle::bsSolid ? Brush.Color : Pen.Color));
    }

private:
    barcodegen::TCanvas& target;
};

} // namespace barcodegen
