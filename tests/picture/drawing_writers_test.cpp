// The recorded drawing and its SVG and PDF files: what the canvas calls
// record, which shapes a file needs, and files that render back to the
// drawing's pixels in rsvg-convert, pdftoppm and poppler's library.
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <poppler-document.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>
#include <sstream>

#include "picture/DrawingLayers.h"
#include "picture/DrawingWriters.h"
#include "tests/picture/WriterCheck.h"

namespace {

TFont FontOf(int size) {
    TFont f;
    f.Size = size;
    return f;
}

// Bars and spaces of a symbol over a text, as the engine draws them: the
// text's cell in white first, its digits, then every element of the
// pattern, spaces in white too.
TDrawing Symbol(TPixel ink = PixelBlack, TPixel paper = PixelWhite) {
    TDrawing d;
    d.Width = 60;
    d.Height = 40;
    d.Background = paper;
    d.Items.push_back(TDrawnRect{{8, 28, 32, 37}, paper});
    d.Items.push_back(TDrawnText{8, 28, FontOf(8), u"1 2 ", ink, 0});
    const int widths[] = {2, 1, 1, 3, 2, 2, 1, 4, 3, 1, 1, 2};
    int x = 4;
    for (int i = 0; i < 12; ++i) {
        // The guards (the first and last three) reach into the text's row.
        const int bottom = i < 3 || i >= 9 ? 34 : 28;
        d.Items.push_back(TDrawnRect{{x, 4, x + widths[i], bottom}, i % 2 ? paper : ink});
        x += widths[i];
    }
    return d;
}

} // namespace

