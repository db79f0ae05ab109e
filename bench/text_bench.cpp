// How long the HTML label and the settings file take on long texts. Such
// texts reach the label through error messages that quote the user's input,
// and a settings file holds whatever list the user filled; each case here
// must stay far below a second.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "complib/bHTMLLabel.h"
#include "platform/TextDraw.h"
#include "propsave/PropSaveMain.h"

namespace {

// One measuring and one painting pass, as the label's own sizing and paint
// event do them.
void MeasureAndPaint(benchmark::State& state, const QString& caption, bool wordWrap,
                     int width = 300) {
    TbHTMLLabel label;
    label.SetAutoSize(false);
    label.resize(width, 200);
    label.SetWordWrap(wordWrap);
    label.SetCaption(caption);
    QImage image(width, 200, QImage::Format_ARGB32_Premultiplied);
    const unsigned wrap = wordWrap ? DT_WORDBREAK : 0u;
    for (auto _ : state) {
        TRect measured{0, 0, width, 200};
        label.DrawCaptionText(measured, DT_EXPANDTABS | DT_CALCRECT | wrap);
        benchmark::DoNotOptimize(measured);
        image.fill(Qt::white);
        QPainter painter(&image);
        TRect r{0, 0, width, 200};
        label.DrawCaptionText(r, DT_EXPANDTABS | wrap, &painter);
    }
}

} // namespace

// 100 KB of mark-up on a single line: 25,000 tags and letters.
static void BM_LabelBoldRun(benchmark::State& state) {
    MeasureAndPaint(state, QStringLiteral("<B>W").repeated(25000), false);
}
BENCHMARK(BM_LabelBoldRun)->Unit(benchmark::kMillisecond);

// 20,000 line breaks.
static void BM_LabelLineBreaks(benchmark::State& state) {
    MeasureAndPaint(state, QStringLiteral("W<BR>").repeated(20000), false);
}
BENCHMARK(BM_LabelLineBreaks)->Unit(benchmark::kMillisecond);

// One word of 100 KB, wrapped by the mark-up drawing in a label of the
// argument's width: 300 pixels (about 4,000 visual lines), and 20 (one letter
// a line, 100,000 of them).
static void BM_LabelLongWordWrapped(benchmark::State& state) {
    MeasureAndPaint(state, QStringLiteral("<B>") + QString(100000, u'W'), true,
                    static_cast<int>(state.range(0)));
}
BENCHMARK(BM_LabelLongWordWrapped)->Arg(300)->Arg(20)->Unit(benchmark::kMillisecond);

// A list box of 20,000 lines written into the settings and the text the file
// would get.
static void BM_SettingsWriteStringList(benchmark::State& state) {
    QStringList list;
    for (int i = 0; i < 20000; ++i)
        list.append(QStringLiteral("line %1 of the list").arg(i));
    QTemporaryDir dir;
    for (auto _ : state) {
        TPropSaveFile file;
        file.DisableAll = true;
        file.Open(dir.filePath(QStringLiteral("bench.ini")));
        file.WriteStrings(QStringLiteral("ListBox1"), list);
        benchmark::DoNotOptimize(file.Store()->GetIniText());
    }
}
BENCHMARK(BM_SettingsWriteStringList)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
