#include "cli/TypeNames.h"

#include "engine/ZoBarCode_interface.h"
#include "platform/QtConvert.h"

namespace {

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
    QStringList names;
    for (const std::string& name : CliTypeNames(type))
        names << QString::fromStdString(name);
    return names;
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
    return type >= 0 && type < CliTypeCount &&
           BarcodeTypeTable[static_cast<std::size_t>(type)].Check != ccNone;
}
