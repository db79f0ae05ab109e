// Code 93 tables and lookup, shared by the plain and the full-ASCII encoder.
#pragma once

#include <array>
#include <optional>
#include <string>

struct TCode93Entry {
    char16_t Char;
    // Six module widths '1'..'4': bar, space, bar, space, bar, space.
    const char16_t* Widths;
};

// Indexed by the Code 93 value. The shift characters ($), (%), (/), (+) are
// written '[', ']', '{', '}' so that the full-ASCII map can name them.
extern const std::array<TCode93Entry, 47> Code93Table;
inline constexpr int Code93FirstShift = 43; // the value of ($); the shifts are the last four
// Full-ASCII map: the one or two Code93Table characters that stand for each code 0..127.
extern const std::array<const char16_t*, 128> Code93ExtTable;

// The Code 93 value of c, if it has one. Exact: small letters are not found.
std::optional<int> FindCode93(char16_t c);
