#include "cli/CliOptionTable.h"

#include <algorithm>
#include <vector>

namespace {

using G = TCliOptionGroup;

constexpr TCliOptionRow Rows[] = {
    {"type", 't', "NAME|INDEX", G::Symbol, false,
     "Symbology: a name or index of --list-types (default CodeEAN13).",
     "-t ean-13 -o x.png 590123412345\n-t 3 -o x.png ABC-123\n"
     "-t gs1-128 -o x.png '(01)09520123456788(10)ABC123'"},
    {"no-check-digit", 0, "", G::Symbol, false,
     "Add no check digit (EAN-8, EAN-13 and UPC-A then verify the last digit).",
     "-t EAN8 --no-check-digit -o x.png 96385074"},
    {"no-text", 0, "", G::Picture, true, "Do not print the code under the bars.",
     "--no-text -o x.png 590123412345"},
    {"border", 0, "N", G::Picture, true, "White border of N pixels, 0 to 30 (default 10).",
     "--border 4 -o x.png 590123412345"},
    {"no-border", 0, "", G::Picture, true, "No border.", "--no-border -o x.png 590123412345"},
    {"size", 0, "WxH", G::Picture, true,
     "Fit the symbol into a box of W x H pixels (default 300x200).",
     "--size 1200x800 -o x.png 590123412345"},
    {"dpi", 0, "N", G::Picture, true, "Resolution written into the file, 1 to 10000 (default 96).",
     "--dpi 300 -o x.pdf 590123412345"},
    {"xdim", 0, "LENGTH", G::Print, true,
     "Draw at this X-dimension, the narrowest bar: 0.33mm, 13mil, 0.013in, 1pt or 4dot (px), "
     "as whole dots at --dpi, with the standard's quiet zones. The options below need it.",
     "--xdim 0.33mm --dpi 300 -o x.png 590123412345\n"
     "--xdim 10mil --dpi 300 -t code128b -o x.pdf ABC-123"},
    {"height", 0, "LENGTH", G::Print, true,
     "Bar height: a length, or Nx for N modules (default: EAN/UPC by their standard, others "
     "15 % of the symbol's width but at least 6.35mm).",
     "--xdim 10mil --dpi 300 --height 12mm -t code128b -o x.png ABC-123\n"
     "--xdim 0.33mm --height 50x -o x.png 590123412345"},
    {"quiet-zone", 0, "N", G::Print, true,
     "Quiet zones of N modules left and right, in place of the standard's.",
     "--xdim 0.33mm --quiet-zone 12 -o x.png 590123412345"},
    {"no-quiet-zone", 0, "", G::Print, true, "No quiet zones: the picture ends at the bars.",
     "--xdim 0.33mm --no-quiet-zone -o x.png 590123412345"},
    {"quiet-zone-marks", 0, "", G::Print, true,
     "Print the < and > quiet-zone marks of EAN-8 and EAN-13.",
     "--xdim 0.33mm --quiet-zone-marks -o x.png 590123412345"},
    {"text-size", 0, "LENGTH", G::Print, true,
     "Size of the text's font (default: EAN/UPC digits 8.3 modules high, other texts a font of "
     "10 modules).",
     "--xdim 10mil --text-size 8pt -t code128b -o x.png ABC-123"},
    {"text-gap", 0, "LENGTH", G::Print, true,
     "Space between the bars and the text line (default 0).",
     "--xdim 10mil --text-gap 0.5mm -t code128b -o x.png ABC-123"},
    {"fg", 0, "COLOUR", G::Print, true,
     "Colour of bars and text: #RRGGBB, #RRGGBBAA or a CSS name (default black).",
     "--xdim 0.33mm --fg navy -o x.png 590123412345"},
    {"bg", 0, "COLOUR", G::Print, true,
     "Colour of the ground (default white); transparent for PNG, SVG and PDF.",
     "--xdim 0.33mm --bg transparent -o x.png 590123412345\n"
     "--xdim 0.33mm --fg '#202020' --bg '#FFFFE0' -o x.jpg 590123412345"},
    {"rotate", 0, "DEGREES", G::Print, true,
     "Turn the picture 0, 90, 180 or 270 degrees clockwise.",
     "--xdim 0.33mm --rotate 90 -o x.png 590123412345"},
    {"output", 'o', "FILE", G::Output, true, "Write the picture to FILE; - is standard output.",
     "-o label.svg 590123412345\n-o - 590123412345"},
    {"format", 'f', "FORMAT", G::Output, true,
     "png, bmp, jpg, svg or pdf (default: by the file name; png for -).",
     "-o - -f pdf 590123412345"},
    {"verify", 0, "", G::Output, true, "Read every picture back with ZXing-C++ before writing it.",
     "--verify -o x.png 590123412345"},
    {"batch", 0, "FILE", G::Batch, true,
     "Draw every non-empty line of FILE (- is standard input); -o gives the name pattern.",
     "--batch codes.txt -o 'out/#####.png'"},
    {"jobs", 0, "N", G::Batch, true,
     "Draw a batch on N threads, 1 to 64 (default: the number of cores).",
     "--batch codes.txt --jobs 2 -o 'out/#####.png'"},
    {"pattern", 0, "", G::Instead, false,
     "Print the encoded text and the bar pattern; draw nothing.",
     "--pattern -t Code93Extended 'a b'"},
    {"list-types", 0, "", G::Instead, false,
     "Print the symbologies: index, names, digits or text, check or no-check, what each takes.",
     "--list-types"},
    {"help", 'h', "", G::Instead, false, "Print the usage, the options and the notes on them.",
     "--help"},
    {"version", 'v', "", G::Instead, false, "Print the version.", "--version"},
};

constexpr std::string_view GroupTitle(TCliOptionGroup g) {
    switch (g) {
    case G::Symbol:
        return "The symbol";
    case G::Picture:
        return "The picture";
    case G::Print:
        return "Labels at a print size";
    case G::Output:
        return "Output";
    case G::Batch:
        return "A batch";
    case G::Instead:
        return "Instead of a picture";
    }
    return "";
}

// The ways to call the program, after its name.
constexpr std::string_view Synopses[] = {"[options] CODE", "[options] --batch FILE -o PATTERN"};
constexpr std::string_view Description =
    "Draws CODE as a barcode picture, exactly as the window's Generate does.";

constexpr std::string_view Notes = R"(
Put -- before a CODE that begins with '-'. An empty CODE is refused, and so is
one of blanks only for a type that takes digits.

Output: -o FILE writes the picture in the format of --format or of the file
name's extension (.png, .bmp, .jpg, .svg, .pdf); -o - writes it to standard
output (PNG unless --format says otherwise). PNG and BMP files take the fewest
bits per pixel that keep every pixel; JPEG is written at quality 100. In SVG
one pixel of the picture is one user unit; a PDF page is the picture's size at
--dpi rounded up to whole points; both draw the text as outlines and need no
font. A file that exists is replaced only by a complete new one, with its
permission bits.

--size WxH fits the symbol into a W x H box as the window fits it into
300 x 200: the bars fill the box less three borders as far as whole-pixel
modules allow, and the picture is cropped to the symbol plus border. A symbol
too wide for the box even with modules of one pixel is refused (without --size
it is drawn wider than 300 pixels, as the window draws it).

--xdim LENGTH draws a label at a print size instead of the window's picture:
the module is the whole number of dots nearest to LENGTH at --dpi (a line on
standard error says so when that is more than 5 % off), and the quiet zones
are those of the symbology's standard, in modules: EAN-13 11 and 7, EAN-8 7
and 7, UPC-A 9 and 9, UPC-E 9 and 7, 5 after an add-on, Code 128, Code 39,
Code 93, two of five and Codabar 10, MSI 12, PostNet an eighth of an inch
(ITF-14 keeps its own inside its bearer bars). Lengths take mm, mil, in, pt,
px or dot. The bars must be darker than the ground with a symbol contrast of
at least 40 %, in daylight and in a laser scanner's red light; BMP and JPEG
keep no transparency. PNG, BMP and JPEG are drawn at --dpi, SVG and PDF are
sized in millimetres with the bars on whole dots. --xdim does not go with
--size, --border or --no-border.

--pattern prints two lines: the text the symbol encodes, with a backslash shown
as \\ and control characters as \t, \r, \n or \xHH, and the bar pattern, one
character per element ("0"-"3" spaces, "5"-"8" bars, "A"-"D" short bars, of
width class 0-3).

--list-types prints two lines per symbology. The first holds its index, its
name, "digits" or "text" (what the code may hold), "check" or "no-check"
(whether a check character is added by default) and the names other tools'
users give it; the second, indented, says what the code takes.
Types are named by --list-types names, by the names the messages use (EAN13,
UPC_E0) or by those other tools use (ean-13, upc, itf, codabar, code128,
gs1-128, sscc-18, itf-14), in any case, with "-", "_" and blanks ignored, or
by index (0 to 22 are the window's list, 24 to 27 came later).

GS1-128 (and EAN-128 A, B and C) take application identifiers in brackets,
(01)09520123456788(10)ABC123 or [01]...; each element is checked (the AI
known, its length, characters, check digit, date) and a refusal names the AI.
EAN-8, EAN-13, UPC-A and UPC-E take a 2- or 5-digit add-on after a "+"
(9780306406157+51299).

--batch FILE draws every non-empty line of FILE (- for standard input; LF or
CR LF line ends; UTF-8) as one code with the same options, exactly as a single
run draws it. -o PATTERN names the files: a run of '#' in the file name becomes
the line number, zero-padded to the run's length (out/#####.png gives
out/00001.png); without '#' the number goes before the extension (label.png
gives label1.png). A '#' in a folder name is kept as it is, and a missing
folder stops the batch before it starts. A refused line prints
"line N: MESSAGE" and writes no file; the other lines are still written,
whatever lines are refused. Each file appears whole or not at all. On a
terminal a progress line shows while more than a second of work is left.

--verify reads every file back as it is written (SVG and PDF rendered) with
ZXing-C++ and refuses one that does not read as the code it encodes: GS1 data
element by element (the identifier ]C1, a GS after every element of variable
length), an add-on apart from its symbol, ITF-14 with its check digit. Types
the decoder cannot read (MSI, PostNet, two of five industrial and matrix, the
UPC supplements) are written and reported once as not verifiable.

