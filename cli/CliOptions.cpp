#include "cli/CliOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <optional>
#include <utility>

#include "cli/TypeNames.h"
#include "engine/BarcodeError.h"
#include "platform/QtConvert.h"

namespace {

const char* const HelpEpilogue = R"(
Put -- before a CODE that begins with '-'. An empty CODE is refused, and so is
one of blanks only for a type that takes digits.

Output: -o FILE writes the picture in the format of --format or of the file
name's extension (.png, .bmp, .jpg, .svg, .pdf); -o - writes it to standard
output (PNG unless --format says otherwise). PNG and BMP files take the fewest
bits per pixel that keep every pixel; JPEG is written at quality 100. In SVG one
pixel of the picture is one user unit; a PDF page is the picture's size at --dpi
rounded up to whole points; both draw the text as outlines and need no font.
A file that exists is replaced only by a complete new one, with its permission
bits.

--size WxH fits the symbol into a W x H box as the window fits it into 300 x 200:
the bars fill the box less three borders as far as whole-pixel modules allow,
and the picture is cropped to the symbol plus border. A symbol too wide for the
box even with modules of one pixel is refused (without --size it is drawn wider
than 300 pixels, as the window draws it).

--pattern prints two lines: the text the symbol encodes, with a backslash shown
as \\ and control characters as \t, \r, \n or \xHH, and the bar pattern, one
character per element ("0"-"3" spaces, "5"-"8" bars, "A"-"D" short bars, of
width class 0-3).

--list-types prints one line per symbology: its index, its name, "digits" or
"text" (what the code may hold), and "check" or "no-check" (whether a check
character is added by default).
Types are named by --list-types names or by the names the messages use (EAN13,
UPC_E0), in any case, with "-", "_" and blanks ignored, or by index.

--batch FILE draws every non-empty line of FILE (- for standard input; LF or
CR LF line ends; UTF-8) as one code with the same options, exactly as a single
run draws it. -o PATTERN names the files: a run of '#' in the file name becomes
the line number, zero-padded to the run's length (out/#####.png gives
out/00001.png); without '#' the number goes before the extension (label.png
gives label1.png). A '#' in a folder name is kept as it is, and a missing folder
stops the batch before it starts. A refused line prints "line N: MESSAGE" and
writes no file; the other lines are still written, whatever lines are refused.
Each file appears whole or not at all. On a terminal a progress line shows
while more than a second of work is left.

--verify reads every file back as it is written (SVG and PDF rendered) with
ZXing-C++ and refuses one that does not read as the code it encodes. Types the
decoder cannot read (MSI, PostNet, two of five industrial and matrix, the UPC
supplements) are written and reported once as not verifiable.

After a refused code a line beginning "hint:" may follow the message. Messages
quote at most 60 characters of a code, a value or a file name: a longer one is
shown by its start and its end around an ellipsis.
Exit status: 0 done, 1 the code (or a line of the batch) was refused or a file
not written, 2 usage error.
)";

struct Option {
    const char* name; // the long name; what the messages name
    const char* shortName;
    const char* valueName;
    const char* description;
};

constexpr Option Options[] = {
    {"type", "t", "name|index", "Symbology: a name or index of --list-types (default CodeEAN13)."},
    {"no-check-digit", nullptr, nullptr,
     "Add no check digit (EAN-8, EAN-13 and UPC-A then verify the last digit)."},
    {"no-text", nullptr, nullptr, "Do not print the code under the bars."},
    {"border", nullptr, "N", "White border of N pixels, 0 to 30 (default 10)."},
    {"no-border", nullptr, nullptr, "No border."},
    {"size", nullptr, "WxH", "Fit the symbol into a box of W x H pixels (default 300x200)."},
    {"dpi", nullptr, "N", "Resolution written into the file, 1 to 10000 (default 96)."},
    {"output", "o", "file", "Write the picture to file; - is standard output."},
    {"format", "f", "format", "png, bmp, jpg, svg or pdf (default: by the file name)."},
    {"batch", nullptr, "file",
     "Draw every non-empty line of file (- is standard input); -o gives the name pattern."},
    {"jobs", nullptr, "N", "Draw a batch on N threads (default: the number of cores)."},
    {"verify", nullptr, nullptr, "Read every picture back with ZXing-C++ before writing it."},
    {"pattern", nullptr, nullptr, "Print the encoded text and the bar pattern; draw nothing."},
    {"list-types", nullptr, nullptr, "Print the symbologies."},
    {"help", "h", nullptr, "Show this help."},
    {"version", "v", nullptr, "Show the version."},
};

