// The names a user may give a symbology, and what --list-types tells of each.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/CliTypeNames.h"

// The type for a name of CliTypeNames (the table name "CodeEAN13", the
// messages' "EAN13", another tool's "ean") or an index 0 to 22. Case does not
// matter, nor do "-", "_" and blanks ("ean-13").
std::optional<int> ParseBarcodeType(const QString& name);

// CliTypeNames as QStrings.
QStringList BarcodeTypeNames(int type);

// Whether the type's symbol carries a check character when the check option is
// left on, as it is by default.
bool AddsCheckCharacter(int type);

// The table name of a type ("CodeEAN13").
QString BarcodeTableName(int type);
