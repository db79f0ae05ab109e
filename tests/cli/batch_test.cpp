// --batch and --verify: the line reader, the file names, the read-back check,
// and the real binary against single runs of itself.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "cli/BarcodeCli.h"
#include "cli/BatchLines.h"
#include "cli/BatchRun.h"
#include "cli/VerifyPicture.h"
#include "cli/WrittenPicture.h"
#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "picture/ImageWriters.h"
#include "tests/cli/CliRun.h"

namespace {

// A PDF carries the second it was made; everything else must be the same.
QByteArray WithoutCreationDate(QByteArray bytes) {
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9Z+'-]*\\)"));
    return QString::fromLatin1(bytes).replace(date, QString()).toLatin1();
}

QStringList Files(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

std::string Lines(const std::vector<TBatchLine>& lines) {
    std::string s;
    for (const TBatchLine& l : lines)
        s += std::to_string(l.Number) + ":" + (l.Problem.empty() ? l.Code : "!" + l.Problem) + "|";
    return s;
}

} // namespace

TEST(BatchLines, SplitLikeTheLinesOfAnEditor) {
    const QByteArray longLine(BatchMaxLineBytes + 1, '1');
    const QByteArray longest(BatchMaxLineBytes, '1');
    const struct {
        QByteArray input;
        std::string lines; // number:code| or number:!problem|
    } cases[] = {
        {"", ""},
        {"a\nb\n", "1:a|2:b|"},
        {"a\r\nb", "1:a|2:b|"}, // CR LF, and a last line without its end
        {"\n\r\n a\n\n", "3: a|"},
        {"\xEF\xBB\xBF"
         "590\r\n\xEF\xBB\xBF"
         "1\n",
         "1:590|2:\xEF\xBB\xBF"
         "1|"},                // a byte-order mark begins the file only
        {"a\rb\n", "1:a\rb|"}, // a lone CR is part of the code
        {"\xC3\xA9\n\xFF\xFEok\nend", "1:\xC3\xA9|2:!the line is not UTF-8 text|3:end|"},
        {longLine + "\nx", "1:!the line is longer than 65536 bytes|2:x|"},
        {longest + "\r\n", "1:" + longest.toStdString() + "|"},
    };
    for (const auto& c : cases) {
        const std::string input = c.input.toStdString();
        EXPECT_EQ(Lines(ReadBatchLines(input)), c.lines) << input.substr(0, 40);
        // In pieces of any size the lines are the same.
        for (const std::size_t piece : {1, 2, 7}) {
            std::vector<TBatchLine> lines;
            const auto keep = [&](TBatchLine&& l) { lines.push_back(std::move(l)); };
            TBatchLineReader reader;
            for (std::size_t i = 0; i < input.size(); i += piece)
                reader.Feed(std::string_view(input).substr(i, piece), keep);
            reader.Finish(keep);
            EXPECT_EQ(Lines(lines), c.lines) << "pieces of " << piece;
        }
    }
}

TEST(BatchRun, FileNamesAndProgress) {
    const struct {
        const char* pattern;
        qint64 number;
        const char* name;
    } names[] = {
        {"out/#####.png", 1, "out/00001.png"},
        {"out/##.png", 123, "out/123.png"},
        {"label.png", 7, "label7.png"},
        {"v1.2/label", 7, "v1.2/label7"},
        {"#/a#.svg", 3, "#/a3.svg"},
        {"#", 12, "12"},
        {"job#4/label.png", 5, "job#4/label5.png"}, // '#' numbers the file name only
    };
    for (const auto& n : names)
        EXPECT_EQ(BatchFileName(n.pattern, n.number), n.name) << n.pattern;
    EXPECT_EQ(BatchProgressText(1200, 10000, 1.0), "1200/10000 codes, 1200 a second, 7 s left");
    EXPECT_EQ(BatchProgressText(100, 100000, 10.0),
              "100/100000 codes, 10 a second, 166 min 30 s left");
    EXPECT_EQ(BatchProgressText(100, 0, 2.0), "100 codes, 50 a second");
}

// What the command line catches outside the engine's refusals becomes one
// refusal line of ours; an allocation that failed is told in plain words,
// not as the library's "std::bad_alloc".
TEST(BatchRun, CaughtFailuresAreOurRefusals) {
    const struct {
        std::function<void()> fail;
        const char* line;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, "barcodegen-cli: not enough memory"},
        {[] { throw EFileError("out/1.png: No space left on device"); },
         "barcodegen-cli: out/1.png: No space left on device"},
        {[] { throw 42; }, "barcodegen-cli: unexpected failure"},
    };
    for (const auto& c : cases) {
        TCodeOutcome r;
        try {
            c.fail();
        } catch (...) {
            r = CaughtFailure();
        }
        EXPECT_EQ(r.Exit, cliRefused) << c.line;
        EXPECT_EQ(r.Messages, std::vector<std::string>{c.line});
        EXPECT_TRUE(r.Bytes.empty()) << c.line;
    }
}

