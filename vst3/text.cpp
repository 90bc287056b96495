#include "text.h"

template <class Unit>
static void writeUnits(Unit* dst, size_t capacity, const char* src) {
    size_t i = 0;
    for (; i + 1 < capacity && src[i]; ++i)
        dst[i] = (Unit)(unsigned char)src[i];
    for (; i < capacity; ++i)
        dst[i] = 0;
}

void writeText(char* dst, size_t capacity, const char* src) {
    writeUnits(dst, capacity, src);
}

void writeText(TChar* dst, size_t capacity, const char* src) {
    writeUnits(dst, capacity, src);
}
