// Fixed-size text fields of the VST3 structures.
#pragma once

#include <stddef.h>

#include "vst3_types.h"

// [any thread] Copy ASCII `src` into a field of `capacity` units, NUL-terminated (cut to fit) and
// zero-filled after the text.
void writeString8(char* dst, size_t capacity, const char* src);
void writeString16(TChar* dst, size_t capacity, const char* src);
