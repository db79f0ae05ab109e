// The PNG, BMP and JPEG writers: the same bytes as the files of the earlier
// writer for the same pixels, the fewest bits that keep every pixel, the
// resolution in every header, and pictures that read back.
#include <algorithm>
#include <cmath>
#include <cstdio> // jpeglib.h needs FILE
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <zlib.h>

#include "picture/ImageWriters.h"
#include "tests/picture/WriterCheck.h"

namespace {

std::uint32_t Crc(const TBytes& bytes) {
    return std::uint32_t(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

TBytes Golden(const std::string& name) {
    return ReadFile(std::string(WRITER_GOLDEN_DIR) + "/" + name);
}

// colours[(x + y / 2 * 7) % n]: every colour in the first row when the
// picture is as wide as there are colours, and rows both repeated and not.
TBitmap Stripes(const std::vector<TPixel>& colours, int w = 23, int h = 9) {
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.At(x, y) = colours[std::size_t(x + y / 2 * 7) % colours.size()];
    return b;
}

struct TJpegRead {
    bool Ok = false;
    int Components = 0, DensityUnit = 0, XDensity = 0, YDensity = 0;
    TBitmap Picture;
};

TJpegRead DecodeJpeg(const TBytes& jpeg) {
    TJpegRead r;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()),
                 static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK) {
        r.Components = cinfo.num_components;
        r.DensityUnit = cinfo.density_unit;
        r.XDensity = cinfo.X_density;
        r.YDensity = cinfo.Y_density;
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        r.Picture = TBitmap(int(cinfo.output_width), int(cinfo.output_height));
        std::vector<unsigned char> row(cinfo.output_width * 3);
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = int(cinfo.output_scanline);
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&cinfo, rows, 1);
            for (int x = 0; x < r.Picture.Width(); ++x)
                r.Picture.At(x, y) = PixelBlack | std::uint32_t(row[3 * x]) << 16 |
                                     std::uint32_t(row[3 * x + 1]) << 8 | row[3 * x + 2];
        }
        jpeg_finish_decompress(&cinfo);
        r.Ok = true;
    }
    jpeg_destroy_decompress(&cinfo);
    return r;
}

} // namespace

