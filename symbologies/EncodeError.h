// The refusal shared by the encoders whose character set does not cover every text.
#pragma once

#include <string>

#include "ZoBarcode.h"

// Shows a character in a message: control characters as their Unicode pictures,
// since a raw NUL would end the message text and a raw tab or line feed vanishes
// in an error box; a character beyond the 16-bit range whole rather than as half a pair.
inline std::string CharForMessage(const std::u16string& text, std::size_t pos) {
    const char16_t c = text[pos];
    if (c < 0x20) return ToUtf8(std::u16string(1, static_cast<char16_t>(0x2400 + c)));
    if (c == 0x7F) return ToUtf8(u"\u2421");
    std::size_t len = 1;
    if (c >= 0xD800 && c <= 0xDBFF && pos + 1 < text.size() && text[pos + 1] >= 0xDC00 &&
        text[pos + 1] <= 0xDFFF)
        len = 2;
    return ToUtf8(std::u16string_view(text).substr(pos, len));
}

// A symbol must never say something other than the text printed under it, so a
// character the symbology cannot carry stops the build instead of being skipped.
[[noreturn]] inline void ThrowCannotEncode(TBarcodeType type, const std::u16string& text,
                                           std::size_t pos) {
    throw EBarcodeError(FormatMessage("%s: character \"%s\" cannot be encoded",
                                      {ToUtf8(BarcodeTypeName(type)), CharForMessage(text, pos)}));
}
