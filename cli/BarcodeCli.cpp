#include "cli/BarcodeCli.h"

#include <QBuffer>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <new>

#include "cli/BatchRun.h"
#include "cli/CliOptionTable.h"
#include "cli/TypeNames.h"
#include "cli/VerifyPicture.h"
#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"
#include "picture/ImageWriters.h"
#include "picture/PrintLayout.h"
#include "picture/RasterCanvas.h"
#include "picture/SaveImage.h"
#include "picture/VectorPicture.h"
#include "platform/QtConvert.h"

namespace {

// A refusal of our own, before the engine sees the code: the window never
// generates an empty code, and a type of text would draw an empty symbol. The
// engine refuses a blank code for a type of digits itself.
QString CodeProblem(const QString& code) {
    if (code.isEmpty()) return QStringLiteral("the code is empty: nothing to draw");
    return {};
}

bool Encodes(const QString& code, int type, bool useCheckSum) {
    try {
        PrepareBarcode(code, type, useCheckSum);
        return true;
    } catch (const EBarcodeError&) {
        return false;
    }
}

// A line for after the engine's refusal, where the user likely meant something else.
QString RefusalHint(const QString& code, int type, bool useCheckSum) {
    // A whole EAN-8, EAN-13 or UPC-A code while its check digit is being added.
    const int withCheck = DigitsWithCheckDigit(TBarcodeType(type));
    const std::u16string digits = TrimmedCode(ToU16(code));
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (useCheckSum && withCheck > 0 && digits.size() == std::size_t(withCheck) &&
        std::ranges::all_of(digits, isDigit))
        return QStringLiteral("hint: give --no-check-digit to have the last digit verified");
    // Subsets that carry characters the other lacks (lower case, control characters).
    struct Sibling {
        int type, other;
    };
    static constexpr Sibling siblings[] = {
        {bcCode39, bcCode39Extended},   {bcCode93, bcCode93Extended},
        {bcCode128A, bcCode128B},       {bcCode128B, bcCode128A},
        {bcCodeEAN128A, bcCodeEAN128B}, {bcCodeEAN128B, bcCodeEAN128A}};
    for (const Sibling& s : siblings)
        if (s.type == type && !Encodes(code, type, useCheckSum) &&
            Encodes(code, s.other, useCheckSum))
            return QStringLiteral("hint: %1 carries every character of this code (-t %1)")
                .arg(BarcodeTableName(s.other));
    return {};
}

// A symbol wider than the box even at modules of one pixel is drawn on a
// wider picture, as the window draws it. A box the user chose with --size is
// the room the picture has on a label, so there it is refused instead.
QString BoxExceeded(const TCliOptions& o, QSize picture) {
    const int w = o.Generate.Width, h = o.Generate.Height;
    if (!o.SizeGiven || (picture.width() <= w && picture.height() <= h)) return {};
    return QStringLiteral("the symbol does not fit into --size %1x%2: even with modules of one "
                          "pixel its picture is %3 x %4 pixels")
        .arg(w)
        .arg(h)
        .arg(picture.width())
        .arg(picture.height());
}

TCodeOutcome Refused(const QString& message) {
    TCodeOutcome r;
    r.Exit = cliRefused;
    r.Messages << message;
    return r;
}

// Runs step, turning every failure into a refusal: the engine's message as it
// is (with a hint), anything else with our prefix.
template <class Step> TCodeOutcome Guarded(const TCliOptions& o, const QString& code, Step step) {
    try {
        return step();
    } catch (const EBarcodeError& e) {
        TCodeOutcome r = Refused(QString::fromUtf8(e.what()));
        const QString hint = RefusalHint(code, o.Type, o.Generate.UseCheckSum);
        if (!hint.isEmpty()) r.Messages << hint;
        return r;
    } catch (...) {
        return CaughtFailure();
    }
}

// A label at a print size: its picture and its file's bytes.
bool EncodePrint(const TCliOptions& o, const QString& code, TCodeOutcome& r, QString& error) {
    TBitmap none;
    TRasterCanvas measure(none);
    const TPrintLayout layout =
        LayoutPrintPicture(ToU16(code), TBarcodeType(o.Type & 0xFF), *o.Print, measure);
    const TBitmap bitmap = PrintBitmap(layout);
    r.Picture = QImage(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height(); ++y)
        std::copy_n(bitmap.Row(y), bitmap.Width(),
                    reinterpret_cast<TPixel*>(r.Picture.scanLine(y)));
    TBytes bytes;
    std::string why = "no print size in " + o.Format.toStdString() + " yet";
    const bool ok = o.Format == u"PNG"    ? EncodePng(bitmap, o.Dpi, bytes, &why)
                    : o.Format == u"BMP"  ? EncodeBmp(bitmap, o.Dpi, bytes, &why)
                    : o.Format == u"JPEG" ? EncodeJpeg(bitmap, o.Dpi, bytes, &why)
                                          : false;
    r.Bytes = QByteArray::fromStdString(bytes);
    if (!ok) error = QString::fromStdString(why);
    return ok;
}

// What a scanner sees of a written label: on white paper, turned back upright.
QImage Upright(const QImage& written, const TCliOptions& o) {
    if (!o.Print) return written;
    QImage paper(written.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, written);
    return paper.transformed(QTransform().rotate(-90.0 * o.Print->QuarterTurns));
}

TCodeOutcome PatternOf(const TCliOptions& o) {
    return Guarded(o, o.Code, [&] {
        const QString problem = CodeProblem(o.Code);
        if (!problem.isEmpty()) return Refused(CliPrefix + problem);
        const TPreparedCode p = PrepareBarcode(o.Code, o.Type, o.Generate.UseCheckSum);
        TCodeOutcome r;
        r.Bytes = (EscapeForLine(p.Text) + u'\n' + p.Pattern + u'\n').toUtf8();
        return r;
    });
}

QString TypeList() {
    QString text;
    for (int i = 0; i < CliTypeCount; ++i)
        text += QStringLiteral("%1 %2 %3 %4\n")
                    .arg(i)
                    .arg(BarcodeTableName(i),
                         BarcodeTypeTable[static_cast<std::size_t>(i)].num ? u"digits" : u"text",
                         AddsCheckCharacter(i) ? u"check" : u"no-check");
    return text;
}

// Prints the outcome's messages, and its bytes when they are for standard output.
int Finish(const TCodeOutcome& r, QIODevice& out, QTextStream& err, bool bytesToOut = true) {
    for (const QString& line : r.Messages)
        err << line << "\n";
    if (!r.Unverified.isEmpty()) err << UnverifiedLine(r.Unverified) << "\n";
    if (r.Exit != cliOk || !bytesToOut || r.Bytes.isEmpty()) return r.Exit;
    if (out.write(r.Bytes) != r.Bytes.size()) {
        err << StandardOutputProblem(out) << "\n";
        return cliRefused;
    }
    return cliOk;
}

// What the actions other than Generate print.
TCodeOutcome Printed(const TCliOptions& o) {
    TCodeOutcome text;
    switch (o.Action) {
    case TCliAction::Help:
        text.Bytes = QByteArray::fromStdString(CliHelpText());
        break;
    case TCliAction::Version:
        text.Bytes = QByteArrayLiteral("barcodegen-cli " BARCODEGEN_VERSION "\n");
        break;
    case TCliAction::ListTypes:
        text.Bytes = TypeList().toUtf8();
        break;
    case TCliAction::Pattern:
        return PatternOf(o);
    case TCliAction::Generate:
        break;
    }
    return text;
}

} // namespace

