// The option table and what is made from it: the parser, --help and the
// README's table must all say the same.
#include <QStringList>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "cli/CliOptionTable.h"
#include "cli/CliOptions.h"
#include "cli/TypeNames.h"

namespace {

// An example as the shell splits it (the examples quote with '...' only).
QStringList ShellWords(std::string_view line) {
    QStringList words;
    QString word;
    bool quoted = false, inWord = false;
    for (char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += QLatin1Char(c);
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

QString Long(const TCliOptionRow& r) {
    return QStringLiteral("--") + QString::fromUtf8(r.Long.data(), r.Long.size());
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
            const QStringList args = ShellWords(example);
            const bool shown = std::any_of(args.begin(), args.end(), [&](const QString& a) {
                return a == Long(r) || a.startsWith(Long(r) + u'=') ||
                       (r.Short && a == QStringLiteral("-") + QLatin1Char(r.Short));
            });
            EXPECT_TRUE(shown) << example;
            const TCliParse p = ParseCliArguments(args);
            EXPECT_EQ(p.Error.toStdString(), "") << example;
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
        QStringList args{QStringLiteral("--pattern"), Long(r)};
        if (r.Long == "type")
            args << QStringLiteral("EAN13");
        else if (!r.Value.empty())
            args << QStringLiteral("1");
        const TCliParse p = ParseCliArguments(args << QStringLiteral("590123412345"));
        if (goWithPattern.contains(r.Long))
            EXPECT_EQ(p.Error.toStdString(), "") << r.Long;
        else
            EXPECT_EQ(
                p.Error,
                QStringLiteral("--pattern draws nothing: %1 does not go with it").arg(Long(r)));
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
            EXPECT_EQ(ParseBarcodeType(QString::fromStdString(name)), std::optional<int>(type))
                << name;
    }
    for (const int none : {-1, int(bcTypeUndefined), int(BarcodeTypeCount)})
        EXPECT_TRUE(CliTypeNames(none).empty()) << none;
    for (std::string_view format : CliFormatNames) {
        const QString f = QString::fromUtf8(format.data(), format.size());
        const TCliParse p =
            ParseCliArguments({QStringLiteral("-f"), f, QStringLiteral("-o"), QStringLiteral("-"),
                               QStringLiteral("590123412345")});
        EXPECT_EQ(p.Error.toStdString(), "") << format;
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
