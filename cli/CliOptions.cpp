#include "cli/CliOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSize>
#include <QThread>
#include <algorithm>
#include <optional>
#include <utility>

#include "cli/CliOptionTable.h"
#include "cli/TypeNames.h"
#include "engine/BarcodeError.h"
#include "platform/QtConvert.h"

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Dashed(std::string_view longName) {
    return QStringLiteral("--") + Q(longName);
}

bool IsSet(const QCommandLineParser& parser, std::string_view longName) {
    return parser.isSet(Q(longName));
}

void AddOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const TCliOptionRow& r : CliOptionRows()) {
        QStringList names;
        if (r.Short) names << QString(QLatin1Char(r.Short));
        names << Q(r.Long);
        // The help comes from the table: Qt's description stays empty.
        parser.addOption(r.Value.empty() ? QCommandLineOption(names)
                                         : QCommandLineOption(names, QString(), Q(r.Value)));
    }
}

// A negative number, a part number like "-5901" or any text that begins with
// '-' reads as options. A word after a single dash whose first letter is no
// option of ours was most likely meant as the CODE.
QString DashCodeHint(const QStringList& args) {
    const auto rows = CliOptionRows();
    bool value = false; // arg is the value of the option before it
    for (const QString& arg : args) {
        if (std::exchange(value, false)) continue;
        if (arg == QLatin1String("--")) return {};
        if (arg.size() < 2 || arg[0] != u'-') continue;
        if (arg[1] == u'-') {
            const TCliOptionRow* row = FindCliOption(arg.mid(2).toStdString());
            value = row && !row->Value.empty();
            continue;
        }
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const TCliOptionRow& r) {
            return r.Short && arg[1] == QLatin1Char(r.Short);
        });
        if (row == rows.end())
            return QStringLiteral("hint: -- ends the options; put it before a CODE that begins "
                                  "with '-': -- %1")
                .arg(ForMessage(arg));
        value = !row->Value.empty() && arg.size() == 2;
    }
    return {};
}

