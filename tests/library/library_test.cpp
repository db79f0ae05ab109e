// libbarcodegen.so as a program of its own sees it: through its header only,
// linked against the shared library.
#include <barcodegen/barcodegen.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <stdexcept>

#include "tests/library/RecordingCanvas.h"

using barcodegen::EError;
using barcodegen::TCheckCharacter;
using barcodegen::TElementKind;
using barcodegen::TSymbolOptions;
using testing::HasSubstr;

namespace {

constexpr int Ean13 = 14;
constexpr int Code39 = 3;
constexpr int Interleaved = 0;

template <class Op> std::string ErrorOf(Op op) {
    try {
        op();
    } catch (const EError& e) {
        return e.what();
    }
    return "(no error)";
}

TSymbolOptions Options(bool check, int module, double ratio) {
    TSymbolOptions o;
    o.CheckDigit = check;
    o.Module = module;
    o.Ratio = ratio;
    return o;
}

} // namespace

TEST(LibraryTypes, EveryTypeOnceWithItsNamesAndCheck) {
    const std::vector<barcodegen::TTypeInfo> types = barcodegen::Types();
    std::set<int> indices;
    for (const barcodegen::TTypeInfo& t : types) {
        EXPECT_TRUE(indices.insert(t.Index).second) << "twice: " << t.Index;
        EXPECT_FALSE(t.Name.empty()) << t.Index;
        EXPECT_FALSE(t.Takes.empty()) << t.Name;
    }
    EXPECT_EQ(indices.count(23), 0u) << "the index that encodes nothing is listed";
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(indices.count(i), 1u) << "missing: " << i;

    struct Case {
        int index;
        const char* name;
        const char* alias;
        TCheckCharacter check;
    };
    for (const Case& c : std::initializer_list<Case>{
             {Ean13, "CodeEAN13", "ean-13", TCheckCharacter::Optional},
             {Code39, "Code39", "code3of9", TCheckCharacter::Optional},
             {Interleaved, "Code_2_5_interleaved", "itf", TCheckCharacter::None},
             {7, "Code128C", "code128c", TCheckCharacter::Always},
         }) {
        auto t = std::find_if(types.begin(), types.end(),
                              [&](const barcodegen::TTypeInfo& x) { return x.Index == c.index; });
        ASSERT_NE(t, types.end()) << c.name;
        EXPECT_EQ(t->Name, c.name);
        EXPECT_THAT(t->Aliases, testing::Contains(std::string(c.alias))) << c.name;
        EXPECT_EQ(t->Check, c.check) << c.name;
    }
}