TEST(DrawingRecorder, RecordsWhatTheCanvasIsAskedToDraw) {
    const TColor red = 0x0000FF, green = 0x00FF00; // 0x00BBGGRR
    const TPixel redPixel = 0xFFFF0000, greenPixel = 0xFF00FF00;
    TFont redFont = FontOf(16);
    redFont.Color = red;
    const struct {
        const char* what;
        std::function<void(TCanvas&)> draw;
        std::vector<TDrawnItem> items;
    } cases[] = {
        {"a bar, corners inclusive",
         [&](TCanvas& c) {
             c.Pen.Color = c.Brush.Color = red;
             c.Polygon({{3, 4}, {3, 9}, {5, 9}, {5, 4}});
         },
         {TDrawnRect{{3, 4, 6, 10}, redPixel}}},
        {"corners in another order",
         [&](TCanvas& c) {
             c.Polygon({{5, 9}, {3, 4}, {5, 4}, {3, 9}});
         },
         {TDrawnRect{{3, 4, 6, 10}, PixelWhite}, TDrawnRect{{3, 4, 6, 5}, PixelBlack},
          TDrawnRect{{3, 9, 6, 10}, PixelBlack}, TDrawnRect{{3, 5, 4, 9}, PixelBlack},
          TDrawnRect{{5, 5, 6, 9}, PixelBlack}}},
        {"an outline only, one pixel wide whatever the pen",
         [&](TCanvas& c) {
             c.Brush.Style = TBrushStyle::bsClear;
             c.Pen.Width = 3;
             c.Pen.Color = green;
             c.Brush.Color = green;
             c.Polygon({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
         },
         {TDrawnRect{{0, 0, 2, 1}, greenPixel}, TDrawnRect{{0, 1, 2, 2}, greenPixel}}},
        {"no pen: the fill alone",
         [&](TCanvas& c) {
             c.Pen.Width = 0;
             c.Polygon({{1, 1}, {1, 1}, {1, 1}, {1, 1}});
         },
         {TDrawnRect{{1, 1, 2, 2}, PixelWhite}}},
        {"a polygon that is no rectangle",
         [&](TCanvas& c) {
             c.Pen.Color = c.Brush.Color = red;
             c.Polygon({{0, 0}, {4, 0}, {0, 4}});
         },
         {TDrawnPolygon{{{0, 0}, {4, 0}, {0, 4}}, true, redPixel, redPixel, 1}}},
        {"text on a solid brush fills its cell",
         [&](TCanvas& c) {
             c.Font = redFont;
             c.Brush.Color = green;
             c.TextOut(7, 2, u"ab");
         },
         {TDrawnRect{{7, 2, 7 + 24, 2 + 18}, greenPixel},
          TDrawnText{7, 2, redFont, u"ab", redPixel, 0}}},
        {"text on a clear brush",
         [&](TCanvas& c) {
             c.Brush.Style = TBrushStyle::bsClear;
             c.TextOut(-3, 5, u"x");
         },
         {TDrawnText{-3, 5, TFont{}, u"x", PixelBlack, 0}}},
    };
    for (const auto& c : cases) {
        TBlockGlyphs glyphs;
        TDrawingRecorder recorder(glyphs);
        c.draw(recorder);
        EXPECT_TRUE(recorder.Drawing.Items == c.items)
            << c.what << ": " << recorder.Drawing.Items.size() << " items";
    }
}

// Only what shows goes into a file: paper-coloured rectangles on bare paper
// are left out, those over ink are kept, and runs of one colour are one shape.
// Colours for a drawing made black on white: bars and text take the
// foreground, the ground the background, and the white (spaces, text cells)
// goes, so that a transparent ground shows through; other colours stay.
TEST(DrawingRecorder, ColouredKeepsTheInkAndDropsThePaper) {
    const TPixel navy = 0xFF000080, cream = 0xFFFFFFE0, clear = 0x00FFFFFF, red = 0xFFFF0000;
    const struct {
        TPixel Fg, Bg;
    } cases[] = {{navy, cream}, {PixelBlack, clear}, {PixelBlack, PixelWhite}};
    for (const auto& c : cases) {
        TDrawing d = Symbol();
        d.Items.push_back(TDrawnRect{{0, 0, 2, 2}, red});
        d.Items.push_back(TDrawnPolygon{{{0, 0}, {5, 0}, {0, 5}}, true, PixelWhite, PixelBlack, 1});
        const TDrawing coloured = ColouredDrawing(d, c.Fg, c.Bg);
        EXPECT_EQ(coloured.Background, c.Bg);
        EXPECT_EQ(coloured.Width, d.Width);
        std::vector<TPixel> colours;
        for (const TDrawnItem& item : coloured.Items) {
            if (const auto* r = std::get_if<TDrawnRect>(&item)) colours.push_back(r->Colour);
            if (const auto* t = std::get_if<TDrawnText>(&item)) colours.push_back(t->Colour);
            if (const auto* p = std::get_if<TDrawnPolygon>(&item)) {
                EXPECT_FALSE(p->Filled);
                colours.push_back(p->Outline);
            }
        }
        // The text, six bars, the red square, the polygon's outline.
        const std::vector<TPixel> expected = {c.Fg, c.Fg, c.Fg, c.Fg, c.Fg, c.Fg, c.Fg, red, c.Fg};
        EXPECT_EQ(colours, expected) << std::hex << c.Fg;
    }
}

TEST(DrawingLayers, LeaveOutOnlyWhatCannotShow) {
    const TPixel ink = 0xFF102030, paper = 0xFFF0E0D0;
    const auto with = [](TDrawing d, std::vector<TDrawnItem> more) {
        d.Items.insert(d.Items.end(), more.begin(), more.end());
        return d;
    };
    const TDrawing bare{20, 10, paper, {}};
    const struct {
        const char* what;
        TDrawing drawing;
        std::vector<std::pair<TPixel, std::size_t>> layers; // colour, rectangles (0: a path)
    } cases[] = {
        // Its spaces lie on paper but for one over a digit.
        {"a symbol", Symbol(ink, paper), {{ink, 0}, {ink, 5}, {paper, 1}, {ink, 1}}},
        {"paper over ink is kept",
         with(bare, {TDrawnRect{{2, 2, 8, 8}, ink}, TDrawnRect{{7, 0, 9, 3}, paper}}),
         {{ink, 1}, {paper, 1}}},
        {"paper beside ink is not",
         with(bare, {TDrawnRect{{2, 2, 8, 8}, ink}, TDrawnRect{{8, 2, 9, 8}, paper},
                     TDrawnRect{{12, 2, 14, 8}, ink}}),
         {{ink, 2}}},
        {"on a transparent ground every colour shows",
         with(TDrawing{20, 10, 0x00F0E0D0, {}}, {TDrawnRect{{1, 1, 3, 3}, paper}}),
         {{paper, 1}}},
        {"off the drawing",
         with(bare, {TDrawnRect{{-5, 2, 0, 8}, ink}, TDrawnRect{{20, 0, 25, 3}, ink},
                     TDrawnRect{{4, 4, 4, 9}, ink}}),
         {}},
        {"text of spaces only", with(bare, {TDrawnText{1, 1, FontOf(8), u"  ", ink, 0}}), {}},
        {"texts of one font share a path",
         with(bare, {TDrawnText{1, 1, FontOf(8), u"ab", ink, 0},
                     TDrawnText{9, 1, FontOf(8), u"c", ink, 0},
                     TDrawnText{12, 1, FontOf(16), u"d", ink, 0}}),
         {{ink, 0}, {ink, 0}}},
        // Overlapping, turning opposite ways: in one path the non-zero rule
        // would leave their overlap empty.
        {"polygons do not",
         with(bare, {TDrawnPolygon{{{1, 1}, {8, 1}, {1, 8}}, true, ink, ink, 0},
                     TDrawnPolygon{{{2, 2}, {2, 9}, {9, 2}}, true, ink, ink, 0}}),
         {{ink, 0}, {ink, 0}}},
    };
    for (const auto& c : cases) {
        TBlockGlyphs glyphs;
        const std::vector<TDrawingLayer> layers = DrawingLayers(c.drawing, glyphs);
        ASSERT_EQ(layers.size(), c.layers.size()) << c.what;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            EXPECT_EQ(layers[i].Colour, c.layers[i].first) << c.what << " " << i;
            EXPECT_EQ(layers[i].Rects.size(), c.layers[i].second) << c.what << " " << i;
        }
    }
}

namespace {

struct TRendered {
    TBitmap Picture;
    std::string Problem;
};

TRendered RenderSvg(const TScratchDir& dir, const TBytes& svg, int w, int h) {
    WriteFile(dir.Path("d.svg"), svg);
    const TToolRun run = RunTool("rsvg-convert -w " + std::to_string(w) + " -h " +
                                 std::to_string(h) + " '" + dir.Path("d.svg") + "'");
    if (!run.Ok) return {{}, "rsvg-convert failed"};
    const TDecoded d = DecodePng(run.Out);
    return {OnPaper(d.Picture), d.Problem};
}

TRendered RenderPdfTool(const TScratchDir& dir, const TBytes& pdf, int dpi) {
    WriteFile(dir.Path("d.pdf"), pdf);
    const TToolRun run =
        RunTool("pdftoppm -r " + std::to_string(dpi) + " '" + dir.Path("d.pdf") + "'");
    if (!run.Ok) return {{}, "pdftoppm failed"};
    const TDecoded d = DecodePpm(run.Out);
    return {d.Picture, d.Problem};
}

TRendered RenderPdfLibrary(const TBytes& pdf, int dpi) {
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(pdf.data(), int(pdf.size())));
    if (!document || document->pages() != 1) return {{}, "poppler cannot load it"};
    const std::unique_ptr<poppler::page> page(document->create_page(0));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_image_format(poppler::image::format_argb32);
    const poppler::image image = renderer.render_page(page.get(), dpi, dpi);
    if (!image.is_valid()) return {{}, "poppler cannot render it"};
    TBitmap b(image.width(), image.height());
    for (int y = 0; y < b.Height(); ++y)
        std::memcpy(b.Row(y), image.const_data() + std::ptrdiff_t(y) * image.bytes_per_row(),
                    std::size_t(b.Width()) * 4);
    return {OnPaper(b), {}};
}

} // namespace

