#include "cli/CliOptions.h"

#include <algorithm>
#include <cstdint>
#include <getopt.h>
#include <mutex>
#include <optional>
#include <sched.h>
#include <span>
#include <thread>
#include <utility>

#include "cli/CliOptionTable.h"
#include "cli/PrintArguments.h"
#include "cli/TypeNames.h"
#include "engine/BarcodeError.h"
#include "picture/PictureFormats.h"

namespace {

std::string Dashed(std::string_view longName) {
    return "--" + std::string(longName);
}

// What the arguments hold, option by option, before any value is checked.
struct TScan {
    std::vector<std::vector<std::string>> Values; // by row of CliOptionRows, in the order given
    std::vector<bool> Set;
    std::vector<std::string> Positional;
    std::vector<std::u16string> Unknown; // names as given, each once, in order
    std::string Error;                   // a value missing or one a switch cannot take; the last
};

void AddUnknown(TScan& scan, std::u16string name) {
    if (std::find(scan.Unknown.begin(), scan.Unknown.end(), name) == scan.Unknown.end())
        scan.Unknown.push_back(std::move(name));
}

// The name of a long option as written: between "--" and "=".
std::string_view LongName(std::string_view arg) {
    arg.remove_prefix(2);
    return arg.substr(0, arg.find('='));
}

// getopt_long's val for a long option: its row plus this, above every letter.
constexpr int LongOptionBase = 256;

// The arguments as getopt_long takes them: the program's name first, a null
// pointer after the last. getopt_long hands a value back as a pointer into
// these texts: whether it came joined to its option is told by its address.
class TArgv {
public:
    explicit TArgv(const std::vector<std::string>& args) : words{"barcodegen-cli"} {
        words.insert(words.end(), args.begin(), args.end());
        for (std::string& w : words)
            pointers.push_back(w.data());
        pointers.push_back(nullptr);
    }
    TArgv(const TArgv&) = delete;
    TArgv& operator=(const TArgv&) = delete;
    int Count() const { return int(words.size()); }
    char** Data() { return pointers.data(); }
    const char* operator[](int i) const { return pointers[std::size_t(i)]; }

private:
    std::vector<std::string> words;
    std::vector<char*> pointers;
};

// The option table as getopt_long reads it.
class TGetoptTable {
public:
    explicit TGetoptTable(std::span<const TCliOptionRow> rows) {
        names.reserve(rows.size()); // longs point into the names
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].Short)
                shorts.append(1, rows[i].Short).append(rows[i].Value.empty() ? "" : ":");
            names.emplace_back(rows[i].Long);
            longs.push_back({names.back().c_str(),
                             rows[i].Value.empty() ? no_argument : required_argument, nullptr,
                             LongOptionBase + int(i)});
        }
        longs.push_back({nullptr, 0, nullptr, 0});
    }
    TGetoptTable(const TGetoptTable&) = delete;
    TGetoptTable& operator=(const TGetoptTable&) = delete;
    const char* Shorts() const { return shorts.c_str(); }
    const option* Longs() const { return longs.data(); }

private:
    // "-": every CODE is handed over in its place (whatever POSIXLY_CORRECT
    // says), ":": a missing value is told apart from an unknown option.
    std::string shorts = "-:";
    std::vector<std::string> names;
    std::vector<option> longs;
};

// An unknown letter of a group (-xyz) comes byte by byte: a character of
// several bytes is put together again, and named per UTF-16 unit, as the
// messages have always counted characters.
class TUnknownLetters {
public:
    explicit TUnknownLetters(TScan& into) : scan(into) {}
    void Add(unsigned char byte) {
        if (byte < 0x80 || (byte & 0xC0) != 0x80) Flush();
        pending += char(byte);
        if (byte < 0x80) Flush();
    }
    void Flush() {
        if (pending.empty()) return;
        for (const char16_t unit : FromUtf8(pending))
            AddUnknown(scan, std::u16string(1, unit));
        pending.clear();
    }

private:
    TScan& scan;
    std::string pending;
};

