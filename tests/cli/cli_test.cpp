// The command-line generator as a script sees it: exit codes, output files
// and what it prints.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "tests/ScanSupport.h"
#include "tests/cli/CliRun.h"

namespace {

std::string Str(const QStringList& args) {
    return args.join(u' ').toStdString();
}

// The picture the generator draws, as an image to compare files with.
QImage Drawn(const char* code, int type, const TGenerateOptions& o = {}) {
    const TBitmap b = GenerateBarcodePicture(FromUtf8(code), type, o);
    return QImage(reinterpret_cast<const uchar*>(b.Row(0)), b.Width(), b.Height(),
                  qsizetype(b.Stride() * 4), QImage::Format_ARGB32)
        .convertToFormat(QImage::Format_RGB32); // a copy of its own
}

// Runs an external converter; false when it fails.
bool Convert(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

TEST(Cli, PatternPrintsPreparedTextAndPattern) {
    const CliRun r = Cli({"--pattern", "-t", "CodeEAN13", "123456789012"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.text(),
              "1234567890128\n50515160805170506253505152505050515270517150616060615152505\n");
    EXPECT_EQ(r.err, "");

    // Names are case-insensitive; an index works too; no check digit verifies it.
    EXPECT_EQ(Cli({"--pattern", "--type=codeean8", "1234567"}).text().section('\n', 0, 0),
              "12345670");
    EXPECT_EQ(
        Cli({"--pattern", "-t", "13", "--no-check-digit", "12345670"}).text().section('\n', 0, 0),
        "12345670");
    EXPECT_EQ(Cli({"--pattern", "-t", "0", "--", "123"}).text().section('\n', 0, 0), "0123");
}

TEST(Cli, PatternStaysTwoLinesWhateverTheText) {
    const CliRun r = Cli({"--pattern", "-t", "Code93Extended", "a\r\nb\tc\\d\x01"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.text().split('\n');
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString(); // two lines and the final line feed
    EXPECT_EQ(lines[0], R"(a\r\nb\tc\\d\x01)");
    EXPECT_FALSE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], "");
}

TEST(Cli, TypeNamesAndAliases) {
    const struct {
        const char* name;
        const char* sameAs;
    } aliases[] = {
        {"CodeEAN13", "14"},
        {"EAN13", "14"},
        {"ean-13", "14"},
        {"e a n_1-3", "14"},
        {"UPC_E0", "16"},
        {"upc-e0", "16"},
        {"Code128B", "6"},
        {"code_128_b", "6"},
        {"MSI", "10"},
        {"codabar", "12"},
        {"EAN128C", "22"},
        {"Code39Extended", "4"},
        {"ean13", "14"},
        {"upca", "15"},
        {"upc-e", "16"},
        {"+14", "14"},
        {" 14\t", "14"},
        {"ean\u00a013", "14"},
        {"\u017F\u017Fcc", "26"},
        {"Code128", "24"},
        {"code-128", "24"},
        {"gs1-128", "25"},
        {"ean-128", "25"},
        {"UCC_128", "25"},
        {"GS1_128", "25"},
        {"sscc-18", "26"},
        {"SSCC", "26"},
        {"itf-14", "27"},
        {"ITF14", "27"},
        {"itf", "0"},
        {"i2of5", "0"},
    };
    for (const auto& a : aliases) {
        const CliRun byName = Cli({"--pattern", "-t", a.name, "123456"});
        const CliRun byIndex = Cli({"--pattern", "-t", a.sameAs, "123456"});
        EXPECT_EQ(byName.exitCode, byIndex.exitCode) << a.name << byName.err.toStdString();
        EXPECT_EQ(byName.out, byIndex.out) << a.name;
        EXPECT_EQ(byName.err, byIndex.err) << a.name;
    }
}

TEST(Cli, WritesPicturesInTheFormatOfTheExtension) {
    QTemporaryDir dir;
    for (const char* name : {"a.png", "b.bmp", "c.jpg", "d.JPEG"}) {
        const QString path = dir.filePath(name);
        const CliRun r = Cli({"-o", path, "590123412345"});
        ASSERT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        EXPECT_EQ(r.out + r.err.toUtf8(), ""); // a script's pipe gets nothing
        const QImage img(path);
        EXPECT_EQ(img.size(), QSize(238, 190)) << name;
    }
    const CliRun plain =
        Cli({"--no-border", "--no-text", "-o", dir.filePath("e.png"), "590123412345"});
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_EQ(QImage(dir.filePath("e.png")).size(), QSize(285, 200));
    // --format names the format of a file name without a known extension.
    ASSERT_EQ(Cli({"-f", "bmp", "-o", dir.filePath("f.label"), "590123412345"}).exitCode, 0);
    EXPECT_TRUE(ReadAll(dir.filePath("f.label")).startsWith("BM"));
    // Only the finished pictures are left: no temporary files beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6);
}

TEST(Cli, PicturesAreSmallAndExactWithTheirResolution) {
    QTemporaryDir dir;
    const struct {
        QStringList args;
        TGenerateOptions drawn;
        char pngColourType; // 0 grey, 3 palette
    } cases[] = {
        {{}, {}, 0},
        {{"--no-text"}, {true, false, 10, 300, 200, {}}, 3}, // black and white: one bit
        {{"--size", "600x400", "--border", "4"}, {true, true, 4, 600, 400, {}}, 0},
    };
    for (const auto& c : cases) {
        const QImage drawn = Drawn("590123412345", 14, c.drawn);
        for (const char* name : {"x.png", "x.bmp"}) {
            const QString path = dir.filePath(name);
            const CliRun r = Cli(c.args + QStringList{"--dpi", "300", "-o", path, "590123412345"});
            ASSERT_EQ(r.exitCode, 0) << Str(c.args) << r.err.toStdString();
            const QByteArray bytes = ReadAll(path);
            const QImage back(path);
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), drawn) << Str(c.args) << name;
            EXPECT_EQ(back.dotsPerMeterX(), 11811) << name; // 300 dpi
            if (bytes.startsWith("BM"))
                EXPECT_LE(bytes[28], 8) << "bits per pixel of " << Str(c.args);
            else
                EXPECT_EQ(bytes[25], c.pngColourType) << Str(c.args);
        }
    }
    ASSERT_EQ(Cli({"-o", dir.filePath("d.png"), "590123412345"}).exitCode, 0);
    EXPECT_LE(ReadAll(dir.filePath("d.png")).size(), 2000); // 3936 bytes as 24-bit colour
    ASSERT_EQ(Cli({"--dpi", "600", "-o", dir.filePath("d.jpg"), "590123412345"}).exitCode, 0);
    EXPECT_EQ(QImage(dir.filePath("d.jpg")).dotsPerMeterX(), 23622);
}

TEST(Cli, LargerBoxesGiveWholePixelModulesThatStillScan) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.png");
    const CliRun r = Cli({"--size", "1200x800", "-o", path, "590123412345"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(path);
    // 1170 pixels inside the border: EAN-13 is 109 modules wide with its lead-in,
    // so module 10 (1092 pixels); module 11 would be 1202.
    EXPECT_EQ(img.size(), QSize(1092 + 20, 790));
    // The first bar, a guard of one module, stands after the lead-in of round(1092 * 0.1).
    const int x0 = 10 + 109;
    for (int x = x0 - 1; x <= x0 + 10; ++x)
        EXPECT_EQ(img.pixelColor(x, 300) == Qt::black, x >= x0 && x < x0 + 10) << x;
    // ZXingReader 1.4 fails an assertion when it finds a tall symbol again in its
    // downscaled copy of the picture: it reads the full size only.
    for (const ScanResult& s : {ScanWithZbar(img), ScanWithZxing(img, {"-noscale"})}) {
        EXPECT_TRUE(s.ok) << s.log;
        EXPECT_EQ(s.text, "5901234123457") << s.log;
    }
}

TEST(Cli, DrawingsRenderBackToTheSameSymbol) {
    QTemporaryDir dir;
    const struct {
        const char* type;
        int index;
        const char* code;
        std::string text;
    } codes[] = {{"EAN13", 14, "590123412345", "5901234123457"},
                 {"Code128B", 6, "Label-42", "Label-42"}};
    for (const auto& c : codes) {
        const QString svg = dir.filePath("x.svg"), pdf = dir.filePath("x.pdf");
        ASSERT_EQ(Cli({"-t", c.type, "-o", svg, c.code}).exitCode, 0);
        ASSERT_EQ(Cli({"-t", c.type, "--dpi", "200", "-o", pdf, c.code}).exitCode, 0);
        ASSERT_TRUE(Convert("rsvg-convert", {svg, "-o", dir.filePath("svg.png")}));
        ASSERT_TRUE(
            Convert("pdftoppm", {"-r", "200", "-png", "-singlefile", pdf, dir.filePath("pdf")}));
        const QImage picture = Drawn(c.code, c.index);
        for (const char* rendered : {"svg.png", "pdf.png"}) {
            const QImage img(dir.filePath(rendered));
            // One pixel is one user unit; the page is the picture's size at its
            // resolution, rounded up to whole points (200 / 72 pixels each).
            const int slack = rendered == std::string("pdf.png") ? 3 : 1;
            EXPECT_GE(img.width(), picture.width()) << rendered;
            EXPECT_LE(img.width(), picture.width() + slack) << rendered;
            EXPECT_GE(img.height(), picture.height()) << rendered;
            EXPECT_LE(img.height(), picture.height() + slack) << rendered;
            for (const ScanResult& s : {ScanWithZbar(img), ScanWithZxing(img)}) {
                EXPECT_TRUE(s.ok) << rendered << s.log;
                EXPECT_EQ(s.text, c.text) << rendered;
            }
        }
    }
}

// The types after the window's, by the names other tools' users give them:
// each drawn into a file that --verify read back as the data it encodes.
TEST(Cli, LabelTypesDrawAndVerifyByEveryName) {
    QTemporaryDir dir;
    const struct {
        const char* type;
        const char* code;
        const char* format;
        const char* encodes; // the first line of --pattern
    } cases[] = {
        {"code128", "ABC1234567890", "png", "ABC1234567890"},
        {"code-128", "Gr\u00fc\u00dfe 2024/00123", "png", "Gr\u00fc\u00dfe 2024/00123"},
        {"gs1-128", "(01)09520123456788(15)261231(10)ABC123(21)4567", "png",
         "(01)09520123456788(15)261231(10)ABC123(21)4567"},
        {"ean-128", "[00]095201234567891235[02]09520123456788[37]24", "svg",
         "(00)095201234567891235(02)09520123456788(37)24"},
        {"ucc-128", "(01)09520123456788(10)ABC123", "pdf", "(01)09520123456788(10)ABC123"},
        {"sscc-18", "09520123456789123", "png", "(00)095201234567891235"},
        {"sscc", "095201234567891235", "png", "(00)095201234567891235"},
        {"itf-14", "1540014128876", "png", "15400141288763"},
        {"itf14", "1540014128876", "pdf", "15400141288763"},
        {"ean13", "978030640615+51299", "png", "9780306406157 51299"},
        {"upca", "03600029145+12", "png", "036000291452 12"},
        {"ean-8", "1234567+12345", "svg", "12345670 12345"},
        {"upc-e", "425261+12", "png", "04252614 12"},
        {"EAN128B", "(01)09520123456788(10)abc(21)4567", "png",
         "(01)09520123456788(10)abc(21)4567"},
        {"EAN128C", "(01)09520123456788(17)261231", "png", "(01)09520123456788(17)261231"},
    };
    for (const auto& c : cases) {
        const QString code = QString::fromUtf8(c.code);
        const CliRun pattern = Cli({"--pattern", "-t", c.type, code});
        EXPECT_EQ(pattern.text().section('\n', 0, 0), QString::fromUtf8(c.encodes)) << c.type;
        const QString file = dir.filePath(QStringLiteral("label.") + c.format);
        QFile::remove(file);
        const CliRun r = Cli({"--verify", "-t", c.type, "-o", file, code});
        EXPECT_EQ(r.exitCode, 0) << c.type << " " << c.code << " " << r.err.toStdString();
        EXPECT_EQ(r.err, "") << c.type;
        EXPECT_GT(QFileInfo(file).size(), 100) << c.type;
    }
}

// GS1 data is checked before anything is drawn: a refusal names the AI and
// what is wrong, and leaves no file.
TEST(Cli, WrongGs1DataIsRefused) {
    QTemporaryDir dir;
    const QString file = dir.filePath("label.png");
    const struct {
        const char* type;
        const char* code;
        const char* says;
    } cases[] = {
        {"gs1-128", "(01)09520123456789(10)ABC", "AI (01): the check digit is 9, it must be 8"},
        {"gs1-128", "(04)1234", "unknown AI (04)"},
        {"gs1-128", "(01)0952012345678", "AI (01): the data must be 14 digits long, not 13"},
        {"gs1-128", "(17)261332", "AI (17): \"261332\" is not a date"},
        {"gs1-128", "(10)ABC DEF", "AI (10): character \" \" is not in the GS1 character set"},
        {"gs1-128", "01095201234567881", "must begin with an AI in brackets"},
        {"EAN128B", "(01)09520123456789", "AI (01): the check digit is 9, it must be 8"},
        {"sscc-18", "095201234567891234", "AI (00): the check digit is 4, it must be 5"},
        {"itf14", "15400141288760", "Invalid check digit"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli({"--verify", "-t", c.type, "-o", file, c.code});
        EXPECT_EQ(r.exitCode, 1) << c.code;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says)))
            << c.code << ": " << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(file)) << c.code;
    }
}

