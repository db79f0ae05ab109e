// Code 39 tables and lookup, shared by the plain and the full-ASCII encoder.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct TCode39Entry {
    char16_t Char;
    // Nine elements, bar first: '5'/'6' narrow/wide bar, '0'/'1' narrow/wide space.
    const char16_t* Pattern;
    std::int8_t Check; // value in the modulo-43 sum
};

// The 43 data characters, with the start/stop character '*' before '$'.
extern const std::array<TCode39Entry, 44> Code39Table;
inline constexpr int Code39StartStop = 39; // the index of '*'
// Full-ASCII map: the one or two Code 39 characters that stand for each code 0..127.
extern const std::array<const char16_t*, 128> Code39ExtTable;

// Index of c in Code39Table, if it is there. Exact: small letters are not found.
std::optional<int> FindCode39(char16_t c);
