// The editor thread: its window, the WebView2 environment and controller, its message loop and
// its end. Windows only.
#pragma once

#include "editor/webview_host.h"

// What create gives the editor thread. Lives on the owner thread's stack: valid until the
// editor thread answers start-up through replySemaphore.
struct EditorThreadStart {
    WebViewHost* host;
    bool childMode;
    HWND parent;
    int32_t width;
    int32_t height;
    CreateCoreWebView2EnvironmentWithOptionsFn createEnvironment;
    const wchar_t* pagePath;      // full path of "index.html"
    const wchar_t* temporaryName; // the reserved temporary file; the user data folder derives
};

// [editor thread] Thread procedure; `start` is an EditorThreadStart. Releases replySemaphore
// once start-up has ended either way (editorWindow null on failure), once per request served,
// and once at shutdown, touching nothing of the host after that last release.
DWORD WINAPI editorThreadMain(void* start);
