#include "TypeNames.h"

#include <array>

#include "QtConvert.h"
#include "ZoBarCode_interface.h"

namespace {

// What the encoders do with the check option on: Code 128, Code 93, UPC-E and
// EAN-128 always add theirs; two of five, Codabar and the supplements have none.
constexpr std::array<bool, CliTypeCount> ChecksByDefault = {
    false, false, false, // two of five: interleaved, industrial, matrix
    true,  true,         // Code 39, Code 39 extended (modulo 43)
    true,  true,  true,  // Code 128 A, B, C
    true,  true,         // Code 93, Code 93 extended
    true,  true,  false, // MSI, PostNet, Codabar
    true,  true,  true,  // EAN-8, EAN-13, UPC-A
    true,  true,         // UPC-E0, UPC-E1
    false, false,        // UPC supplements 2 and 5
    true,  true,  true,  // EAN-128 A, B, C
};

QString Folded(const QString& name) {
    QString out;
    for (const QChar c : name)
        if (c != u'-' && c != u'_' && !c.isSpace()) out += c.toCaseFolded();
    return out;
}

} // namespace

QString BarcodeTableName(int type) {
    return ToQString(BarcodeTypeName(static_cast<TBarcodeType>(type)));
}

QStringList BarcodeTypeNames(int type) {
    const QString name = BarcodeTableName(type);
    // The engine's messages call "CodeEAN13" "EAN13" and "CodeUPC_E0" "UPC_E0":
    // the table name without its "Code" where a word follows.
    if (name.startsWith(QLatin1String("Code")) && name.size() > 4 && name[4].isUpper())
        return {name, name.mid(4)};
    return {name};
}

std::optional<int> ParseBarcodeType(const QString& name) {
    bool isNumber = false;
    const int index = name.toInt(&isNumber);
    if (isNumber)
        return index >= 0 && index < CliTypeCount ? std::optional<int>(index) : std::nullopt;
    const QString wanted = Folded(name);
    if (wanted.isEmpty()) return std::nullopt;
    for (int i = 0; i < CliTypeCount; ++i)
        for (const QString& n : BarcodeTypeNames(i))
            if (Folded(n) == wanted) return i;
    return std::nullopt;
}

bool AddsCheckCharacter(int type) {
    return type >= 0 && type < CliTypeCount && ChecksByDefault[static_cast<std::size_t>(type)];
}