// What a symbol is: its printed text, its elements (EAN-13 is 95 modules,
// 59 elements), the width with its text's room, the add-on.
TEST(LibraryEncode, TextPatternAndWidths) {
    struct Case {
        const char* code;
        int type;
        TSymbolOptions options;
        const char* text;
        std::size_t elements;
        int elementsWidth;
        int width;
        const char* addOn;
    } cases[] = {
        {"590123412345", Ean13, {}, "5901234123457", 59, 95, 109, ""},
        // Without the check digit the last digit is verified, and the symbol is the same.
        {"5901234123457", Ean13, Options(false, 1, 2), "5901234123457", 59, 95, 109, ""},
        {"590123412345", Ean13, Options(true, 3, 2), "5901234123457", 59, 285, 328, ""},
        {"590123412345+12", Ean13, {}, "5901234123457 12", 81, 124, 143, "12"},
        // *A(check)A*: four characters of 13 modules and the gaps between them.
        {"A", Code39, {}, "A", 4 * 10 - 1, 51, 51, ""},
        {"A", Code39, Options(false, 2, 3), "A", 3 * 10 - 1, 94, 94, ""},
        // ITF-14's bearer bars frame the elements on both sides.
        {"1234567890123", 27, {}, "12345678901231", 164, 281, 301, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const barcodegen::TSymbol s = barcodegen::Encode(c.code, c.type, c.options);
        EXPECT_EQ(s.Text, c.text);
        EXPECT_EQ(s.Pattern.size(), c.elements);
        ASSERT_EQ(s.Elements.size(), s.Pattern.size());
        int sum = 0;
        for (std::size_t i = 0; i < s.Elements.size(); ++i) {
            const char p = s.Pattern[i];
            const TElementKind kind = p >= '0' && p <= '3'   ? TElementKind::Space
                                      : p >= '5' && p <= '8' ? TElementKind::Bar
                                                             : TElementKind::ShortBar;
            EXPECT_EQ(s.Elements[i].Kind, kind) << "element " << i;
            sum += s.Elements[i].Width;
        }
        EXPECT_EQ(sum, c.elementsWidth);
        EXPECT_EQ(s.Width, c.width);
        EXPECT_EQ(s.AddOn, c.addOn);
    }
}

TEST(LibraryEncode, Gs1ElementsOfTheData) {
    const barcodegen::TSymbol s = barcodegen::Encode("(01)09501101530003(10)AB-12", 25);
    using Element = std::pair<std::string, std::string>;
    EXPECT_THAT(s.Gs1Elements,
                testing::ElementsAre(Element{"01", "09501101530003"}, Element{"10", "AB-12"}));
    EXPECT_EQ(s.Text, "(01)09501101530003(10)AB-12");
}

// Narrow elements are the module, wide ones the module times the ratio as
// the symbology bounds it (two of five takes at most 3).
TEST(LibraryEncode, ElementWidthsFollowModuleAndRatio) {
    struct Case {
        int type;
        const char* code;
        int module;
        double ratio;
        std::set<int> widths;
    } cases[] = {
        {Code39, "AB", 1, 2.0, {1, 2}},
        {Code39, "AB", 2, 3.0, {2, 6}},
        {Interleaved, "1234", 1, 9.0, {1, 3}},
        {Interleaved, "1234", 4, 2.5, {4, 10}},
        {Ean13, "590123412345", 3, 2.0, {3, 6, 9, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.code << " module " << c.module << " ratio " << c.ratio);
        std::set<int> widths;
        for (const barcodegen::TElement& e :
             barcodegen::Encode(c.code, c.type, Options(true, c.module, c.ratio)).Elements)
            widths.insert(e.Width);
        EXPECT_EQ(widths, c.widths);
    }
}

TEST(LibraryEncode, RefusalsCarryTheMessage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* code;
        int type;
        TSymbolOptions options;
        const char* message;
    } cases[] = {
        {"59012341234X", Ean13, {}, "Barcode must be numeric"},
        {"5901234123458", Ean13, Options(false, 1, 2), "must be 7"},
        {"   ", Ean13, {}, "only blanks"},
        {"abc", Code39, {}, "character \"a\" cannot be encoded"},
        // Outside the table, not the type of the same low 8 bits.
        {"12", 23, {}, "wrong BarcodeType"},
        {"12", -1, {}, "wrong BarcodeType"},
        {"12", 256 + Code39, {}, "wrong BarcodeType"},
        {"\xff", Code39, {}, "not valid UTF-8"},
        {"A", Code39, Options(true, 0, 2), "module of 0 pixels"},
        {"A", Code39, Options(true, 50, 2), "module of 50 pixels"},
        {"A", Code39, Options(true, 1, nan), "ratio"},
        {"A", Code39, Options(true, 1, 0), "ratio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " type " << c.type);
        EXPECT_THAT(ErrorOf([&] { barcodegen::Encode(c.code, c.type, c.options); }),
                    HasSubstr(c.message));
    }
}

// The symbol on the caller's canvas: inside the box, the module fitted to
// its width, the text in its pieces. Without their text, EAN's long guard
// bars still reach half a line of it below the box.
TEST(LibraryDraw, SymbolInsideTheBoxWithItsTexts) {
    struct Case {
        const char* code;
        int type;
        barcodegen::TRect box;
        bool showText;
        int width;
        int below;
        std::vector<std::string> texts;
    } cases[] = {
        {"590123412345", Ean13, {10, 10, 290, 190}, true, 2 * 109, 0, {"5", "901234", "123457"}},
        {"590123412345", Ean13, {0, 0, 300, 100}, false, 3 * 95, 18, {}},
        {"ABC", Code39, {5, 0, 120, 60}, true, 77, 0, {"ABC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        TRecordingCanvas canvas;
        barcodegen::TDrawOptions options;
        options.ShowText = c.showText;
        const barcodegen::TRect r = barcodegen::Draw(canvas, c.code, c.type, c.box, options);
        EXPECT_EQ(r.Left, c.box.Left);
        EXPECT_EQ(r.Top, c.box.Top);
        EXPECT_EQ(r.Bottom, c.box.Bottom);
        EXPECT_EQ(r.Right - r.Left, c.width);

        std::size_t bars = 0;
        int bottom = r.Top;
        for (const TRecordedShape& shape : canvas.Shapes) {
            const barcodegen::TRect b = shape.Box();
            EXPECT_GE(b.Left, r.Left);
            EXPECT_LE(b.Right, r.Right);
            EXPECT_GE(b.Top, r.Top);
            bottom = std::max(bottom, b.Bottom);
            if (shape.Colour == 0x000000) ++bars;
        }
        std::size_t patternBars = 0;
        for (const barcodegen::TElement& e : barcodegen::Encode(c.code, c.type).Elements)
            patternBars += e.Kind != TElementKind::Space;
        EXPECT_EQ(bars, patternBars);

        std::vector<std::string> texts;
        for (const TRecordedText& t : canvas.Texts) {
            texts.push_back(t.Text);
            EXPECT_EQ(t.Font.Name, "Tahoma");
            EXPECT_EQ(t.Background, std::optional<barcodegen::TColor>(0xFFFFFF));
            EXPECT_GE(t.Y, r.Top);
            bottom = std::max(bottom, t.Y + canvas.TextHeight(t.Font, t.Text));
        }
        EXPECT_EQ(bottom, r.Bottom + c.below);
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(LibraryDraw, RefusedCodeDrawsNothingAndCanvasErrorsPassAsTheyAre) {
    TRecordingCanvas canvas;
    EXPECT_THAT(ErrorOf([&] {
                    barcodegen::Draw(canvas, "59012341234X", Ean13, {0, 0, 300, 200});
                }),
                HasSubstr("Barcode must be numeric"));
    EXPECT_TRUE(canvas.Shapes.empty());
    EXPECT_TRUE(canvas.Texts.empty());

    struct TFailingCanvas : TRecordingCanvas {
        void Polygon(const std::vector<barcodegen::TPoint>&, barcodegen::TColor) override {
            throw std::logic_error("the printer went away");
        }
    } failing;
    EXPECT_THROW(barcodegen::Draw(failing, "590123412345", Ean13, {0, 0, 300, 200}),
                 std::logic_error);
}

// A canvas that only draws measures as the pictures do: the default EAN-13
// text of the pictures is 78 x 13 pixels.
TEST(LibraryDraw, DefaultMeasuresAreThePictures) {
    if (!barcodegen::FontProblem().empty()) GTEST_SKIP() << barcodegen::FontProblem();
    TRecordingCanvas canvas;
    barcodegen::TFont font;
    EXPECT_EQ(canvas.TextWidth(font, "5901234123457"), 78);
    EXPECT_EQ(canvas.TextHeight(font, "5901234123457"), 13);
    font.Bold = true;
    EXPECT_GT(canvas.TextWidth(font, "5901234123457"), 78);
    EXPECT_EQ(canvas.TextWidth(font, ""), 0);
}

// ---- Pictures

namespace {

using barcodegen::TFormat;
using barcodegen::TPictureOptions;

TPictureOptions PictureOptions(int width, int height, int border, int dpi) {
    TPictureOptions o;
    o.Width = width;
    o.Height = height;
    o.Border = border;
    o.Dpi = dpi;
    return o;
}

// A PNG's size from its IHDR chunk.
barcodegen::TSize PngSize(const std::string& png) {
    auto at = [&](std::size_t i) {
        return int(static_cast<unsigned char>(png.at(i))) << 24 |
               int(static_cast<unsigned char>(png.at(i + 1))) << 16 |
               int(static_cast<unsigned char>(png.at(i + 2))) << 8 |
               int(static_cast<unsigned char>(png.at(i + 3)));
    };
    return {at(16), at(20)};
}

std::string FileText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Each format's file, and the picture's size as DrawPicture tells it: the
// symbol plus the border, the box's height less one border.
TEST(LibraryPicture, EveryFormatOfTheSamePicture) {
    struct Case {
        TPictureOptions options;
        barcodegen::TSize size;
    } cases[] = {
        // EAN-13 is 95 modules and 15 % of them for the text beside the bars.
        {{}, {2 * 109 + 20, 190}},
        {PictureOptions(1200, 800, 0, 300), {10 * 95 + 142, 800}},
        {PictureOptions(600, 300, 30, 96), {4 * 95 + 57 + 60, 270}},
        // Wider than the box even at modules of one pixel.
        {PictureOptions(60, 40, 0, 96), {109, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.options.Width << "x" << c.options.Height << " border "
                                        << c.options.Border);
        TRecordingCanvas canvas;
        const barcodegen::TSize size =
            barcodegen::DrawPicture(canvas, "590123412345", Ean13, c.options);
        EXPECT_EQ(size.Width, c.size.Width);
        EXPECT_EQ(size.Height, c.size.Height);
        // The white ground first, then everything within it.
        ASSERT_FALSE(canvas.Shapes.empty());
        const barcodegen::TRect ground = canvas.Shapes.front().Box();
        EXPECT_EQ(canvas.Shapes.front().Colour, 0xFFFFFFu);
        EXPECT_EQ(ground.Right - ground.Left, size.Width);
        EXPECT_EQ(ground.Bottom - ground.Top, size.Height);
        for (const TRecordedShape& shape : canvas.Shapes) {
            EXPECT_GE(shape.Box().Left, 0);
            EXPECT_LE(shape.Box().Right, size.Width);
            EXPECT_LE(shape.Box().Bottom, size.Height);
        }

        const barcodegen::TSize told = barcodegen::PictureSize("590123412345", Ean13, c.options);
        EXPECT_EQ(told.Width, size.Width);
        EXPECT_EQ(told.Height, size.Height);
        const std::string png =
            barcodegen::PictureBytes(TFormat::Png, "590123412345", Ean13, c.options);
        ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(PngSize(png).Width, size.Width);
        EXPECT_EQ(PngSize(png).Height, size.Height);
        struct Signature {
            TFormat format;
            std::string start;
        };
        for (const Signature& s :
             {Signature{TFormat::Bmp, "BM"}, Signature{TFormat::Jpeg, "\xff\xd8\xff"},
              Signature{TFormat::Svg, "<?xml"}, Signature{TFormat::Pdf, "%PDF-"}})
            EXPECT_EQ(barcodegen::PictureBytes(s.format, "590123412345", Ean13, c.options)
                          .substr(0, s.start.size()),
                      s.start);
    }
}

TEST(LibraryPicture, OptionsOutOfRangeAreRefused) {
    struct Case {
        TPictureOptions options;
        const char* message;
    } cases[] = {
        {PictureOptions(300, 200, -1, 96), "border of -1 pixels"},
        {PictureOptions(300, 200, 31, 96), "border of 31 pixels"},
        {PictureOptions(300, 200, 10, 0), "resolution of 0 dpi"},
        {PictureOptions(300, 200, 10, 10001), "resolution of 10001 dpi"},
        {PictureOptions(30, 30, 10, 96), "no room inside a border of 10"},
        {PictureOptions(40000, 100, 0, 96), "each side must be 1 to 32767"},
        // Drawn whole on a wider picture, as the window draws it.
        {PictureOptions(31, 31, 0, 96), "(no error)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        for (const TFormat format : {TFormat::Png, TFormat::Svg}) {
            EXPECT_THAT(ErrorOf([&] {
                            barcodegen::PictureBytes(format, "590123412345", Ean13, c.options);
                        }),
                        HasSubstr(c.message));
        }
    }
}

TEST(LibraryPicture, FormatsOfFileNames) {
    struct Case {
        const char* name;
        std::optional<TFormat> format;
    } cases[] = {
        {"label.png", TFormat::Png}, {"a.b/LABEL.JPEG", TFormat::Jpeg}, {"x.jpg", TFormat::Jpeg},
        {"x.svg", TFormat::Svg},     {"x.Pdf", TFormat::Pdf},           {"x.bmp", TFormat::Bmp},
        {"x.gif", std::nullopt},     {"a.png/label", std::nullopt},     {"png", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.format)
            EXPECT_EQ(barcodegen::FormatOfFileName(c.name), *c.format);
        else
            EXPECT_THAT(ErrorOf([&] { barcodegen::FormatOfFileName(c.name); }),
                        HasSubstr("extension"));
    }
}

// A file is the picture's bytes, or, when anything is refused, the file that
// was there before.
TEST(LibraryPicture, WrittenWholeOrNotAtAll) {
    const std::string folder = testing::TempDir() + "library_picture_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const std::string file = folder + "/label.pdf";
    barcodegen::WritePicture(file, TFormat::Pdf, "590123412345", Ean13);
    EXPECT_EQ(FileText(file), barcodegen::PictureBytes(TFormat::Pdf, "590123412345", Ean13));

    struct Case {
        std::string name;
        const char* code;
        TPictureOptions options;
        const char* message;
    } cases[] = {
        {file, "59012341234X", {}, "Barcode must be numeric"},
        {file, "590123412345", PictureOptions(300, 200, 10, 0), "resolution"},
        {folder + "/missing/label.pdf", "590123412345", {}, "missing/label.pdf"},
    };
    const std::string before = FileText(file);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_THAT(ErrorOf([&] {
                        barcodegen::WritePicture(c.name, TFormat::Pdf, c.code, Ean13, c.options);
                    }),
                    HasSubstr(c.message));
        EXPECT_EQ(FileText(file), before);
    }
    std::remove(file.c_str());
    ::rmdir(folder.c_str());
}
