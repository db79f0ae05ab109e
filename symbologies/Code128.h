// Code 128 tables and lookups, and the width-to-pattern conversion Code 93 shares.
#pragma once

#include <array>
#include <cstdint>
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

// Module widths '1'..'4', bar first, to the bar alphabet: widths at odd
// positions become bars '5'..'8', at even positions spaces '0'..'3'.
std::u16string WidthsToPattern(const std::u16string& widths);
// The value of c in set A or B, or -1.
int FindCode128(char16_t c, TCode128Set set);
// The value of a two-digit text in set C, or -1.
int FindCode128C(const std::u16string& pair);
