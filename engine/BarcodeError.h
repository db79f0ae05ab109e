#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Every refusal of the engine and the encoders: the message is UTF-8.
class EBarcodeError : public std::runtime_error {
public:
    explicit EBarcodeError(const std::string& message) : std::runtime_error(message) {}
};

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// The most characters of a user's text a message quotes: a longer text is
// shown by its start and end around an ellipsis, so that a stray paste of a
// whole file still gives a message that fits an error box or a terminal line.
inline constexpr std::size_t MessageQuoteLimit = 60;

// Shows a text in a message: at most MessageQuoteLimit characters of it, and
// control characters as their Unicode pictures, since a raw NUL would end the
// message text and a raw tab or line feed vanishes in an error box.
std::string TextForMessage(std::u16string_view text);

// A user's text in double quotes, shown as TextForMessage shows it.
std::string QuotedForMessage(std::u16string_view text);

// An option's value in double quotes as it was given, as a terminal showed
// it when it was typed. Built by appending: GCC 12 at -O3 mistakes
// "\"" + std::string for an overlapping copy and fails a -Werror build.
std::string Quoted(std::string_view text);

// "%s" in the template is replaced by the arguments in order; nothing else is interpreted.
std::string FormatMessage(std::string_view templ, std::initializer_list<std::string_view> args);
