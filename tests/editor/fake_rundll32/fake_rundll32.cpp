// Test-only stand-in for the system's rundll32.exe: appends its own command line (UTF-8, one line)
// to the file named by VELUM_FAKE_RUNDLL32_LOG, or to rundll32.log beside itself, and exits.
#include <windows.h>

#include <stdio.h>

static void log_path(wchar_t* path, DWORD size) {
    DWORD length = GetEnvironmentVariableW(L"VELUM_FAKE_RUNDLL32_LOG", path, size);
    if (length > 0 && length < size) return;
    DWORD n = GetModuleFileNameW(nullptr, path, size);
    while (n > 0 && path[n - 1] != L'\\')
        n--;
    lstrcpynW(path + n, L"rundll32.log", (int)(size - n));
}

int main() {
    wchar_t path[MAX_PATH];
    log_path(path, MAX_PATH);
    char line[8192];
    int n =
        WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
    if (n <= 0) return 1;
    FILE* f = _wfopen(path, L"ab");
    if (!f) return 1;
    fprintf(f, "%s\n", line);
    fclose(f);
    return 0;
}
