// SVG and PDF as their readers see them: the page holds the whole picture, the
// text needs no font, and --verify reads the bytes that are written.
#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

#include "cli/BarcodeCli.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "picture/SaveImage.h"
#include "platform/QtConvert.h"
#include "tests/ScanSupport.h"
#include "tests/cli/CliRun.h"

namespace {

struct TRun {
    bool ok = false;
    QByteArray out;
};

TRun RunTool(const QString& program, const QStringList& args, const QString& fontConfig = {}) {
    QProcess p;
    if (!fontConfig.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FONTCONFIG_FILE"), fontConfig);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    const bool done = p.waitForFinished(60000);
    return {done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
            p.readAllStandardOutput()};
}

// The MediaBox of a PDF's first page as pdfinfo reads it: x0, y0, x1, y1 in points.
std::vector<double> MediaBox(const QString& pdf) {
    const TRun info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdf});
    static const QRegularExpression line(QStringLiteral("MediaBox:\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)"
                                                        "\\s+(\\S+)"));
    const QRegularExpressionMatch m = line.match(QString::fromLatin1(info.out));
    if (!info.ok || !m.hasMatch()) return {};
    return {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
            m.captured(4).toDouble()};
}

// Pixels of picture that rendered shows more than half the way to the other
// colour, over picture's area; what lies beyond it must be white.
int PixelsApart(const QImage& picture, const QImage& rendered) {
    const QImage a = picture.convertToFormat(QImage::Format_RGB32);
    const QImage b = rendered.convertToFormat(QImage::Format_RGB32);
    int apart = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const int shown = qGray(b.pixel(x, y));
            const int drawn = a.rect().contains(x, y) ? qGray(a.pixel(x, y)) : 255;
            apart += std::abs(shown - drawn) > 128;
        }
    return apart;
}

// A fontconfig set-up of the DejaVu fonts only: no Tahoma, nothing metric-compatible.
QString FontsWithoutTahoma(const QTemporaryDir& dir) {
    const QString file = dir.filePath(QStringLiteral("fonts.conf"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n"
                           "<dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                           "<cachedir>%1</cachedir>\n</fontconfig>\n")
                .arg(dir.filePath(QStringLiteral("fontcache")))
                .toUtf8());
    return file;
}

} // namespace

TEST(VectorCli, PdfPageHoldsTheWholePicture) {
    QTemporaryDir dir;
    const struct {
        const char* type;
        int index;
        const char* code;
        int dpi;
        int border; // -1: --no-border
    } cases[] = {
        {"EAN13", bcCodeEAN13, "590123412345", 96, 10},
        {"EAN13", bcCodeEAN13, "590123412345", 300, 10}, // 57.12 points wide
        {"EAN13", bcCodeEAN13, "590123412345", 2500, -1},
        {"EAN8", bcCodeEAN8, "1234567", 72, 10}, // whole points: no blank strip
        {"UPC_A", bcCodeUPC_A, "03600029145", 600, 3},
        {"Code128B", bcCode128B, "Label-42", 10000, -1},
        {"Code39", bcCode39, "CODE-39", 1, 10},
    };
    for (const auto& c : cases) {
        const QString what =
            QStringLiteral("%1 at %2 dpi, border %3").arg(c.type).arg(c.dpi).arg(c.border);
        TGenerateOptions o;
        o.Border = std::max(c.border, 0);
        const QImage picture = GeneratedImage(QString::fromLatin1(c.code), c.index, o);
        const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
        QStringList args = {"-t", c.type, "--dpi", QString::number(c.dpi), "-o", pdf, c.code};
        args << (c.border < 0 ? QStringList{"--no-border"}
                              : QStringList{"--border", QString::number(c.border)});
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << what.toStdString() << r.err.toStdString();

        // The picture and less than a point beside it, from the page's corner.
        const std::vector<double> box = MediaBox(pdf);
        ASSERT_EQ(box.size(), 4u) << what.toStdString();
        EXPECT_EQ(box[0], 0);
        EXPECT_EQ(box[1], 0);
        const double width = picture.width() * 72.0 / c.dpi,
                     height = picture.height() * 72.0 / c.dpi;
        EXPECT_GE(box[2], width - 0.005) << what.toStdString(); // pdfinfo gives two decimals
        EXPECT_LT(box[2], width + 1) << what.toStdString();
        EXPECT_GE(box[3], height - 0.005) << what.toStdString();
        EXPECT_LT(box[3], height + 1) << what.toStdString();

        // Rendered at its resolution, the page is the picture and white beside it.
        ASSERT_TRUE(RunTool("pdftoppm", {"-r", QString::number(c.dpi), "-png", "-singlefile", pdf,
                                         dir.filePath("page")})
                        .ok);
        const QImage page(dir.filePath("page.png"));
        EXPECT_GE(page.width(), picture.width()) << what.toStdString();
        EXPECT_GE(page.height(), picture.height()) << what.toStdString();
        EXPECT_LE(PixelsApart(picture, page), 2) << what.toStdString();
        const ScanResult s = ScanWithZxing(page);
        EXPECT_TRUE(s.ok) << what.toStdString() << s.log;
    }
}

