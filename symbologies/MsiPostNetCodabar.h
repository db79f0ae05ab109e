// MSI, PostNet and Codabar tables and the Codabar lookup.
#pragma once

#include <array>
#include <optional>
#include <string>

// Per digit: its four bits from the most significant, 0 as "51", 1 as "60".
extern const std::array<const char16_t*, 10> MSITable;
// Per digit: five bars ('5' full, 'A' half height), each followed by a wide space.
extern const std::array<const char16_t*, 10> PostNetTable;

struct TCodabarEntry {
    char16_t Char;
    const char16_t* Pattern; // seven elements, bar first
};

extern const std::array<TCodabarEntry, 20> CodabarTable;

// Index of c in CodabarTable, if it is there. Exact: small letters are not found.
std::optional<int> FindCodabar(char16_t c);