TEST(Verify, EveryReadableTypeReadsBackAndTheOthersAreNamed) {
    const struct {
        int type;
        const char* code;
        bool readable; // by ZXing-C++, in both check modes where the code allows both
    } cases[] = {
        {bcCode_2_5_interleaved, "12345678", true},
        {bcCode_2_5_interleaved, "1234", false}, // the reader takes 6 digits or more
        {bcCode_2_5_industrial, "1234", false},
        {bcCode_2_5_matrix, "1234", false},
        {bcCode39, "CODE-39", true},
        {bcCode39Extended, "Code 39 ext\t!", true},
        {bcCode128A, "ABC\x01", true},
        {bcCode128B, "Label-42", true},
        {bcCode128C, "12345", true},
        {bcCode93, "CODE93", true},
        {bcCode93Extended, "Code93 ext", true},
        {bcCodeMSI, "12345", false},
        {bcCodePostNet, "12345", false},
        {bcCodeCodabar, "A123B", true},
        {bcCodeCodabar, "A1B", false},
        {bcCodeEAN8, "1234567", true},
        {bcCodeEAN13, "590123412345", true},
        {bcCodeUPC_A, "03600029145", true},
        {bcCodeUPC_E0, "425261", true},
        {bcCodeUPC_E1, "425261", true},
        {bcCodeUPC_Supp2, "12", false},
        {bcCodeUPC_Supp5, "12345", false},
        {bcCodeEAN128A,
         "10ABC\x1d"
         "21X",
         true},
        {bcCodeEAN128B, "10abc-1", true},
        {bcCodeEAN128C, "0112345678901231", true},
        {bcCodeEAN128B, "(10)abc-1(21)X", true},
        {bcCodeEAN13, "590123412345+12", true},
        {bcCodeUPC_A, "03600029145+12345", true},
        {bcCodeEAN8, "1234567+12", true},
        {bcCodeUPC_E0, "425261+12345", true},
        {bcCode128, "ABC1234567890", true},
        {bcCodeGS1_128, "(01)09520123456788(10)ABC123(21)4567", true},
        {bcCodeSSCC18, "09520123456789123", true},
        {bcCodeITF14, "9501234567890", true},
    };
    for (const auto& c : cases)
        for (const bool check : {true, false}) {
            const std::u16string code(c.code, c.code + std::strlen(c.code));
            TExpectedReading expected;
            try {
                expected = ExpectedReading(code, c.type, check);
            } catch (const std::exception&) {
                continue; // EAN and UPC verify a given check digit instead
            }
            const std::string why = UnverifiableReason(expected);
            EXPECT_EQ(why.empty(), c.readable) << c.type << " " << c.code << " " << check;
            if (!why.empty()) continue;
            TGenerateOptions o;
            o.UseCheckSum = check;
            for (const int border : {10, 0}) {
                o.Border = border;
                const TBitmap picture = GenerateBarcodePicture(code, c.type, o);
                EXPECT_EQ(VerifyProblem(GreyOf(picture), expected), "")
                    << c.type << " " << c.code << " check " << check << " border " << border;
            }
        }
}