TCodeOutcome CaughtFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return Refused(CliPrefix + QStringLiteral("not enough memory"));
    } catch (const std::exception& e) {
        return Refused(CliPrefix + QString::fromUtf8(e.what()));
    } catch (...) {
        return Refused(CliPrefix + QStringLiteral("unexpected failure"));
    }
}

QString StandardOutputProblem(const QIODevice& out) {
    return CliPrefix + QStringLiteral("standard output: ") + out.errorString();
}

QString UnverifiedLine(const QString& reason) {
    return CliPrefix + QStringLiteral("--verify: %1; written unverified").arg(reason);
}

QString EscapeForLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c.category() == QChar::Other_Control)
            out += QLatin1String("\\x") +
                   QString::number(c.unicode(), 16).rightJustified(2, u'0').toUpper();
        else
            out += c;
    }
    return out;
}

TCodeOutcome RenderCode(const TCliOptions& o, const QString& code,
                        const std::function<void(QByteArray&)>& alterBytes) {
    return Guarded(o, code, [&] {
        const QString problem = CodeProblem(code);
        if (!problem.isEmpty()) return Refused(CliPrefix + problem);
        TCodeOutcome r;
        QString error;
        if (o.Print) {
            if (!EncodePrint(o, code, r, error)) return Refused(CliPrefix + error);
        } else {
            r.Picture = GenerateBarcodePicture(code, o.Type, o.Generate);
            const QImage& picture = r.Picture;
            const QString box = BoxExceeded(o, picture.size());
            if (!box.isEmpty()) return Refused(CliPrefix + box);
            QBuffer buffer(&r.Bytes);
            buffer.open(QIODevice::WriteOnly);
            const TPictureFormat* format = PictureFormatNamed(o.Format);
            const bool drawing = format && format->Drawing;
            const bool ok = drawing ? WriteBarcodeDrawing(buffer, o.Format, picture.size(), code,
                                                          o.Type, o.Generate, o.Dpi, &error)
                                    : WriteImage(picture, buffer, o.Format, o.Dpi, &error);
            if (!ok) return Refused(CliPrefix + error);
        }
        if (alterBytes) alterBytes(r.Bytes);
        if (o.Verify) {
            // What is read is what will be written: a page or an encoder that
            // loses part of the picture must not pass.
            const bool check = o.Generate.UseCheckSum;
            const QString text = PrepareBarcode(code, o.Type, check).Text;
            r.Unverified = UnverifiableReason(o.Type, text, check);
            if (r.Unverified.isEmpty()) {
                QString problem;
                const QImage written = WrittenPicture(r.Bytes, o.Format, o.Dpi, &problem);
                if (!written.isNull())
                    problem = VerifyProblem(Upright(written, o), o.Type, text, check);
                if (!problem.isEmpty()) return Refused(CliPrefix + problem);
            }
        }
        return r;
    });
}