After a refused code a line beginning "hint:" may follow the message. Messages
quote at most 60 characters of a code, a value or a file name: a longer one is
shown by its start and its end around an ellipsis.
)";

constexpr std::string_view ExitStatus =
    R"(0 done, 1 the code (or a line of the batch) was refused or a file
not written, 2 usage error.
)";

constexpr std::size_t HelpWidth = 79;
// Option names longer than this put their description on the next line.
constexpr std::size_t MaxNamesColumn = 30;

// "-o, --output FILE" or "    --no-text", as --help lists an option.
std::string HelpNames(const TCliOptionRow& r) {
    std::string s = r.Short ? std::string{'-', r.Short, ',', ' '} : std::string(4, ' ');
    s.append("--").append(r.Long);
    if (!r.Value.empty()) s.append(" ").append(r.Value);
    return s;
}

// The non-empty pieces of text between the separators.
std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// text's words in lines of at most width characters (a longer word gets a line of its own).
std::vector<std::string> Wrapped(std::string_view text, std::size_t width) {
    std::vector<std::string> lines;
    for (std::string_view word : Split(text, ' ')) {
        if (!lines.empty() && lines.back().size() + 1 + word.size() <= width)
            lines.back().append(" ").append(word);
        else
            lines.emplace_back(word);
    }
    return lines;
}