TEST(Verify, RefusesAPictureThatDoesNotReadBack) {
    const TBitmap good = GenerateBarcodePicture(u"590123412345", bcCodeEAN13, {});
    // good with columns [from, to) white, on pixels of its own (copies of a
    // bitmap share them).
    const auto whiteColumns = [&](int from, int to) {
        TBitmap picture(good.Width(), good.Height());
        for (int y = 0; y < good.Height(); ++y)
            for (int x = 0; x < good.Width(); ++x)
                picture.At(x, y) = x >= from && x < to ? PixelWhite : good.At(x, y);
        return GreyOf(picture);
    };
    // One bar of the left half gone: a pattern no digit has.
    int bar = 80;
    while (good.At(bar, 50) != PixelBlack)
        ++bar;
    int barEnd = bar;
    while (good.At(barEnd, 50) == PixelBlack)
        ++barEnd;
    const TGreyPicture plain128 =
        GreyOf(GenerateBarcodePicture(u"0112345678901231", bcCode128C, {}));
    const struct {
        TGreyPicture picture;
        int type;
        const char* text;
        const char* says;
    } cases[] = {
        {GreyOf(good), bcCodeEAN13, "5901234123457", ""},
        {GreyOf(good), bcCodeEAN13, "5901234123450", "reads back as \"5901234123457\""},
        {whiteColumns(good.Width() / 2 - 8, good.Width() / 2 + 8), bcCodeEAN13, "5901234123457",
         "reads no CodeEAN13 symbol"},
        {whiteColumns(bar, barEnd), bcCodeEAN13, "5901234123457", "reads no CodeEAN13 symbol"},
        {GreyOf(good), bcCodeUPC_A, "590123412345", "reads back as EAN-13"},
        // The same bars without the FNC1 that makes them GS1-128.
        {plain128, bcCodeEAN128C, "0112345678901231", "identifier ]C0, not ]C1"},
    };
    for (const auto& c : cases) {
        const std::string problem =
            VerifyProblem(c.picture, {c.type, true, FromUtf8(c.text), {}, {}});
        EXPECT_EQ(problem.empty(), *c.says == 0) << c.says << problem;
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.says << problem;
    }
}

TEST(BatchCli, FilesAreTheBytesOfSingleRunsWhateverTheJobs) {
    QTemporaryDir dir;
    const struct {
        const char* type;
        QByteArray codes;
        const char* format;
    } cases[] = {
        {"EAN13", "590123412345\n400638133393\n123456789012\n", "png"},
        {"Code128B", "Label-42\nHello, World!\n", "bmp"},
        {"Code39", "CODE-39\nA1\n", "jpg"},
        {"EAN8", "1234567\n9638507\n", "svg"},
        {"Code93", "CODE93\nX\n", "pdf"},
    };
    for (const auto& c : cases) {
        const QString input = dir.filePath("codes.txt");
        WriteAll(input, c.codes);
        const QStringList codes = QString::fromLatin1(c.codes).split('\n', Qt::SkipEmptyParts);
        for (const char* jobs : {"1", "2"}) {
            const QString out = dir.filePath(QStringLiteral("%1-%2").arg(c.format, jobs));
            QDir().mkpath(out);
            const CliRun r = Cli({"-t", c.type, "--verify", "--batch", input, "--jobs", jobs, "-o",
                                  out + "/##." + c.format});
            ASSERT_EQ(r.exitCode, 0) << c.format << r.err.toStdString();
            EXPECT_EQ(r.out + r.err.toUtf8(), "");
            ASSERT_EQ(Files(out).size(), codes.size()) << c.format; // and no temporary files
            for (int i = 0; i < codes.size(); ++i) {
                const QString single = dir.filePath(QStringLiteral("single.") + c.format);
                ASSERT_EQ(Cli({"-t", c.type, "-o", single, codes[i]}).exitCode, 0);
                const QString batch = QStringLiteral("%1/%2.%3")
                                          .arg(out)
                                          .arg(i + 1, 2, 10, QChar(u'0'))
                                          .arg(c.format);
                EXPECT_EQ(WithoutCreationDate(ReadAll(batch)), WithoutCreationDate(ReadAll(single)))
                    << batch.toStdString();
            }
        }
    }
}

