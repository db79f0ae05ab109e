#include "cli/LineText.h"

#include "engine/BarcodeError.h"

std::string EscapeForLine(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char16_t c : text) {
        if (c == u'\\')
            out += u"\\\\";
        else if (c == u'\t')
            out += u"\\t";
        else if (c == u'\r')
            out += u"\\r";
        else if (c == u'\n')
            out += u"\\n";
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            out += {u'\\', u'x', char16_t(hex[c >> 4]), char16_t(hex[c & 0xF])};
        else
            out += c;
    }
    return ToUtf8(out);
}
