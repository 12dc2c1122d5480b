// The texts a host shows for parameter values, and the numbers it reads
// back from what a user types, in UTF-16 as VST3 carries them.
#pragma once

#include "vst3_types.h"

// The plain value with exactly two decimals, each cut toward zero, no unit
// and no thousands separator: 28.999999999999996 is "28.99".  False, with
// nothing written, for a value whose digits would not fit the 128 units
// (or that has no digits at all, as not-a-number).
bool format_plain_value(double plain, String128 text);

// The number at the start of text: an optional "-", digits, and an optional
// fraction after "." or ","; whatever follows (a unit, say) is ignored.  No
// digits give 0.  At most the 128 units of a String128 are read.
double parse_plain_value(const char16* text);
