// The interface of barcodegen-render, the module that renders a written SVG or
// PDF back into pixels for --verify. It links librsvg and poppler, which take
// longer to load than a whole picture takes to draw, so the program loads it
// only when a run verifies a drawing (cli/WrittenPicture.cpp). Plain C, so
// the module and the program agree whatever else they are built with.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

enum TRenderFormat { RenderSvg = 0, RenderPdf = 1 };

struct TRenderedPage {
    int Width;
    int Height;
    std::uint32_t* Pixels; // Width * Height opaque pixels 0xFFRRGGBB, rows top to bottom
};

// Renders the first page of data: an SVG at one pixel to a user unit, a PDF
// at dpi. Refuses a page larger than maxPixels. Returns 1 with page filled
// (free it with barcodegen_free_page), or 0 with page left empty.
typedef int (*TRenderPage)(int format, const char* data, std::size_t size, int dpi,
                           long long maxPixels, TRenderedPage* page);
typedef void (*TFreePage)(TRenderedPage* page);
}

inline constexpr const char* RenderPageSymbol = "barcodegen_render_page";
inline constexpr const char* FreePageSymbol = "barcodegen_free_page";
