// The names barcodegen-cli takes for a symbology, and what --list-types tells
// of each. Plain C++ without Qt: the parser and the shell completion made at
// build time read the same list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ZoBarCode_interface.h"

// Whether the command line draws a type index: every type of the table that
// encodes something, the window's 23 and the later ones; not Undefined.
bool CliTypeSelectable(int type);

// A type's names as written: the table name ("CodeEAN13"), the name the
// engine's messages use ("EAN13"; for a table name "Code" and a capital),
// then the names users of other tools know ("ean-13", "ean"). Empty for a
// type that is not selectable.
std::vector<std::string> CliTypeNames(int type);

// The selectable type of an index ("14") or of a name of CliTypeNames, where
// case does not matter, nor do "-", "_" and blanks ("e a n_1-3").
std::optional<int> CliTypeNamed(std::string_view name);

// What --list-types prints: per type a line with its index, its table name,
// "digits" or "text", "check" or "no-check" and its other names (the
// messages' name where no other reads the same), then an indented line with
// what the code takes. No line is wider than 79 columns.
std::string CliTypeList();
