#include "cli/BarcodeCli.h"

#include <algorithm>
#include <new>

#include "cli/BatchRun.h"
#include "cli/CliOptionTable.h"
#include "cli/TypeNames.h"
#include "cli/VerifyPicture.h"
#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"
#include "picture/SaveImage.h"
#include "platform/QtConvert.h"

namespace {

// A refusal of our own, before the engine sees the code: the window never
// generates an empty code, and a type of text would draw an empty symbol. The
// engine refuses a blank code for a type of digits itself.
QString CodeProblem(const QString& code) {
    if (code.isEmpty()) return QStringLiteral("the code is empty: nothing to draw");
    return {};
}

// The picture's pixels seen as a QImage, sharing (and keeping) its memory.
QImage ImageOf(const TBitmap& bitmap) {
    if (bitmap.IsNull()) return {};
    auto* keep = new TBitmap(bitmap);
    return QImage(
        reinterpret_cast<const uchar*>(keep->Row(0)), keep->Width(), keep->Height(),
        qsizetype(keep->Stride() * qsizetype(sizeof(TPixel))), QImage::Format_RGB32,
        [](void* b) { delete static_cast<TBitmap*>(b); }, keep);
}

bool Encodes(const QString& code, int type, bool useCheckSum) {
    try {
        PrepareBarcode(ToU16(code), type, useCheckSum);
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

TCodeOutcome PatternOf(const TCliOptions& o) {
    return Guarded(o, o.Code, [&] {
        const QString problem = CodeProblem(o.Code);
        if (!problem.isEmpty()) return Refused(CliPrefix + problem);
        const TPreparedCode p = PrepareBarcode(ToU16(o.Code), o.Type, o.Generate.UseCheckSum);
        TCodeOutcome r;
        r.Bytes =
            (EscapeForLine(ToQString(p.Text)) + u'\n' + ToQString(p.Pattern) + u'\n').toUtf8();
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
        const TPictureLayout layout = LayoutBarcodePicture(ToU16(code), o.Type, o.Generate);
        const QString box = BoxExceeded(o, QSize(layout.Width, layout.Height));
        if (!box.isEmpty()) return Refused(CliPrefix + box);
        const TPictureFormat* format = PictureFormatNamed(o.Format.toStdString());
        if (!format)
            return Refused(CliPrefix +
                           QStringLiteral("unknown picture format \"%1\"").arg(o.Format));
        const TBitmap picture = GenerateBarcodePicture(layout);
        r.Picture = ImageOf(picture);
        TBytes bytes;
        std::string error;
        const bool ok = format->Drawing
                            ? (bytes = EncodeBarcodePicture(*format, layout, o.Dpi), true)
                            : EncodeImage(*format, picture, o.Dpi, bytes, &error);
        if (!ok) return Refused(CliPrefix + QString::fromStdString(error));
        r.Bytes = QByteArray::fromStdString(bytes);
        if (alterBytes) alterBytes(r.Bytes);
        if (o.Verify) {
            // What is read is what will be written: a page or an encoder that
            // loses part of the picture must not pass.
            const bool check = o.Generate.UseCheckSum;
            const QString text = ToQString(PrepareBarcode(ToU16(code), o.Type, check).Text);
            r.Unverified = UnverifiableReason(o.Type, text, check);
            if (r.Unverified.isEmpty()) {
                QString problem;
                const QImage written = WrittenPicture(r.Bytes, o.Format, o.Dpi, &problem);
                if (!written.isNull()) problem = VerifyProblem(written, o.Type, text, check);
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
        std::string error;
        if (!WriteFileAtomically(FileNameBytes(fileName), r.Bytes.toStdString(), &error, flush))
            return Refused(CliPrefix + QString::fromStdString(error));
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
        if (!o.Batch.isEmpty()) return RunBatch(o, err);
        if (o.Output == QLatin1String("-")) return Finish(RenderCode(o, o.Code), out, err);
        return Finish(RunCode(o, o.Code, o.Output), out, err, false);
    } catch (...) {
        return Finish(CaughtFailure(), out, err);
    }
}
