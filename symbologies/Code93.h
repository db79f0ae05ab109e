// Code 93 tables and lookup, shared by the plain and the full-ASCII encoder.
#pragma once

#include <array>
#include <string>

struct TCode93Entry {
    char16_t Char;
    // Six module widths '1'..'4': bar, space, bar, space, bar, space.
    const char16_t* Widths;
};

// Indexed by the Code 93 value. The shift characters ($), (%), (/), (+) are
// written '[', ']', '{', '}' so that a text can name them.
extern const std::array<TCode93Entry, 47> Code93Table;
// Full-ASCII map: the one or two Code93Table characters that stand for each code 0..127.
extern const std::array<const char16_t*, 128> Code93ExtTable;

// The Code 93 value of c, or -1. Exact: small letters are not found.
int FindCode93(char16_t c);
