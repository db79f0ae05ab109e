// Code 128 tables and lookups.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum TCode128Set : std::uint8_t { cs128A, cs128B, cs128C };

struct TCode128Entry {
    char16_t A;             // character of the value in code set A
    char16_t B;             // in code set B
    const char16_t* C;      // digit pair in code set C
    const char16_t* Widths; // bar, space, bar, space, bar, space, in modules
};

// Symbol values 0..102. Where a set has no character (DEL, the function and
// code-change values) the entry holds a space, which the lookups never reach
// because value 0 already is the space.
extern const std::array<TCode128Entry, 103> Code128Table;

inline constexpr int Code128Fnc1 = 102;

// The value of c in set A or B, if it has one there.
std::optional<int> FindCode128(char16_t c, TCode128Set set);
// The value of a two-digit text in set C, if it is two digits.
std::optional<int> FindCode128C(const std::u16string& pair);
