#include "cli/WrittenPicture.h"

// The text of a result as UTF-8 (the library's own switch for its next interface).
#define ZX_USE_UTF8 1
#include <ZXing/ImageView.h>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstring>
#include <jpeglib.h>
#include <limits>
#include <new>
#include <png.h>

#include "cli/Modules.h"
#include "cli/render/RenderPlugin.h"
#include "picture/GeneratePicture.h"

namespace {

// The largest picture a file is read back at: the largest picture, with room
// for a PDF page that is up to a point larger at the highest resolution.
constexpr std::int64_t ReadBackMaxPixels = 2 * GenerateMaxPixels;

bool Allowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= ReadBackMaxPixels;
}

// Grey levels of 32-bit rows, each pixel as it shows on white. Most rows of a
// barcode are the row above again: those are copied.
TGreyPicture GreyOfRows(const std::uint32_t* rows, int width, int height, std::ptrdiff_t stride) {
    TGreyPicture grey{width, height, std::vector<std::uint8_t>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* line = rows + y * stride;
        std::uint8_t* out = grey.Pixels.data() + std::size_t(y) * std::size_t(width);
        if (y > 0 && std::memcmp(line, line - stride, std::size_t(width) * 4) == 0) {
            std::memcpy(out, out - width, std::size_t(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = line[x];
            const int a = int(p >> 24), white = 255 - a;
            const auto over = [&](int c) { return (c * a + 255 * white + 127) / 255; };
            out[x] = ZXing::RGBToLum(over(int(p >> 16 & 0xFF)), over(int(p >> 8 & 0xFF)),
                                     over(int(p & 0xFF)));
        }
    }
    return grey;
}

// Most rows of a barcode are the row above again: those are copied.
TGreyPicture GreyOfRgb(const std::uint8_t* rgb, int width, int height) {
    TGreyPicture grey{width, height, std::vector<std::uint8_t>(std::size_t(width) * height)};
    const std::size_t rowBytes = std::size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = rgb + std::size_t(y) * rowBytes;
        std::uint8_t* out = grey.Pixels.data() + std::size_t(y) * std::size_t(width);
        if (y > 0 && std::memcmp(line, line - rowBytes, rowBytes) == 0) {
            std::memcpy(out, out - width, std::size_t(width));
            continue;
        }
        for (int x = 0; x < width; ++x, line += 3)
            out[x] = ZXing::RGBToLum(line[0], line[1], line[2]);
    }
    return grey;
}

// libpng's simplified reading: grey files as they are (the luminance of a
// grey is itself), palettes through their colours' luminance, anything else
// as RGB on white.
TGreyPicture DecodePng(std::string_view bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    const int width = int(image.width), height = int(image.height);
    if (!Allowed(width, height)) {
        png_image_free(&image);
        return {};
    }
    const png_color white{255, 255, 255};
    const bool paletted = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    const bool grey =
        !paletted && (image.format & (PNG_FORMAT_FLAG_COLOR | PNG_FORMAT_FLAG_ALPHA)) == 0;
    image.format = paletted ? PNG_FORMAT_RGB_COLORMAP : grey ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    std::vector<std::uint8_t> colours(paletted ? PNG_IMAGE_COLORMAP_SIZE(image) : 0);
    if (!png_image_finish_read(&image, &white, pixels.data(), 0,
                               paletted ? colours.data() : nullptr)) {
        png_image_free(&image);
        return {};
    }
    if (grey) return {width, height, std::move(pixels)};
    if (!paletted) return GreyOfRgb(pixels.data(), width, height);
    std::uint8_t level[256] = {};
    for (std::size_t i = 0; i < image.colormap_entries && i < 256; ++i)
        level[i] = ZXing::RGBToLum(colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]);
    for (std::uint8_t& p : pixels)
        p = level[p];
    return {width, height, std::move(pixels)};
}

struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void ExitToDecoder(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->jump, 1);
}

void IgnoreWarning(j_common_ptr, int) {}

