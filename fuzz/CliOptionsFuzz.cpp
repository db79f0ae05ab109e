// The command-line option parsing (ParseCliArguments) on any argument list,
// one argument a line, in any bytes. What must hold: options that parse are
// in range and complete for their action, and written back as a command line
// of our own they parse to the same options.
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace {

std::string Joined(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args)
        s.append(s.empty() ? "" : " | ").append(a);
    return s;
}

bool Same(const TCliOptions& a, const TCliOptions& b) {
    return a.Action == b.Action && a.Type == b.Type &&
           a.Generate.UseCheckSum == b.Generate.UseCheckSum &&
           a.Generate.ShowText == b.Generate.ShowText && a.Generate.Border == b.Generate.Border &&
           a.Generate.Width == b.Generate.Width && a.Generate.Height == b.Generate.Height &&
           a.SizeGiven == b.SizeGiven && a.Dpi == b.Dpi && a.Output == b.Output &&
           a.Format == b.Format && a.Code == b.Code;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// The options as we would write them: every value given (the box only when it
// was), the code after "--".
std::vector<std::string> CommandLine(const TCliOptions& o) {
    std::vector<std::string> args{"--type=" + std::to_string(o.Type)};
    if (!o.Generate.UseCheckSum) args.push_back("--no-check-digit");
    if (o.Action == TCliAction::Pattern) {
        args.push_back("--pattern");
    } else {
        if (!o.Generate.ShowText) args.push_back("--no-text");
        args.push_back("--border=" + std::to_string(o.Generate.Border));
        // Only a box asked for refuses a symbol too wide for it.
        if (o.SizeGiven)
            args.push_back("--size=" + std::to_string(o.Generate.Width) + "x" +
                           std::to_string(o.Generate.Height));
        args.push_back("--dpi=" + std::to_string(o.Dpi));
        args.push_back("--output=" + o.Output);
        args.push_back("--format=" + Lower(o.Format));
    }
    args.push_back("--");
    args.push_back(o.Code);
    return args;
}

} // namespace

FUZZ_TARGET(cli_options) {
    std::vector<std::string> args{""};
    for (std::size_t i = 0; i < Size; ++i) {
        if (Data[i] == '\n')
            args.emplace_back();
        else
            args.back() += char(Data[i]);
    }
    const TCliParse r = ParseCliArguments(args);
    const TCliParse again = ParseCliArguments(args);
    FUZZ_CHECK(again.Error == r.Error && (!r.Error.empty() || Same(again.Options, r.Options)),
               Joined(args));
    if (!r.Error.empty()) return;

    const TCliOptions& o = r.Options;
    if (o.Action != TCliAction::Generate && o.Action != TCliAction::Pattern) return;
    FUZZ_CHECK(o.Type >= 0 && o.Type < bcTypeUndefined, Joined(args));
    FUZZ_CHECK(o.Generate.Border >= 0 && o.Generate.Border <= GenerateMaxBorder, Joined(args));
    FUZZ_CHECK(o.Dpi >= 1 && o.Dpi <= CliMaxDpi, Joined(args));
    FUZZ_CHECK(GenerateBoxProblem(o.Generate).empty(), Joined(args));
    if (o.Action == TCliAction::Generate) {
        FUZZ_CHECK(!o.Output.empty(), Joined(args));
        static const std::vector<std::string> formats = {"PNG", "BMP", "JPEG", "SVG", "PDF"};
        FUZZ_CHECK(std::find(formats.begin(), formats.end(), o.Format) != formats.end(),
                   Joined(args) + " -> " + o.Format);
    } else {
        FUZZ_CHECK(o.Output.empty() && o.Format.empty(), Joined(args));
    }
    const std::vector<std::string> ours = CommandLine(o);
    const TCliParse back = ParseCliArguments(ours);
    FUZZ_CHECK(back.Error.empty(),
               Joined(args) + " written as " + Joined(ours) + ": " + back.Error);
    FUZZ_CHECK(Same(back.Options, o), Joined(args) + " written as " + Joined(ours));
}
