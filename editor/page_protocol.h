// The text protocol between the editor page and the plug-in: decoding and dispatch of the page's
// messages and formatting of the value message. No platform calls, so it builds everywhere.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

// What the dispatcher calls; the editor host fills one per editor and keeps it for its lifetime.
// Everything here is used on the editor thread only.
struct PageDispatchTable {
    void* user; // first argument of every operation (the editor host); not owned
    void (*onBeginEdit)(void* user, uint32_t index, float value);   // page message "b"
    void (*onPerformEdit)(void* user, uint32_t index, float value); // page message "s"
    void (*onEndEdit)(void* user, uint32_t index, float value);     // page message "e"
    // Page message "m": the text after "m " (borrowed for the call); null = "m" is ignored.
    void (*onCustomMessage)(void* user, const char* text);
    // Posts one value message to the page without touching slotValues (used for "g").
    void (*sendValue)(void* user, uint32_t index, float value);
    float* slotValues; // valueCount slots, owned by the editor host
    size_t valueCount;
};

// Longest value message "s %08x %08x" with its terminator is 20; the buffer holds 40.
enum { PAGE_VALUE_MESSAGE_CHARS = 40 };

// [editor thread] Decodes one UTF-8 page message (borrowed, NUL-terminated) and calls the table:
// "b"/"s"/"e" store the value in its slot first, "g" sends every slot in ascending order.
// Unknown commands, unreadable numbers and slots at or above valueCount are ignored.
void dispatchPageMessage(const PageDispatchTable* table, const char* message);

// [any thread] Writes the value message "s %08x %08x" (slot index, the value's bits) into `out`.
void formatValueMessage(wchar_t out[PAGE_VALUE_MESSAGE_CHARS], uint32_t index, float value);

// [any thread] The value's exact 32-bit pattern, and back.
uint32_t floatBits(float value);
float floatFromBits(uint32_t bits);
