// SVG and PDF files of a recorded drawing, built in memory. Bars are exact
// rectangles on whole pixels; texts are the filled outlines of their glyphs,
// so no reader needs the font. One pixel of the drawing is 1/dpi inch.
#pragma once

#include <string>

#include "picture/DrawingRecorder.h"
#include "picture/ImageWriters.h"
#include "picture/Outline.h"

// Each returns false with a message in error (which may be null) when the
// drawing has no pixels or the resolution is outside MinFileDpi..MaxFileDpi;
// out is then unchanged. Otherwise out holds the whole file.

// SVG whose viewBox is the drawing's pixels and whose width and height are
// its printed size in millimetres.
bool EncodeSvg(const TDrawing& drawing, TGlyphOutlines& glyphs, int dpi, TBytes& out,
               std::string* error);

// PDF of one page, exactly the drawing's printed size (in points, to a
// millionth), its content stream deflated. The same drawing gives the same
// bytes: the file names no date.
bool EncodePdf(const TDrawing& drawing, TGlyphOutlines& glyphs, int dpi, TBytes& out,
               std::string* error);