TEST(Cli, StandardOutputGetsTheSameBytesAsAFile) {
    QTemporaryDir dir;
    for (const char* format : {"png", "bmp", "jpg", "svg"}) {
        const QString path = dir.filePath(QStringLiteral("x.") + format);
        ASSERT_EQ(Cli({"-t", "Code39", "-o", path, "CODE-39"}).exitCode, 0) << format;
        const CliRun r = Cli({"-t", "Code39", "-f", format, "-o", "-", "CODE-39"});
        EXPECT_EQ(r.exitCode, 0) << format << r.err.toStdString();
        EXPECT_EQ(r.out, ReadAll(path)) << format;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(Cli({"-o", "-", "590123412345"}).out.startsWith("\x89PNG"));
}

TEST(Cli, ReplacedFileKeepsItsPermissionBits) {
    QTemporaryDir dir;
    for (const QFileDevice::Permissions mode :
         {QFileDevice::ReadOwner | QFileDevice::WriteOwner,
          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther}) {
        const QString path = dir.filePath("keep.png");
        QFile::remove(path);
        ASSERT_EQ(Cli({"-o", path, "590123412345"}).exitCode, 0);
        ASSERT_TRUE(QFile::setPermissions(path, mode));
        const QByteArray before = ReadAll(path);
        // A read-only file is replaced only by whoever may write it (its owner's superuser).
        const bool writable = QFileInfo(path).isWritable();
        const CliRun r = Cli({"-t", "EAN8", "-o", path, "1234567"});
        EXPECT_EQ(r.exitCode, writable ? 0 : 1) << r.err.toStdString();
        EXPECT_EQ(ReadAll(path) != before, writable);
        const auto userFlags =
            QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        EXPECT_EQ(QFile::permissions(path) & ~userFlags, mode) << int(mode);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.png"});
    }
}

TEST(Cli, RefusedCodeWritesNothingAndKeepsAnExistingFile) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.png");
    CliRun r = Cli({"-t", "CodeEAN8", "-o", fresh, "123456789"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(),
              R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)");
    EXPECT_FALSE(QFile::exists(fresh));

    const QString existing = dir.filePath("keep.png");
    ASSERT_EQ(Cli({"-o", existing, "590123412345"}).exitCode, 0);
    const QByteArray before = ReadAll(existing);
    r = Cli({"-o", existing, "59012341234x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), "Barcode must be numeric");
    EXPECT_EQ(ReadAll(existing), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.png"});

    r = Cli({"-o", dir.filePath("no/such/folder/x.png"), "590123412345"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());

    // Empty codes are refused, whatever the type, not drawn as zeros or as an empty symbol.
    const QStringList empty[] = {
        {"-o", fresh, ""}, {"-t", "Code39", "-o", fresh, ""}, {"--pattern", ""}};
    for (const QStringList& args : empty) {
        r = Cli(args);
        EXPECT_EQ(r.exitCode, 1) << Str(args);
        EXPECT_EQ(r.err, "barcodegen-cli: the code is empty: nothing to draw\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFile::exists(fresh));
    }
    EXPECT_EQ(Cli({"--pattern", "-t", "Code128B", "  "}).exitCode, 0); // blanks are text there
}

// A blank code for a type of digits gets the engine's refusal, the one the
// window shows, as it is: exit status 1 and no file.
TEST(Cli, BlankCodesForTypesOfDigitsGetTheEngineRefusal) {
    QTemporaryDir dir;
    const QString file = dir.filePath("blank.png");
    const char* const blanks[] = {" ", "  \t ", "\r\n"};
    int i = 0;
    for (const TBCdata& row : BarcodeTypeTable) {
        if (!row.num || row.Encoder == nullptr) continue;
        const QString name = QString::fromStdU16String(row.Name);
        const QString blank = QString::fromLatin1(blanks[i % 3]);
        const QStringList args = i++ % 2 == 0 ? QStringList{"-t", name, "-o", file, "--", blank}
                                              : QStringList{"--pattern", "-t", name, "--", blank};
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, 1) << Str(args);
        EXPECT_EQ(r.err, "The code holds only blanks, and " + name + " takes digits\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFile::exists(file));
    }
}

TEST(Cli, HintsFollowTheEngineMessageWhereSomethingElseWasMeant) {
    const QString checkHint = "hint: give --no-check-digit to have the last digit verified";
    const struct {
        QStringList args;
        QString hint; // empty: no hint
    } cases[] = {
        {{"-t", "EAN13", "5901234123457"}, checkHint},
        {{"-t", "EAN8", "12345670"}, checkHint},
        {{"-t", "UPC_A", "036000291452"}, checkHint},
        {{"-t", "EAN13", "59012341234567"}, ""},                    // too long either way
        {{"-t", "EAN13", "--no-check-digit", "5901234123450"}, ""}, // verified: wrong digit
        {{"-t", "UPC_E0", "01234565"}, ""},
        {{"-t", "Code39", "Label a"},
         "hint: Code39Extended carries every character of this code "
         "(-t Code39Extended)"},
        {{"-t", "Code39", "TAB\t"},
         "hint: Code39Extended carries every character of this code "
         "(-t Code39Extended)"},
        {{"-t", "Code39", "\u00e9"}, ""}, // no Code 39 carries it
        {{"-t", "Code128A", "abc"},
         "hint: Code128B carries every character of this code "
         "(-t Code128B)"},
        {{"-t", "Code128B", "A\x01"},
         "hint: Code128A carries every character of this code "
         "(-t Code128A)"},
        {{"-t", "Code128B", "a\x01"}, // neither subset carries both
         "hint: Code128 carries every character of this code (-t Code128)"},
        {{"-t", "Code93", "abc"},
         "hint: Code93Extended carries every character of this code "
         "(-t Code93Extended)"},
        {{"-t", "Code128C", "12a"},
         "hint: Code128 carries every character of this code (-t Code128)"},
        {{"-t", "Code128C", " "}, ""},                       // blanks: the message says it all
        {{"-t", "ean13", "9780306406157+51299"}, checkHint}, // an add-on changes nothing
        {{"-t", "ean13", "+51299"}, ""},
        {{"-t", "gs1-128", "(01)09520123456789"}, ""},
    };
    for (const auto& c : cases) {
        for (const QStringList& mode : {QStringList{"--pattern"}, QStringList{"-o", "-"}}) {
            const CliRun r = Cli(mode + c.args);
            EXPECT_EQ(r.exitCode, 1) << Str(c.args);
            const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
            ASSERT_FALSE(lines.isEmpty()) << Str(c.args);
            EXPECT_FALSE(lines[0].startsWith("hint:")) << Str(c.args); // the engine's message first
            EXPECT_EQ(lines.size(), c.hint.isEmpty() ? 1 : 2) << r.err.toStdString();
            EXPECT_EQ(lines.size() > 1 ? lines[1] : QString(), c.hint) << Str(c.args);
            EXPECT_EQ(r.out, "");
        }
    }
}

TEST(Cli, MessagesQuoteShortlyAndPointTheWay) {
    QTemporaryDir dir;
    const QString d = dir.path();
    QDir(d).mkdir("job#4");
    QFile codes(dir.filePath("codes.txt"));
    ASSERT_TRUE(codes.open(QIODevice::WriteOnly));
    codes.write("590123412345\n");
    codes.close();
    const QString digits(100000, u'1'), letters(100000, u'a');
    const QString longText(60, u'x');
    // Both cuts of a long text fall inside a surrogate pair: neither pair is halved.
    const QString smile = QString::fromUtf8("\U0001F600");
    const QString pairs = QString(29, u'A') + smile + QString(40, u'B') + smile + QString(29, u'C');
    const struct {
        QStringList args;
        int exitCode;
        QStringList says; // lines of stderr hold each of these
        const char* never;
        const char* writes; // a file in dir that must be there afterwards
    } cases[] = {
        {{"-t", "Code93", "-o", "-", "ab!c"},
         1,
         {"hint: Code93Extended carries every character of this code (-t Code93Extended)"},
         "",
         ""},
        {{"-o", "-", "-5901"},
         2,
         {"Unknown options: 5, 9, 0, 1.",
          "hint: -- ends the options; put it before a CODE that begins with '-': -- -5901"},
         "",
         ""},
        {{"-t", "Code128B", "-o", d + "/dash.png", "--", "-5901"}, 0, {}, "", "dash.png"},
        {{"--border", "-5", "--frob", "-o", "x.png", "1"},
         2,
         {"Unknown option 'frob'."},
         "hint",
         ""},
        {{"-o", "-", "-" + letters},
         2,
         {"Unknown option 'a'.", "-- -" + QString(29, u'a') + "…" + QString(30, u'a') + "\n"},
         "",
         ""},
        {{"-o", "-", digits},
         1,
         {"(must be 12 digits, current \"" + QString(30, u'1') + "…" + QString(30, u'1') + "\")."},
         "",
         ""},
        {{"--border", letters.left(100), "-o", "x.png", "1"},
         2,
         {"--border '" + QString(30, u'a') + "…" + QString(30, u'a') + "'"},
         "",
         ""},
        {{"-t", "Code93", "-o", "-", pairs},
         1,
         {"bad Data <" + QString(29, u'A') + "…" + QString(29, u'C') + ">"},
         "hint",
         ""},
        {{"--size", "31x31", "-o", d + "/small.png", "590123412345"},
         1,
         {"barcodegen-cli: the symbol does not fit into --size 31x31: even with modules of one "
          "pixel its picture is 129 x 21 pixels"},
         "",
         ""},
        {{"-t", "Code128B", "--size", "600x100", "-o", d + "/small.png", longText},
         1,
         {"does not fit into --size 600x100"},
         "",
         ""},
        // Without --size a long code is drawn wider than the window's box, as there.
        {{"-t", "Code128B", "-o", d + "/long.png", longText}, 0, {}, "", "long.png"},
        // The limit is on the area: one side may exceed 8192.
        {{"--size", "9000x100", "-o", d + "/wide.png", "590123412345"}, 0, {}, "", "wide.png"},
        // '#' numbers the file name only; a missing folder stops the batch at once.
        {{"--batch", codes.fileName(), "-o", d + "/job#4/##.png"}, 0, {}, "", "job#4/01.png"},
        {{"--batch", codes.fileName(), "-o", d + "/no#such/##.png"},
         1,
         {"/no#such: no such folder"},
         "line 1",
         ""},
    };
    QStringList written{"codes.txt", "job#4"};
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        const std::string what = Str(c.args).substr(0, 80);
        EXPECT_EQ(r.exitCode, c.exitCode) << what << r.err.left(300).toStdString();
        for (const QString& line : r.err.split(u'\n'))
            EXPECT_LE(line.size(), 200) << what;
        for (const QString& says : c.says)
            EXPECT_TRUE(r.err.contains(says)) << what << "\n" << r.err.toStdString();
        if (*c.never) {
            EXPECT_FALSE(r.err.contains(c.never)) << what << r.err.toStdString();
        }
        if (*c.writes) {
            EXPECT_TRUE(QFile::exists(dir.filePath(c.writes))) << what;
            if (!written.contains(c.writes)) written << c.writes;
        }
    }
    // Refused runs wrote nothing.
    QStringList files;
    QDirIterator it(d, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(d).relativeFilePath(it.next());
    files.sort();
    written.sort();
    EXPECT_EQ(files.join(u' ').toStdString(), written.join(u' ').toStdString());
}

TEST(Cli, UsageErrorsNameTheOption) {
    const struct {
        QStringList args;
        const char* named; // what the message must mention
    } bad[] = {
        {{}, "CODE"},
        {{"590123412345"}, "--output"},             // nothing to do
        {{"--pattern"}, "CODE"},                    // no code
        {{"--pattern", "-t", "23", "1"}, "--type"}, // Undefined is not a choice
        {{"--pattern", "-t", "Nope", "1"}, "--type"},
        {{"--pattern", "-t"}, "-t"}, // missing value
        {{"--border", "31", "-o", "x.png", "1"}, "--border"},
        {{"--border", "x", "-o", "x.png", "1"}, "--border"},
        {{"--frobnicate", "--pattern", "1"}, "frobnicate"},
        {{"--pattern", "1", "2"}, "CODE"},           // two codes
        {{"-o", "picture.gif", "1"}, "picture.gif"}, // unknown format
        {{"-o", "picture.jpe", "1"}, "picture.jpe"}, // as unknown as to the window's Save as
        {{"-o", "", "1"}, "--output"},
        {{"--batch", "", "-o", "x.png"}, "--batch"},
        {{"--pattern=yes", "1"}, "pattern"},
        {{"--pattern", "-o", "x.png", "1"}, "--output"},
        {{"--pattern", "--size", "600x400", "1"}, "--size"},
        {{"--pattern", "--no-text", "1"}, "--no-text"},
        {{"--no-border", "--border", "20", "-o", "x.png", "1"}, "--border"},
        {{"-t", "EAN13", "-t", "EAN8", "--pattern", "1"}, "--type"},
        {{"-o", "a.png", "-o", "b.png", "1"}, "--output"},
        {{"--size", "1200", "-o", "x.png", "1"}, "--size"},
        {{"--size", "60x20", "-o", "x.png", "1"}, "--size"}, // no room inside the border
        {{"--size", "9000x9000", "-o", "x.png", "1"}, "--size"},
        {{"--dpi", "0", "-o", "x.png", "1"}, "--dpi"},
        {{"--format", "gif", "-o", "-", "1"}, "--format"},
        {{"--format", "svg", "-o", "x.png", "1"}, "--format"},
        {{"--list-types", "-t", "EAN8"}, "--type"},
        {{"--list-types", "1"}, "CODE"},
    };
    for (const auto& b : bad) {
        const CliRun r = Cli(b.args);
        EXPECT_EQ(r.exitCode, 2) << Str(b.args);
        EXPECT_TRUE(r.err.startsWith("barcodegen-cli:")) << r.err.toStdString();
        EXPECT_TRUE(r.err.section('\n', 0, 0).contains(b.named)) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
    // The same value twice is no contradiction.
    EXPECT_EQ(Cli({"-t", "EAN13", "-t", "14", "--pattern", "1"}).exitCode, 0);
}

TEST(Cli, HelpVersionAndTypeList) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.text().startsWith("Usage: barcodegen-cli"));
    EXPECT_TRUE(help.text().contains("--pattern prints two lines"));
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.text().startsWith("barcodegen-cli "));
    const CliRun list = Cli({"--list-types"});
    EXPECT_EQ(list.exitCode, 0);
    const QStringList lines = list.text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2 * 27); // every type but Undefined, a line of what it takes under each
    const struct {
        int line;
        const char* text;
    } expected[] = {
        {0, "0  Code_2_5_interleaved digits no-check itf i2of5 interleaved2of5"},
        {1, "   digits"},
        {12, "6  Code128B             text   check    code128b"},
        {28, "14 CodeEAN13            digits check    ean13 ean-13 ean"},
        {29, "   12 digits (13 with check), +2 or +5 digits add-on"},
        {46, "24 Code128              text   check    code128 code-128"},
        {48, "25 CodeGS1_128          text   check    gs1-128 ean-128 ucc-128"},
        {53, "   13 digits (14 with check)"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(lines[e.line], e.text);
    // A script reads the first fields of a type's line; every name on it is one -t takes.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 79) << lines[i].toStdString();
        if (i % 2 == 1) {
            EXPECT_TRUE(lines[i].startsWith("   ") && lines[i].size() > 4) << i;
            continue;
        }
        const QStringList fields = lines[i].split(u' ', Qt::SkipEmptyParts);
        ASSERT_GE(fields.size(), 5) << lines[i].toStdString();
        // -t given twice with the same type is no contradiction.
        QStringList args{"--pattern", "-t", fields[0]};
        for (qsizetype f = 1; f < fields.size(); f += f == 1 ? 3 : 1)
            args << "-t" << fields[f];
        EXPECT_FALSE(Cli(args << "1").err.contains("--type")) << Str(args);
    }
}