// One pass of getopt_long over the arguments. Its state is in globals: the
// caller holds the lock while it runs.
class TScanner {
public:
    explicit TScanner(const std::vector<std::string>& args)
        : rows(CliOptionRows()), argv(args), table(rows), letters(scan) {
        scan.Values.resize(rows.size());
        scan.Set.resize(rows.size());
    }

    TScan Run() {
        optind = 0; // a full restart of glibc's scanner
        opterr = 0;
        while (Step()) {
        }
        return std::move(scan);
    }

private:
    std::span<const TCliOptionRow> rows;
    TScan scan;
    TArgv argv;
    TGetoptTable table;
    TUnknownLetters letters;

    // One result of getopt_long; false at the end.
    bool Step() {
        const int c =
            getopt_long(argv.Count(), argv.Data(), table.Shorts(), table.Longs(), nullptr);
        // optopt: a letter (a byte above 0x7F is negative), 0 for a long name,
        // or LongOptionBase + its row.
        if (c == '?' && optopt != 0 && optopt < LongOptionBase) {
            letters.Add(static_cast<unsigned char>(optopt));
            return true;
        }
        letters.Flush();
        if (c == -1) { // at the end, or after "--": the rest is CODEs
            for (int i = optind; i < argv.Count(); ++i)
                scan.Positional.emplace_back(argv[i]);
            return false;
        }
        if (c == 1)
            scan.Positional.emplace_back(optarg);
        else if (c == '?')
            UnknownLong(argv[optind - 1]);
        else if (c == ':')
            MissingValue(argv[optind - 1]);
        else
            Option(c, argv[optind - 1]);
        return true;
    }

    // An unknown long name, one that is only the start of names, or a value
    // after a switch.
    void UnknownLong(std::string_view element) {
        const std::string_view name = LongName(element);
        const int row = optopt - LongOptionBase;
        if (row >= 0 && std::size_t(row) < rows.size() && name == rows[std::size_t(row)].Long)
            scan.Error = "Unexpected value after '" + Dashed(name) + "'.";
        else
            AddUnknown(scan, FromUtf8(name));
    }

    // optopt: the letter or LongOptionBase + the row.
    void MissingValue(std::string_view element) {
        const bool isLong = element.starts_with("--");
        if (isLong && optopt >= LongOptionBase &&
            LongName(element) != rows[std::size_t(optopt - LongOptionBase)].Long) {
            AddUnknown(scan, FromUtf8(LongName(element)));
            return;
        }
        scan.Error = "Missing value after '" + std::string(element) + "'.";
    }

    // A known option, by letter or by long name, with its value if it takes one.
    void Option(int c, std::string_view element) {
        std::size_t row = 0;
        if (c >= LongOptionBase) {
            row = std::size_t(c - LongOptionBase);
            // The option's own argument: the one before its value when that came apart.
            const bool valueApart = optarg && optarg == argv[optind - 1];
            const std::string_view given = valueApart ? argv[optind - 2] : element;
            if (LongName(given) != rows[row].Long) { // an abbreviation
                AddUnknown(scan, FromUtf8(LongName(given)));
                if (valueApart) --optind; // the next argument was no value of ours
                return;
            }
        } else {
            while (rows[row].Short != c)
                ++row;
        }
        scan.Set[row] = true;
        if (!optarg) return;
        std::string_view value = optarg;
        // A value joined to its letter may be joined by '=' too: -o=x.png.
        if (c < LongOptionBase && optarg != argv[optind - 1] && value.starts_with('='))
            value.remove_prefix(1);
        scan.Values[row].emplace_back(value);
    }
};

// getopt_long over the table. It keeps its state in globals, hence the lock;
// the fuzzer and the tests parse from several places.
TScan Scan(const std::vector<std::string>& args) {
    static std::mutex getoptLock;
    TScanner scanner(args);
    const std::lock_guard lock(getoptLock);
    return scanner.Run();
}

