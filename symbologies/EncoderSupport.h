// What the encoders share: digits and their modulo-10 complement, the
// width-to-pattern conversion, the lookup of a character in a table, the
// full-ASCII mapping, the refusal of a character a symbology cannot carry, and
// the compile-time checks of their tables.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ZoBarcode.h"

// The value of a digit '0'..'9'; callers have made sure it is one.
constexpr int DigitValue(char16_t digit) {
    return digit - u'0';
}

// What brings sum (>= 0) up to the next multiple of ten: the check digit of
// EAN/UPC, MSI and PostNet.
constexpr int Modulo10Complement(int sum) {
    return (10 - sum % 10) % 10;
}

// Module widths '1'..'4', bar first, to the bar alphabet: widths at odd
// positions become bars '5'..'8', at even positions spaces '0'..'3'.
inline std::u16string WidthsToPattern(std::u16string_view widths) {
    std::u16string pattern;
    pattern.reserve(widths.size());
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const char16_t w = widths[i];
        if (w < u'1' || w > u'4')
            throw EBarcodeError(FormatMessage("%s: internal Error", {TZoBarcode::ClassName}));
        const char16_t first = i % 2 == 0 ? u'5' : u'0';
        pattern += static_cast<char16_t>(first + (w - u'1'));
    }
    return pattern;
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

// Index of the first entry whose Char is c, if there is one.
template <class Table> constexpr std::optional<int> IndexOfChar(const Table& table, char16_t c) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].Char == c) return static_cast<int>(i);
    return std::nullopt;
}

// A full-ASCII table: for each code 0..127, the one or two characters of the
// symbology's own set that stand for it.
using TFullAsciiTable = std::array<const char16_t*, 128>;

// Replaces every character of text by its entry of a full-ASCII table; a
// character above 127 has no representation and is refused.
inline std::u16string MapFullAscii(const TFullAsciiTable& table, const std::u16string& text,
                                   TBarcodeType type) {
    std::u16string mapped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= table.size()) ThrowCannotEncode(type, text, i);
        mapped += table[text[i]];
    }
    return mapped;
}

// --- compile-time checks of the tables --------------------------------------
// An entry left out of a fixed-size table is a null pointer: every check
// below fails on it, so they also pin the number of entries.

constexpr std::u16string_view Chars(const char16_t* s) {
    return s == nullptr ? std::u16string_view() : std::u16string_view(s);
}

// Width digits '1'..'4' (bar first): count of them, adding up to modules.
constexpr bool IsWidths(const char16_t* widths, std::size_t count, int modules) {
    const std::u16string_view w = Chars(widths);
    int sum = 0;
    for (char16_t d : w) {
        if (d < u'1' || d > u'4') return false;
        sum += d - u'0';
    }
    return w.size() == count && sum == modules;
}

// count elements of the bar alphabet, alternately bar and space beginning with
// a bar (or a space), of at most widest + 1 modules each, adding up to modules
// (with the width classes 1, 2, 3 and 4 modules wide, as at the default ratio).
constexpr bool IsElements(const char16_t* pattern, std::size_t count, int modules, int widest = 3,
                          bool barFirst = true) {
    const std::u16string_view p = Chars(pattern);
    int sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char16_t c = p[i];
        const bool bar = (c >= u'5' && c <= u'8') || (c >= u'A' && c <= u'D');
        const bool space = c >= u'0' && c <= u'3';
        if (!bar && !space) return false;
        if (bar != ((i % 2 == 0) == barFirst)) return false;
        const int cls = space ? c - u'0' : c >= u'A' ? c - u'A' : c - u'5';
        if (cls > widest) return false;
        sum += cls + 1;
    }
    return p.size() == count && sum == modules;
}

// Every entry of a full-ASCII table is one or two characters that the
// symbology's table carries, other than the one excluded (a start/stop character).
template <class Table>
constexpr bool IsFullAsciiMap(const TFullAsciiTable& ascii, const Table& table,
                              char16_t excluded = 0) {
    for (const char16_t* entry : ascii) {
        const std::u16string_view e = Chars(entry);
        if (e.empty() || e.size() > 2) return false;
        for (char16_t c : e)
            if (c == excluded || !IndexOfChar(table, c)) return false;
    }
    return true;
}
