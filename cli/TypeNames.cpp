#include "cli/TypeNames.h"

#include "cli/CliOptions.h"
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

} // namespace

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
