// Digit-string preparation and digit sets shared by the EAN/UPC family.
#pragma once

#include <array>
#include <string>
#include <string_view>

// [set][digit]: set 0 = A (odd parity), 1 = B (even parity), 2 = C (right half).
extern const std::array<std::array<const char16_t*, 10>, 3> EANDigitSets;
inline constexpr int EanSetA = 0;
inline constexpr int EanSetB = 1;
inline constexpr int EanSetC = 2;

// The modulo-10 check digit of digits (0..9).
int Modulo10CheckDigit(const std::u16string& digits);
// digits with their modulo-10 check digit appended.
std::u16string CheckSumModulo10(const std::u16string& digits);
// Optionally zero-pads on the left to length, then insists on exactly that length.
std::u16string PadAndCheckLength(const std::u16string& digits, int length, bool zeroPad,
                                 std::string_view typeName);
// Refuses digits whose last digit is not the expected check digit: such a
// symbol would be read by no scanner.
[[noreturn]] void ThrowInvalidCheckDigit(std::string_view typeName, int expected,
                                         const std::u16string& digits);
// The complete digit string of a symbol. Without addCheck the last digit must
// already be the right check digit.
std::u16string PrepareDigits(const std::u16string& digits, int lengthWithoutCheck,
                             int lengthWithCheck, bool zeroPad, bool addCheck,
                             std::string_view typeName);