void AppendOptionHelp(std::string& out, const TCliOptionRow& r, std::size_t column) {
    std::string names = "  " + HelpNames(r);
    const std::vector<std::string> lines = Wrapped(r.Help, HelpWidth - column);
    if (names.size() + 2 > column) {
        out.append(names).append("\n");
        names.clear();
    }
    for (const std::string& line : lines) {
        names.resize(column, ' ');
        out.append(names).append(line).append("\n");
        names.clear();
    }
}

// A word of help text that names an option (or standard input or output):
// set as code in Markdown.
bool NamesOption(std::string_view word) {
    if (word == "-" || word == "--") return true;
    if (word.starts_with("--")) return FindCliOption(word.substr(2)) != nullptr;
    return word.size() == 2 && word[0] == '-' &&
           std::any_of(std::begin(Rows), std::end(Rows),
                       [&](const TCliOptionRow& r) { return r.Short && r.Short == word[1]; });
}

// A table cell: a '|' would end it.
std::string Cell(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c == '|') s += '\\';
        s += c;
    }
    return s;
}

// open, text and close in one string. Not "literal" + std::string: GCC 12
// at -O3 warns of an overlapping copy there (a false alarm, but -Werror).
std::string Enclosed(std::string_view open, std::string_view text, std::string_view close) {
    std::string s;
    s.reserve(open.size() + text.size() + close.size());
    return s.append(open).append(text).append(close);
}

