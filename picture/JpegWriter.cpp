#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <new>

#include <jpeglib.h>
// after jpeglib.h, whose types it uses
#include <jerror.h>

#include "picture/IndexedPicture.h"
#include "picture/WriterSupport.h"

namespace {

// libjpeg ends a failed call through error_exit, which must not return: it
// jumps back to the one place that set the jump, past no C++ object that
// needs destroying.
struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ExitToCaller(j_common_ptr cinfo) {
    auto* error = reinterpret_cast<TJpegError*>(cinfo->err);
    cinfo->err->format_message(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

// The compressed bytes go into a TBytes through a buffer of libjpeg's.
struct TJpegDestination {
    jpeg_destination_mgr manager;
    TBytes* out;
    JOCTET buffer[16384];
};

void InitDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    d->manager.next_output_byte = d->buffer;
    d->manager.free_in_buffer = sizeof d->buffer;
}

boolean EmptyBuffer(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    bool full = false;
    try {
        d->out->append(reinterpret_cast<const char*>(d->buffer), sizeof d->buffer);
    } catch (const std::bad_alloc&) {
        full = true; // no exception may pass through libjpeg's frames
    }
    if (full) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TJpegDestination*>(cinfo->dest);
    d->out->append(reinterpret_cast<const char*>(d->buffer),
                   sizeof d->buffer - d->manager.free_in_buffer);
}

// Compresses the opaque picture; only plain data lives in this frame, so
// the jump out of a failure leaves nothing behind but what jpeg_destroy frees.
bool Compress(const TBitmap& picture, int dpi, int quality, TBytes& out, TJpegError& error,
              TJpegDestination& destination) {
    jpeg_compress_struct cinfo;
    cinfo.mem = nullptr; // jpeg_destroy_compress frees nothing before jpeg_create_compress
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = ExitToCaller;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    destination.out = &out;
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyBuffer;
    destination.manager.term_destination = TermDestination;
    cinfo.dest = &destination.manager;
    cinfo.image_width = JDIMENSION(picture.Width());
    cinfo.image_height = JDIMENSION(picture.Height());
    // The pixels' own memory: blue, green, red and a byte left alone, on a
    // little-endian machine.
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    cinfo.density_unit = 1; // dots per inch
    cinfo.X_density = UINT16(dpi);
    cinfo.Y_density = UINT16(dpi);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row =
            reinterpret_cast<JSAMPROW>(const_cast<TPixel*>(picture.Row(int(cinfo.next_scanline))));
        jpeg_write_scanlines(&cinfo, &row, 1); // libjpeg only reads the row
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool EncodeJpeg(const TBitmap& picture, int dpi, TBytes& out, std::string* error) {
    return EncodeJpegAtQuality(picture, dpi, 100, out, error);
}

bool EncodeJpegAtQuality(const TBitmap& original, int dpi, int quality, TBytes& out,
                         std::string* error) {
    static_assert(std::endian::native == std::endian::little, "pixels are read as B, G, R, A");
    if (const std::string problem = RasterProblem(original, dpi); !problem.empty())
        return Fail(error, problem);
    const TBitmap picture = OnWhite(original);
    TBytes jpeg;
    TJpegError jpegError{};
    TJpegDestination destination{};
    if (!Compress(picture, dpi, std::clamp(quality, 0, 100), jpeg, jpegError, destination))
        return Fail(error, std::string("the JPEG could not be written: ") + jpegError.message);
    out = std::move(jpeg);
    return true;
}
