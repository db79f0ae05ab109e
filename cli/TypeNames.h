// The names a user may give a symbology, as QStrings for the parser.
#pragma once

#include <QString>
#include <optional>

#include "cli/CliTypeNames.h"

// CliTypeNamed of a QString.
std::optional<int> ParseBarcodeType(const QString& name);

// The table name of a type ("CodeEAN13").
QString BarcodeTableName(int type);
