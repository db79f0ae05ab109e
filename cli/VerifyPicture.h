// --verify: a written symbol is read back by ZXing-C++, as a scanner would read
// the printed label, before its file is written.
#pragma once

#include <string>

#include "cli/VerifyReading.h"
#include "cli/WrittenPicture.h"

// Reads picture (the grey levels of a written file) back: why it does not
// read as expected (ReadingProblem), or an empty string when it does. Call
// only where UnverifiableReason is empty.
std::string VerifyProblem(const TGreyPicture& picture, const TExpectedReading& expected);
