#include "cli/CliTypeNames.h"

#include "engine/BarcodeError.h"

std::vector<std::string> CliTypeNames(int type) {
    if (type < 0 || type >= CliTypeCount) return {};
    const auto t = static_cast<TBarcodeType>(type);
    std::vector<std::string> names{ToUtf8(BarcodeTypeName(t))};
    const std::string& table = names.front();
    // The engine's messages call "CodeEAN13" "EAN13" and "CodeUPC_E0" "UPC_E0".
    if (table.starts_with("Code") && table.size() > 4 && table[4] >= 'A' && table[4] <= 'Z')
        names.push_back(table.substr(4));
    for (const std::u16string& alias : BarcodeTypeAliases(t))
        names.push_back(ToUtf8(alias));
    return names;
}
