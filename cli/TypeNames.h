// The names a user may give a symbology, and what --list-types tells of each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/CliTypeNames.h"

// A whole number as the options take it: blanks around it and a sign allowed,
// decimal digits only; nullopt when it is none or outside int.
std::optional<int> ParseCliInt(std::string_view text);

// The type for a name of CliTypeNames (the table name "CodeEAN13", the
// messages' "EAN13", another tool's "ean") or an index 0 to 22, UTF-8. Case
// does not matter, nor do "-", "_" and blanks ("ean-13").
std::optional<int> ParseBarcodeType(std::string_view name);

// Whether the type's symbol carries a check character when the check option is
// left on, as it is by default.
bool AddsCheckCharacter(int type);

// The table name of a type ("CodeEAN13").
std::string BarcodeTableName(int type);
