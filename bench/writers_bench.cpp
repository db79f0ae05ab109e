// How long writing the default EAN-13 picture takes in each format: the Qt
// writers against the program's own (from a TBitmap, or from a recorded
// drawing). The "bytes" counter is the file's size.
#include <QBuffer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstring>

#include "bench/QtGlyphOutlines.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/DrawingWriters.h"
#include "picture/GeneratePicture.h"
#include "picture/ImageWriters.h"
#include "picture/SaveImage.h"
#include "picture/VectorPicture.h"
#include "platform/WindowFont.h"

namespace {

const QString Code = QStringLiteral("590123412345");

const QImage& Picture() {
    static const QImage picture = GenerateBarcodePicture(Code, bcCodeEAN13, {});
    return picture;
}

TBitmap PictureBitmap() {
    const QImage& image = Picture();
    TBitmap bitmap(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bitmap.Row(y), image.constScanLine(y), std::size_t(image.width()) * 4);
    return bitmap;
}

// The Generate picture's drawing, recorded: its box within the border, as
// GeneratePicture draws it.
TDrawing RecordedDrawing(TGlyphOutlines& glyphs) {
    const TGenerateOptions o;
    TDrawingRecorder recorder(glyphs);
    TRect box{o.Border, o.Border, o.Width - 2 * o.Border, o.Height - 2 * o.Border};
    int module = 2;
    DrawBarcodeInRect(ToU16(Code), bcCodeEAN13, recorder, box, module, GenerateTextFont(), true,
                      o.ShowText, stpBottomCenter, o.UseCheckSum);
    recorder.Drawing.Width = Picture().width();
    recorder.Drawing.Height = Picture().height();
    return recorder.Drawing;
}

void QtImage(benchmark::State& state, const char* format) {
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        WriteImage(Picture(), buffer, QString::fromLatin1(format), DefaultDpi, nullptr);
    }
    state.counters["bytes"] = double(bytes.size());
}

void OwnImage(benchmark::State& state, bool (*encode)(const TBitmap&, int, TBytes&, std::string*)) {
    const TBitmap bitmap = PictureBitmap();
    TBytes bytes;
    for (auto _ : state)
        encode(bitmap, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

void QtDrawing(benchmark::State& state, const char* format) {
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        WriteBarcodeDrawing(buffer, QString::fromLatin1(format), Picture().size(), Code,
                            bcCodeEAN13, {}, DefaultDpi, nullptr);
    }
    state.counters["bytes"] = double(bytes.size());
}

using TDrawingEncoder = bool (*)(const TDrawing&, TGlyphOutlines&, int, TBytes&, std::string*);

// The drawing recorded once, written again and again.
void OwnDrawing(benchmark::State& state, TDrawingEncoder encode) {
    TQtGlyphOutlines glyphs;
    const TDrawing drawing = RecordedDrawing(glyphs);
    TBytes bytes;
    for (auto _ : state)
        encode(drawing, glyphs, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

// Drawn through the recorder and written, as a single code is.
void OwnDrawingRecorded(benchmark::State& state, TDrawingEncoder encode) {
    TQtGlyphOutlines glyphs;
    TBytes bytes;
    for (auto _ : state)
        encode(RecordedDrawing(glyphs), glyphs, DefaultDpi, bytes, nullptr);
    state.counters["bytes"] = double(bytes.size());
}

} // namespace

BENCHMARK_CAPTURE(QtImage, Png, "PNG")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnImage, Png, EncodePng)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QtImage, Bmp, "BMP")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnImage, Bmp, EncodeBmp)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QtImage, Jpeg, "JPEG")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnImage, Jpeg, EncodeJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QtDrawing, Svg, "SVG")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawing, Svg, EncodeSvg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawingRecorded, Svg, EncodeSvg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QtDrawing, Pdf, "PDF")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawing, Pdf, EncodePdf)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OwnDrawingRecorded, Pdf, EncodePdf)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterWindowFont();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
