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

// "%s" in the template is replaced by the arguments in order; nothing else is interpreted.
std::string FormatMessage(std::string_view templ, std::initializer_list<std::string_view> args);
