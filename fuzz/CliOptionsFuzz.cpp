// The command-line option parsing (ParseCliArguments) on any argument list,
// one argument a line. What must hold: options that parse are in range and
// complete for their action, and written back as a command line of our own
// they parse to the same options.
#include "fuzz/FuzzSupport.h"

#include "cli/CliOptions.h"

namespace {

std::string Utf8(const QStringList& args) {
    return args.join(QStringLiteral(" | ")).toStdString();
}

bool Same(const TCliOptions& a, const TCliOptions& b) {
    return a.Action == b.Action && a.Type == b.Type &&
           a.Generate.UseCheckSum == b.Generate.UseCheckSum &&
           a.Generate.ShowText == b.Generate.ShowText && a.Generate.Border == b.Generate.Border &&
           a.Generate.Width == b.Generate.Width && a.Generate.Height == b.Generate.Height &&
           a.SizeGiven == b.SizeGiven && a.Dpi == b.Dpi && a.Output == b.Output &&
           a.Format == b.Format && a.Code == b.Code;
}

// The options as we would write them: every value given (the box only when it
// was), the code after "--".
QStringList CommandLine(const TCliOptions& o) {
    QStringList args{QStringLiteral("--type=%1").arg(o.Type)};
    if (!o.Generate.UseCheckSum) args << QStringLiteral("--no-check-digit");
    if (o.Action == TCliAction::Pattern) {
        args << QStringLiteral("--pattern");
    } else {
        if (!o.Generate.ShowText) args << QStringLiteral("--no-text");
        args << QStringLiteral("--border=%1").arg(o.Generate.Border);
        // Only a box asked for refuses a symbol too wide for it.
        if (o.SizeGiven)
            args << QStringLiteral("--size=%1x%2").arg(o.Generate.Width).arg(o.Generate.Height);
        args << QStringLiteral("--dpi=%1").arg(o.Dpi) << QStringLiteral("--output=") + o.Output
             << QStringLiteral("--format=") + o.Format.toLower();
    }
    return args << QStringLiteral("--") << o.Code;
}

} // namespace

FUZZ_TARGET(cli_options) {
    const QStringList args =
        QString::fromUtf8(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size))
            .split(u'\n');
    const TCliParse r = ParseCliArguments(args);
    const TCliParse again = ParseCliArguments(args);
    FUZZ_CHECK(again.Error == r.Error && (!r.Error.isEmpty() || Same(again.Options, r.Options)),
               Utf8(args));
    if (!r.Error.isEmpty()) return;

    const TCliOptions& o = r.Options;
    if (o.Action != TCliAction::Generate && o.Action != TCliAction::Pattern) return;
    FUZZ_CHECK(o.Type >= 0 && o.Type < bcTypeUndefined, Utf8(args));
    FUZZ_CHECK(o.Generate.Border >= 0 && o.Generate.Border <= GenerateMaxBorder, Utf8(args));
    FUZZ_CHECK(o.Dpi >= 1 && o.Dpi <= CliMaxDpi, Utf8(args));
    FUZZ_CHECK(GenerateBoxProblem(o.Generate).empty(), Utf8(args));
    if (o.Action == TCliAction::Generate) {
        FUZZ_CHECK(!o.Output.isEmpty(), Utf8(args));
        static const QStringList formats = {QStringLiteral("PNG"), QStringLiteral("BMP"),
                                            QStringLiteral("JPEG"), QStringLiteral("SVG"),
                                            QStringLiteral("PDF")};
        FUZZ_CHECK(formats.contains(o.Format), Utf8(args) + " -> " + o.Format.toStdString());
    } else {
        FUZZ_CHECK(o.Output.isEmpty() && o.Format.isEmpty(), Utf8(args));
    }
    const QStringList ours = CommandLine(o);
    const TCliParse back = ParseCliArguments(ours);
    FUZZ_CHECK(back.Error.isEmpty(),
               Utf8(args) + " written as " + Utf8(ours) + ": " + back.Error.toStdString());
    FUZZ_CHECK(Same(back.Options, o), Utf8(args) + " written as " + Utf8(ours));
}
