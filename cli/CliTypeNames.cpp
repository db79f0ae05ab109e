#include "cli/CliTypeNames.h"

#include <algorithm>
#include <charconv>

#include "engine/BarcodeError.h"

namespace {

// Only ASCII folds: every name is ASCII, and a Unicode folding would let a
// sign such as KELVIN (U+212A) stand for "k".
std::string Folded(std::string_view name) {
    std::string out;
    for (const char c : name)
        if (c != '-' && c != '_' && c != ' ' && c != '\t')
            out += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return out;
}

std::string_view WithoutBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

} // namespace

bool CliTypeSelectable(int type) {
    return type >= 0 && std::size_t(type) < BarcodeTypeTable.size() &&
           BarcodeTypeTable[std::size_t(type)].Encoder != nullptr;
}

std::vector<std::string> CliTypeNames(int type) {
    if (!CliTypeSelectable(type)) return {};
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

std::optional<int> CliTypeNamed(std::string_view name) {
    std::string_view trimmed = WithoutBlanks(name);
    if (trimmed.size() > 1 && trimmed[0] == '+') trimmed.remove_prefix(1);
    int index = -1;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), index);
    if (!trimmed.empty() && error == std::errc() && end == trimmed.data() + trimmed.size())
        return CliTypeSelectable(index) ? std::optional<int>(index) : std::nullopt;
    const std::string wanted = Folded(name);
    if (wanted.empty()) return std::nullopt;
    for (const TBarcodeType t : EncodableBarcodeTypes())
        for (const std::string& n : CliTypeNames(t))
            if (Folded(n) == wanted) return int(t);
    return std::nullopt;
}

std::string CliTypeList() {
    std::size_t nameWidth = 0;
    for (const TBarcodeType t : EncodableBarcodeTypes())
        nameWidth = std::max(nameWidth, BarcodeTypeName(t).size());
    std::string text;
    for (const TBarcodeType t : EncodableBarcodeTypes()) {
        const TBCdata& row = BarcodeTypeTable[t];
        std::vector<std::string> names = CliTypeNames(t);
        std::string line = Padded(std::to_string(int(t)), 2) + ' ' +
                           Padded(names.front(), nameWidth) + ' ' +
                           Padded(row.num ? "digits" : "text", 6) + ' ' +
                           Padded(row.Check != ccNone ? "check" : "no-check", 8);
        // The messages' name ("EAN13"), which comes before the aliases, only
        // where no alias reads the same.
        const std::size_t aliases = BarcodeTypeAliases(t).size();
        for (std::size_t i = 1; i < names.size(); ++i)
            if (i + aliases >= names.size() ||
                std::none_of(names.end() - long(aliases), names.end(),
                             [&](const std::string& a) { return Folded(a) == Folded(names[i]); }))
                line.append(" ").append(names[i]);
        text.append(line).append("\n   ").append(ToUtf8(row.Takes)).append("\n");
    }
    return text;
}