std::string Code(std::string_view text) {
    return Enclosed("`", Cell(text), "`");
}

std::string MarkdownHelp(std::string_view help) {
    std::string s;
    for (std::string_view word : Split(help, ' ')) {
        const std::size_t first = word.find_first_not_of('(');
        const std::size_t last = word.find_last_not_of(".,;:)");
        const bool punctuationOnly = first == std::string_view::npos || last < first;
        if (!s.empty()) s += ' ';
        if (punctuationOnly || !NamesOption(word.substr(first, last + 1 - first))) {
            s += Cell(word);
            continue;
        }
        s.append(Cell(word.substr(0, first)))
            .append(Code(word.substr(first, last + 1 - first)))
            .append(Cell(word.substr(last + 1)));
    }
    return s;
}

std::string MarkdownNames(const TCliOptionRow& r) {
    std::string s = r.Short ? Code(std::string{'-', r.Short}) + ", " : "";
    std::string name = "--" + std::string(r.Long);
    if (!r.Value.empty()) name.append(" ").append(r.Value);
    return s + Code(name);
}

std::string MarkdownExamples(std::string_view examples) {
    std::string s;
    for (std::string_view example : Split(examples, '\n'))
        s.append(s.empty() ? "" : "<br>").append(Code(example));
    return s;
}

// Where the line that is exactly marker begins in text, from from on.
std::size_t MarkerLine(std::string_view text, std::string_view marker, std::size_t from) {
    for (std::size_t at = text.find(marker, from); at != std::string_view::npos;
         at = text.find(marker, at + 1)) {
        const std::size_t end = at + marker.size();
        const bool lineStart = at == 0 || text[at - 1] == '\n';
        const bool lineEnd = end == text.size() || text[end] == '\n';
        if (lineStart && lineEnd) return at;
    }
    return std::string_view::npos;
}

// ---- the manual page

// A word of running text for roff: a backslash printed as one, and the
// hyphens of an option or a command line as minus signs (a hyphen would not
// paste into a shell).
std::string RoffWord(std::string_view word, bool code) {
    const std::size_t start = word.find_first_not_of("(\"'");
    code = code || (start != std::string_view::npos && word.substr(start).starts_with('-'));
    std::string s;
    for (char c : word) {
        if (c == '\\')
            s += "\\e";
        else if (c == '-' && code)
            s += "\\-";
        else
            s += c;
    }
    return s;
}

std::string RoffText(std::string_view text, bool code = false) {
    std::string s;
    for (std::string_view word : Split(text, ' '))
        s.append(s.empty() ? "" : " ").append(RoffWord(word, code));
    // A line that begins with a dot or a quote would be read as a request.
    if (!s.empty() && (s[0] == '.' || s[0] == '\'')) s.insert(0, "\\&");
    return s;
}

// The lines of a paragraph of --help joined into one: roff fills them itself.
std::vector<std::string> Paragraphs(std::string_view text) {
    std::vector<std::string> paragraphs;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find("\n\n", start), text.size());
        std::string p;
        for (std::string_view line : Split(text.substr(start, end - start), '\n'))
            p.append(p.empty() ? "" : " ").append(line);
        if (!p.empty()) paragraphs.push_back(p);
        start = end + 2;
    }
    return paragraphs;
}

