// UPC-E number expansion and the 5-digit supplement's check value.
#pragma once

#include <array>
#include <string>

// Per check digit, the parity of the six UPC-E digits for number system 0:
// 'E' even (set B), 'o' odd (set A). The 5-digit supplement uses letters 2..6.
extern const std::array<const char16_t*, 10> UPCEParityTable;

// The 12-digit UPC-A form (check digit included) of six UPC-E digits under
// number system ns ('0' or '1').
std::u16string ExpandUPC_E(const std::u16string& digits, char16_t ns);
// The check value 0..9 of the five supplement digits.
int SuppCheckDigit(const std::u16string& digits);