// The one value of an option given once or more; every value must say the same.
// parse turns a text into the value, or gives nullopt with a message in *why.
template <class T, class Parse>
bool OneValue(const QCommandLineParser& parser, std::string_view name, Parse parse, T& into,
              QString& error) {
    const QString option = Dashed(name);
    std::optional<T> first;
    QString firstText;
    for (const QString& text : parser.values(Q(name))) {
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
    if (const TPictureFormat* format = PictureFormatOfExtension(text.toStdString()))
        return QString::fromLatin1(format->Name.data(), qsizetype(format->Name.size()));
    why = QStringLiteral("takes png, bmp, jpg, svg or pdf");
    return std::nullopt;
}

// A file name, or "-" for the standard stream dash names ("standard output").
auto FileName(const char* dash) {
    return [dash](const QString& text, QString& why) -> std::optional<QString> {
        if (!text.isEmpty()) return text;
        why = QStringLiteral("needs a file name (or - for %1)").arg(QLatin1String(dash));
        return std::nullopt;
    };
}

// The options that end parsing early (--help, --version, --list-types) and
// --pattern's conflicts. True when parsing is over: the action is set or
// error is.
bool ParseAction(const QCommandLineParser& parser, TCliOptions& o, QString& error) {
    for (const auto& [name, action] :
         {std::pair{"help", TCliAction::Help}, std::pair{"version", TCliAction::Version}}) {
        if (!IsSet(parser, name)) continue;
        o.Action = action;
        return true;
    }
    if (IsSet(parser, "list-types")) {
        o.Action = TCliAction::ListTypes;
        for (const TCliOptionRow& r : CliOptionRows())
            if (r.Long != "list-types" && IsSet(parser, r.Long)) {
                error = QStringLiteral("--list-types takes no other option, not %1")
                            .arg(Dashed(r.Long));
                return true;
            }
        if (!parser.positionalArguments().isEmpty())
            error = QStringLiteral("--list-types takes no CODE");
        return true;
    }
    if (!IsSet(parser, "pattern")) return false;
    o.Action = TCliAction::Pattern;
    for (const TCliOptionRow& r : CliOptionRows())
        if (r.Draws && IsSet(parser, r.Long)) {
            error = QStringLiteral("--pattern draws nothing: %1 does not go with it")
                        .arg(Dashed(r.Long));
            return true;
        }
    return false;
}

// The values and switches; format gets --format's value.
QString ParseValues(const QCommandLineParser& parser, TCliOptions& o, QString& format) {
    if (IsSet(parser, "border") && IsSet(parser, "no-border"))
        return QStringLiteral("--no-border contradicts --border");
    QString error;
    QSize size(o.Generate.Width, o.Generate.Height);
    if (!OneValue(parser, "type", TypeValue, o.Type, error) ||
        !OneValue(parser, "border", IntIn(0, GenerateMaxBorder), o.Generate.Border, error) ||
        !OneValue(parser, "size", SizeValue, size, error) ||
        !OneValue(parser, "dpi", IntIn(1, CliMaxDpi), o.Dpi, error) ||
        !OneValue(parser, "output", FileName("standard output"), o.Output, error) ||
        !OneValue(parser, "format", FormatValue, format, error) ||
        !OneValue(parser, "batch", FileName("standard input"), o.Batch, error) ||
        !OneValue(parser, "jobs", IntIn(1, CliMaxJobs), o.Jobs, error))
        return error;
    o.Verify = IsSet(parser, "verify");
    const bool batch = !o.Batch.isEmpty();
    if (IsSet(parser, "jobs") && !batch)
        return QStringLiteral("--jobs goes with --batch: a single CODE is drawn on one thread");
    if (batch && !IsSet(parser, "jobs"))
        o.Jobs = std::clamp(QThread::idealThreadCount(), 1, CliMaxJobs);
    o.Generate.UseCheckSum = !IsSet(parser, "no-check-digit");
    o.Generate.ShowText = !IsSet(parser, "no-text");
    if (IsSet(parser, "no-border")) o.Generate.Border = 0;
    o.SizeGiven = IsSet(parser, "size");
    o.Generate.Width = size.width();
    o.Generate.Height = size.height();
    const QString box = QString::fromStdString(GenerateBoxProblem(o.Generate));
    if (!box.isEmpty()) return QStringLiteral("--size: %1").arg(box);
    return {};
}

// The one CODE, or none with --batch.
QString ParseCodes(const QStringList& codes, TCliOptions& o) {
    if (o.Batch.isEmpty()) {
        if (codes.isEmpty()) return QStringLiteral("no CODE given");
        if (codes.size() > 1)
            return QStringLiteral(
                       "more than one CODE given ('%1' and '%2'); quote a code with blanks")
                .arg(ForMessage(codes[0]), ForMessage(codes[1]));
        o.Code = codes[0];
        return {};
    }
    if (!codes.isEmpty())
        return QStringLiteral("--batch reads its codes from %1: no CODE goes with it ('%2')")
            .arg(ForMessage(o.Batch), ForMessage(codes[0]));
    if (o.Output.isEmpty())
        return QStringLiteral("--batch needs --output PATTERN, such as out/#####.png");
    if (o.Output == QLatin1String("-"))
        return QStringLiteral("--batch writes a file per code: --output takes a name "
                              "PATTERN, not -");
    return {};
}

// The picture's format: --format's (format, already checked), the file name's, or PNG for -.
QString ParseFormat(const QCommandLineParser& parser, TCliOptions& o, const QString& format) {
    if (o.Output.isEmpty())
        return QStringLiteral("nothing to do: give --output FILE (- for standard output) or "
                              "--pattern");
    if (o.Output == QLatin1String("-")) {
        o.Format = format.isEmpty() ? QStringLiteral("PNG") : format;
        return {};
    }
    const TPictureFormat* named = PictureFormatOfFile(ToU16(o.Output));
    const QString byName =
        named ? QString::fromLatin1(named->Name.data(), qsizetype(named->Name.size())) : QString();
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

// The checks go in this order, so that a command line with several faults
// is told of the same one every time.
QString ParseInto(const QCommandLineParser& parser, TCliOptions& o) {
    QString error;
    if (ParseAction(parser, o, error)) return error;
    QString format;
    error = ParseValues(parser, o, format);
    if (error.isEmpty()) error = ParseCodes(parser.positionalArguments(), o);
    if (!error.isEmpty() || o.Action == TCliAction::Pattern) return error;
    return ParseFormat(parser, o, format);
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
