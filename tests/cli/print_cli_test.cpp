// Labels at a print size from the real barcodegen-cli: every format at the
// X-dimension asked and read back, quiet zones counted in the written files,
// colours, transparency, rotation, batches and the refusals.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/cli/CliRun.h"

namespace {

std::string Str(const QStringList& args) {
    return args.join(u' ').toStdString();
}

QStringList At033(const QStringList& more) {
    return QStringList{"--xdim", "0.33mm", "--dpi", "300", "--verify"} + more;
}

// White columns at the left and right of the picture's row y.
std::pair<int, int> WhiteBeside(const QImage& image, int y) {
    int left = 0, right = 0;
    while (left < image.width() && image.pixel(left, y) == 0xFFFFFFFFu)
        ++left;
    while (right < image.width() && image.pixel(image.width() - 1 - right, y) == 0xFFFFFFFFu)
        ++right;
    return {left, right};
}

} // namespace

// Every format at 0.33 mm on a 300-dpi printer: the module is 4 dots, the
// file says 300 dpi (a drawing its size in millimetres or points), and
// --verify read it back before it was written.
TEST(PrintCli, EveryFormatAtTheXDimension) {
    QTemporaryDir dir;
    const struct {
        const char* Name;
        const char* Says; // for a drawing: its size; else the picture is 452 x 329 at 300 dpi
    } cases[] = {
        {"x.png", ""},
        {"x.bmp", ""},
        {"x.jpg", ""},
        {"x.svg", R"(width="38.2693mm" height="27.8553mm" viewBox="0 0 452 329")"},
        {"x.pdf", "/MediaBox [0 0 108.48 78.96]"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.Name);
        const QStringList args = At033({"-o", path, "590123412345"});
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << Str(args) << r.err.toStdString();
        EXPECT_EQ(r.err, "") << c.Name; // 3.9 dots to 4 is within 5 %
        if (*c.Says) {
            EXPECT_TRUE(ReadAll(path).contains(c.Says)) << c.Name;
            continue;
        }
        const QImage image(path);
        EXPECT_EQ(image.size(), QSize(452, 329)) << c.Name;
        EXPECT_EQ(image.dotsPerMeterX(), 11811) << c.Name; // 300 dpi
    }
}

// A drawing takes the colours and the turn too: no ground where it is
// transparent, bars in the foreground, the sides swapped.
TEST(PrintCli, DrawingsColouredAndTurned) {
    QTemporaryDir dir;
    const struct {
        const char* Name;
        QStringList More;
        const char* Has;
        const char* HasNot;
    } cases[] = {
        {"n.svg", {"--fg", "navy"}, R"(fill="#000080")", R"(fill="#000000")"},
        {"t.svg", {"--bg", "transparent"}, R"(viewBox="0 0 452 329")", R"(<rect width="452")"},
        {"r.svg", {"--rotate", "90"}, R"(viewBox="0 0 329 452")", R"(viewBox="0 0 452 329")"},
        {"r.pdf",
         {"--rotate", "270", "--fg", "navy"},
         "/MediaBox [0 0 78.96 108.48]",
         "108.48 78.96"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.Name);
        const QStringList args = At033(c.More + QStringList{"-o", path, "590123412345"});
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << Str(args) << r.err.toStdString();
        const QByteArray bytes = ReadAll(path);
        EXPECT_TRUE(bytes.contains(c.Has)) << c.Name;
        EXPECT_FALSE(bytes.contains(c.HasNot)) << c.Name;
    }
}

// The quiet zones of the written PNG, in modules of the X-dimension.
TEST(PrintCli, QuietZonesInTheWrittenPicture) {
    QTemporaryDir dir;
    const struct {
        const char* Type;
        const char* Code;
        int Left, Right;
        QStringList More;
    } cases[] = {
        {"EAN13", "590123412345", 11, 7, {}},
        {"UPC_A", "03600029145", 9, 9, {}},
        {"Code128B", "ABC-123", 10, 10, {}},
        {"itf", "12345678", 10, 10, {}},
        {"EAN8", "1234567", 7, 7, {}},
        {"EAN13", "590123412345", 3, 3, {"--quiet-zone", "3"}},
        {"EAN13", "590123412345", 0, 0, {"--no-quiet-zone"}},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath("q.png");
        const QStringList args =
            At033(QStringList{"--no-text", "-t", c.Type, "-o", path, c.Code} + c.More);
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << Str(args) << r.err.toStdString();
        const QImage image(path);
        const auto [left, right] = WhiteBeside(image, image.height() / 2);
        EXPECT_EQ(left, 4 * c.Left) << Str(args);
        EXPECT_EQ(right, 4 * c.Right) << Str(args);
    }
}

// Colours in every raster format, a transparent ground in PNG, and the
// ground and bars where they belong.
TEST(PrintCli, ColoursAndTransparency) {
    QTemporaryDir dir;
    const struct {
        const char* Name;
        QStringList Colours;
        QRgb Ground, Bar;
        int Tolerance; // JPEG's loss
    } cases[] = {
        {"c.png", {"--fg", "navy", "--bg", "#FFFFE0"}, 0xFFFFFFE0, 0xFF000080, 0},
        {"c.bmp", {"--fg", "navy", "--bg", "#FFFFE0"}, 0xFFFFFFE0, 0xFF000080, 0},
        // JPEG shares colour between 2 x 2 pixels, so a bar of one module takes
        // some of the ground's.
        {"c.jpg", {"--fg", "navy", "--bg", "#FFFFE0"}, 0xFFFFFFE0, 0xFF000080, 48},
        {"t.png", {"--bg", "transparent"}, 0x00000000, 0xFF000000, 0},
        {"u.png", {"--fg", "#00000080", "--bg", "transparent"}, 0x00000000, 0x80000000, 0},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.Name);
        const QStringList args = At033(c.Colours + QStringList{"-o", path, "590123412345"});
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << Str(args) << r.err.toStdString();
        const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        const QRgb ground = image.pixel(0, 0), bar = image.pixel(44, 10); // the start guard
        for (const auto& [got, want] : {std::pair{ground, c.Ground}, std::pair{bar, c.Bar}}) {
            EXPECT_EQ(qAlpha(got), qAlpha(want)) << c.Name;
            if (qAlpha(want) == 0) continue;
            EXPECT_NEAR(qRed(got), qRed(want), c.Tolerance) << c.Name;
            EXPECT_NEAR(qGreen(got), qGreen(want), c.Tolerance) << c.Name;
            EXPECT_NEAR(qBlue(got), qBlue(want), c.Tolerance) << c.Name;
        }
    }
}

