#include "BarcodeCli.h"

#include <optional>

#include "BarcodeError.h"
#include "GeneratePicture.h"
#include "QtConvert.h"
#include "SaveImage.h"
#include "ZoBarCode_interface.h"

namespace {

const char* const Usage =
    "Usage: barcodegen-cli [options] CODE\n"
    "Draws CODE as a barcode picture, exactly as the window's Generate does.\n"
    "\n"
    "  -t, --type NAME|INDEX  symbology: a name of --list-types (any case) or its\n"
    "                         index 0 to 22 (default CodeEAN13)\n"
    "      --no-check-digit   do not add a check digit (EAN-8, EAN-13, UPC-A verify it)\n"
    "      --no-text          do not print the code under the bars\n"
    "      --border N         white border of N pixels, 0 to 30 (default 10)\n"
    "      --no-border        no border\n"
    "  -o, --output FILE      write the picture; PNG, BMP or JPEG by extension\n"
    "      --pattern          print the prepared text and the bar pattern, draw nothing\n"
    "      --list-types       print the index and name of every symbology\n"
    "  -h, --help             this help\n"
    "      --                 end of options (for a CODE that begins with '-')\n"
    "\n"
    "Exit status: 0 done, 1 the code was refused or the file not written, 2 usage error.\n";

constexpr int TypeCount = bcTypeUndefined; // the 23 selectable symbologies

std::optional<int> ParseType(const QString& s) {
    bool isNumber = false;
    const int index = s.toInt(&isNumber);
    if (isNumber) return index >= 0 && index < TypeCount ? std::optional<int>(index) : std::nullopt;
    for (int i = 0; i < TypeCount; ++i)
        if (s.compare(ToQString(BarcodeTypeTable[i].Name), Qt::CaseInsensitive) == 0) return i;
    return std::nullopt;
}

struct Options {
    int type = bcCodeEAN13;
    TGenerateOptions generate;
    bool border = true;
    QString output;
    bool pattern = false;
    bool listTypes = false;
    bool help = false;
    std::optional<QString> code;
};

// Returns an error text, or an empty string when the arguments are fine.
QString Parse(const QStringList& args, Options& o) {
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        QString a = args[i];
        QString inlineValue;
        bool hasInline = false;
        if (!optionsEnded && a.startsWith(QLatin1String("--")) && a.contains(u'=')) {
            const qsizetype eq = a.indexOf(u'=');
            inlineValue = a.mid(eq + 1);
            a = a.left(eq);
            hasInline = true;
        }
        auto value = [&](QString& into) -> bool {
            if (hasInline) {
                into = inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (optionsEnded || !a.startsWith(u'-') || a == QLatin1String("-")) {
            if (o.code) return QStringLiteral("more than one CODE given");
            o.code = args[i];
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("-t") || a == QLatin1String("--type")) {
            QString v;
            if (!value(v)) return QStringLiteral("%1 needs a symbology").arg(a);
            const auto t = ParseType(v);
            if (!t) return QStringLiteral("unknown symbology \"%1\" (see --list-types)").arg(v);
            o.type = *t;
        } else if (a == QLatin1String("--no-check-digit")) {
            o.generate.UseCheckSum = false;
        } else if (a == QLatin1String("--no-text")) {
            o.generate.ShowText = false;
        } else if (a == QLatin1String("--border")) {
            QString v;
            if (!value(v)) return QStringLiteral("--border needs a number");
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 0 || n > GenerateMaxBorder)
                return QStringLiteral("--border takes a number from 0 to %1, not \"%2\"")
                    .arg(GenerateMaxBorder)
                    .arg(v);
            o.generate.Border = n;
        } else if (a == QLatin1String("--no-border")) {
            o.border = false;
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(o.output) || o.output.isEmpty())
                return QStringLiteral("%1 needs a file name").arg(a);
        } else if (a == QLatin1String("--pattern")) {
            o.pattern = true;
        } else if (a == QLatin1String("--list-types")) {
            o.listTypes = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.help = true;
        } else {
            return QStringLiteral("unknown option \"%1\"").arg(a);
        }
        if (hasInline &&
            (a == QLatin1String("--no-check-digit") || a == QLatin1String("--no-text") ||
             a == QLatin1String("--no-border") || a == QLatin1String("--pattern") ||
             a == QLatin1String("--list-types") || a == QLatin1String("--help")))
            return QStringLiteral("%1 takes no value").arg(a);
    }
    if (o.help || o.listTypes) return {};
    if (!o.code) return QStringLiteral("no CODE given");
    if (!o.pattern && o.output.isEmpty())
        return QStringLiteral("nothing to do: give --output FILE or --pattern");
    return o.output.isEmpty() ? QString() : ImageFormatProblem(o.output);
}

} // namespace

int RunBarcodeCli(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options o;
    const QString problem = Parse(args, o);
    if (!problem.isEmpty()) {
        err << "barcodegen-cli: " << problem << "\n"
            << "Try 'barcodegen-cli --help'.\n";
        return cliUsage;
    }
    if (o.help) {
        out << Usage;
        return cliOk;
    }
    if (o.listTypes) {
        for (int i = 0; i < TypeCount; ++i)
            out << i << ' ' << ToQString(BarcodeTypeTable[i].Name) << "\n";
        return cliOk;
    }
    if (!o.border) o.generate.Border = 0;
    try {
        if (o.pattern) {
            const TPreparedCode p = PrepareBarcode(*o.code, o.type, o.generate.UseCheckSum);
            out << p.Text << "\n" << p.Pattern << "\n";
            return cliOk;
        }
        const QImage picture = GenerateBarcodePicture(*o.code, o.type, o.generate);
        QString error;
        if (!SaveImageAtomically(picture, o.output, &error)) {
            err << "barcodegen-cli: " << error << "\n";
            return cliRefused;
        }
        return cliOk;
    } catch (const EBarcodeError& e) {
        err << QString::fromUtf8(e.what()) << "\n";
        return cliRefused;
    }
}
