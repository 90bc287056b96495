// Small helpers for the Win32 and COM calls of the editor. Windows only.
#pragma once

#include "editor/webview2.h"

// A CoTaskMemAlloc copy of `text` (the receiver frees it), or null when it cannot be allocated.
LPWSTR copyCoTaskText(LPCWSTR text);

// The HRESULT of the thread's last Win32 error, or `fallback` when none was recorded.
HRESULT lastErrorResult(HRESULT fallback);

// Atomic COM reference counting of the editor's two classes: the new count; `object` is deleted
// when it reaches 0.
inline ULONG addReference(LONG* count) {
    return (ULONG)InterlockedIncrement(count);
}
template <typename Object>
ULONG releaseReference(Object* object, LONG* count) {
    LONG remaining = InterlockedDecrement(count);
    if (remaining == 0) delete object;
    return (ULONG)remaining;
}

// SetWindowLongPtrA / SetParent, where a zero result is a failure only if an error was recorded.
bool setWindowLongChecked(HWND window, int index, LONG_PTR value);
bool setParentChecked(HWND window, HWND parent);
