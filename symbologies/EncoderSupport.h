// What the encoders of character-set symbologies share: the lookup of a
// character in their tables, the full-ASCII mapping and the refusal of a
// character the symbology cannot carry.
#pragma once

#include <array>
#include <string>

#include "ZoBarcode.h"

// Shows a text in a message: control characters as their Unicode pictures,
// since a raw NUL would end the message text and a raw tab or line feed vanishes
// in an error box.
inline std::string TextForMessage(const std::u16string& text) {
    std::u16string shown = text;
    for (char16_t& c : shown)
        if (c < 0x20 || c == 0x7F) c = c == 0x7F ? u'\u2421' : static_cast<char16_t>(0x2400 + c);
    return ToUtf8(shown);
}

// The character at pos, shown the same way; one beyond the 16-bit range whole
// rather than as half a pair.
inline std::string CharForMessage(const std::u16string& text, std::size_t pos) {
    const char16_t c = text[pos];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && pos + 1 < text.size() &&
                      text[pos + 1] >= 0xDC00 && text[pos + 1] <= 0xDFFF;
    return TextForMessage(text.substr(pos, pair ? 2 : 1));
}

// A symbol must never say something other than the text printed under it, so a
// character the symbology cannot carry stops the build instead of being skipped.
[[noreturn]] inline void ThrowCannotEncode(TBarcodeType type, const std::u16string& text,
                                           std::size_t pos) {
    throw EBarcodeError(FormatMessage("%s: character \"%s\" cannot be encoded",
                                      {ToUtf8(BarcodeTypeName(type)), CharForMessage(text, pos)}));
}

// Index of the first entry whose Char is c, or -1.
template <class Table> int IndexOfChar(const Table& table, char16_t c) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].Char == c) return static_cast<int>(i);
    return -1;
}

// Replaces every character of text by its entry of a full-ASCII table (codes 0..127);
// a character above 127 has no representation and is refused.
inline std::u16string MapFullAscii(const std::array<const char16_t*, 128>& table,
                                   const std::u16string& text, TBarcodeType type) {
    std::u16string mapped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= table.size()) ThrowCannotEncode(type, text, i);
        mapped += table[text[i]];
    }
    return mapped;
}
