// How long the pattern build, the whole Generate picture and its files take.
#include <benchmark/benchmark.h>

#include "engine/ZoBarcode.h"
#include "picture/GeneratePicture.h"

static void BM_BuildPatternEan13(benchmark::State& state) {
    TZoBarcode bc;
    bc.SetBarCode(u"590123412345");
    for (auto _ : state)
        benchmark::DoNotOptimize(bc.BuildPattern());
}
BENCHMARK(BM_BuildPatternEan13);

static void BM_BuildPatternInterleaved(benchmark::State& state) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCode_2_5_interleaved);
    bc.SetBarCode(u"12345678901234567890");
    for (auto _ : state)
        benchmark::DoNotOptimize(bc.BuildPattern());
}
BENCHMARK(BM_BuildPatternInterleaved);

static void BM_GenerateEan13(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(GenerateBarcodePicture(u"590123412345", bcCodeEAN13, {}));
}
BENCHMARK(BM_GenerateEan13)->Unit(benchmark::kMicrosecond);

// The picture and its file, as one code of the command line makes it.
static void BM_EncodeEan13(benchmark::State& state, const char* format) {
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeBarcodePicture(*PictureFormatNamed(format), u"590123412345",
                                                      bcCodeEAN13, {}, 96));
}
BENCHMARK_CAPTURE(BM_EncodeEan13, Png, "PNG")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeEan13, Svg, "SVG")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeEan13, Pdf, "PDF")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
