// The EAN/UPC family: the digit sets, the layout of a symbol (which the
// encoders lay their patterns out by and the drawing takes its long bars and
// digit groups from), and the digit-string preparation.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/ZoBarCode_interface.h"

// [set][digit]: set 0 = A (odd parity), 1 = B (even parity), 2 = C (right half).
extern const std::array<std::array<const char16_t*, 10>, 3> EANDigitSets;
inline constexpr int EanSetA = 0;
inline constexpr int EanSetB = 1;
inline constexpr int EanSetC = 2;

// The four elements of a digit '0'..'9' in a set.
const char16_t* EanDigit(int set, char16_t digit);

// An EAN/UPC symbol from left to right: the start guard, the left digits, the
// centre guard (where there is a right half), the right digits in set C, the
// end guard; four elements a digit.
struct TEanUpcLayout {
    static constexpr std::u16string_view StartGuard = u"505";
    static constexpr std::u16string_view CentreGuard = u"05050";
    static constexpr int DigitElements = 4;

    int LeftDigits = 0;
    int RightDigits = 0;
    std::u16string_view EndGuard = u"505";
    // Digits next to each outer guard whose bars are as long as the guard's
    // (UPC-A); their text stands outside the bars.
    int LongDigits = 0;
    // Digits of the text without bars of their own, printed left and right of
    // the bars: the EAN-13 first digit (carried by the parities), the UPC-E
    // number system and check digit.
    int TextOnlyBefore = 0;
    int TextOnlyAfter = 0;
    // Where the two digit groups stand, in elements from the end of the long
    // start bars and from the end of the centre guard. The text of the symbols
    // has always stood so: the EAN right group one element early, the UPC-E
    // group one element late.
    int LeftGroupShift = 0;
    int RightGroupShift = 0;
    int AutoFontPercent = 75;

    constexpr int CentreFrom() const { // elements before the centre guard
        return static_cast<int>(StartGuard.size()) + DigitElements * LeftDigits;
    }
    constexpr int CentreTo() const {
        return CentreFrom() + (RightDigits > 0 ? static_cast<int>(CentreGuard.size()) : 0);
    }
    constexpr int Elements() const {
        return CentreTo() + DigitElements * RightDigits + static_cast<int>(EndGuard.size());
    }
    // The digits of the text: BCText of such a symbol.
    constexpr int Digits() const {
        return TextOnlyBefore + LeftDigits + RightDigits + TextOnlyAfter;
    }
    constexpr int LongStartBars() const {
        return static_cast<int>(StartGuard.size()) + DigitElements * LongDigits;
    }
};

// The drawing's view of a layout: the guards (and long digits) reach into the
// text band; the text is cut into the digits left of the bars, the two groups
// and the digits right of the bars.
constexpr TTextLayout TextLayoutOf(const TEanUpcLayout& l) {
    TTextLayout t;
    auto piece = [&t, next = 1](int length, int after) mutable {
        if (length <= 0) return;
        t.Pieces[t.PieceCount++] = {next, length, after};
        next += length;
    };
    piece(l.TextOnlyBefore + l.LongDigits, TTextPiece::LeftOfTheBars);
    piece(l.LeftDigits - l.LongDigits, l.LongStartBars() + l.LeftGroupShift);
    piece(l.RightDigits - l.LongDigits, l.CentreTo() + l.RightGroupShift);
    piece(l.TextOnlyAfter + l.LongDigits, l.Elements());

    t.LongBars[t.LongBarCount++] = {1, l.LongStartBars()};
    if (l.RightDigits > 0) t.LongBars[t.LongBarCount++] = {l.CentreFrom() + 1, l.CentreTo()};
    const int endFrom = l.Elements() - static_cast<int>(l.EndGuard.size()) -
                        TEanUpcLayout::DigitElements * l.LongDigits + 1;
    t.LongBars[t.LongBarCount++] = {endFrom, l.Elements()};

    t.RightAllowance = l.TextOnlyAfter + l.LongDigits > 0;
    t.AutoFontPercent = l.AutoFontPercent;
    t.Digits = l.Digits();
    return t;
}

inline constexpr TEanUpcLayout Ean8Layout{
    .LeftDigits = 4, .RightDigits = 4, .RightGroupShift = -1, .AutoFontPercent = 65};
inline constexpr TEanUpcLayout Ean13Layout{
    .LeftDigits = 6, .RightDigits = 6, .TextOnlyBefore = 1, .RightGroupShift = -1};
inline constexpr TEanUpcLayout UpcALayout{
    .LeftDigits = 6, .RightDigits = 6, .LongDigits = 1, .AutoFontPercent = 65};
inline constexpr TEanUpcLayout UpcELayout{.LeftDigits = 6,
                                          .EndGuard = u"050505",
                                          .TextOnlyBefore = 1,
                                          .TextOnlyAfter = 1,
                                          .LeftGroupShift = 1};

inline constexpr TTextLayout Ean8Text = TextLayoutOf(Ean8Layout);
inline constexpr TTextLayout Ean13Text = TextLayoutOf(Ean13Layout);
inline constexpr TTextLayout UpcAText = TextLayoutOf(UpcALayout);
inline constexpr TTextLayout UpcEText = TextLayoutOf(UpcELayout);

// The pattern of a symbol of this layout for its complete digit string: the
// left digits each in the set its letter in leftSets names ('A' or 'B'), the
// right digits in set C.
std::u16string EanUpcPattern(const TEanUpcLayout& layout, std::u16string_view digits,
                             std::u16string_view leftSets);

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
