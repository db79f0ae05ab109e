// The names a user may give a symbology, and the numbers the options take.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/CliTypeNames.h"

// A whole number as the options take it: blanks around it and a sign allowed,
// decimal digits only; nullopt when it is none or outside int.
std::optional<int> ParseCliInt(std::string_view text);

// CliTypeNamed of a name as the arguments hold it (UTF-8).
std::optional<int> ParseBarcodeType(std::string_view name);

// The table name of a type ("CodeEAN13").
std::string BarcodeTableName(int type);
