#include "cli/BarcodeCli.h"

#include <QBuffer>
#include <algorithm>
#include <new>

#include "cli/BatchRun.h"
#include "cli/CliOptionTable.h"
#include "cli/TypeNames.h"
#include "cli/VerifyPicture.h"
#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"
#include "picture/SaveImage.h"
#include "picture/VectorPicture.h"

namespace {

const QString Prefix = QString::fromLatin1(CliPrefix);

// The code as the engine reads it for a type of digits: without the blanks and
// control characters around it.
QString EngineTrimmed(const QString& code) {
    qsizetype first = 0, last = code.size();
    while (first < last && code[first] <= u' ')
        ++first;
    while (last > first && code[last - 1] <= u' ')
        --last;
    return code.mid(first, last - first);
}

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
    struct LengthWithCheck {
        int type, length;
    };
    static constexpr LengthWithCheck withCheck[] = {
        {bcCodeEAN8, 8}, {bcCodeEAN13, 13}, {bcCodeUPC_A, 12}};
    for (const LengthWithCheck& l : withCheck) {
        if (l.type != type || !useCheckSum) continue;
        const QString digits = EngineTrimmed(code);
        const bool allDigits = std::all_of(digits.begin(), digits.end(),
                                           [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (allDigits && digits.size() == l.length)
            return QStringLiteral("hint: give --no-check-digit to have the last digit verified");
    }
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
    } catch (const std::bad_alloc&) {
        return Refused(Prefix + QStringLiteral("not enough memory"));
    } catch (const std::exception& e) {
        return Refused(Prefix + QString::fromUtf8(e.what()));
    } catch (...) {
        return Refused(Prefix + QStringLiteral("unexpected failure"));
    }
}

TCodeOutcome PatternOf(const TCliOptions& o) {
    return Guarded(o, o.Code, [&] {
        const QString problem = CodeProblem(o.Code);
        if (!problem.isEmpty()) return Refused(Prefix + problem);
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
        err << Prefix << "standard output: " << out.errorString() << "\n";
        return cliRefused;
    }
    return cliOk;
}

} // namespace

QString UnverifiedLine(const QString& reason) {
    return Prefix + QStringLiteral("--verify: %1; written unverified").arg(reason);
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
        if (!problem.isEmpty()) return Refused(Prefix + problem);
        TCodeOutcome r;
        r.Picture = GenerateBarcodePicture(code, o.Type, o.Generate);
        const QImage& picture = r.Picture;
        const QString box = BoxExceeded(o, picture.size());
        if (!box.isEmpty()) return Refused(Prefix + box);
        QBuffer buffer(&r.Bytes);
        buffer.open(QIODevice::WriteOnly);
        QString error;
        const bool drawing = o.Format == QLatin1String("SVG") || o.Format == QLatin1String("PDF");
        const bool ok = drawing ? WriteBarcodeDrawing(buffer, o.Format, picture.size(), code,
                                                      o.Type, o.Generate, o.Dpi, &error)
                                : WriteImage(picture, buffer, o.Format, o.Dpi, &error);
        if (!ok) return Refused(Prefix + error);
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
                if (!written.isNull()) problem = VerifyProblem(written, o.Type, text, check);
                if (!problem.isEmpty()) return Refused(Prefix + problem);
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
        if (!WriteFileAtomically(fileName, r.Bytes, &error, flush)) return Refused(Prefix + error);
        return r;
    });
}

int RunBarcodeCli(const QStringList& args, QIODevice& out, QTextStream& err) {
    try {
        const TCliParse parsed = ParseCliArguments(args);
        if (!parsed.Error.isEmpty()) {
            err << Prefix << parsed.Error << "\n";
            if (!parsed.Hint.isEmpty()) err << parsed.Hint << "\n";
            err << "Try 'barcodegen-cli --help'.\n";
            return cliUsage;
        }
        const TCliOptions& o = parsed.Options;
        TCodeOutcome text;
        switch (o.Action) {
        case TCliAction::Help:
            text.Bytes = QByteArray::fromStdString(CliHelpText());
            return Finish(text, out, err);
        case TCliAction::Version:
            text.Bytes = QByteArrayLiteral("barcodegen-cli " BARCODEGEN_VERSION "\n");
            return Finish(text, out, err);
        case TCliAction::ListTypes:
            text.Bytes = TypeList().toUtf8();
            return Finish(text, out, err);
        case TCliAction::Pattern:
            return Finish(PatternOf(o), out, err);
        case TCliAction::Generate:
            break;
        }
        if (!o.Batch.isEmpty()) return RunBatch(o, err);
        if (o.Output == QLatin1String("-")) return Finish(RenderCode(o, o.Code), out, err);
        return Finish(RunCode(o, o.Code, o.Output), out, err, false);
    } catch (const std::bad_alloc&) {
        err << Prefix << "not enough memory\n";
    } catch (const std::exception& e) {
        err << Prefix << QString::fromUtf8(e.what()) << "\n";
    } catch (...) {
        err << Prefix << "unexpected failure\n";
    }
    return cliRefused;
}