TEST(DrawingWriters, RenderBackToTheDrawingsPixels) {
    const TPixel ink = 0xFF1030A0, paper = 0xFFEEDDCC;
    const TDrawing alpha = [] {
        TDrawing d = Symbol();
        d.Background = 0x00FFFFFF;
        d.Items.push_back(TDrawnRect{{2, 10, 50, 16}, 0x80FF0000});
        d.Items.push_back(TDrawnText{36, 2, FontOf(8), u"3", 0x40000000, 0});
        return d;
    }();
    TDrawing polygons{30, 24, PixelWhite, {}};
    // An L through pixel centres, filled and outlined in one colour: the
    // pixels of its corners inclusive. A triangle's outline alone.
    polygons.Items.push_back(
        TDrawnPolygon{{{2, 2}, {12, 2}, {12, 6}, {6, 6}, {6, 20}, {2, 20}}, true, ink, ink, 1});
    polygons.Items.push_back(
        TDrawnPolygon{{{16, 4}, {26, 4}, {26, 14}, {16, 14}}, false, PixelWhite, 0xFF00A000, 1});
    TDrawing large = Symbol();
    large.Width = 90;
    large.Items.push_back(TDrawnText{40, 4, FontOf(24), u"45", PixelBlack, 0});
    TDrawing round{100, 60, PixelWhite, {}};
    round.Items.push_back(TDrawnText{4, 2, FontOf(48), u"oo", ink, 0});
    const struct {
        const char* what;
        TDrawing drawing;
        int quarterTurns; // of the drawing, before it is written
        int dpi;
        bool curves = false; // edges that are no straight lines on whole pixels
    } cases[] = {
        {"a symbol", Symbol(), 0, 96},
        {"at 300 dpi", Symbol(), 0, 300},
        {"at 7 dpi (points without end)", Symbol(), 0, 7},
        {"in colours", Symbol(ink, paper), 0, 96},
        {"with alpha on a transparent ground", alpha, 0, 96},
        {"polygons", polygons, 0, 96},
        {"large text", large, 0, 150},
        {"turned once", large, 1, 96},
        {"turned twice", Symbol(ink, paper), 2, 96},
        {"turned three times", large, 3, 600},
        {"round letters", round, 0, 96, true},
        {"round letters turned", round, 1, 1200, true},
    };
    TScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(c.dpi) + " dpi");
        const TDrawing drawing = RotatedDrawing(c.drawing, c.quarterTurns);
        const TBitmap expected = Rotated(ExpectedPixels(c.drawing), c.quarterTurns);
        ASSERT_EQ(expected.Width(), drawing.Width);
        TBlockGlyphs glyphs;
        TBytes svg, pdf;
        ASSERT_TRUE(EncodeSvg(drawing, glyphs, c.dpi, svg, nullptr));
        ASSERT_TRUE(EncodePdf(drawing, glyphs, c.dpi, pdf, nullptr));
        const std::pair<const char*, TRendered> renderings[] = {
            {"rsvg-convert", RenderSvg(dir, svg, drawing.Width, drawing.Height)},
            {"pdftoppm", RenderPdfTool(dir, pdf, c.dpi)},
            {"poppler", RenderPdfLibrary(pdf, c.dpi)},
        };
        for (const auto& [by, r] : renderings) {
            // Edges on whole pixels render without grey in cairo, a level or
            // two of rounding at most. Poppler's antialiasing greys the pixel
            // beside an edge by an eighth, a gap of one pixel by up to three:
            // still far from the other colour of every case.
            int tolerance = by == std::string("rsvg-convert") ? 3 : 96;
            // Along a curve, the pixels whose centres are inside: a pixel
            // half covered may go either way, but none more than that.
            if (c.curves) tolerance = 128;
            ASSERT_FALSE(r.Picture.IsNull()) << by << ": " << r.Problem;
            EXPECT_EQ(r.Picture.Width(), drawing.Width) << by;
            EXPECT_EQ(r.Picture.Height(), drawing.Height) << by;
            EXPECT_LE(PixelsApart(r.Picture, expected, tolerance), c.curves ? 4 : 0) << by;
        }
    }
}

