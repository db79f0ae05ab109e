// Code 128 tables and lookups.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
inline constexpr int Code128Shift = 98;  // the next character from the other of sets A and B
inline constexpr int Code128CodeC = 99;  // in sets A and B
inline constexpr int Code128CodeB = 100; // in sets A and C; FNC4 in set B
inline constexpr int Code128CodeA = 101; // in sets B and C; FNC4 in set A
inline constexpr int Code128StartA = 103;

// The pattern of a symbol of these values, the start value (103..105) first,
// then the data values; the check value and the stop are added.
std::u16string Code128Pattern(const std::vector<int>& values);

// An item of the data a Code 128 symbol carries: a character 0..255, or FNC1.
inline constexpr int Code128Fnc1Item = 256;
// The values of the shortest symbol for the items (start value first, no check
// or stop): code sets A, B and C with shifts and code changes, FNC4 for the
// characters 128..255. Every item must be 0..256.
std::vector<int> Code128ShortestValues(const std::vector<int>& items);

// The value of c in set A or B, if it has one there.
std::optional<int> FindCode128(char16_t c, TCode128Set set);
// The value of a two-digit text in set C, if it is two digits.
std::optional<int> FindCode128C(const std::u16string& pair);
