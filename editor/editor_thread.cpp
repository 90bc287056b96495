#include "editor/editor_thread.h"

#include "editor/page_channel.h"
#include "editor/win32_util.h"
#include "editor/wv2_handler.h"
#include "editor/wv2_options.h"

#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

// What the editor thread owns from start-up to its end.
struct EditorSession {
    WebViewHost* host;
    EditorThreadStart start; // copied: the owner's record goes away once start-up is answered
    char className[24];
    bool classRegistered;
    bool comInitialized;
    bool environmentRequested; // the runtime may have created the user data folder
    bool shown;
    wchar_t* userDataFolder; // doubly terminated, as the shell's file operation wants it
    WV2EnvironmentOptions* options;
    WV2Handler* handler;
};

// [editor thread] Window procedure of the editor window (host in the first extra word).
static LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WebViewHost* host = reinterpret_cast<WebViewHost*>(GetWindowLongPtrA(window, 0));
    if (!host) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        if (host->controller) {
            RECT bounds;
            GetClientRect(window, &bounds);
            host->controller->put_Bounds(bounds);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (host->controller)
            host->controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND createEditorWindow(EditorSession* s) {
    const EditorThreadStart& start = s->start;
    if (start.childMode) {
        HWND window = CreateWindowExA(WS_EX_NOACTIVATE, s->className, NULL, 0, 0, 0, start.width,
                                      start.height, NULL, NULL, NULL, NULL);
        if (window && !setWindowLongChecked(window, GWL_STYLE, 0)) {
            DestroyWindow(window);
            return NULL;
        }
        return window;
    }
    return CreateWindowExA(0, s->className, NULL, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0,
                           start.width, start.height, NULL, NULL, NULL, NULL);
}

// The temporary name without its four-character extension, doubly terminated.
static wchar_t* userDataFolderOf(const wchar_t* temporaryName) {
    size_t length = wcslen(temporaryName);
    if (length < 4) return NULL;
    wchar_t* folder = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (length + 1)));
    if (!folder) return NULL;
    wmemcpy(folder, temporaryName, length + 1);
    folder[length - 4] = L'\0';
    folder[length - 3] = L'\0';
    return folder;
}

// Start-up up to the environment request; the runtime answers through the handler.
static bool startEditor(EditorSession* s) {
    WebViewHost* host = s->host;
    host->controller = NULL;
    snprintf(s->className, sizeof s->className, "c%llX", (unsigned long long)(uintptr_t)host);
    HCURSOR arrow = (HCURSOR)LoadImageA(NULL, (LPCSTR)IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED);
    if (!arrow) return false;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = editorWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hCursor = arrow;
    windowClass.lpszClassName = s->className;
    s->classRegistered = RegisterClassA(&windowClass) != 0;
    if (!s->classRegistered) return false;
    host->editorWindow = createEditorWindow(s);
    if (!host->editorWindow || !setWindowLongChecked(host->editorWindow, 0, (LONG_PTR)host))
        return false;
    s->comInitialized =
        SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    if (!s->comInitialized) return false;
    s->userDataFolder = userDataFolderOf(s->start.temporaryName);
    s->options = new (std::nothrow) WV2EnvironmentOptions();
    s->handler = new (std::nothrow) WV2Handler(host, s->start.pagePath);
    if (!s->userDataFolder || !s->options || !s->options->ready() || !s->handler ||
        !s->handler->ready())
        return false;
    if (FAILED(s->options->put_AdditionalBrowserArguments(L"--allow-file-access-from-files")))
        return false;
    s->environmentRequested = true;
    return SUCCEEDED(s->start.createEnvironment(
        NULL, s->userDataFolder, s->options,
        static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(s->handler)));
}

// The controller is ready: put the window into the parent, show it, release create.
static bool finishStart(EditorSession* s) {
    WebViewHost* host = s->host;
    HWND window = host->editorWindow;
    if (!host->controller || !setParentChecked(window, s->start.parent) ||
        !SetWindowPos(window, NULL, 0, 0, 0, 0,
                      SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE) ||
        FAILED(host->controller->put_IsVisible(TRUE)))
        return false;
    ShowWindow(window, SW_SHOW); // returns the earlier visibility, not success
    s->shown = true;
    ReleaseSemaphore(host->replySemaphore, 1, NULL);
    return true;
}

static void deleteUserDataFolder(const wchar_t* folder) {
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = folder;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationW(&operation);
}

// Shutdown, or the end of a failed start-up (`failed`: editorWindow ends null). The last
// release of replySemaphore is the thread's last touch of the host.
static void endSession(EditorSession* s, bool failed) {
    WebViewHost* host = s->host;
    if (host->controller) {
        host->controller->Close();
        host->controller->Release();
        host->controller = NULL;
    }
    if (s->environmentRequested) deleteUserDataFolder(s->userDataFolder);
    if (s->handler) s->handler->Release();
    if (s->options) s->options->Release();
    free(s->userDataFolder);
    if (failed && s->comInitialized) CoUninitialize();
    if (host->editorWindow) DestroyWindow(host->editorWindow);
    if (s->classRegistered) UnregisterClassA(s->className, NULL);
    if (!failed && s->comInitialized) CoUninitialize();
    if (failed) host->editorWindow = NULL;
    ReleaseSemaphore(host->replySemaphore, 1, NULL);
}

// Requests from the owner thread and from other threads are answered apart, so that an answer
// never wakes a waiter it was not meant for.
static void answerRequest(WebViewHost* host, WPARAM wParam) {
    ReleaseSemaphore(wParam & REQUEST_FROM_OTHER_THREAD ? host->otherReplySemaphore
                                                        : host->replySemaphore,
                     1, NULL);
}

// A request posted to the editor window; false once the thread is to end.
static bool serveRequest(EditorSession* s, const MSG& msg) {
    WebViewHost* host = s->host;
    switch (msg.message) {
    case MSG_EDITOR_READY:
        if (!s->shown && !(msg.wParam == 1 && finishStart(s))) {
            endSession(s, true);
            return false;
        }
        return true;
    case MSG_EDITOR_QUIT:
        endSession(s, false);
        return false;
    case MSG_EDITOR_SET_VALUE:
        storeAndSendValue(host, (uint32_t)msg.wParam, floatFromBits((uint32_t)msg.lParam));
        answerRequest(host, msg.wParam);
        return true;
    case MSG_EDITOR_SEND_TEXT:
        sendCustomTextToPage(host, reinterpret_cast<const char*>(msg.lParam));
        answerRequest(host, msg.wParam);
        return true;
    default:
        return true;
    }
}

static bool isRequest(UINT message) {
    return message >= MSG_EDITOR_READY && message <= MSG_EDITOR_SEND_TEXT;
}

static void runEditor(EditorSession* s) {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0 || got == -1) {
            // WM_QUIT: the window was destroyed from outside; before it was shown that is a
            // failed start-up, as is an error of the message queue.
            endSession(s, got == -1 || !s->shown);
            return;
        }
        if (msg.hwnd && msg.hwnd == s->host->editorWindow && isRequest(msg.message)) {
            if (!serveRequest(s, msg)) return;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

DWORD WINAPI editorThreadMain(void* start) {
    EditorSession session = {};
    session.start = *static_cast<EditorThreadStart*>(start);
    session.host = session.start.host;
    if (!startEditor(&session)) {
        endSession(&session, true);
        return 0;
    }
    runEditor(&session);
    return 0;
}
