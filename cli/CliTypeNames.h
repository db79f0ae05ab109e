// The names barcodegen-cli takes for a symbology. Plain C++ without Qt: the
// parser and the shell completion made at build time read the same list.
#pragma once

#include <string>
#include <vector>

#include "engine/ZoBarCode_interface.h"

// The selectable symbologies, indices 0 to CliTypeCount - 1.
inline constexpr int CliTypeCount = WindowTypeCount;

// A type's names as written: the table name ("CodeEAN13"), the name the
// engine's messages use ("EAN13"; for a table name "Code" and a capital),
// then the names users of other tools know ("ean-13", "ean"). Empty outside
// 0 to CliTypeCount - 1.
std::vector<std::string> CliTypeNames(int type);