class TParser {
public:
    explicit TParser(const TScan& scanned) : scan(scanned) {}
    bool IsSet(std::string_view longName) const { return scan.Set[Row(longName)]; }
    const std::vector<std::string>& Values(std::string_view longName) const {
        return scan.Values[Row(longName)];
    }
    const std::vector<std::string>& Positional() const { return scan.Positional; }

private:
    const TScan& scan;
    static std::size_t Row(std::string_view longName) {
        const auto rows = CliOptionRows();
        return std::size_t(FindCliOption(longName) - rows.data());
    }
};

// A negative number, a part number like "-5901" or any text that begins with
// '-' reads as options. A word after a single dash whose first letter is no
// option of ours was most likely meant as the CODE.
std::string DashCodeHint(const std::vector<std::string>& args) {
    const auto rows = CliOptionRows();
    bool value = false; // arg is the value of the option before it
    for (const std::string& arg : args) {
        if (std::exchange(value, false)) continue;
        if (arg == "--") return {};
        if (arg.size() < 2 || arg[0] != '-') continue;
        if (arg[1] == '-') {
            const TCliOptionRow* row = FindCliOption(std::string_view(arg).substr(2));
            value = row && !row->Value.empty();
            continue;
        }
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const TCliOptionRow& r) {
            return r.Short && arg[1] == r.Short;
        });
        if (row == rows.end())
            return "hint: -- ends the options; put it before a CODE that begins with '-': -- " +
                   ForMessage(arg);
        value = !row->Value.empty() && arg.size() == 2;
    }
    return {};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The one value of an option given once or more; every value must say the same.
// parse turns a text into the value, or gives nullopt with a message in why.
template <class T, class Parse>
bool OneValue(const TParser& parser, std::string_view name, Parse parse, T& into,
              std::string& error) {
    const std::string option = Dashed(name);
    std::optional<T> first;
    std::string firstText;
    for (const std::string& text : parser.Values(name)) {
        std::string why;
        const std::optional<T> v = parse(text, why);
        if (!v) {
            error = option + " '" + ForMessage(text) + "': " + why;
            return false;
        }
        if (first && !(*first == *v)) {
            error = option + " given twice with different values ('" + ForMessage(firstText) +
                    "' and '" + ForMessage(text) + "')";
            return false;
        }
        if (!first) firstText = text;
        first = v;
    }
    if (first) into = *first;
    return true;
}

auto IntIn(int low, int high) {
    return [low, high](const std::string& text, std::string& why) -> std::optional<int> {
        const std::optional<int> n = ParseCliInt(text);
        if (n && *n >= low && *n <= high) return n;
        why = "takes a number from " + std::to_string(low) + " to " + std::to_string(high);
        return std::nullopt;
    };
}

std::optional<int> TypeValue(const std::string& text, std::string& why) {
    const std::optional<int> t = ParseBarcodeType(text);
    if (!t) why = "no such symbology (see --list-types)";
    return t;
}