TEST(BatchCli, RefusedLinesAreReportedInOrderAndWriteNothing) {
    QTemporaryDir dir;
    // CR LF ends, blank lines, a refused line between good ones, bytes that are no UTF-8.
    const QByteArray input = "\xEF\xBB\xBF"
                             "590123412345\r\n"
                             "\r\n"
                             "59012341234x\r\n"
                             "400638133393\r\n"
                             "\xFF\r\n"
                             "   \r\n"
                             "5901234123457\r\n"
                             "123456789012";
    const QString expectedErr =
        "line 3: Barcode must be numeric\n"
        "line 5: the line is not UTF-8 text\n"
        "line 6: The code holds only blanks, and CodeEAN13 takes digits\n"
        "line 7: Invalid length for barcode \"EAN13\" (must be 12 digits, current "
        "\"5901234123457\").\n"
        "line 7: hint: give --no-check-digit to have the last digit verified\n";
    WriteAll(dir.filePath("codes.txt"), input);
    for (const char* jobs : {"1", "2"}) {
        const QString out = dir.filePath(jobs);
        QDir().mkpath(out);
        const CliRun fromFile =
            Cli({"--batch", dir.filePath("codes.txt"), "--jobs", jobs, "-o", out + "/l#.png"});
        EXPECT_EQ(fromFile.exitCode, 1);
        EXPECT_EQ(fromFile.err, expectedErr) << "jobs " << jobs;
        EXPECT_EQ(Files(out), QStringList({"l1.png", "l4.png", "l8.png"}));
        // Standard input, into the same names: the same messages.
        const CliRun fromStdin =
            Cli({"--batch", "-", "--jobs", jobs, "-o", out + "/l#.png"}, input);
        EXPECT_EQ(fromStdin.exitCode, 1);
        EXPECT_EQ(fromStdin.err, expectedErr);
        EXPECT_EQ(Files(out), QStringList({"l1.png", "l4.png", "l8.png"}));
    }
    // An empty file is a batch of nothing.
    WriteAll(dir.filePath("empty.txt"), "");
    const CliRun empty = Cli({"--batch", dir.filePath("empty.txt"), "-o", dir.filePath("e#.png")});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.err, "");
    EXPECT_FALSE(QFile::exists(dir.filePath("e1.png")));
}

TEST(BatchCli, EveryGoodLineIsWrittenWhateverTheBadLinesAround) {
    // One letter a line: G a good code; refused while read: U not UTF-8, L over
    // 64 KB, B a line of an executable; W a line of control bytes that is UTF-8,
    // refused by the engine. Runs longer than the lines a batch has under way
    // at once (a few dozen) come first, last and between good lines.
    const QString many = QString(300, u'U');
    const QString cases[] = {
        "UUUUUG",
        "GLLLLLLG",
        "GGBBBBBB",
        "G" + many + "G",
        many + "GGG" + QString(200, u'B'),
        "UGLGBGWG",
        "WWWWWWWWG" + QString(100, u'L') + "G" + many,
    };
    const QByteArray goodCodes[] = {"590123412345", "400638133393", "123456789012"};
    QTemporaryDir dir;
    std::map<QByteArray, QByteArray> picture; // of each good code, from a single run
    for (const QByteArray& code : goodCodes)
        picture[code] = Cli({"-o", "-", QString::fromLatin1(code)}).out;
    for (const QString& kinds : cases) {
        QByteArray input;
        QString expectedErr;
        std::map<QString, QByteArray> expectedFiles;
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            const qsizetype number = i + 1;
            const QString prefix = QStringLiteral("line %1: ").arg(number);
            switch (kinds[i].unicode()) {
            case u'G': {
                const QByteArray code = goodCodes[i % 3];
                input += code;
                expectedFiles[QStringLiteral("%1.png").arg(number, 5, 10, QChar(u'0'))] =
                    picture[code];
                break;
            }
            case u'U':
                input += "Stra\xdf"
                         "e \xe9"
                         "t\xe9";
                expectedErr += prefix + "the line is not UTF-8 text\n";
                break;
            case u'L':
                input += QByteArray(BatchMaxLineBytes + 1 + i, '7');
                expectedErr += prefix + "the line is longer than 65536 bytes\n";
                break;
            case u'B':
                input += QByteArray("\x7f"
                                    "ELF\x02\x01\x01\0\0\xb0\x9e\xff\xfe",
                                    14);
                expectedErr += prefix + "the line is not UTF-8 text\n";
                break;
            case u'W':
                input += QByteArray("\x01\x02\x03\0\x04"
                                    "ab",
                                    7);
                expectedErr += prefix + "Barcode must be numeric\n";
                break;
            }
            input += '\n';
        }
        WriteAll(dir.filePath("codes.txt"), input);
        for (const char* jobs : {"1", "2"}) {
            const QString out = dir.filePath(QStringLiteral("out-%1").arg(jobs));
            QDir(out).removeRecursively();
            QDir().mkpath(out);
            const CliRun r = Cli(
                {"--batch", dir.filePath("codes.txt"), "--jobs", jobs, "-o", out + "/#####.png"});
            const std::string what = kinds.left(20).toStdString() + " jobs " + jobs;
            EXPECT_EQ(r.exitCode, 1) << what << r.err.right(2000).toStdString();
            EXPECT_EQ(r.err.toStdString(), expectedErr.toStdString()) << what;
            QStringList names;
            for (const auto& [name, bytes] : expectedFiles) {
                names << name;
                EXPECT_EQ(ReadAll(out + "/" + name), bytes) << what << " " << name.toStdString();
            }
            EXPECT_EQ(Files(out).join(u' ').toStdString(), names.join(u' ').toStdString()) << what;
        }
    }
}