TCodeOutcome RunCode(const TCliOptions& o, const QString& code, const QString& fileName,
                     TFileFlush flush) {
    TCodeOutcome r = RenderCode(o, code);
    if (r.Exit != cliOk) return r;
    return Guarded(o, code, [&] {
        QString error;
        if (!WriteFileAtomically(fileName, r.Bytes, &error, flush))
            return Refused(CliPrefix + error);
        return r;
    });
}

int RunBarcodeCli(const QStringList& args, QIODevice& out, QTextStream& err) {
    try {
        const TCliParse parsed = ParseCliArguments(args);
        if (!parsed.Error.isEmpty()) {
            err << CliPrefix << parsed.Error << "\n";
            if (!parsed.Hint.isEmpty()) err << parsed.Hint << "\n";
            err << "Try 'barcodegen-cli --help'.\n";
            return cliUsage;
        }
        const TCliOptions& o = parsed.Options;
        if (o.Action != TCliAction::Generate) return Finish(Printed(o), out, err);
        if (o.Print) {
            const std::string deviation = XDimDeviation(*o.Print, TBarcodeType(o.Type & 0xFF));
            if (!deviation.empty()) err << CliPrefix << QString::fromStdString(deviation) << "\n";
        }
        if (!o.Batch.isEmpty()) return RunBatch(o, err);
        if (o.Output == QLatin1String("-")) return Finish(RenderCode(o, o.Code), out, err);
        return Finish(RunCode(o, o.Code, o.Output), out, err, false);
    } catch (...) {
        return Finish(CaughtFailure(), out, err);
    }
}
