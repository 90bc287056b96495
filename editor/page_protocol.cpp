#include "editor/page_protocol.h"

#include <string.h>

uint32_t floatBits(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatFromBits(uint32_t bits) {
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one number as the scan directive "%x" does (white space, sign, optional 0x, digits) and
// advances `text` past it; false when there is no number or it does not fit 32 bits.
static bool readHex(const char** text, uint32_t* out) {
    const char* p = *text;
    while (isSpace(*p))
        p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigit(p[2]) >= 0) p += 2;
    if (hexDigit(*p) < 0) return false;
    uint64_t value = 0;
    for (; hexDigit(*p) >= 0; p++) {
        value = value * 16 + (uint64_t)hexDigit(*p);
        if (value > 0xffffffffu) return false;
    }
    *out = negative ? 0u - (uint32_t)value : (uint32_t)value;
    *text = p;
    return true;
}

// "b", "s" and "e": slot index and value bits from the third character on.
static void dispatchEdit(const PageDispatchTable* table, const char* message,
                         void (*edit)(void*, uint32_t, float)) {
    if (message[1] == '\0') return;
    const char* args = message + 2;
    uint32_t index, bits;
    if (!readHex(&args, &index) || !readHex(&args, &bits)) return;
    if (index >= table->valueCount) return;
    float value = floatFromBits(bits);
    table->slotValues[index] = value;
    edit(table->user, index, value);
}

void dispatchPageMessage(const PageDispatchTable* table, const char* message) {
    switch (message[0]) {
    case 'b':
        dispatchEdit(table, message, table->onBeginEdit);
        break;
    case 's':
        dispatchEdit(table, message, table->onPerformEdit);
        break;
    case 'e':
        dispatchEdit(table, message, table->onEndEdit);
        break;
    case 'g':
        for (size_t i = 0; i < table->valueCount; i++)
            table->sendValue(table->user, (uint32_t)i, table->slotValues[i]);
        break;
    case 'm':
        if (table->onCustomMessage)
            table->onCustomMessage(table->user, message[1] ? message + 2 : "");
        break;
    default:
        break;
    }
}

static void writeHex8(wchar_t* out, uint32_t value) {
    static const char digits[] = "0123456789abcdef";
    for (int i = 7; i >= 0; i--) {
        out[i] = (wchar_t)digits[value & 15];
        value >>= 4;
    }
}

void formatValueMessage(wchar_t out[PAGE_VALUE_MESSAGE_CHARS], uint32_t index, float value) {
    out[0] = L's';
    out[1] = L' ';
    writeHex8(out + 2, index);
    out[10] = L' ';
    writeHex8(out + 11, floatBits(value));
    out[19] = L'\0';
}