// "600x400": up to nine digits a side, blanks around the parts allowed.
std::optional<std::pair<int, int>> SizeValue(const std::string& text, std::string& why) {
    const auto digits = [](std::string_view s) {
        std::optional<int> n;
        if (s.empty() || s.size() > 9 ||
            !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return n;
        n = 0;
        for (char c : s)
            *n = *n * 10 + (c - '0');
        return n;
    };
    const std::string_view t = text;
    const std::size_t x = t.find_first_of("xX");
    if (x != std::string_view::npos) {
        const std::optional<int> w = digits(Trimmed(t.substr(0, x)));
        const std::optional<int> h = digits(Trimmed(t.substr(x + 1)));
        if (w && h) return std::pair{*w, *h};
    }
    why = "takes a width and a height in pixels, such as 600x400";
    return std::nullopt;
}

std::optional<std::string> FormatValue(const std::string& text, std::string& why) {
    if (const TPictureFormat* format = PictureFormatOfExtension(text))
        return std::string(format->Name);
    why = "takes png, bmp, jpg, svg or pdf";
    return std::nullopt;
}

// A file name, or "-" for the standard stream dash names ("standard output").
auto FileName(const char* dash) {
    return [dash](const std::string& text, std::string& why) -> std::optional<std::string> {
        if (!text.empty()) return text;
        why = "needs a file name (or - for " + std::string(dash) + ")";
        return std::nullopt;
    };
}

// The options that end parsing early (--help, --version, --list-types) and
// --pattern's conflicts. True when parsing is over: the action is set or
// error is.
bool ParseAction(const TParser& parser, TCliOptions& o, std::string& error) {
    for (const auto& [name, action] :
         {std::pair{"help", TCliAction::Help}, std::pair{"version", TCliAction::Version}}) {
        if (!parser.IsSet(name)) continue;
        o.Action = action;
        return true;
    }
    if (parser.IsSet("list-types")) {
        o.Action = TCliAction::ListTypes;
        for (const TCliOptionRow& r : CliOptionRows())
            if (r.Long != "list-types" && parser.IsSet(r.Long)) {
                error = "--list-types takes no other option, not " + Dashed(r.Long);
                return true;
            }
        if (!parser.Positional().empty()) error = "--list-types takes no CODE";
        return true;
    }
    if (!parser.IsSet("pattern")) return false;
    o.Action = TCliAction::Pattern;
    for (const TCliOptionRow& r : CliOptionRows())
        if (r.Draws && parser.IsSet(r.Long)) {
            error = "--pattern draws nothing: " + Dashed(r.Long) + " does not go with it";
            return true;
        }
    return false;
}

// The values and switches; format gets --format's value.
std::string ParseValues(const TParser& parser, TCliOptions& o, std::string& format) {
    if (parser.IsSet("border") && parser.IsSet("no-border"))
        return "--no-border contradicts --border";
    std::string error;
    std::pair<int, int> size(o.Generate.Width, o.Generate.Height);
    if (!OneValue(parser, "type", TypeValue, o.Type, error) ||
        !OneValue(parser, "border", IntIn(0, GenerateMaxBorder), o.Generate.Border, error) ||
        !OneValue(parser, "size", SizeValue, size, error) ||
        !OneValue(parser, "dpi", IntIn(1, CliMaxDpi), o.Dpi, error) ||
        !OneValue(parser, "output", FileName("standard output"), o.Output, error) ||
        !OneValue(parser, "format", FormatValue, format, error) ||
        !OneValue(parser, "batch", FileName("standard input"), o.Batch, error) ||
        !OneValue(parser, "jobs", IntIn(1, CliMaxJobs), o.Jobs, error))
        return error;
    o.Verify = parser.IsSet("verify");
    const bool batch = !o.Batch.empty();
    if (parser.IsSet("jobs") && !batch)
        return "--jobs goes with --batch: a single CODE is drawn on one thread";
    if (batch && !parser.IsSet("jobs")) o.Jobs = std::clamp(CliCoreCount(), 1, CliMaxJobs);
    o.Generate.UseCheckSum = !parser.IsSet("no-check-digit");
    o.Generate.ShowText = !parser.IsSet("no-text");
    if (parser.IsSet("no-border")) o.Generate.Border = 0;
    o.SizeGiven = parser.IsSet("size");
    o.Generate.Width = size.first;
    o.Generate.Height = size.second;
    const std::string box = GenerateBoxProblem(o.Generate);
    if (!box.empty()) return "--size: " + box;
    return {};
}

// The one CODE, or none with --batch.
std::string ParseCodes(const std::vector<std::string>& codes, TCliOptions& o) {
    if (o.Batch.empty()) {
        if (codes.empty()) return "no CODE given";
        if (codes.size() > 1)
            return "more than one CODE given ('" + ForMessage(codes[0]) + "' and '" +
                   ForMessage(codes[1]) + "'); quote a code with blanks";
        o.Code = codes[0];
        return {};
    }
    if (!codes.empty())
        return "--batch reads its codes from " + ForMessage(o.Batch) + ": no CODE goes with it ('" +
               ForMessage(codes[0]) + "')";
    if (o.Output.empty()) return "--batch needs --output PATTERN, such as out/#####.png";
    if (o.Output == "-")
        return "--batch writes a file per code: --output takes a name PATTERN, not -";
    return {};
}

// The picture's format: --format's (format, already checked), the file name's, or PNG for -.
std::string ParseFormat(const TParser& parser, TCliOptions& o, const std::string& format) {
    if (o.Output.empty())
        return "nothing to do: give --output FILE (- for standard output) or --pattern";
    if (o.Output == "-") {
        o.Format = format.empty() ? "PNG" : format;
        return {};
    }
    const TPictureFormat* named = PictureFormatOfFile(o.Output);
    const std::string byName(named ? named->Name : std::string_view());
    if (!format.empty() && !byName.empty() && format != byName)
        return "--format " + ForMessage(parser.Values("format").back()) +
               " contradicts the file name " + ForMessage(o.Output);
    o.Format = format.empty() ? byName : format;
    if (o.Format.empty())
        return ForMessage(o.Output) +
               ": unknown picture format (use .png, .bmp, .jpg, .svg or .pdf, or give --format)";
    return {};
}

// The print-size options, once the format is known (BMP and JPEG take no transparency).
std::string ParsePrint(const TParser& parser, TCliOptions& o) {
    const auto text = [](const std::string& t, std::string&) -> std::optional<std::string> {
        return t;
    };
    TPrintArguments a;
    std::string error;
    const std::pair<const char*, std::optional<std::string>*> values[] = {
        {"xdim", &a.XDim},          {"height", &a.Height},    {"quiet-zone", &a.QuietZone},
        {"text-size", &a.TextSize}, {"text-gap", &a.TextGap}, {"fg", &a.Foreground},
        {"bg", &a.Background},      {"rotate", &a.Rotate}};
    for (const auto& [name, into] : values) {
        std::string value;
        if (!parser.IsSet(name)) continue;
        if (!OneValue(parser, name, text, value, error)) return error;
        *into = value;
    }
    a.NoQuietZone = parser.IsSet("no-quiet-zone");
    a.QuietZoneMarks = parser.IsSet("quiet-zone-marks");
    TPrintContext context;
    context.Dpi = o.Dpi;
    context.SizeGiven = o.SizeGiven;
    context.BorderGiven = parser.IsSet("border") || parser.IsSet("no-border");
    context.Format = o.Format;
    o.Generate.Print = PrintOptionsOf(a, context, error);
    return error;
}

// The checks go in this order, so that a command line with several faults
// is told of the same one every time.
std::string ParseInto(const TParser& parser, TCliOptions& o) {
    std::string error;
    if (ParseAction(parser, o, error)) return error;
    std::string format;
    error = ParseValues(parser, o, format);
    if (error.empty()) error = ParseCodes(parser.Positional(), o);
    if (!error.empty() || o.Action == TCliAction::Pattern) return error;
    error = ParseFormat(parser, o, format);
    if (!error.empty()) return error;
    return ParsePrint(parser, o);
}

} // namespace

std::string ForMessage(std::string_view utf8) {
    return TextForMessage(FromUtf8(utf8));
}

int CliCoreCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
    return std::max(int(std::thread::hardware_concurrency()), 1);
}

TCliParse ParseCliArguments(const std::vector<std::string>& args) {
    TCliParse result;
    const TScan scan = Scan(args);
    if (!scan.Unknown.empty()) {
        // A pasted text of thousands of characters gives as many unknown
        // options: the list is quoted like any other text.
        if (scan.Unknown.size() == 1) {
            result.Error = "Unknown option '" + TextForMessage(scan.Unknown[0]) + "'.";
        } else {
            std::u16string list;
            for (const std::u16string& name : scan.Unknown)
                list.append(list.empty() ? u"" : u", ").append(name);
            result.Error = "Unknown options: " + TextForMessage(list) + ".";
        }
        result.Hint = DashCodeHint(args);
        return result;
    }
    if (!scan.Error.empty()) {
        result.Error = scan.Error;
        return result;
    }
    result.Error = ParseInto(TParser(scan), result.Options);
    return result;
}