// Turned pictures have their sides swapped (or not) and still read back.
TEST(PrintCli, RotationReadsBack) {
    QTemporaryDir dir;
    const struct {
        const char* Degrees;
        const char* Name;
        QSize Size;
    } cases[] = {{"0", "r0.png", {452, 329}},
                 {"90", "r90.png", {329, 452}},
                 {"180", "r180.bmp", {452, 329}},
                 {"270", "r270.jpg", {329, 452}}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.Name);
        const QStringList args = At033({"--rotate", c.Degrees, "-o", path, "590123412345"});
        const CliRun r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << Str(args) << r.err.toStdString();
        EXPECT_EQ(QImage(path).size(), c.Size) << c.Name;
    }
    // The first digit stands left of the bars: turned a quarter clockwise, at the top.
    const QImage turned(dir.filePath("r90.png"));
    bool inkAtTop = false;
    for (int x = 0; x < turned.width(); ++x)
        inkAtTop = inkAtTop || qGray(turned.pixel(x, 28)) < 128;
    EXPECT_TRUE(inkAtTop);
}

// A batch takes the same options: its files are those of single runs.
TEST(PrintCli, BatchesAsSingleRuns) {
    QTemporaryDir dir;
    QFile codes(dir.filePath("codes.txt"));
    ASSERT_TRUE(codes.open(QIODevice::WriteOnly));
    codes.write("590123412345\n400638133393\n");
    codes.close();
    const QStringList options{"--xdim", "13mil", "--dpi", "600", "--rotate", "90", "--fg", "navy"};
    const CliRun batch =
        Cli(options + QStringList{"--batch", codes.fileName(), "-o", dir.filePath("#.png")});
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    int line = 0;
    for (const char* code : {"590123412345", "400638133393"}) {
        const QString single = dir.filePath("single.png");
        ASSERT_EQ(Cli(options + QStringList{"-o", single, code}).exitCode, 0);
        EXPECT_EQ(ReadAll(dir.filePath(QString::number(++line) + ".png")), ReadAll(single)) << code;
    }
}

TEST(PrintCli, RefusalsAndTheDeviation) {
    const struct {
        QStringList Args;
        int Exit;
        const char* Says;
    } cases[] = {
        {{"--xdim", "3cm", "-o", "-"}, 2, "--xdim: \"3cm\" has an unknown unit"},
        {{"--xdim", "0.33mm", "--fg", "#D0D0D0", "-o", "-"}, 2, "symbol contrast of 37 %"},
        {{"--xdim", "0.33mm", "--bg", "transparent", "-f", "bmp", "-o", "-"},
         2,
         "BMP keeps no transparency"},
        {{"--xdim", "0.33mm", "--size", "600x400", "-o", "-"}, 2, "--xdim with --size"},
        {{"--rotate", "90", "-o", "-"}, 2, "--rotate shapes a label at a print size"},
        {{"--xdim", "5mm", "--dpi", "300", "-o", "-"}, 1, "a module may take"},
        {{"--xdim", "0.33mm", "--dpi", "203", "-o", "-"},
         0,
         "the X-dimension drawn is 0.375 mm (3 dots at 203 dpi), +14 % from the 0.33 mm asked"},
    };
    for (const auto& c : cases) {
        const QStringList args = c.Args + QStringList{"590123412345"};
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, c.Exit) << Str(args) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.Says))) << Str(args) << r.err.toStdString();
    }
}
