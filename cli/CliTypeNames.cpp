#include "cli/CliTypeNames.h"

#include <algorithm>
#include <charconv>

#include "engine/BarcodeError.h"

namespace {

// Blanks of every script: a name pasted from a document may hold a no-break space.
bool IsBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The names are ASCII; of the other characters only the long s and the Kelvin
// sign fold to letters of theirs, as Unicode case folding has it.
std::u16string Folded(std::string_view name) {
    std::u16string out;
    for (char16_t c : FromUtf8(name)) {
        if (c == u'-' || c == u'_' || IsBlank(c)) continue;
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c == u'\u017F') c = u's';
        if (c == u'\u212A') c = u'k';
        out += c;
    }
    return out;
}

std::string_view WithoutBlanks(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
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
    const std::u16string wanted = Folded(name);
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
