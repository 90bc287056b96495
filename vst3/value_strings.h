// Display texts of plain values: two decimals, cut rather than rounded; and the whole-number
// reading of a typed text.
#pragma once

#include "vst3_types.h"

// [UI thread] Write `plain` as UTF-16 into the 128-unit `text` ("7.50", "-1.50"); never more
// than 127 units plus the terminator.
void formatPlainValue(double plain, TChar* text);

// [UI thread] The optional "-" and leading decimal digits of `text` (at most 128 units read) as
// a whole number; everything from the first other unit on is ignored.
double parsePlainValue(const TChar* text);
