// How long the pattern build and the whole Generate picture take.
#include <QGuiApplication>
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
    const QString code = QStringLiteral("590123412345");
    for (auto _ : state)
        benchmark::DoNotOptimize(GenerateBarcodePicture(code, bcCodeEAN13, {}));
}
BENCHMARK(BM_GenerateEan13)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
