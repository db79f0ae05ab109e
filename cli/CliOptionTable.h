// The options of barcodegen-cli, in one table. The parser registers its
// options from it, --help prints it, and the README's option table is made
// from it (barcodegen-cli-doc), so that the three cannot drift apart. Plain
// C++ without Qt, so that tools which run at build time can read it as well.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class TCliOptionGroup { Symbol, Picture, Print, Output, Batch, Instead };

struct TCliOptionRow {
    std::string_view Long;  // without "--"; what the messages name
    char Short;             // 0: none
    std::string_view Value; // what the value is called in the help ("FILE"); empty: a switch
    TCliOptionGroup Group;
    bool Draws;            // shapes the picture, so it is meaningless with --pattern
    std::string_view Help; // plain text; names an option as "--name"
    // Complete argument lists after the program's name, one a line; every one
    // parses without a usage error (a test runs them).
    std::string_view Examples;
};

// In the order --help lists them; the rows of a group follow each other.
std::span<const TCliOptionRow> CliOptionRows();

// The row of a long name, or nullptr.
const TCliOptionRow* FindCliOption(std::string_view longName);

// What --help prints: usage, the options by group, then the notes.
std::string CliHelpText();

// The README's table of options (GitHub Markdown), without the markers around it.
std::string CliOptionsMarkdown();

// What --format takes, as the shell completion offers it.
inline constexpr std::string_view CliFormatNames[] = {"png", "bmp", "jpg", "svg", "pdf"};

// The manual page (man(7) roff): the synopsis, the options by group with the
// help text, the notes and the examples of --help and the table.
std::string CliManPage(std::string_view version, std::string_view date);

// A bash completion script for barcodegen-cli: the options, typeNames after
// --type, CliFormatNames after --format, file names after an option whose
// value is a FILE, nothing after one that takes a number or a size.
std::string CliBashCompletion(const std::vector<std::string>& typeNames);

// readme with the text between the lines CliOptionsBegin and CliOptionsEnd
// replaced by CliOptionsMarkdown(); nullopt when either marker is missing or
// they are out of order.
inline constexpr std::string_view CliOptionsBegin =
    "<!-- options: made from cli/CliOptionTable.cpp by barcodegen-cli-doc -->";
inline constexpr std::string_view CliOptionsEnd = "<!-- options end -->";
std::optional<std::string> WithCliOptionsTable(std::string_view readme);