TEST(VectorCli, TextIsDrawnWithoutTheFont) {
    QTemporaryDir dir;
    const QString fonts = FontsWithoutTahoma(dir);
    const TRun families = RunTool("fc-list", {":", "family"}, fonts);
    ASSERT_TRUE(families.ok);
    ASSERT_FALSE(families.out.isEmpty());
    ASSERT_FALSE(families.out.contains("Tahoma")) << families.out.toStdString();
    const struct {
        const char* type;
        int index;
        const char* code;
        std::string text;
    } cases[] = {
        {"EAN13", bcCodeEAN13, "590123412345", "5901234123457"},
        {"UPC_A", bcCodeUPC_A, "03600029145", "036000291452"},
        {"EAN8", bcCodeEAN8, "1234567", "12345670"},
        {"UPC_E0", bcCodeUPC_E0, "425261", "04252614"},
        {"Code128B", bcCode128B, "Label-42", "Label-42"},
    };
    for (const auto& c : cases) {
        const QImage picture = GeneratedImage(QString::fromLatin1(c.code), c.index, {});
        const QString svg = dir.filePath("x.svg"), pdf = dir.filePath("x.pdf");
        ASSERT_EQ(Cli({"-t", c.type, "-o", svg, c.code}).exitCode, 0) << c.type;
        ASSERT_EQ(Cli({"-t", c.type, "-o", pdf, c.code}).exitCode, 0) << c.type;
        // Nothing in either file asks the reader for a font.
        const QByteArray svgBytes = ReadAll(svg);
        EXPECT_FALSE(svgBytes.contains("font")) << c.type;
        EXPECT_FALSE(svgBytes.contains("<text")) << c.type;
        const TRun pdfFonts = RunTool("pdffonts", {pdf});
        ASSERT_TRUE(pdfFonts.ok);
        EXPECT_EQ(pdfFonts.out.count('\n'), 2)
            << c.type << pdfFonts.out.toStdString(); // the heading

        // Rendered where Tahoma is missing, both show what the picture shows.
        ASSERT_TRUE(
            RunTool("rsvg-convert", {"-b", "white", svg, "-o", dir.filePath("svg.png")}, fonts).ok);
        ASSERT_TRUE(RunTool("pdftoppm",
                            {"-r", "96", "-png", "-singlefile", pdf, dir.filePath("pdf")}, fonts)
                        .ok);
        for (const char* rendered : {"svg.png", "pdf.png"}) {
            const QImage img(dir.filePath(rendered));
            EXPECT_LE(PixelsApart(picture, img), 2) << c.type << " " << rendered;
            for (const ScanResult& s : {ScanWithZbar(img), ScanWithZxing(img)}) {
                EXPECT_TRUE(s.ok) << c.type << " " << rendered << s.log;
                EXPECT_EQ(s.text, c.text) << c.type << " " << rendered;
            }
        }
    }
}

namespace {

// The written picture with a stripe across the symbol's middle painted white,
// written again by Qt's own writer.
void Smudge(TBytes& bytes, const char* format) {
    QImage picture = QImage::fromData(QByteArray::fromStdString(bytes), format)
                         .convertToFormat(QImage::Format_RGB32);
    QPainter(&picture).fillRect(picture.width() / 2 - 8, 0, 16, picture.height(), Qt::white);
    QByteArray smudged;
    QBuffer buffer(&smudged);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format, 100);
    bytes = smudged.toStdString();
}

// The first number after key, two thirds of it, in as many characters: the
// page or view box cut short as a rounded page once cut it.
void Narrower(TBytes& written, const char* key) {
    QByteArray bytes = QByteArray::fromStdString(written);
    const qsizetype at = bytes.indexOf(key);
    if (at < 0) return;
    const qsizetype from = at + qsizetype(strlen(key));
    qsizetype to = from;
    while (to < bytes.size() && (std::isdigit(bytes[to]) || bytes[to] == '.'))
        ++to;
    const QByteArray number = bytes.mid(from, to - from);
    bytes.replace(from, to - from,
                  QByteArray::number(int(number.toDouble() * 2 / 3)).leftJustified(number.size()));
    written = bytes.toStdString();
}

} // namespace