namespace {

// The numbers after the first occurrence of key in text, as many as there are.
std::vector<double> NumbersAfter(const std::string& text, const std::string& key, int count) {
    const std::size_t at = text.find(key);
    if (at == std::string::npos) return {};
    std::istringstream in(text.substr(at + key.size()));
    std::vector<double> numbers(static_cast<std::size_t>(count));
    for (double& n : numbers)
        if (!(in >> n)) return {};
    return numbers;
}

} // namespace

// The printed size is the drawing's at the resolution; a PDF passes a
// checker's reading of its structure and names no date, so the same drawing
// gives the same bytes.
TEST(DrawingWriters, PrintedSizeAndSoundFiles) {
    TScratchDir dir;
    for (const int dpi : {1, 7, 96, 203, 300, 2540, 65535}) {
        SCOPED_TRACE(dpi);
        const TDrawing drawing = Symbol(0xFF000000, 0xFFFFFFFF);
        TBlockGlyphs glyphs;
        TBytes svg, pdf, again;
        ASSERT_TRUE(EncodeSvg(drawing, glyphs, dpi, svg, nullptr));
        ASSERT_TRUE(EncodePdf(drawing, glyphs, dpi, pdf, nullptr));
        ASSERT_TRUE(EncodePdf(drawing, glyphs, dpi, again, nullptr));
        EXPECT_TRUE(again == pdf);
        const std::vector<double> width = NumbersAfter(svg, "width=\"", 1),
                                  height = NumbersAfter(svg, "height=\"", 1);
        ASSERT_EQ(width.size() + height.size(), 2u);
        EXPECT_NE(svg.find("mm\" height="), std::string::npos);
        EXPECT_NEAR(width[0], 60 * 25.4 / dpi, 0.00005);
        EXPECT_NEAR(height[0], 40 * 25.4 / dpi, 0.00005);
        EXPECT_NE(svg.find("viewBox=\"0 0 60 40\""), std::string::npos);

        WriteFile(dir.Path("d.pdf"), pdf);
        EXPECT_TRUE(RunTool("qpdf --check '" + dir.Path("d.pdf") + "'").Ok);
        const TToolRun info = RunTool("pdfinfo -box '" + dir.Path("d.pdf") + "'");
        ASSERT_TRUE(info.Ok);
        const std::vector<double> box = NumbersAfter(info.Out, "MediaBox:", 4);
        ASSERT_EQ(box.size(), 4u) << info.Out;
        EXPECT_EQ(box[0], 0);
        EXPECT_EQ(box[1], 0);
        EXPECT_NEAR(box[2], 60 * 72.0 / dpi, 0.005); // pdfinfo gives two places
        EXPECT_NEAR(box[3], 40 * 72.0 / dpi, 0.005);
        EXPECT_EQ(info.Out.find("CreationDate"), std::string::npos);
        EXPECT_NE(info.Out.find("Creator:         barcodegen"), std::string::npos);
    }
}

