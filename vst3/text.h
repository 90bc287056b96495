// Fixed-size text fields of the VST3 structures.
#pragma once

#include <stddef.h>

#include "vst3_types.h"

// [any thread] Copy ASCII `src` into a field of `capacity` units, NUL-terminated (cut to fit) and
// zero-filled after the text.
void writeText(char* dst, size_t capacity, const char* src);
void writeText(TChar* dst, size_t capacity, const char* src);

// [any thread] The same for a whole array field, 8-bit or UTF-16.
template <class Unit, size_t capacity>
void writeField(Unit (&field)[capacity], const char* src) {
    writeText(field, capacity, src);
}
