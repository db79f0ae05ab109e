// How long writing the default EAN-13 picture takes in each format, from its
// bitmap or from its recorded drawing. The "bytes" counter is the file's size.
#include <benchmark/benchmark.h>

#include "engine/ZoBarCode_interface.h"
#include "picture/DrawingWriters.h"
#include "picture/GeneratePicture.h"
#include "picture/ImageWriters.h"
#include "picture/SaveImage.h"
#include "picture/TextFace.h"

namespace {

const std::u16string Code = u"590123412345";

void OwnImage(benchmark::State& state, bool (*encode)(const TBitmap&, int, TBytes&, std::string*)) {
    const TBitmap bitmap = GenerateBarcodePicture(Code, bcCodeEAN13, {});
    TBytes bytes;
    for (auto _ : state)
        encode(bitmap, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

using TDrawingEncoder = bool (*)(const TDrawing&, TGlyphOutlines&, int, TBytes&, std::string*);

// The drawing recorded once, written again and again.
void OwnDrawing(benchmark::State& state, TDrawingEncoder encode) {
    TFaceGlyphs glyphs;
    const TDrawing drawing = GenerateBarcodeDrawing(Code, bcCodeEAN13, {});
    TBytes bytes;
    for (auto _ : state)
        encode(drawing, glyphs, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

// Drawn through the recorder and written, as a single code is.
void OwnDrawingRecorded(benchmark::State& state, TDrawingEncoder encode) {
    TFaceGlyphs glyphs;
    TBytes bytes;
    for (auto _ : state)
        encode(GenerateBarcodeDrawing(Code, bcCodeEAN13, {}), glyphs, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

} // namespace

BENCHMARK_CAPTURE(OwnImage, Png, EncodePng)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnImage, Bmp, EncodeBmp)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnImage, Jpeg, EncodeJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawing, Svg, EncodeSvg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawingRecorded, Svg, EncodeSvg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawing, Pdf, EncodePdf)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawingRecorded, Pdf, EncodePdf)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