TEST(BatchCli, FailuresOfInputAndOutputAreClear) {
    QTemporaryDir dir;
    const QString codes = dir.filePath("codes.txt");
    WriteAll(codes, "590123412345\n400638133393\n");
    const struct {
        QStringList args;
        int exitCode;
        QString err; // what the first line of stderr must contain
    } cases[] = {
        {{"--batch", codes, "-o", dir.filePath("no/such/#.png")}, 1, "no such folder"},
        {{"--batch", codes, "-o", dir.filePath("#/x.png")}, 1, "no such folder"},
        {{"--batch", dir.filePath("missing.txt"), "-o", dir.filePath("#.png")}, 1, "missing.txt"},
        {{"--batch", codes, "-o", "-"}, 2, "PATTERN"},
        {{"--batch", codes, "590123412345", "-o", dir.filePath("#.png")}, 2, "no CODE"},
        {{"--batch", codes}, 2, "--output"},
        {{"--jobs", "2", "-o", dir.filePath("x.png"), "590123412345"}, 2, "--jobs"},
        {{"--batch", codes, "--jobs", "0", "-o", dir.filePath("#.png")}, 2, "--jobs"},
        {{"--pattern", "--batch", codes}, 2, "--batch"},
        {{"--pattern", "--verify", "1"}, 2, "--verify"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.section('\n', 0, 0).contains(c.err)) << r.err.toStdString();
    }
    EXPECT_EQ(Files(dir.path()), QStringList{"codes.txt"}); // nothing written anywhere
}

TEST(BatchCli, UnverifiableTypesAreWrittenAndNamedOnce) {
    QTemporaryDir dir;
    WriteAll(dir.filePath("codes.txt"), "12345\n678\n90\n");
    const CliRun batch = Cli({"-t", "MSI", "--verify", "--batch", dir.filePath("codes.txt"),
                              "--jobs", "2", "-o", dir.filePath("m#.png")});
    EXPECT_EQ(batch.exitCode, 0);
    EXPECT_EQ(batch.err, "barcodegen-cli: --verify: ZXing-C++ cannot read CodeMSI symbols; "
                         "written unverified\n");
    EXPECT_EQ(Files(dir.path()), QStringList({"codes.txt", "m1.png", "m2.png", "m3.png"}));
    const CliRun single = Cli({"-t", "MSI", "--verify", "-o", "-", "12345"});
    EXPECT_EQ(single.exitCode, 0);
    EXPECT_EQ(single.err, batch.err);
    EXPECT_EQ(single.out, ReadAll(dir.filePath("m1.png")));
    const CliRun checked = Cli({"--verify", "-o", dir.filePath("v.png"), "590123412345"});
    EXPECT_EQ(checked.exitCode, 0);
    EXPECT_EQ(checked.err, "");
}

namespace {

// bytes' rows (each rowBytes long, after the header at dataAt) in the other
// order, with the height's sign turned: the same picture stored top-down.
std::string TopDownBmp(std::string bytes) {
    const auto little = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
        return v;
    };
    const std::uint32_t dataAt = little(10), width = little(18), height = little(22);
    const std::uint32_t bits = little(28) & 0xFFFF;
    const std::size_t rowBytes = (std::size_t(width) * bits + 31) / 32 * 4;
    std::string rows;
    for (std::uint32_t y = height; y-- > 0;)
        rows += bytes.substr(dataAt + y * rowBytes, rowBytes);
    bytes.replace(dataAt, rows.size(), rows);
    const std::uint32_t negative = ~height + 1;
    for (int i = 0; i < 4; ++i)
        bytes[22 + std::size_t(i)] = char(negative >> (8 * i) & 0xFF);
    return bytes;
}

std::string QtWritten(const TBitmap& b, const char* format) {
    const QImage image(reinterpret_cast<const uchar*>(b.Row(0)), b.Width(), b.Height(),
                       qsizetype(b.Stride() * 4), QImage::Format_ARGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, format, 100);
    return bytes.toStdString();
}