TEST(DrawingWriters, RefusesWhatNoFileCanHold) {
    const struct {
        const char* what;
        TDrawing drawing;
        int dpi;
        const char* says;
    } cases[] = {
        {"no pixels", TDrawing{0, 10, PixelWhite, {}}, 96, "the drawing is empty"},
        {"no height", TDrawing{10, -1, PixelWhite, {}}, 96, "the drawing is empty"},
        {"no resolution", Symbol(), 0, "a resolution of 0 dpi cannot be written"},
        {"too fine", Symbol(), 65536, "a resolution of 65536 dpi cannot be written"},
    };
    TBlockGlyphs glyphs;
    for (const auto& c : cases)
        for (const auto encode : {EncodeSvg, EncodePdf}) {
            TBytes out = "kept";
            std::string error;
            EXPECT_FALSE(encode(c.drawing, glyphs, c.dpi, out, &error)) << c.what;
            EXPECT_EQ(out, "kept") << c.what;
            EXPECT_EQ(error.rfind(c.says, 0), 0u) << c.what << ": " << error;
        }
}

TEST(DrawingWriters, NumbersAsReadersParseThem) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {12.5, 2, "12.5"}, {3, 2, "3"},        {-0.25, 2, "-0.25"},
        {0.05, 2, "0.05"}, {-0.001, 2, "0"},   {1200.004, 2, "1200"},
        {-7.995, 2, "-8"}, {0.75, 10, "0.75"}, {72.0 / 7, 10, "10.2857142857"},
        {0.2, 4, "0.2"},   {255, 0, "255"},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        AppendDecimal(out, c.value, c.decimals);
        EXPECT_EQ(out, std::string("x") + c.text) << c.value;
    }
}
