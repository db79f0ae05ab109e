#include "engine/BarcodeError.h"

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate cannot be written as UTF-8
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t c = b;
        if (b >= 0xF0 && b < 0xF8) {
            extra = 3;
            c = b & 0x07;
        } else if (b >= 0xE0 && b < 0xF0) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xC0 && b < 0xE0) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0x80) {
            extra = std::string_view::npos; // a continuation byte or an invalid lead byte
        }
        bool ok = extra != std::string_view::npos && i + extra < text.size();
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += 1 + extra;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::string TextForMessage(std::u16string_view text) {
    std::u16string shown;
    if (text.size() <= MessageQuoteLimit) {
        shown = text;
    } else {
        // Both ends, since the start of a code and the file name at the end of
        // a path say the most; neither cut falls inside a surrogate pair.
        std::size_t head = MessageQuoteLimit / 2;
        std::size_t tail = text.size() - MessageQuoteLimit / 2;
        if (IsHighSurrogate(text[head - 1])) --head;
        if (IsLowSurrogate(text[tail])) ++tail;
        shown.append(text.substr(0, head)).append(u"\u2026").append(text.substr(tail));
    }
    for (char16_t& c : shown)
        if (c < 0x20 || c == 0x7F) c = c == 0x7F ? u'\u2421' : static_cast<char16_t>(0x2400 + c);
    return ToUtf8(shown);
}

std::string QuotedForMessage(std::u16string_view text) {
    return Quoted(TextForMessage(text));
}

std::string Quoted(std::string_view text) {
    std::string out(1, '"');
    out.append(text).push_back('"');
    return out;
}

std::string FormatMessage(std::string_view templ, std::initializer_list<std::string_view> args) {
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size() && templ[i + 1] == 's' && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += templ[i];
        }
    }
    return out;
}