// The largest difference of two grey pictures of one size; 256 when the sizes differ.
int GreyDistance(const TGreyPicture& a, const TGreyPicture& b) {
    if (a.Width != b.Width || a.Height != b.Height) return 256;
    int most = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        most = std::max(most, std::abs(int(a.Pixels[i]) - int(b.Pixels[i])));
    return most;
}

} // namespace

// --verify reads the file as written, whoever wrote it: our PNG, BMP and JPEG
// at every depth they take, other writers' kinds of them, and drawings
// rendered back by the module. Broken files give no picture, never a crash.
TEST(Verify, WrittenFilesReadBackAsTheirPixels) {
    TBitmap colours(40, 30, PixelWhite); // more than 16 colours, not grey: a palette of 8 bits
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            colours.At(x, y) = 0xFF000000u | std::uint32_t(x * 6) << 16 | std::uint32_t(y * 8);
    TGenerateOptions noText;
    noText.ShowText = false;
    const struct {
        const char* what;
        TBitmap picture;
    } pictures[] = {
        {"grey", GenerateBarcodePicture(u"590123412345", bcCodeEAN13, {})},
        {"black and white", GenerateBarcodePicture(u"590123412345", bcCodeEAN13, noText)},
        {"colours", colours},
    };
    for (const auto& p : pictures) {
        const TGreyPicture grey = GreyOf(p.picture);
        TBytes png, bmp, jpeg;
        ASSERT_TRUE(EncodePng(p.picture, 96, png, nullptr));
        ASSERT_TRUE(EncodeBmp(p.picture, 96, bmp, nullptr));
        ASSERT_TRUE(EncodeJpeg(p.picture, 96, jpeg, nullptr));
        const struct {
            const char* format;
            std::string bytes;
            int tolerance; // grey levels: JPEG is lossy
        } files[] = {
            {"PNG", png, 0},
            {"BMP", bmp, 0},
            {"BMP", TopDownBmp(bmp), 0},
            {"JPEG", jpeg, 40},
            {"PNG", QtWritten(p.picture, "PNG"), 0},
            {"BMP", QtWritten(p.picture, "BMP"), 0},
            {"JPEG", QtWritten(p.picture, "JPEG"), 40},
        };
        for (const auto& f : files) {
            std::string problem;
            const TGreyPicture back = WrittenPicture(f.bytes, f.format, 96, &problem);
            EXPECT_EQ(problem, "") << p.what << " " << f.format;
            EXPECT_LE(GreyDistance(back, grey), f.tolerance) << p.what << " " << f.format;
            // Cut anywhere, or with a byte changed, a file gives no picture or
            // some picture, but no crash and no read beyond its end.
            for (const std::size_t cut : {std::size_t(0), std::size_t(2), std::size_t(30),
                                          f.bytes.size() / 2, f.bytes.size() - 1}) {
                std::string cutShort = f.bytes.substr(0, cut);
                const TGreyPicture broken = WrittenPicture(cutShort, f.format, 96, &problem);
                if (cut < 30) {
                    EXPECT_TRUE(broken.IsNull()) << f.format << " cut at " << cut;
                }
                if (broken.IsNull()) {
                    EXPECT_EQ(problem, std::string("--verify: the written ") + f.format +
                                           " cannot be decoded");
                }
            }
        }
    }
    // The drawings, rendered back at their resolutions.
    for (const char* format : {"SVG", "PDF"}) {
        const TBitmap picture = GenerateBarcodePicture(u"590123412345", bcCodeEAN13, {});
        for (const int dpi : {96, 300}) {
            const TBytes bytes = EncodeBarcodePicture(*PictureFormatNamed(format), u"590123412345",
                                                      bcCodeEAN13, {}, dpi);
            std::string problem;
            const TGreyPicture back = WrittenPicture(bytes, format, dpi, &problem);
            EXPECT_EQ(problem, "") << format;
            // The picture's pixels again: an SVG at one unit a pixel, a PDF page
            // at the resolution it was made for (up to a point larger).
            const int slack = 1 + dpi / 72;
            EXPECT_GE(back.Width, picture.Width()) << format << " " << dpi;
            EXPECT_LE(back.Width, picture.Width() + slack) << format << " " << dpi;
            EXPECT_GE(back.Height, picture.Height()) << format << " " << dpi;
            EXPECT_LE(back.Height, picture.Height() + slack) << format << " " << dpi;
            EXPECT_EQ(VerifyProblem(back, ExpectedReading(u"590123412345", bcCodeEAN13, true)), "")
                << format;
        }
    }
}