// PNG files of the earlier writer, read back and written again: the same
// pixels at the same depth, and our PNG, BMP and JPEG files of them by size
// and CRC. (Our PNG's deflate stream differs from the earlier writer's.)
TEST(ImageWriters, SamePixelsGiveTheEarlierWritersBytes) {
    const struct {
        const char* png;
        int dpi;
        std::uint32_t pngCrc;
        std::size_t pngSize;
        std::uint32_t bmpCrc;
        std::size_t bmpSize;
        std::uint32_t jpegCrc;
        std::size_t jpegSize;
    } cases[] = {
        {"ean13_96.png", 96, 0xdc2ac7ad, 1912, 0x42eca84d, 46678, 0x1efe2c34, 16554},
        {"ean13_300.png", 300, 0x38babb9f, 1912, 0x19ac791b, 46678, 0x878d0dac, 16554},
        {"ean8_big_600.png", 600, 0x586beec2, 13875, 0xd0bb5a48, 927622, 0x24df10c3, 127299},
        {"upca_72.png", 72, 0x13cefd8e, 2092, 0x6be4efd9, 49934, 0x13ab3ee9, 20830},
        {"code128_96.png", 96, 0x5423f937, 1956, 0xfe01063e, 51998, 0xfa2c9e03, 20008},
        {"code39_notext_96.png", 96, 0xf7b1fedf, 180, 0xe3a3bf11, 6902, 0x400bda7a, 18651},
        {"itf_noborder_203.png", 203, 0xfd17e47f, 1795, 0x57d57db8, 43478, 0xb7473024, 16362},
        {"postnet_96.png", 96, 0xdc2f45ec, 1707, 0x80bc87d5, 40598, 0x36569a50, 16060},
        {"one_white_96.png", 96, 0xf857b375, 108, 0xa8d8614d, 82, 0x06a1ca78, 635},
        {"one_black_96.png", 96, 0xe381966a, 108, 0xec58d824, 74, 0xdf7813e1, 633},
        {"two_colour_150.png", 150, 0x2f2b2d83, 159, 0x31eb913d, 134, 0xe23d8a81, 1367},
        {"two_odd_width_1.png", 1, 0xb19d3be6, 119, 0x97435f2a, 114, 0x53d640d4, 665},
        {"three_grey_300.png", 300, 0x21b63c6f, 183, 0xf278eb71, 1430, 0x2d43506f, 1504},
        {"all_greys_10000.png", 10000, 0x2580a359, 2483, 0xfab29d4f, 3638, 0x56247031, 1804},
        {"palette_small_72.png", 72, 0xaa2ea966, 157, 0xa3390a02, 162, 0xb86d2023, 1169},
        {"palette_full_2400.png", 2400, 0xc7b69802, 4098, 0xb9ae297b, 4434, 0x6cd7ed71, 4367},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.png);
        const TBytes golden = Golden(c.png);
        const TDecoded read = DecodePng(golden);
        ASSERT_FALSE(read.Picture.IsNull()) << read.Problem;
        TBytes png, bmp, jpeg;
        ASSERT_TRUE(EncodePng(read.Picture, c.dpi, png, nullptr));
        ASSERT_TRUE(EncodeBmp(read.Picture, c.dpi, bmp, nullptr));
        ASSERT_TRUE(EncodeJpeg(read.Picture, c.dpi, jpeg, nullptr));
        const TDecoded back = DecodePng(png);
        ASSERT_FALSE(back.Picture.IsNull()) << back.Problem;
        EXPECT_EQ(back.BitDepth, read.BitDepth);
        EXPECT_EQ(back.ColourType, read.ColourType);
        for (int y = 0; y < read.Picture.Height(); ++y)
            ASSERT_TRUE(std::equal(read.Picture.Row(y), read.Picture.Row(y) + read.Picture.Width(),
                                   back.Picture.Row(y)))
                << "row " << y;
        EXPECT_EQ(png.size(), c.pngSize);
        EXPECT_EQ(Crc(png), c.pngCrc);
        EXPECT_EQ(bmp.size(), c.bmpSize);
        EXPECT_EQ(Crc(bmp), c.bmpCrc);
        EXPECT_EQ(jpeg.size(), c.jpegSize);
        EXPECT_EQ(Crc(jpeg), c.jpegCrc);
    }
    // More than 256 colours: 24-bit BMP and the same JPEG (the earlier PNG
    // writer was another program's).
    TBitmap many(37, 23);
    for (int y = 0; y < many.Height(); ++y)
        for (int x = 0; x < many.Width(); ++x)
            many.At(x, y) = PixelBlack | std::uint32_t(x * 7 % 256) << 16 |
                            std::uint32_t(y * 11 % 256) << 8 | std::uint32_t(x * y % 256);
    TBytes bmp, jpeg;
    ASSERT_TRUE(EncodeBmp(many, 96, bmp, nullptr));
    ASSERT_TRUE(EncodeJpeg(many, 96, jpeg, nullptr));
    EXPECT_EQ(Crc(bmp), 0x0b82c876u);
    EXPECT_EQ(bmp.size(), 2630u);
    EXPECT_EQ(Crc(jpeg), 0xacebc0c8u);
    EXPECT_EQ(jpeg.size(), 1700u);
}

