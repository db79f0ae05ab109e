// The names a user may give a symbology, and what --list-types tells of each.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "engine/ZoBarCode_interface.h"

// The 23 selectable symbologies, indices 0..22.
inline constexpr int CliTypeCount = bcTypeUndefined;

// The type for a name or an index: the table name ("CodeEAN13"), the name the
// engine's messages use ("EAN13", "UPC_E0", "Code128B"), or the index 0 to 22.
// Case does not matter, nor do "-", "_" and blanks ("ean-13").
std::optional<int> ParseBarcodeType(const QString& name);

// The names ParseBarcodeType accepts for a type, as written (table name first).
QStringList BarcodeTypeNames(int type);

// Whether the type's symbol carries a check character when the check option is
// left on, as it is by default.
bool AddsCheckCharacter(int type);

// The table name of a type ("CodeEAN13").
QString BarcodeTableName(int type);