// "[options] --batch FILE" with the options bold and the values in italics.
std::string RoffSynopsis(std::string_view synopsis) {
    std::string s = ".B barcodegen\\-cli\n";
    for (std::string_view word : Split(synopsis, ' ')) {
        if (word == "[options]")
            s += "[\\fIoptions\\fR]";
        else if (word.starts_with('-'))
            s += Enclosed("\\fB", RoffWord(word, true), "\\fR");
        else
            s += Enclosed("\\fI", RoffWord(word, true), "\\fR");
        s += ' ';
    }
    s.back() = '\n';
    return s;
}

std::string RoffNames(const TCliOptionRow& r) {
    std::string s = r.Short ? Enclosed("\\fB\\-", std::string(1, r.Short), "\\fR, ") : "";
    s += Enclosed("\\fB", RoffWord(Enclosed("--", r.Long, ""), true), "\\fR");
    if (!r.Value.empty()) s += Enclosed(" \\fI", RoffWord(r.Value, true), "\\fR");
    return s;
}

// ---- the shell completion

std::string Joined(const std::vector<std::string>& words) {
    std::string s;
    for (const std::string& w : words)
        s.append(s.empty() ? "" : " ").append(w);
    return s;
}

// "-t|--type": the names of an option as a case pattern.
std::string CasePattern(const TCliOptionRow& r) {
    std::string s = r.Short ? std::string{'-', r.Short, '|'} : "";
    return s + "--" + std::string(r.Long);
}

} // namespace

std::span<const TCliOptionRow> CliOptionRows() {
    return Rows;
}

const TCliOptionRow* FindCliOption(std::string_view longName) {
    const auto row = std::find_if(std::begin(Rows), std::end(Rows),
                                  [&](const TCliOptionRow& r) { return r.Long == longName; });
    return row == std::end(Rows) ? nullptr : row;
}

std::string CliHelpText() {
    std::size_t column = 0;
    for (const TCliOptionRow& r : Rows)
        column = std::max(column, 2 + HelpNames(r).size() + 2);
    column = std::min(column, MaxNamesColumn);
    std::string out;
    for (std::string_view synopsis : Synopses)
        out.append(out.empty() ? "Usage: " : "       ")
            .append("barcodegen-cli ")
            .append(synopsis)
            .append("\n");
    out.append(Description).append("\n");
    const TCliOptionRow* previous = nullptr;
    for (const TCliOptionRow& r : Rows) {
        if (!previous || previous->Group != r.Group)
            out.append("\n").append(GroupTitle(r.Group)).append(":\n");
        AppendOptionHelp(out, r, column);
        previous = &r;
    }
    return out.append(Notes).append("Exit status: ").append(ExitStatus);
}

std::string CliOptionsMarkdown() {
    std::string out = "| option | example | |\n|---|---|---|\n";
    for (const TCliOptionRow& r : Rows)
        out.append("| ")
            .append(MarkdownNames(r))
            .append(" | ")
            .append(MarkdownExamples(r.Examples))
            .append(" | ")
            .append(MarkdownHelp(r.Help))
            .append(" |\n");
    return out;
}

std::optional<std::string> WithCliOptionsTable(std::string_view readme) {
    const std::size_t begin = MarkerLine(readme, CliOptionsBegin, 0);
    if (begin == std::string_view::npos) return std::nullopt;
    const std::size_t inside = begin + CliOptionsBegin.size() + 1;
    if (inside > readme.size()) return std::nullopt;
    const std::size_t end = MarkerLine(readme, CliOptionsEnd, inside);
    if (end == std::string_view::npos) return std::nullopt;
    // Blank lines around the table: a marker right below it would read as a row.
    return std::string(readme.substr(0, inside)) + "\n" + CliOptionsMarkdown() + "\n" +
           std::string(readme.substr(end));
}