TEST(ImageWriters, FewestBitsThatKeepEveryPixel) {
    std::vector<TPixel> many, greys, translucent, manyTranslucent;
    for (std::uint32_t i = 0; i < 256; ++i) {
        many.push_back(PixelBlack | i << 16 | (255 - i) << 8 | 7);
        greys.push_back(PixelBlack | i * 0x010101u);
        translucent.push_back(i << 24 | 0x203040);
        manyTranslucent.push_back(i << 24 | i << 8);
    }
    manyTranslucent.push_back(0x80FF0000);
    const std::vector<TPixel> manyPlusOne = [&] {
        std::vector<TPixel> v = many;
        v.push_back(0xFF123456);
        return v;
    }();
    const TPixel red = 0xFFFF0000, blue = 0xFF0000FF, grey = 0xFF808080, yellow = 0xFFFFFF00;
    const struct {
        const char* what;
        std::vector<TPixel> colours;
        TPixelDepth depth;
        std::vector<TPixel> palette; // Mono and Palette8 as they come, Grey8 darkest first
        int pngBits, pngType, bmpBits;
    } cases[] = {
        {"white alone", {PixelWhite}, TPixelDepth::Mono, {PixelWhite, PixelBlack}, 1, 3, 1},
        {"black alone", {PixelBlack}, TPixelDepth::Mono, {PixelBlack, PixelWhite}, 1, 3, 1},
        {"two colours", {red, blue}, TPixelDepth::Mono, {red, blue}, 1, 3, 1},
        {"three greys",
         {PixelWhite, grey, PixelBlack},
         TPixelDepth::Grey8,
         {PixelBlack, grey, PixelWhite},
         8,
         0,
         8},
        {"every grey", greys, TPixelDepth::Grey8, {}, 8, 0, 8},
        {"greys and a colour",
         {PixelBlack, grey, yellow},
         TPixelDepth::Palette8,
         {PixelBlack, grey, yellow},
         8,
         3,
         4},
        {"256 colours", many, TPixelDepth::Palette8, {}, 8, 3, 8},
        {"257 colours", manyPlusOne, TPixelDepth::Rgb24, {}, 8, 2, 24},
        {"transparent and black",
         {0x00000000, PixelBlack},
         TPixelDepth::Mono,
         {0x00000000, PixelBlack},
         1,
         3,
         1},
        {"256 alphas", translucent, TPixelDepth::Palette8, {}, 8, 3, 8},
        {"257 alphas and colours", manyTranslucent, TPixelDepth::Rgba32, {}, 8, 6, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Wide enough for every colour.
        const TBitmap picture = Stripes(c.colours, 300, 9);
        const TExactColours exact = SmallestExactColours(picture);
        EXPECT_EQ(exact.Depth, c.depth);
        if (!c.palette.empty()) {
            EXPECT_EQ(exact.Palette, c.palette);
        }
        TBytes png, bmp;
        ASSERT_TRUE(EncodePng(picture, 150, png, nullptr));
        const TDecoded backPng = DecodePng(png);
        ASSERT_FALSE(backPng.Picture.IsNull()) << backPng.Problem;
        EXPECT_EQ(backPng.BitDepth, c.pngBits);
        EXPECT_EQ(backPng.ColourType, c.pngType);
        EXPECT_EQ(PixelsApart(backPng.Picture, picture, 0), 0);
        ASSERT_TRUE(EncodeBmp(picture, 150, bmp, nullptr));
        const TDecoded backBmp = DecodeBmp(bmp);
        ASSERT_FALSE(backBmp.Picture.IsNull()) << backBmp.Problem;
        EXPECT_EQ(backBmp.BitDepth, c.bmpBits);
        // BMP has no alpha: the picture as it shows on white.
        EXPECT_EQ(PixelsApart(backBmp.Picture, OnPaper(picture), 1), 0);
    }
}

// A crop shares its bitmap's rows, which are longer than the crop.
TEST(ImageWriters, CropsAreWrittenAsTheirOwnPixels) {
    TBitmap whole = Stripes({PixelBlack, 0xFF808080, PixelWhite, 0xFFFF0000}, 40, 20);
    const TBitmap crop = whole.TopLeft(13, 7);
    TBitmap copy(13, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            copy.At(x, y) = crop.At(x, y);
    for (const auto encode : {EncodePng, EncodeBmp, EncodeJpeg}) {
        TBytes fromCrop, fromCopy;
        ASSERT_TRUE(encode(crop, 96, fromCrop, nullptr));
        ASSERT_TRUE(encode(copy, 96, fromCopy, nullptr));
        EXPECT_TRUE(fromCrop == fromCopy);
    }
}

TEST(ImageWriters, ResolutionInEveryHeader) {
    const TBitmap picture = Stripes({PixelBlack, 0xFF808080, PixelWhite});
    for (const int dpi : {1, 72, 96, 254, 300, 2400, 65535}) {
        SCOPED_TRACE(dpi);
        const long dotsPerMetre = std::lround(dpi / 0.0254);
        TBytes png, bmp, jpeg;
        ASSERT_TRUE(EncodePng(picture, dpi, png, nullptr));
        ASSERT_TRUE(EncodeBmp(picture, dpi, bmp, nullptr));
        ASSERT_TRUE(EncodeJpeg(picture, dpi, jpeg, nullptr));
        EXPECT_EQ(DecodePng(png).DotsPerMetre, dotsPerMetre);
        EXPECT_EQ(DecodeBmp(bmp).DotsPerMetre, dotsPerMetre);
        const TJpegRead read = DecodeJpeg(jpeg);
        ASSERT_TRUE(read.Ok);
        EXPECT_EQ(read.DensityUnit, 1); // dots per inch
        EXPECT_EQ(read.XDensity, dpi);
        EXPECT_EQ(read.YDensity, dpi);
    }
}

TEST(ImageWriters, JpegReadsBackAtQuality) {
    const TPixel mid = 0xFF5A7F3C;
    TBitmap halves(32, 16, PixelWhite); // blocks of one colour each
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            halves.At(x, y) = PixelBlack;
    const struct {
        const char* what;
        TBitmap picture;
        int tolerance; // in any channel of any pixel
    } cases[] = {
        {"black and white blocks", halves, 1},
        {"one colour", TBitmap(20, 20, mid), 2},
        {"transparent, on white", TBitmap(16, 16, 0x00000000), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TBytes jpeg;
        ASSERT_TRUE(EncodeJpeg(c.picture, 96, jpeg, nullptr));
        const TJpegRead read = DecodeJpeg(jpeg);
        ASSERT_TRUE(read.Ok);
        EXPECT_EQ(read.Components, 3);
        EXPECT_EQ(PixelsApart(read.Picture, OnPaper(c.picture), c.tolerance), 0);
    }
    // The quality is honoured, and clamped to 0..100.
    const TBitmap detail = Stripes(std::vector<TPixel>{PixelBlack, mid, PixelWhite}, 64, 64);
    TBytes best, clamped, low;
    ASSERT_TRUE(EncodeJpeg(detail, 96, best, nullptr));
    ASSERT_TRUE(EncodeJpegAtQuality(detail, 96, 250, clamped, nullptr));
    ASSERT_TRUE(EncodeJpegAtQuality(detail, 96, 5, low, nullptr));
    EXPECT_TRUE(clamped == best);
    EXPECT_LT(low.size() * 3, best.size());
}

TEST(ImageWriters, RefusesWhatNoFileCanHold) {
    const TBitmap picture(4, 4);
    const struct {
        const char* what;
        TBitmap picture;
        int dpi;
        const char* says;
    } cases[] = {
        {"no pixels", TBitmap(0, 5), 96, "the picture is empty"},
        {"no resolution", picture, 0, "a resolution of 0 dpi cannot be written (1 to 65535)"},
        {"beyond 16 bits", picture, 65536, "a resolution of 65536 dpi cannot be written"},
    };
    for (const auto& c : cases)
        for (const auto encode : {EncodePng, EncodeBmp, EncodeJpeg}) {
            TBytes out = "kept";
            std::string error;
            EXPECT_FALSE(encode(c.picture, c.dpi, out, &error)) << c.what;
            EXPECT_EQ(out, "kept") << c.what;
            EXPECT_EQ(error.rfind(c.says, 0), 0u) << c.what << ": " << error;
            EXPECT_FALSE(encode(c.picture, c.dpi, out, nullptr)) << c.what;
        }
}