// Options that shape the picture: meaningless with --pattern.
constexpr const char* DrawingOptions[] = {"output",    "format",  "size",  "dpi",  "border",
                                          "no-border", "no-text", "batch", "jobs", "verify"};

void AddOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.setApplicationDescription(
        QStringLiteral("Draws CODE as a barcode picture, exactly as the window's Generate does."));
    parser.addPositionalArgument(QStringLiteral("CODE"), QStringLiteral("The text to encode."));
    for (const Option& o : Options) {
        QStringList names;
        if (o.shortName) names << QLatin1String(o.shortName);
        names << QLatin1String(o.name);
        parser.addOption(o.valueName ? QCommandLineOption(names, QString::fromUtf8(o.description),
                                                          QLatin1String(o.valueName))
                                     : QCommandLineOption(names, QString::fromUtf8(o.description)));
    }
}

// A negative number, a part number like "-5901" or any text that begins with
// '-' reads as options. A word after a single dash whose first letter is no
// option of ours was most likely meant as the CODE.
QString DashCodeHint(const QStringList& args) {
    const auto shortOption = [](QChar c) {
        return std::find_if(std::begin(Options), std::end(Options), [c](const Option& o) {
            return o.shortName && c == QLatin1Char(o.shortName[0]);
        });
    };
    bool value = false; // arg is the value of the option before it
    for (const QString& arg : args) {
        if (std::exchange(value, false)) continue;
        if (arg == QLatin1String("--")) return {};
        if (arg.size() < 2 || arg[0] != u'-') continue;
        if (arg[1] == u'-') {
            const QString name = arg.mid(2);
            value = std::any_of(std::begin(Options), std::end(Options), [&](const Option& o) {
                return o.valueName && name == QLatin1String(o.name);
            });
            continue;
        }
        const auto option = shortOption(arg[1]);
        if (option == std::end(Options))
            return QStringLiteral("hint: -- ends the options; put it before a CODE that begins "
                                  "with '-': -- %1")
                .arg(ForMessage(arg));
        value = option->valueName && arg.size() == 2;
    }
    return {};
}

QString Dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The one value of an option given once or more; every value must say the same.
// parse turns a text into the value, or gives nullopt with a message in *why.
template <class T, class Parse>
bool OneValue(const QCommandLineParser& parser, const char* name, Parse parse, T& into,
              QString& error) {
    const QString option = Dashed(QLatin1String(name));
    std::optional<T> first;
    QString firstText;
    for (const QString& text : parser.values(QLatin1String(name))) {
        QString why;
        const std::optional<T> v = parse(text, why);
        if (!v) {
            error = QStringLiteral("%1 '%2': %3").arg(option, ForMessage(text), why);
            return false;
        }
        if (first && !(*first == *v)) {
            error = QStringLiteral("%1 given twice with different values ('%2' and '%3')")
                        .arg(option, ForMessage(firstText), ForMessage(text));
            return false;
        }
        if (!first) firstText = text;
        first = v;
    }
    if (first) into = *first;
    return true;
}

auto IntIn(int low, int high) {
    return [low, high](const QString& text, QString& why) -> std::optional<int> {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (ok && n >= low && n <= high) return n;
        why = QStringLiteral("takes a number from %1 to %2").arg(low).arg(high);
        return std::nullopt;
    };
}

