// Two of five: what interleaved two of five and ITF-14 share.
#pragma once

// Whether element 0..4 of a digit '0'..'9' is wide.
bool TwoOfFiveWide(char16_t digit, int element);
