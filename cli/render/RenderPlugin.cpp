#include "cli/render/RenderPlugin.h"

#include <librsvg/rsvg.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

namespace {

bool Readable(double width, double height, long long maxPixels) {
    return width >= 1 && height >= 1 && std::ceil(width) * std::ceil(height) <= double(maxPixels);
}

// Copies rows of 32-bit pixels, making each opaque on white.
bool Keep(const unsigned char* rows, int width, int height, std::ptrdiff_t bytesPerRow,
          TRenderedPage* page) {
    auto* pixels = static_cast<std::uint32_t*>(
        std::malloc(std::size_t(width) * std::size_t(height) * sizeof(std::uint32_t)));
    if (!pixels) return false;
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(rows + y * bytesPerRow);
        std::uint32_t* out = pixels + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x)
            out[x] = in[x] | 0xFF000000u; // drawn on white: premultiplied is what shows
    }
    *page = {width, height, pixels};
    return true;
}

struct TFreeGObject {
    void operator()(gpointer p) const { g_object_unref(p); }
};

int RenderSvgPage(const char* data, std::size_t size, long long maxPixels, TRenderedPage* page) {
    GError* error = nullptr;
    const std::unique_ptr<RsvgHandle, TFreeGObject> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(data), gsize(size), &error));
    if (error) g_error_free(error);
    if (!handle) return 0;
    gboolean hasWidth = false, hasHeight = false, hasViewBox = false;
    RsvgLength width{}, height{};
    RsvgRectangle box{};
    rsvg_handle_get_intrinsic_dimensions(handle.get(), &hasWidth, &width, &hasHeight, &height,
                                         &hasViewBox, &box);
    if (!hasViewBox) {
        box.x = box.y = 0;
        if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &box.width, &box.height))
            return 0;
    }
    if (!Readable(box.width, box.height, maxPixels)) return 0;
    const int w = int(std::ceil(box.width)), h = int(std::ceil(box.height));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const RsvgRectangle viewport{0, 0, box.width, box.height}; // one unit a pixel
    const bool drawn = rsvg_handle_render_document(handle.get(), cr, &viewport, &error);
    if (error) g_error_free(error);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const bool kept = drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
                      Keep(cairo_image_surface_get_data(surface), w, h,
                           cairo_image_surface_get_stride(surface), page);
    cairo_surface_destroy(surface);
    return kept ? 1 : 0;
}

void IgnorePopplerMessage(const std::string&, void*) {}

int RenderPdfPage(const char* data, std::size_t size, int dpi, long long maxPixels,
                  TRenderedPage* page) {
    if (size > std::size_t(std::numeric_limits<int>::max())) return 0;
    // Poppler makes some of its shared state on first use without a lock.
    static std::mutex popplerLock;
    const std::lock_guard<std::mutex> lock(popplerLock);
    // Its complaints about a broken file would only repeat our own message.
    poppler::set_debug_error_function(IgnorePopplerMessage, nullptr);
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(data, int(size)));
    if (!document || document->is_locked() || document->pages() < 1) return 0;
    const std::unique_ptr<poppler::page> first(document->create_page(0));
    if (!first) return 0;
    const poppler::rectf points = first->page_rect(poppler::media_box);
    if (!Readable(points.width() * dpi / 72.0, points.height() * dpi / 72.0, maxPixels)) return 0;
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_argb32);
    const poppler::image rendered = renderer.render_page(first.get(), dpi, dpi);
    if (!rendered.is_valid() || rendered.format() != poppler::image::format_argb32) return 0;
    return Keep(reinterpret_cast<const unsigned char*>(rendered.const_data()), rendered.width(),
                rendered.height(), rendered.bytes_per_row(), page)
               ? 1
               : 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
barcodegen_render_page(int format, const char* data, std::size_t size, int dpi, long long maxPixels,
                       TRenderedPage* page) {
    *page = {0, 0, nullptr};
    try {
        if (format == RenderSvg) return RenderSvgPage(data, size, maxPixels, page);
        if (format == RenderPdf) return RenderPdfPage(data, size, dpi, maxPixels, page);
    } catch (...) { // nothing may cross the C interface
    }
    return 0;
}

extern "C" __attribute__((visibility("default"))) void barcodegen_free_page(TRenderedPage* page) {
    std::free(page->Pixels);
    *page = {0, 0, nullptr};
}