TEST(VectorCli, VerifyReadsTheWrittenBytes) {
    const struct {
        const char* format;
        std::function<void(TBytes&)> alter; // empty: the bytes as written
        const char* says;                   // the refusal; empty: accepted
    } cases[] = {
        {"PNG", {}, ""},
        {"BMP", {}, ""},
        {"JPEG", {}, ""},
        {"SVG", {}, ""},
        {"PDF", {}, ""},
        {"PNG", [](TBytes& b) { Smudge(b, "PNG"); }, "reads no CodeEAN13 symbol"},
        {"BMP", [](TBytes& b) { Smudge(b, "BMP"); }, "reads no CodeEAN13 symbol"},
        {"JPEG", [](TBytes& b) { Smudge(b, "JPEG"); }, "reads no CodeEAN13 symbol"},
        {"SVG", [](TBytes& b) { Narrower(b, "viewBox=\"0 0 "); }, "reads no CodeEAN13 symbol"},
        {"PDF", [](TBytes& b) { Narrower(b, "/MediaBox [0 0 "); }, "reads no CodeEAN13 symbol"},
        {"PNG", [](TBytes& b) { b.resize(b.size() / 2); }, "the written PNG cannot be decoded"},
        {"BMP", [](TBytes& b) { b = "BM"; }, "the written BMP cannot be decoded"},
        {"SVG", [](TBytes& b) { b.resize(b.size() / 2); }, "the written SVG cannot be drawn"},
        {"PDF", [](TBytes& b) { b = "%PDF-1.4\n"; }, "the written PDF cannot be rendered"},
    };
    for (const auto& c : cases)
        for (const int dpi : {300, 2500}) {
            TCliOptions o;
            o.Format = c.format;
            o.Dpi = dpi;
            o.Verify = true;
            o.Generate.Border = dpi == 2500 ? 0 : 10;
            const TCodeOutcome r = RenderCode(o, "590123412345", c.alter);
            const std::string what =
                std::string(c.format) + " " + c.says + " at " + std::to_string(dpi);
            if (*c.says == 0) {
                EXPECT_EQ(r.Exit, cliOk) << what << (r.Messages.empty() ? "" : r.Messages[0]);
                EXPECT_FALSE(r.Bytes.empty()) << what;
                continue;
            }
            EXPECT_EQ(r.Exit, cliRefused) << what;
            EXPECT_TRUE(r.Bytes.empty()) << what; // nothing to write
            ASSERT_EQ(r.Messages.size(), 1u) << what;
            EXPECT_TRUE(r.Messages[0].starts_with("barcodegen-cli: --verify: ")) << r.Messages[0];
            EXPECT_NE(r.Messages[0].find(c.says), std::string::npos) << what << r.Messages[0];
        }
}

namespace {

QByteArray Drawing(const char* format, const QString& code, int type, const TGenerateOptions& o) {
    return QByteArray::fromStdString(
        EncodeBarcodePicture(*PictureFormatNamed(format), ToU16(code), type, o, 96));
}

} // namespace

// Fonts are kept per thread: each case draws in a thread of its own, after
// what it draws first.
TEST(VectorDrawing, BytesDoNotDependOnWhatWasDrawnBefore) {
    const auto raster = [](const char* code, int type, TGenerateOptions o = {}) {
        return [=] { GenerateBarcodePicture(ToU16(QString::fromLatin1(code)), type, o); };
    };
    const struct {
        const char* what;
        std::function<void()> before;
    } histories[] = {
        {"nothing", [] {}},
        // Its glyph 4, hinted at the picture's size, once moved the points of a later 5.
        {"an EAN-8 picture of fours", raster("4444444", bcCodeEAN8)},
        {"a large picture", raster("590123412345", bcCodeEAN13, {true, true, 4, 1200, 800, {}})},
        {"a Code 128 picture", raster("Label-42", bcCode128B)},
        {"a drawing", [] { Drawing("SVG", QStringLiteral("1234567"), bcCodeEAN8, {}); }},
    };
    const struct {
        const char* format;
        const char* code;
        int type;
    } drawings[] = {
        {"SVG", "9638507", bcCodeEAN8},
        {"PDF", "9638507", bcCodeEAN8},
        {"SVG", "03600029145", bcCodeUPC_A},
    };
    for (const auto& d : drawings) {
        std::vector<QByteArray> bytes;
        for (const auto& h : histories)
            std::thread([&] {
                h.before();
                bytes.push_back(Drawing(d.format, QString::fromLatin1(d.code), d.type, {}));
            }).join();
        for (std::size_t i = 1; i < bytes.size(); ++i)
            EXPECT_EQ(bytes[i], bytes[0])
                << d.format << " " << d.code << " after " << histories[i].what;
    }
}
