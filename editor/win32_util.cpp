#include "editor/win32_util.h"

#include <string.h>
#include <wchar.h>

LPWSTR copyCoTaskText(LPCWSTR text) {
    size_t bytes = sizeof(wchar_t) * (wcslen(text) + 1);
    LPWSTR copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy) memcpy(copy, text, bytes);
    return copy;
}

HRESULT lastErrorResult(HRESULT fallback) {
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : fallback;
}

bool setWindowLongChecked(HWND window, int index, LONG_PTR value) {
    SetLastError(0);
    return SetWindowLongPtrA(window, index, value) != 0 || GetLastError() == 0;
}

bool setParentChecked(HWND window, HWND parent) {
    SetLastError(0);
    return SetParent(window, parent) != NULL || GetLastError() == 0;
}
