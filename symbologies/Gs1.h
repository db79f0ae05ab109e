// GS1 element strings: the dictionary of application identifiers (AIs), the
// bracketed form people write them in, the checks every element must pass,
// and the form a scanner transmits (declared for applications with
// TGs1Element in engine/ZoBarCode_interface.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/ZoBarCode_interface.h"

// What scanners send for an FNC1 that separates two elements.
inline constexpr char16_t Gs1Separator = u'\x1d';

// One part of an AI's data field: 'N' digits, 'X' the 82 characters of GS1
// data, 'Y' the 39 of its narrower set, 'Z' those of base64url; Min..Max
// characters; the names of the checks it must pass.
struct TGs1Component {
    char Type = 'N';
    int Min = 0;
    int Max = 0;
    bool Optional = false;
    std::vector<std::string> Linters;
};

// One line of the dictionary: an AI or a range of AIs of one length.
struct TGs1Entry {
    std::string First;
    std::string Last;
    // Its data has one length, known from the AI: no separator follows it.
    bool FixedLength = false;
    std::vector<TGs1Component> Components;
    // AIs (a trailing "n" standing for any digit) it may not share a symbol with.
    std::vector<std::string> Excludes;
};

// The dictionary, read from the copy built into the program at first use.
const std::vector<TGs1Entry>& Gs1Dictionary();
// The entry of an AI, or nullptr for an AI the dictionary does not have.
const TGs1Entry* FindGs1Entry(std::u16string_view ai);
// Whether a check of that name is known: made here, or accepted unchecked
// because it needs data the dictionary does not hold (country codes, ...).
bool Gs1LinterKnown(std::string_view name);

// Whether a text is in the bracketed form: "(" or "[" after any blanks.
bool IsGs1Bracketed(std::u16string_view text);

// The elements of "(01)09520123456788(10)ABC123" or "[01]...[10]...", each
// checked against the dictionary: the AI known, the length, the characters,
// check digits and dates, no two AIs that exclude each other, no AI twice
// with different data. In the round-bracket form "\(" and "\)" stand for
// brackets in the data. Blanks around the whole are ignored. who names the
// symbology in the messages; a refusal is an EBarcodeError naming the AI.
// The dictionary's associations (an AI that asks for another) are not
// checked: another symbol on the same item may carry the AI asked for.
std::vector<TGs1Element> ParseGs1Brackets(std::u16string_view text, std::string_view who);
// The checks of ParseGs1Brackets, on elements from elsewhere.
void CheckGs1Elements(const std::vector<TGs1Element>& elements, std::string_view who);

// The printed form: "(01)09520123456788(10)ABC123".
std::u16string Gs1Readable(const std::vector<TGs1Element>& elements);
// Whether another element after this one needs a separator (FNC1).
bool Gs1NeedsSeparator(std::u16string_view ai);
// The data of a GS1-128 symbol as Code 128 items: FNC1 first, then each AI
// and its data, FNC1 after every element of variable length but the last.
std::vector<int> Gs1Code128Items(const std::vector<TGs1Element>& elements);