std::string CliManPage(std::string_view version, std::string_view date) {
    std::string out = ".\\\" Made from cli/CliOptionTable.cpp by barcodegen-cli-doc --man.\n";
    out.append(".TH BARCODEGEN\\-CLI 1 \"")
        .append(date)
        .append("\" \"barcodegen ")
        .append(version)
        .append("\" \"User Commands\"\n");
    out.append(".SH NAME\nbarcodegen\\-cli \\- draw barcode pictures from the command line\n");
    out.append(".SH SYNOPSIS\n");
    for (std::size_t i = 0; i < std::size(Synopses); ++i)
        out.append(i ? ".br\n" : "").append(RoffSynopsis(Synopses[i]));
    out.append(".SH DESCRIPTION\n").append(RoffText(Description)).append("\n");
    out.append(".SH OPTIONS\n");
    const TCliOptionRow* previous = nullptr;
    for (const TCliOptionRow& r : Rows) {
        if (!previous || previous->Group != r.Group)
            out.append(".SS ").append(GroupTitle(r.Group)).append("\n");
        out.append(".TP\n").append(RoffNames(r)).append("\n").append(RoffText(r.Help)).append("\n");
        previous = &r;
    }
    out.append(".SH NOTES\n");
    for (const std::string& p : Paragraphs(Notes))
        out.append(".PP\n").append(RoffText(p)).append("\n");
    out.append(".SH EXIT STATUS\n").append(RoffText(Paragraphs(ExitStatus).front())).append("\n");
    out.append(".SH EXAMPLES\n.RS\n.nf\n");
    for (const TCliOptionRow& r : Rows)
        for (std::string_view example : Split(r.Examples, '\n'))
            out.append("barcodegen\\-cli ").append(RoffText(example, true)).append("\n");
    out.append(".fi\n.RE\n");
    out.append(".SH SEE ALSO\n.BR barcodegen (1)\n");
    return out;
}

std::string CliBashCompletion(const std::vector<std::string>& typeNames) {
    std::vector<std::string> options, types, formats, files, numbers;
    for (const TCliOptionRow& r : Rows) {
        options.push_back("--" + std::string(r.Long));
        if (r.Short) options.push_back(std::string{'-', r.Short});
        if (r.Value.empty()) continue;
        // What a value is called in --help says what to offer for it.
        const std::string pattern = CasePattern(r);
        if (r.Long == "type")
            types.push_back(pattern);
        else if (r.Long == "format")
            formats.push_back(pattern);
        else if (r.Value == "FILE")
            files.push_back(pattern);
        else
            numbers.push_back(pattern);
    }
    const auto bar = [](const std::vector<std::string>& patterns) {
        std::string s;
        for (const std::string& p : patterns)
            s.append(s.empty() ? "" : "|").append(p);
        return s;
    };
    std::vector<std::string> formatWords(std::begin(CliFormatNames), std::end(CliFormatNames));
    std::string out =
        "# bash completion for barcodegen-cli\n"
        "# Made from cli/CliOptionTable.cpp by barcodegen-cli-doc --bash-completion.\n"
        "_barcodegen_cli()\n"
        "{\n"
        "    local cur prev words cword split\n"
        "    _init_completion -s || return\n"
        "\n"
        "    case $prev in\n";
    out.append("        ").append(bar(types)).append(")\n");
    out.append("            COMPREPLY=($(compgen -W '")
        .append(Joined(typeNames))
        .append("' -- \"$cur\"))\n");
    out.append("            return\n            ;;\n");
    out.append("        ").append(bar(formats)).append(")\n");
    out.append("            COMPREPLY=($(compgen -W '")
        .append(Joined(formatWords))
        .append("' -- \"$cur\"))\n");
    out.append("            return\n            ;;\n");
    out.append("        ").append(bar(files)).append(")\n");
    out.append("            _filedir\n            return\n            ;;\n");
    out.append("        ").append(bar(numbers)).append(")\n");
    out.append("            return\n            ;;\n");
    out.append("    esac\n"
               "    $split && return\n"
               "\n"
               "    if [[ $cur == -* ]]; then\n");
    out.append("        COMPREPLY=($(compgen -W '")
        .append(Joined(options))
        .append("' -- \"$cur\"))\n");
    out.append("        return\n"
               "    fi\n"
               "} &&\n"
               "    complete -F _barcodegen_cli barcodegen-cli\n");
    return out;
}
