#include "cli/TypeNames.h"

#include <cstdint>

#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"

namespace {

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

std::optional<int> ParseBarcodeType(std::string_view name) {
    return CliTypeNamed(name);
}

std::string BarcodeTableName(int type) {
    return ToUtf8(BarcodeTypeName(static_cast<TBarcodeType>(type)));
}
