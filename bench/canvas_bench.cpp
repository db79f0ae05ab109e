// The two canvases side by side: measuring the EAN-13 text (once, and over the
// sizes the automatic font size walks through) and drawing the default EAN-13
// picture, on TRasterCanvas (FreeType, no toolkit) and on TQtCanvas (QPainter).
#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "engine/ZoBarCode_interface.h"
#include "picture/Bitmap.h"
#include "picture/GeneratePicture.h"
#include "picture/RasterCanvas.h"
#include "picture/TextFace.h"
#include "platform/QtCanvas.h"
#include "platform/WindowFont.h"

namespace {

const std::u16string EanText = u"5901234123457";

// The picture of Generate's default: EAN-13 in 300 x 200 with a border of 10.
TRect DrawEan13(TCanvas& canvas) {
    TRect r{10, 10, 280, 180};
    int module = 2;
    DrawBarcodeInRect(u"590123412345", bcCodeEAN13, canvas, r, module, GenerateTextFont(), true,
                      true, stpBottomCenter, true);
    return r;
}

void BM_MeasureEanTextRaster(benchmark::State& state) {
    TBitmap bitmap(1, 1);
    TRasterCanvas canvas(bitmap);
    canvas.Font = GenerateTextFont();
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas.TextWidth(EanText));
}
BENCHMARK(BM_MeasureEanTextRaster);

void BM_MeasureEanTextQt(benchmark::State& state) {
    QImage image(1, 1, QImage::Format_RGB32);
    TQtCanvas canvas(image);
    canvas.Font = GenerateTextFont();
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas.TextWidth(EanText));
}
BENCHMARK(BM_MeasureEanTextQt);

// What the automatic font size measures for the default picture: the text at
// every size from 2 until it is as wide as the symbol.
template <class Canvas> void MeasureAutoSizes(Canvas& canvas, benchmark::State& state) {
    for (auto _ : state)
        for (int size = 2; size <= 17; ++size) {
            canvas.Font.Size = size;
            benchmark::DoNotOptimize(canvas.TextWidth(EanText));
        }
}

void BM_MeasureEanAutoSizesRaster(benchmark::State& state) {
    TBitmap bitmap(1, 1);
    TRasterCanvas canvas(bitmap);
    canvas.Font = GenerateTextFont();
    MeasureAutoSizes(canvas, state);
}
BENCHMARK(BM_MeasureEanAutoSizesRaster);

void BM_MeasureEanAutoSizesQt(benchmark::State& state) {
    QImage image(1, 1, QImage::Format_RGB32);
    TQtCanvas canvas(image);
    canvas.Font = GenerateTextFont();
    MeasureAutoSizes(canvas, state);
}
BENCHMARK(BM_MeasureEanAutoSizesQt);

void BM_PaintEanTextRaster(benchmark::State& state) {
    TBitmap bitmap(100, 20);
    for (auto _ : state)
        PaintText(bitmap, GenerateTextFont(), 2, 2, EanText);
}
BENCHMARK(BM_PaintEanTextRaster);

void BM_DrawEan13Raster(benchmark::State& state) {
    for (auto _ : state) {
        TBitmap bitmap(300, 200);
        {
            TRasterCanvas canvas(bitmap);
            DrawEan13(canvas);
        }
        benchmark::DoNotOptimize(bitmap.Row(0));
    }
}
BENCHMARK(BM_DrawEan13Raster)->Unit(benchmark::kMicrosecond);

void BM_DrawEan13Qt(benchmark::State& state) {
    for (auto _ : state) {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            TQtCanvas canvas(image);
            DrawEan13(canvas);
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawEan13Qt)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterWindowFont(); // the Qt canvas measures the same Tahoma
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
