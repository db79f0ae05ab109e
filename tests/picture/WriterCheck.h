// Reading written pictures back without any toolkit: PNG, BMP and PPM
// decoders of our own, the renderers' command lines, and a stand-in for the
// font code whose glyphs land on whole pixels, so that a drawing has exact
// pixels to compare its renderings with.
#pragma once

#include <string>
#include <vector>

#include "picture/Bitmap.h"
#include "picture/DrawingRecorder.h"
#include "picture/ImageWriters.h"
#include "picture/Outline.h"

struct TDecoded {
    TBitmap Picture;              // null when the bytes were refused
    std::string Problem;          // why they were
    int BitDepth = 0;             // PNG and BMP: bits per pixel (PNG: per sample)
    int ColourType = -1;          // PNG only
    long DotsPerMetre = 0;        // PNG and BMP
    bool HasTransparency = false; // PNG: a tRNS chunk
};

TDecoded DecodePng(const TBytes& png);
TDecoded DecodeBmp(const TBytes& bmp);
TDecoded DecodePpm(const TBytes& ppm);

// What a command printed on its standard output, and whether it succeeded.
struct TToolRun {
    bool Ok = false;
    TBytes Out;
};
TToolRun RunTool(const std::string& commandLine);

// A folder of the test's own, removed with everything in it.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    std::string Path(const std::string& name) const { return dir + "/" + name; }

private:
    std::string dir;
};

void WriteFile(const std::string& path, const TBytes& bytes);
TBytes ReadFile(const std::string& path);

// Every character a block of 5 x 7 units with a hole of 1 x 3 units, a unit
// being Size / 8 whole pixels; a character advances 6 units, a text is 9
// units high and its blocks begin one unit below its top. The block's edges
// are a line, a quadratic and a cubic curve that are straight, so the curves
// render to the same pixels as lines would. An "o" is round instead, of
// quadratic and cubic curves.
class TBlockGlyphs : public TGlyphOutlines {
public:
    int TextWidth(const TFont& font, const std::u16string& text) override;
    int TextHeight(const TFont& font, const std::u16string& text) override;
    void AppendTextOutline(const TFont& font, const std::u16string& text, double x, double y,
                           TPath& path) override;
};

// The pixels a drawing should render to on white paper: rectangles exactly,
// TBlockGlyphs texts and polygons as the pixels whose centres are inside (or,
// for a polygon, on its outline); alpha blended. Texts must not be turned.
TBitmap ExpectedPixels(const TDrawing& drawing);

// The picture turned quarterTurns times 90 degrees clockwise.
TBitmap Rotated(const TBitmap& picture, int quarterTurns);

// The picture put on white paper.
TBitmap OnPaper(const TBitmap& picture);

// How many pixels of the two pictures differ by more than tolerance in a
// channel; pictures of different sizes differ in every pixel of the larger.
long PixelsApart(const TBitmap& a, const TBitmap& b, int tolerance);