// Decodes into rgb; no C++ object lives in the frames libjpeg may jump over.
bool DecodeJpegInto(std::string_view bytes, std::vector<std::uint8_t>& rgb, int& width,
                    int& height) {
    jpeg_decompress_struct cinfo{};
    TJpegError error{};
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = ExitToDecoder;
    error.manager.emit_message = IgnoreWarning;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK ||
        !Allowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    bool room = true;
    try {
        rgb.resize(std::size_t(width) * std::size_t(height) * 3);
    } catch (const std::bad_alloc&) {
        room = false;
    }
    if (!room) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb.data() + std::size_t(cinfo.output_scanline) * std::size_t(width) * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

TGreyPicture DecodeJpeg(std::string_view bytes) {
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
    if (!DecodeJpegInto(bytes, rgb, width, height)) return {};
    return GreyOfRgb(rgb.data(), width, height);
}

std::uint32_t Little(std::string_view b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return v;
}

// Uncompressed BMP of 1, 4, 8, 24 or 32 bits, bottom-up or top-down: every
// kind our writer makes and those other programs make of such pictures.
TGreyPicture DecodeBmp(std::string_view b) {
    if (b.size() < 54 || b.substr(0, 2) != "BM") return {};
    const std::uint32_t dataAt = Little(b, 10, 4), header = Little(b, 14, 4);
    if (header < 40 || 14 + std::uint64_t(header) > b.size()) return {};
    const auto width = std::int32_t(Little(b, 18, 4)), rawHeight = std::int32_t(Little(b, 22, 4));
    const std::uint32_t bits = Little(b, 28, 2), compression = Little(b, 30, 4);
    std::uint32_t colours = Little(b, 46, 4);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (!Allowed(width, height) || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return {};
    if (bits <= 8 && colours == 0) colours = 1u << bits;
    const std::uint64_t paletteAt = 14 + std::uint64_t(header);
    if (bits <= 8 && (colours > 256 || paletteAt + 4ull * colours > b.size())) return {};
    const std::uint64_t rowBytes = (std::uint64_t(width) * bits + 31) / 32 * 4;
    if (dataAt + rowBytes * std::uint64_t(height) > b.size()) return {};
    std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t fileRow = topDown ? y : height - 1 - y;
        const char* row = b.data() + dataAt + std::uint64_t(fileRow) * rowBytes;
        std::uint8_t* out = rgb.data() + std::size_t(y) * std::size_t(width) * 3;
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            const auto byte = [&](std::int64_t i) { return static_cast<unsigned char>(row[i]); };
            if (bits >= 24) {
                const std::int64_t at = std::int64_t(x) * (bits / 8);
                out[0] = byte(at + 2), out[1] = byte(at + 1), out[2] = byte(at);
                continue;
            }
            const std::uint32_t perByte = 8 / bits, shift = 8 - bits * (1 + x % perByte);
            const std::uint32_t index = byte(x / perByte) >> shift & ((1u << bits) - 1);
            if (index >= colours) return {};
            const std::uint64_t at = paletteAt + 4ull * index;
            out[0] = static_cast<unsigned char>(b[at + 2]);
            out[1] = static_cast<unsigned char>(b[at + 1]);
            out[2] = static_cast<unsigned char>(b[at]);
        }
    }
    return GreyOfRgb(rgb.data(), width, int(height));
}

// ---- the module that renders drawings

struct TRenderModule {
    TRenderPage Render = nullptr;
    TFreePage Free = nullptr;
};

const TRenderModule& RenderModule() {
    static const TRenderModule module = [] {
        void* handle = LoadModule("barcodegen-render.so", BARCODEGEN_RENDER_BUILT);
        TRenderModule m{ModuleFunction<TRenderPage>(handle, RenderPageSymbol),
                        ModuleFunction<TFreePage>(handle, FreePageSymbol)};
        return m.Render && m.Free ? m : TRenderModule{};
    }();
    return module;
}

TGreyPicture Rendered(TRenderFormat format, std::string_view bytes, int dpi, bool* noModule) {
    const TRenderModule& module = RenderModule();
    *noModule = !module.Render;
    if (*noModule) return {};
    TRenderedPage page{};
    if (!module.Render(format, bytes.data(), bytes.size(), dpi, ReadBackMaxPixels, &page))
        return {};
    struct TFreeAfter {
        const TRenderModule& module;
        TRenderedPage& page;
        ~TFreeAfter() { module.Free(&page); }
    } freeAfter{module, page};
    return GreyOfRows(page.Pixels, page.Width, page.Height, page.Width);
}

} // namespace

TGreyPicture GreyOf(const TBitmap& picture) {
    if (picture.IsNull()) return {};
    return GreyOfRows(picture.Row(0), picture.Width(), picture.Height(), picture.Stride());
}

TGreyPicture WrittenPicture(std::string_view bytes, std::string_view format, int dpi,
                            std::string* problem) {
    std::string why = "cannot be decoded";
    TGreyPicture picture;
    bool noModule = false;
    if (format == "SVG") {
        picture = Rendered(RenderSvg, bytes, dpi, &noModule);
        why = "cannot be drawn by librsvg";
    } else if (format == "PDF") {
        picture = Rendered(RenderPdf, bytes, dpi, &noModule);
        why = "cannot be rendered by poppler";
    } else if (format == "PNG") {
        picture = DecodePng(bytes);
    } else if (format == "BMP") {
        picture = DecodeBmp(bytes);
    } else if (format == "JPEG") {
        picture = DecodeJpeg(bytes);
    }
    if (noModule) why = "cannot be read back: the module barcodegen-render.so is not installed";
    if (picture.IsNull() && problem)
        *problem = "--verify: the written " + std::string(format) + " " + why;
    return picture;
}
