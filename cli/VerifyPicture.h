// --verify: a written symbol is read back by ZXing-C++, as a scanner would read
// the printed label, before its file is written.
#pragma once

#include <string>
#include <string_view>

#include "cli/WrittenPicture.h"

// Why the decoder cannot read back a symbol of type that encodes preparedText
// (it has no reader for MSI, PostNet, two of five industrial and matrix and the
// UPC supplements, and reads no code shorter than its minimum), or an empty
// string when it can.
std::string UnverifiableReason(int type, std::u16string_view preparedText, bool useCheckSum);

// Reads picture (the grey levels of a written file) back. Returns why it does
// not read as preparedText, the text the symbol encodes (BCText; for EAN-128
// the GS1 content, for Code 39 extended its full-ASCII reading), or an empty
// string when it does. Call only where UnverifiableReason is empty.
std::string VerifyProblem(const TGreyPicture& picture, int type, std::u16string_view preparedText,
                          bool useCheckSum);
