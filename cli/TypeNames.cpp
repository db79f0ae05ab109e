#include "cli/TypeNames.h"

#include "engine/ZoBarCode_interface.h"
#include "platform/QtConvert.h"

QString BarcodeTableName(int type) {
    return ToQString(BarcodeTypeName(static_cast<TBarcodeType>(type)));
}

std::optional<int> ParseBarcodeType(const QString& name) {
    return CliTypeNamed(name.toStdString());
}
