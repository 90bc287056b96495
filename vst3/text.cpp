#include "text.h"

template <class Unit>
static void writeString(Unit* dst, size_t capacity, const char* src) {
    size_t i = 0;
    for (; i + 1 < capacity && src[i]; ++i)
        dst[i] = (Unit)(unsigned char)src[i];
    for (; i < capacity; ++i)
        dst[i] = 0;
}

void writeString8(char* dst, size_t capacity, const char* src) {
    writeString(dst, capacity, src);
}

void writeString16(TChar* dst, size_t capacity, const char* src) {
    writeString(dst, capacity, src);
}
