// barcodegen as a library: the symbologies of barcodegen-cli, their patterns
// and texts, the symbol drawn on a canvas of the caller's, and the pictures of
// the command line as PNG, SVG or PDF.
//
// Link with barcodegen::barcodegen (CMake: find_package(barcodegen)) or with
// `pkg-config --cflags --libs barcodegen`. Texts are UTF-8 throughout. Every
// function may be called from any thread; nothing is shared between calls.
//
// A code the symbology refuses (a letter in EAN-13, a wrong check digit, a box
// too small) is an EError whose message is the one barcodegen-cli prints.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "barcodegen/version.h"

#define BARCODEGEN_API __attribute__((visibility("default")))

namespace barcodegen {

// The version of the library as "MAJOR.MINOR", which may differ from the
// BARCODEGEN_VERSION a program was compiled with.
BARCODEGEN_API std::string Version();

// A refusal: the code, the type or an option cannot make a symbol, or a file
// cannot be written. what() is a UTF-8 message for the user.
class BARCODEGEN_API EError : public std::runtime_error {
public:
    explicit EError(const std::string& message);
    ~EError() override;
};

// ---- The symbologies

enum class TCheckCharacter : std::uint8_t {
    None,     // the symbology has none; CheckDigit changes nothing
    Optional, // added when CheckDigit is on; EAN-8/13 and UPC-A verify the last digit when off
    Always,   // always in the symbol
};

struct TTypeInfo {
    int Index = 0;                    // what every function here takes as type
    std::string Name;                 // "CodeEAN13"
    std::vector<std::string> Aliases; // names other tools use: "ean-13", "ean"
    std::string Takes;                // what a code holds, in a few words: "digits"
    TCheckCharacter Check = TCheckCharacter::None;
};

// Every symbology, by index. Indices 0 to 22 are those of barcodegen-cli's
// --list-types and of the window's list; the index 23 encodes nothing and is
// left out.
BARCODEGEN_API std::vector<TTypeInfo> Types();

// ---- A symbol as data

enum class TElementKind : std::uint8_t { Space, Bar, ShortBar };

struct TElement {
    TElementKind Kind = TElementKind::Space;
    int Width = 0; // pixels at the module and ratio asked for
};

struct TSymbolOptions {
    bool CheckDigit = true;
    int Module = 1;     // width of the narrowest element in pixels, 1 to 49
    double Ratio = 2.0; // wide to narrow; each symbology keeps it within its own bounds
};

struct TSymbol {
    // The human-readable text as it is printed with the bars: EAN and UPC
    // with their check digit, GS1 data with its AIs in parentheses, an
    // EAN/UPC add-on after a blank. A check character that is not printed
    // (Code 39, Code 128) is in Pattern only.
    std::string Text;
    // One character per element: "0" to "3" a space, "5" to "8" a bar, "A"
    // to "D" a short bar, each of width class 0 (narrow) to 3.
    std::string Pattern;
    std::vector<TElement> Elements; // Pattern's elements, left to right
    // The symbol's width in pixels as it is drawn with its text: the elements,
    // plus the room EAN and UPC leave for their text left and right of the
    // bars, plus ITF-14's bearer bars.
    int Width = 0;
    // What a GS1 symbol carries: (AI, data) pairs; empty for other data.
    std::vector<std::pair<std::string, std::string>> Gs1Elements;
    std::string AddOn; // the digits of an EAN/UPC add-on; empty without one
};

// Throws EError when the code is refused or the options are out of range.
BARCODEGEN_API TSymbol Encode(std::string_view code, int type, const TSymbolOptions& options = {});

// ---- Drawing on the caller's canvas
//
// Coordinates are whole pixels, x to the right and y downwards from the
// canvas's top-left corner. A rectangle's Right and Bottom are exclusive.

using TColor = std::uint32_t; // 0xRRGGBB

struct TPoint {
    int X = 0;
    int Y = 0;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct TFont {
    std::string Name = "Tahoma";
    int Size = 8; // points at 96 dpi: a point is 4/3 pixel
    TColor Color = 0x000000;
    bool Bold = false;
};

// What a canvas is asked to do. Everything a symbol has is filled shapes and
// texts: no line is drawn on its own.
class BARCODEGEN_API TCanvas {
public:
    virtual ~TCanvas();
    // The text's size in pixels in the font. By default measured as
    // barcodegen's pictures measure it (Tahoma through FreeType), so a canvas
    // that only draws need not measure.
    virtual int TextWidth(const TFont& font, const std::string& text);
    virtual int TextHeight(const TFont& font, const std::string& text);
    // The text with its cell's top-left corner at (x, y); the cell (the
    // text's width by its height) is filled with background first, if any.
    virtual void TextOut(int x, int y, const TFont& font, const std::string& text,
                         std::optional<TColor> background) = 0;
    // A filled polygon whose outline pixels belong to it. The symbols are made
    // of axis-aligned rectangles only: four corners, both opposite corners
    // inclusive ((x1, y1) to (x2, y2) covers columns x1..x2 and rows y1..y2).
    virtual void Polygon(const std::vector<TPoint>& points, TColor colour) = 0;
};

enum class TTextPosition : std::uint8_t {
    TopLeft,
    TopRight,
    TopCenter,
    BottomLeft,
    BottomRight,
    BottomCenter,
};

struct TDrawOptions {
    bool CheckDigit = true;
    bool ShowText = true;
    TTextPosition TextPosition = TTextPosition::BottomCenter;
    TFont Font; // its Size is only used when AutoFontSize is off
    bool AutoFontSize = true;
};

// Draws the symbol into box with the widest module that keeps it inside the
// box's width (a module of 1 when none does: it is then wider than the box),
// the bars down to the text. Without the text (ShowText off), EAN's and
// UPC's long guard bars still reach half a line of it below the box. The
// ground is left as it is. Returns the part of box the symbol took: Right is
// Left plus the symbol's width. Throws EError when the code is refused; the
// canvas may then have been asked to measure, never to draw.
BARCODEGEN_API TRect Draw(TCanvas& canvas, std::string_view code, int type, TRect box,
                          const TDrawOptions& options = {});

// ---- Pictures as barcodegen-cli makes them

// The options of barcodegen-cli of the same names: --no-check-digit,
// --no-text, --border, --size and --dpi.
struct TPictureOptions {
    bool CheckDigit = true;
    bool ShowText = true;
    int Border = 10; // white border in pixels, 0 to 30
    int Width = 300; // the box the symbol is fitted into, as the window fits it
    int Height = 200;
    int Dpi = 96; // written into the file, 1 to 10000
};

enum class TFormat : std::uint8_t { Png, Bmp, Jpeg, Svg, Pdf };

// The format a file name's extension names (".png", ".bmp", ".jpg", ".jpeg",
// ".svg", ".pdf", any case); throws EError for any other.
BARCODEGEN_API TFormat FormatOfFileName(std::string_view fileName);

// The picture's size in pixels, and in an SVG or PDF the same drawing.
struct TSize {
    int Width = 0;
    int Height = 0;
};

// The size of the picture: the symbol with the widest module that fits the
// box (less three borders each way) plus the border, the box's height less
// one border. A symbol wider than the box even at modules of one pixel is
// drawn whole on a wider picture, as barcodegen-cli draws it without --size
// (with --size it refuses such a symbol: compare this size with the box).
BARCODEGEN_API TSize PictureSize(std::string_view code, int type,
                                 const TPictureOptions& options = {});

// The picture drawn on the caller's canvas: the white ground, then the symbol
// inside the border, exactly as the PNG has it. Returns the picture's size.
BARCODEGEN_API TSize DrawPicture(TCanvas& canvas, std::string_view code, int type,
                                 const TPictureOptions& options = {});

// The bytes of the file barcodegen-cli writes for the code with these options.
BARCODEGEN_API std::string PictureBytes(TFormat format, std::string_view code, int type,
                                        const TPictureOptions& options = {});

// The same written to fileName, replacing an existing file only once the new
// one is complete. Throws EError naming the file and why when it cannot.
BARCODEGEN_API void WritePicture(const std::string& fileName, TFormat format, std::string_view code,
                                 int type, const TPictureOptions& options = {});

// Why the pictures' text cannot be drawn in Tahoma (Debian's fonts-wine
// missing: DejaVu Sans stands in, or no text at all), or "" when it can.
BARCODEGEN_API std::string FontProblem();

} // namespace barcodegen
