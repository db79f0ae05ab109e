// The pictures of barcodegen-cli behind the library's face: the same layout,
// the same writers, the same file replacement.
#include "barcodegen/barcodegen.h"
#include "library/LibrarySupport.h"
#include "picture/FileIO.h"
#include "picture/GeneratePicture.h"

namespace barcodegen {

namespace {

// The resolutions barcodegen-cli's --dpi takes.
constexpr int MaxPictureDpi = 10000;

// The format rows, in the order of TFormat.
const TPictureFormat& FormatRow(TFormat format) {
    static constexpr std::string_view Names[] = {"PNG", "BMP", "JPEG", "SVG", "PDF"};
    const auto index = static_cast<std::size_t>(format);
    const TPictureFormat* row =
        index < std::size(Names) ? PictureFormatNamed(Names[index]) : nullptr;
    if (!row) throw EError("No such picture format.");
    return *row;
}

TPictureLayout Layout(std::string_view code, int type, const TPictureOptions& options) {
    // The command line refuses a border it would clamp, so does the library.
    if (options.Border < 0 || options.Border > GenerateMaxBorder)
        throw EError(
            FormatMessage("A border of %s pixels: it must be 0 to %s.",
                          {std::to_string(options.Border), std::to_string(GenerateMaxBorder)}));
    TGenerateOptions o;
    o.UseCheckSum = options.CheckDigit;
    o.ShowText = options.ShowText;
    o.Border = options.Border;
    o.Width = options.Width;
    o.Height = options.Height;
    return LayoutBarcodePicture(CodeText(code), EngineType(type), o);
}

void CheckDpi(int dpi) {
    if (dpi < 1 || dpi > MaxPictureDpi)
        throw EError(FormatMessage("A resolution of %s dpi: it must be 1 to %s.",
                                   {std::to_string(dpi), std::to_string(MaxPictureDpi)}));
}

} // namespace

TFormat FormatOfFileName(std::string_view fileName) {
    if (const TPictureFormat* row = PictureFormatOfFile(fileName))
        for (const TFormat f :
             {TFormat::Png, TFormat::Bmp, TFormat::Jpeg, TFormat::Svg, TFormat::Pdf})
            if (&FormatRow(f) == row) return f;
    throw EError(FormatMessage("%s: the name's extension is none of png, bmp, jpg, jpeg, svg "
                               "and pdf",
                               {TextForMessage(FromUtf8(fileName))}));
}

TSize PictureSize(std::string_view code, int type, const TPictureOptions& options) {
    return Refusals([&] {
        const TPictureLayout layout = Layout(code, type, options);
        return TSize{layout.Width, layout.Height};
    });
}

TSize DrawPicture(TCanvas& canvas, std::string_view code, int type,
                  const TPictureOptions& options) {
    return Refusals([&] {
        const TPictureLayout layout = Layout(code, type, options);
        TCanvasAdapter adapter(canvas);
        adapter.Pen.Color = clWhite;
        adapter.Brush.Color = clWhite;
        adapter.Polygon({{0, 0},
                         {0, layout.Height - 1},
                         {layout.Width - 1, layout.Height - 1},
                         {layout.Width - 1, 0}});
        DrawBarcodePicture(adapter, layout);
        return TSize{layout.Width, layout.Height};
    });
}

std::string PictureBytes(TFormat format, std::string_view code, int type,
                         const TPictureOptions& options) {
    const TPictureFormat& row = FormatRow(format);
    CheckDpi(options.Dpi);
    return Refusals([&] {
        try {
            return EncodeBarcodePicture(row, Layout(code, type, options), options.Dpi);
        } catch (const EPictureError& e) {
            throw EError(e.what());
        }
    });
}

void WritePicture(const std::string& fileName, TFormat format, std::string_view code, int type,
                  const TPictureOptions& options) {
    // The picture first: a refused code leaves an existing file as it was.
    const std::string bytes = PictureBytes(format, code, type, options);
    std::string error;
    if (!WriteFileAtomically(fileName, bytes, &error)) throw EError(error);
}

} // namespace barcodegen
