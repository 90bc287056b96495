// What the format wrappers' editor suites (VST3 view, LV2 UI) add to the editor host harness: the
// page's edit messages and counts of what an editor may leave behind. Windows only.
#pragma once

#include <windows.h>

#include <tlhelp32.h>
#include <wchar.h>

#include <string>

#include "tests/editor/host_harness.h"

// The page's message "b", "s" or "e" for `slot` with `value`, as the page script writes it.
inline std::wstring page_edit_message(char command, uint32_t slot, float value) {
    wchar_t text[40];
    swprintf(text, 40, L"%c %x %08x", command, slot, bits_of(value));
    return text;
}

// Threads of this process right now.
inline int process_threads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Windows inside `window`, at any depth.
inline int child_windows(HWND window) {
    int count = 0;
    EnumChildWindows(
        window, [](HWND, LPARAM counter) { return ++*(int*)counter, TRUE; }, (LPARAM)&count);
    return count;
}