std::optional<int> TypeValue(const QString& text, QString& why) {
    const std::optional<int> t = ParseBarcodeType(text);
    if (!t) why = QStringLiteral("no such symbology (see --list-types)");
    return t;
}

std::optional<QSize> SizeValue(const QString& text, QString& why) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,9})\\s*[xX]\\s*(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (m.hasMatch()) return QSize(m.captured(1).toInt(), m.captured(2).toInt());
    why = QStringLiteral("takes a width and a height in pixels, such as 600x400");
    return std::nullopt;
}

std::optional<QString> FormatValue(const QString& text, QString& why) {
    if (const TPictureFormat* format = PictureFormatOfExtension(text)) return format->Name;
    why = QStringLiteral("takes png, bmp, jpg, svg or pdf");
    return std::nullopt;
}

std::optional<QString> FileValue(const QString& text, QString& why) {
    if (!text.isEmpty()) return text;
    why = QStringLiteral("needs a file name (or - for standard output)");
    return std::nullopt;
}

std::optional<QString> InputValue(const QString& text, QString& why) {
    if (!text.isEmpty()) return text;
    why = QStringLiteral("needs a file name (or - for standard input)");
    return std::nullopt;
}

// The first option of names that is set, as written on a command line, or "".
template <class Names> QString FirstSet(const QCommandLineParser& parser, const Names& names) {
    for (const char* n : names)
        if (parser.isSet(QLatin1String(n))) return Dashed(QLatin1String(n));
    return {};
}

QString ParseInto(const QCommandLineParser& parser, TCliOptions& o) {
    const QStringList codes = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help"))) {
        o.Action = TCliAction::Help;
        return {};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        o.Action = TCliAction::Version;
        return {};
    }
    if (parser.isSet(QStringLiteral("list-types"))) {
        o.Action = TCliAction::ListTypes;
        for (const Option& opt : Options)
            if (QLatin1String(opt.name) != QLatin1String("list-types") &&
                parser.isSet(QLatin1String(opt.name)))
                return QStringLiteral("--list-types takes no other option, not %1")
                    .arg(Dashed(QLatin1String(opt.name)));
        if (!codes.isEmpty()) return QStringLiteral("--list-types takes no CODE");
        return {};
    }
    if (parser.isSet(QStringLiteral("pattern"))) {
        o.Action = TCliAction::Pattern;
        const QString drawing = FirstSet(parser, DrawingOptions);
        if (!drawing.isEmpty())
            return QStringLiteral("--pattern draws nothing: %1 does not go with it").arg(drawing);
    }
    if (parser.isSet(QStringLiteral("border")) && parser.isSet(QStringLiteral("no-border")))
        return QStringLiteral("--no-border contradicts --border");

    QString error;
    QSize size(o.Generate.Width, o.Generate.Height);
    QString format;
    if (!OneValue(parser, "type", TypeValue, o.Type, error) ||
        !OneValue(parser, "border", IntIn(0, GenerateMaxBorder), o.Generate.Border, error) ||
        !OneValue(parser, "size", SizeValue, size, error) ||
        !OneValue(parser, "dpi", IntIn(1, CliMaxDpi), o.Dpi, error) ||
        !OneValue(parser, "output", FileValue, o.Output, error) ||
        !OneValue(parser, "format", FormatValue, format, error) ||
        !OneValue(parser, "batch", InputValue, o.Batch, error) ||
        !OneValue(parser, "jobs", IntIn(1, CliMaxJobs), o.Jobs, error))
        return error;
    o.Verify = parser.isSet(QStringLiteral("verify"));
    const bool batch = !o.Batch.isEmpty();
    if (parser.isSet(QStringLiteral("jobs")) && !batch)
        return QStringLiteral("--jobs goes with --batch: a single CODE is drawn on one thread");
    if (batch && !parser.isSet(QStringLiteral("jobs")))
        o.Jobs = std::clamp(QThread::idealThreadCount(), 1, CliMaxJobs);
    o.Generate.UseCheckSum = !parser.isSet(QStringLiteral("no-check-digit"));
    o.Generate.ShowText = !parser.isSet(QStringLiteral("no-text"));
    if (parser.isSet(QStringLiteral("no-border"))) o.Generate.Border = 0;
    o.SizeGiven = parser.isSet(QStringLiteral("size"));
    o.Generate.Width = size.width();
    o.Generate.Height = size.height();
    const QString box = GenerateBoxProblem(o.Generate);
    if (!box.isEmpty()) return QStringLiteral("--size: %1").arg(box);

    if (batch) {
        if (!codes.isEmpty())
            return QStringLiteral("--batch reads its codes from %1: no CODE goes with it ('%2')")
                .arg(ForMessage(o.Batch), ForMessage(codes[0]));
        if (o.Output.isEmpty())
            return QStringLiteral("--batch needs --output PATTERN, such as out/#####.png");
        if (o.Output == QLatin1String("-"))
            return QStringLiteral("--batch writes a file per code: --output takes a name "
                                  "PATTERN, not -");
    } else {
        if (codes.isEmpty()) return QStringLiteral("no CODE given");
        if (codes.size() > 1)
            return QStringLiteral(
                       "more than one CODE given ('%1' and '%2'); quote a code with blanks")
                .arg(ForMessage(codes[0]), ForMessage(codes[1]));
        o.Code = codes[0];
    }
    if (o.Action == TCliAction::Pattern) return {};

    if (o.Output.isEmpty())
        return QStringLiteral("nothing to do: give --output FILE (- for standard output) or "
                              "--pattern");
    if (o.Output == QLatin1String("-")) {
        o.Format = format.isEmpty() ? QStringLiteral("PNG") : format;
        return {};
    }
    const TPictureFormat* named = PictureFormatOfFile(o.Output);
    const QString byName = named ? named->Name : QString();
    if (!format.isEmpty() && !byName.isEmpty() && format != byName)
        return QStringLiteral("--format %1 contradicts the file name %2")
            .arg(ForMessage(parser.value(QStringLiteral("format"))), ForMessage(o.Output));
    o.Format = format.isEmpty() ? byName : format;
    if (o.Format.isEmpty())
        return QStringLiteral("%1: unknown picture format (use .png, .bmp, .jpg, .svg or .pdf, "
                              "or give --format)")
            .arg(ForMessage(o.Output));
    return {};
}

} // namespace

