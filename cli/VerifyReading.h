// --verify without pictures: which reader of ZXing-C++ reads a type, what it
// must give back for a code, and whether what it read says the same. Plain
// C++ without Qt; cli/VerifyPicture.h turns written files into luminance.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ZoBarCode_interface.h"

// What a symbol carries, in the terms a reader gives it back in.
struct TExpectedReading {
    int Type = 0;
    bool UseCheckSum = true;
    // The text the symbol encodes (the prepared text, check digits included;
    // for EAN-128 data not in brackets the GS1 content), without an add-on.
    std::u16string Text;
    // The GS1 element strings, when the symbol carries them in that form.
    std::vector<TGs1Element> Gs1;
    // The digits of an EAN/UPC add-on; empty without one.
    std::u16string AddOn;
};

// The reading expected of code drawn as type; the engine's EBarcodeError when
// it refuses the code.
TExpectedReading ExpectedReading(std::u16string_view code, int type, bool useCheckSum);

// Why ZXing-C++ cannot read such a symbol back (it has no reader for MSI,
// PostNet, two of five industrial and matrix and the UPC supplements, and reads
// no code shorter than its minimum), or "" when it can.
std::string UnverifiableReason(const TExpectedReading& expected);

// What the reader returned.
struct TReading {
    std::string Format; // ZXing-C++'s name of the symbology ("EAN-13"); "" for none
    std::u16string
        Bytes; // one character per byte: GS for a separating FNC1, a blank before an add-on
    std::string Identifier; // the symbology identifier, "]C1"
};

// Why reading is not what was encoded, or "" when it is: GS1 data element by
// element, an add-on apart from the main symbol, other symbols as text.
std::string ReadingProblem(const TExpectedReading& expected, const TReading& reading);

// Reads a picture of width x height bytes of luminance, rows one after the
// other, with the reader of the expected type (add-ons required, check digits
// validated where the type has them) and compares. Call only where
// UnverifiableReason is empty.
std::string ReadBackProblem(const std::uint8_t* luminance, int width, int height,
                            const TExpectedReading& expected);
