// The engine behind the library's face: types, patterns and the drawing on a
// caller's canvas. The engine's own types never reach the public header.
#include <cmath>

#include "barcodegen/barcodegen.h"
#include "engine/ZoBarcode.h"
#include "library/LibrarySupport.h"
#include "picture/TextFace.h"

namespace barcodegen {

std::string Version() {
    return BARCODEGEN_VERSION;
}

EError::EError(const std::string& message) : std::runtime_error(message) {}
EError::~EError() = default;

std::vector<TTypeInfo> Types() {
    std::vector<TTypeInfo> types;
    for (const TBarcodeType type : EncodableBarcodeTypes()) {
        const TBCdata& row = BarcodeTypeTable[type];
        TTypeInfo info;
        info.Index = type;
        info.Name = ToUtf8(row.Name);
        for (const std::u16string& alias : BarcodeTypeAliases(type))
            info.Aliases.push_back(ToUtf8(alias));
        info.Takes = ToUtf8(row.Takes);
        info.Check = row.Check == ccAlways     ? TCheckCharacter::Always
                     : row.Check == ccOptional ? TCheckCharacter::Optional
                                               : TCheckCharacter::None;
        types.push_back(std::move(info));
    }
    return types;
}

TSymbol Encode(std::string_view code, int type, const TSymbolOptions& options) {
    if (options.Module < 1 || options.Module > TZoBarcode::MaxModul)
        throw EError(
            FormatMessage("A module of %s pixels: it must be 1 to %s.",
                          {std::to_string(options.Module), std::to_string(TZoBarcode::MaxModul)}));
    if (!std::isfinite(options.Ratio) || options.Ratio <= 0)
        throw EError("The ratio of wide to narrow elements must be a number above 0.");
    return Refusals([&] {
        TZoBarcode bc;
        bc.SetBarCode(CodeText(code));
        bc.SetBarCodeType(EngineType(type));
        bc.SetUseCheckSum(options.CheckDigit);
        bc.SetModul(options.Module);
        bc.SetRatio(options.Ratio);
        TSymbol symbol;
        const std::u16string pattern = bc.BuildPattern();
        symbol.Pattern = ToUtf8(pattern);
        symbol.Text = ToUtf8(bc.BCText);
        for (const char16_t c : pattern) {
            const auto [width, kind] = bc.DecodePatternChar(c);
            symbol.Elements.push_back({kind == bkBar        ? TElementKind::Bar
                                       : kind == bkShortBar ? TElementKind::ShortBar
                                                            : TElementKind::Space,
                                       width});
        }
        symbol.Width = bc.GetWidth();
        for (const TGs1Element& e : bc.Gs1Elements)
            symbol.Gs1Elements.emplace_back(ToUtf8(e.Ai), ToUtf8(e.Data));
        symbol.AddOn = ToUtf8(bc.AddOn);
        return symbol;
    });
}

TCanvas::~TCanvas() = default;

int TCanvas::TextWidth(const TFont& font, const std::string& text) {
    return MeasureTextWidth(EngineFont(font), FromUtf8(text));
}

int TCanvas::TextHeight(const TFont& font, const std::string&) {
    return MeasureTextLine(EngineFont(font)).Height();
}

TRect Draw(TCanvas& canvas, std::string_view code, int type, TRect box,
           const TDrawOptions& options) {
    return Refusals([&] {
        TCanvasAdapter adapter(canvas);
        ::TRect r{box.Left, box.Top, box.Right, box.Bottom};
        int module = 0;
        DrawBarcodeInRect(CodeText(code), EngineType(type), adapter, r, module,
                          EngineFont(options.Font), options.AutoFontSize, options.ShowText,
                          static_cast<TShowTextPosition>(options.TextPosition), options.CheckDigit);
        return TRect{r.Left, r.Top, r.Right, r.Bottom};
    });
}

std::string FontProblem() {
    return TextFontProblem();
}

} // namespace barcodegen