QString ForMessage(const QString& text) {
    return QString::fromStdString(TextForMessage(ToU16(text)));
}

TCliParse ParseCliArguments(const QStringList& args) {
    TCliParse result;
    QCommandLineParser parser;
    AddOptions(parser);
    // The parser reads the first argument as the program's name.
    if (!parser.parse(QStringList{QStringLiteral("barcodegen-cli")} + args)) {
        QStringList unknown = parser.unknownOptionNames();
        unknown.removeDuplicates();
        if (unknown.isEmpty()) {
            result.Error = parser.errorText();
        } else {
            // Qt's wording, but a pasted text of thousands of characters gives
            // as many unknown options: the list is quoted like any other text.
            result.Error = unknown.size() == 1
                               ? QStringLiteral("Unknown option '%1'.").arg(ForMessage(unknown[0]))
                               : QStringLiteral("Unknown options: %1.")
                                     .arg(ForMessage(unknown.join(QStringLiteral(", "))));
            result.Hint = DashCodeHint(args);
        }
        return result;
    }
    result.Error = ParseInto(parser, result.Options);
    return result;
}

QString CliHelpText() {
    QCommandLineParser parser;
    AddOptions(parser);
    QString text = parser.helpText();
    // The usage line names the program as it was started (a full path, often).
    const qsizetype usageEnd = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(QLatin1String("Usage: ")) && usageEnd > 0)
        text.replace(0, usageEnd, QStringLiteral("Usage: barcodegen-cli"));
    return text + QString::fromUtf8(HelpEpilogue);
}
