#include "cli/TypeNames.h"

#include <cstdint>

#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"

namespace {

// Blanks of every script: a name pasted from a document may hold a no-break space.
bool IsSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The names are ASCII: of the other characters only the long s and the
// Kelvin sign fold to letters of theirs.
std::u16string Folded(std::string_view name) {
    std::u16string out;
    for (char16_t c : FromUtf8(name)) {
        if (c == u'-' || c == u'_' || IsSpace(c)) continue;
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c == u'\u017F') c = u's';
        if (c == u'\u212A') c = u'k';
        out += c;
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::optional<int> ParseCliInt(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > (1LL << 31)) return std::nullopt;
    }
    n = negative ? -n : n;
    if (n < INT32_MIN || n > INT32_MAX) return std::nullopt;
    return int(n);
}

std::string BarcodeTableName(int type) {
    return ToUtf8(BarcodeTypeName(static_cast<TBarcodeType>(type)));
}

std::optional<int> ParseBarcodeType(std::string_view name) {
    if (const std::optional<int> index = ParseCliInt(name))
        return *index >= 0 && *index < CliTypeCount ? index : std::nullopt;
    const std::u16string wanted = Folded(name);
    if (wanted.empty()) return std::nullopt;
    for (int i = 0; i < CliTypeCount; ++i)
        for (const std::string& n : CliTypeNames(i))
            if (Folded(n) == wanted) return i;
    return std::nullopt;
}

bool AddsCheckCharacter(int type) {
    return type >= 0 && type < CliTypeCount &&
           BarcodeTypeTable[static_cast<std::size_t>(type)].Check != ccNone;
}
