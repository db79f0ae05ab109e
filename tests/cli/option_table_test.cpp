// The option table and what is made from it: the parser, --help and the
// README's table must all say the same.
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "cli/CliOptionTable.h"
#include "cli/CliOptions.h"
#include "cli/TypeNames.h"
#include "engine/ZoBarCode_interface.h"

namespace {

// An example as the shell splits it (the examples quote with '...' only).
std::vector<std::string> ShellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

std::string Long(const TCliOptionRow& r) {
    return "--" + std::string(r.Long);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

// What the README shows must work when pasted, and must show its option.
TEST(OptionTable, EveryExampleParsesAndShowsItsOption) {
    for (const TCliOptionRow& r : CliOptionRows()) {
        ASSERT_FALSE(r.Examples.empty()) << r.Long;
        for (std::string_view example : Lines(r.Examples)) {
            const std::vector<std::string> args = ShellWords(example);
            const bool shown = std::any_of(args.begin(), args.end(), [&](const std::string& a) {
                return a == Long(r) || a.starts_with(Long(r) + '=') ||
                       (r.Short && a == std::string{'-', r.Short});
            });
            EXPECT_TRUE(shown) << example;
            const TCliParse p = ParseCliArguments(args);
            EXPECT_EQ(p.Error, "") << example;
        }
    }
}

// --pattern draws nothing: every option that shapes or writes a picture is
// refused with it. The list is written out here, not taken from the table's
// Draws column, so a row marked wrongly fails.
TEST(OptionTable, PatternRefusesTheDrawingOptions) {
    const std::set<std::string_view> goWithPattern = {"type", "no-check-digit"};
    for (const TCliOptionRow& r : CliOptionRows()) {
        if (r.Group == TCliOptionGroup::Instead) continue;
        std::vector<std::string> args{"--pattern", Long(r)};
        if (r.Long == "type")
            args.push_back("EAN13");
        else if (!r.Value.empty())
            args.push_back("1");
        args.push_back("590123412345");
        const TCliParse p = ParseCliArguments(args);
        if (goWithPattern.contains(r.Long))
            EXPECT_EQ(p.Error, "") << r.Long;
        else
            EXPECT_EQ(p.Error, "--pattern draws nothing: " + Long(r) + " does not go with it");
    }
}

// The shell completion offers only what the parser takes: every name of a
// type reads as that type (an alias that another type's name folds to would
// not), every format as a format.
TEST(OptionTable, CompletedValuesParse) {
    for (const TBarcodeType type : EncodableBarcodeTypes()) {
        const std::vector<std::string> names = CliTypeNames(type);
        EXPECT_GE(names.size(), 2u) << type; // the table's name and another tool's
        for (const std::string& name : names)
            EXPECT_EQ(ParseBarcodeType(name), std::optional<int>(type)) << name;
    }
    for (const int none : {-1, int(bcTypeUndefined), int(BarcodeTypeCount)})
        EXPECT_TRUE(CliTypeNames(none).empty()) << none;
    for (std::string_view format : CliFormatNames) {
        const TCliParse p =
            ParseCliArguments({"-f", std::string(format), "-o", "-", "590123412345"});
        EXPECT_EQ(p.Error, "") << format;
    }
}

// The corners of the argument syntax, read as scripts have always seen them
// read: whole long names only, letters grouped and joined to their values,
// "--" ending the options, the last usage error told; whatever the
// environment asks of the system's option scanner.
TEST(CliParse, ArgumentSyntaxCorners) {
    const struct {
        std::vector<std::string> args;
        std::string error; // empty: parses, into output, code and type
        std::string hint = {};
        std::string output = {};
        std::string code = {};
        int type = bcCodeEAN13;
    } cases[] = {
        {{"-o", "-", "-5901"},
         "Unknown options: 5, 9, 0, 1.",
         "hint: -- ends the options; put it before a CODE that begins with '-': -- -5901"},
        {{"-o", "-", "-\xC3\xA9"},
         "Unknown option '\xC3\xA9'.",
         "hint: -- ends the options; put it before a CODE that begins with '-': -- -\xC3\xA9"},
        {{"-hx"}, "Unknown option 'x'."},
        // A start of a name is no name; its would-be value stays an argument.
        {{"--bord", "-x", "-o", "x.png", "1"},
         "Unknown options: bord, x.",
         "hint: -- ends the options; put it before a CODE that begins with '-': -- -x"},
        {{"--ver"}, "Unknown option 'ver'."},
        {{"--verif", "-o", "x.png", "1"}, "Unknown option 'verif'."},
        {{"--ty"}, "Unknown option 'ty'."},
        {{"--=x"}, "Unknown option ''."},
        {{"---x"}, "Unknown option '-x'."},
        {{"--frob", "--pattern=yes", "1"}, "Unknown option 'frob'."},
        {{"--pattern=yes", "1"}, "Unexpected value after '--pattern'."},
        {{"--help=1", "--no-text=2"}, "Unexpected value after '--no-text'."},
        {{"--help=1", "-t"}, "Missing value after '-t'."},
        {{"-ht"}, "Missing value after '-ht'."},
        {{"--output"}, "Missing value after '--output'."},
        {{"-t", "--help=1"}, "--type '--help=1': no such symbology (see --list-types)"},
        {{"--", "--pattern"},
         "nothing to do: give --output FILE (- for standard output) or --pattern"},
        {{"-ox.png", "1"}, "", "", "x.png", "1"},
        {{"-o=x.png", "1"}, "", "", "x.png", "1"},
        {{"-o", "=x.png", "1"}, "", "", "=x.png", "1"},
        {{"1", "--output=x.png"}, "", "", "x.png", "1"},
        {{"-tEAN8", "--pattern", "1"}, "", "", "", "1", bcCodeEAN8},
        {{"--type=", "--pattern", "1"}, "--type '': no such symbology (see --list-types)"},
        {{"--pattern", "--", "-5"}, "", "", "", "-5"},
        {{"--border", "-5", "-o", "x.png", "1"}, "--border '-5': takes a number from 0 to 30"},
        {{"--border", " +5\t", "--border", "05", "-o", "-", "1"}, "", "", "-", "1"},
        {{"--size", " 600 X 400 ", "-o", "-", "1"}, "", "", "-", "1"},
        {{"--size", "0000000001x1", "-o", "-", "1"},
         "--size '0000000001x1': takes a width and a height in pixels, such as 600x400"},
        {{"-t", "m\xC5\xBFi", "--pattern", "1"}, "", "", "", "1", bcCodeMSI}, // a long s
        {{"-t",
          "ean\xC2\xA0"
          "13",
          "--pattern", "1"},
         "",
         "",
         "",
         "1",
         bcCodeEAN13},
        {{"-t", "+14", "--pattern", "1"}, "", "", "", "1", bcCodeEAN13},
    };
    for (const bool posixly : {false, true}) {
        if (posixly) setenv("POSIXLY_CORRECT", "1", 1);
        for (const auto& c : cases) {
            std::string what;
            for (const std::string& a : c.args)
                what += a + " ";
            const TCliParse p = ParseCliArguments(c.args);
            EXPECT_EQ(p.Error, c.error) << what;
            EXPECT_EQ(p.Hint, c.hint) << what;
            if (!c.error.empty()) continue;
            EXPECT_EQ(p.Options.Output, c.output) << what;
            EXPECT_EQ(p.Options.Code, c.code) << what;
            EXPECT_EQ(p.Options.Type, c.type) << what;
        }
        if (posixly) unsetenv("POSIXLY_CORRECT");
    }
}

TEST(OptionTable, HelpListsEveryOptionWithinEightyColumns) {
    const std::string help = CliHelpText();
    for (std::string_view line : Lines(help))
        EXPECT_LE(line.size(), 79u) << line;
    for (const TCliOptionRow& r : CliOptionRows()) {
        std::string names = r.Short ? std::string{'-', r.Short, ',', ' '} : std::string(4, ' ');
        names.append("--").append(r.Long);
        if (!r.Value.empty()) names.append(" ").append(r.Value);
        EXPECT_NE(help.find("\n  " + names + " "), std::string::npos) << names;
        // The first words of its description, wherever the line breaks.
        EXPECT_NE(help.find(r.Help.substr(0, r.Help.find(' '))), std::string::npos) << r.Long;
    }
}

TEST(OptionTable, MarkdownRowsKeepTheirCells) {
    const std::string md = CliOptionsMarkdown();
    const std::vector<std::string_view> lines = Lines(md);
    ASSERT_EQ(lines.size(), CliOptionRows().size() + 2);
    const struct {
        std::string_view has; // a row's text
        std::string_view why;
    } expected[] = {
        {"| `-t`, `--type NAME\\|INDEX` |", "a '|' in a cell is escaped"},
        {"(`-` is standard input); `-o` gives", "options and - are set as code"},
        {"`-t ean-13 -o x.png 590123412345`<br>`-t 3", "examples one a line"},
        {"| `--no-text` | `--no-text -o x.png 590123412345` | Do not", "a switch has no value"},
    };
    for (const auto& e : expected)
        EXPECT_NE(md.find(e.has), std::string::npos) << e.why;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        // Four unescaped '|': three cells.
        int bars = 0;
        for (std::size_t c = 0; c < lines[i].size(); ++c)
            bars += lines[i][c] == '|' && (c == 0 || lines[i][c - 1] != '\\');
        EXPECT_EQ(bars, 4) << lines[i];
    }
}

// The README check must fail rather than pass when it cannot find the table.
TEST(OptionTable, ReadmeTableIsReplacedBetweenItsMarkers) {
    const std::string b(CliOptionsBegin), e(CliOptionsEnd);
    const std::string table = "\n" + CliOptionsMarkdown() + "\n";
    const struct {
        std::string readme;
        std::optional<std::string> result;
    } cases[] = {
        {"intro\n" + b + "\nold table\n" + e + "\nrest\n",
         "intro\n" + b + "\n" + table + e + "\nrest\n"},
        {b + "\n" + e, b + "\n" + table + e},
        {"intro\n" + b + "\nold table\n", std::nullopt},
        {"old table\n" + e + "\n", std::nullopt},
        {e + "\nold table\n" + b + "\n", std::nullopt},
        {"see " + b + " and\nold table\n" + e + "\n", std::nullopt}, // not a line of its own
        {b, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> r = WithCliOptionsTable(c.readme);
        EXPECT_EQ(r, c.result) << c.readme;
        if (r) {
            EXPECT_EQ(WithCliOptionsTable(*r), r) << "made anew, it is the same";
        }
    }
}
