// The editor host's two threads.
//
// The owner thread (the host application's UI thread, the caller of create) owns the relay
// window and runs every wrapper callback. The editor thread owns the editor window and is the
// only thread that touches WebView2 objects and slotValues. Requests cross as posted window
// messages and each is answered through a semaphore: replySemaphore (released by the editor
// thread) answers create, destroy, the owner's setParameterValue and sendCustomMessage and the
// hand-overs; otherReplySemaphore answers those two requests from any other thread (one such
// thread at a time); relaySemaphore (released by the owner thread) answers each relay request.
//
// No interleaving may leave both threads waiting for each other, so no wait is a plain one:
// - the owner thread, while it waits, serves messages sent to it (the editor thread's window
//   calls on editorWindow inside the owner's window block until answered) and delivers the relay
//   requests queued meanwhile, so a page edit posted at the moment the owner posts a request is
//   served inside that wait; an answer already given is taken before a later relay request is
//   delivered, so a hand-over inside that relay never takes an answer meant for the outer wait;
// - the editor thread, while it waits in a relay request or for the link opener, serves messages
//   sent to it (the owner's calls on editorWindow, the parent's destruction). Posted requests
//   wait for its message loop: answering them inside a relay request would cross the replies.
// - within a wrapper edit callback the editor thread is blocked in that relay request, so a
//   value sent from the callback is handed over (handoverIndex/handoverValue, relaySemaphore)
//   instead of posted.
// The owner also waits on the editor thread's handle, so a thread that has ended can never
// leave it waiting, and nothing is freed before that thread is gone.
#include "editor/webview_host.h"

#include "editor/editor_thread.h"
#include "editor/message_wait.h"
#include "editor/page_channel.h"
#include "editor/relay.h"
#include "editor/win32_util.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// [owner thread] "<loader folder>\WebView2Loader.dll", loaded; null when missing.
static HMODULE loadLoader(const char* folder) {
    if (!folder) return NULL;
    size_t size = strlen(folder) + 21;
    char* path = static_cast<char*>(malloc(size));
    if (!path) return NULL;
    snprintf(path, size, "%s\\WebView2Loader.dll", folder);
    HMODULE module = LoadLibraryA(path);
    free(path);
    return module;
}

// [owner thread] "<page folder>\index.html" in UTF-16; null if the folder is not valid UTF-8.
static wchar_t* pagePathOf(const char* folder) {
    if (!folder) return NULL;
    int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, folder, -1, NULL, 0);
    if (count <= 0) return NULL;
    wchar_t* path = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * ((size_t)count + 23)));
    if (!path) return NULL;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, folder, -1, path, count);
    wcscpy(path + count - 1, L"\\index.html");
    return path;
}

// [owner thread] Reserves a unique "vino" file in the temporary folder; null on failure.
static wchar_t* reserveTemporaryName() {
    wchar_t folder[262];
    DWORD length = GetTempPathW(262, folder);
    if (length == 0 || length >= 262) return NULL;
    wchar_t* name = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * 262));
    if (name && GetTempFileNameW(folder, L"vino", 0, name) == 0) {
        free(name);
        return NULL;
    }
    return name;
}

// [owner thread] The relay window and its class, as a child of `parent` in child mode.
static bool createRelayWindow(WebViewHost* host, bool childMode, HWND parent) {
    snprintf(host->relayClassName, sizeof host->relayClassName, "d%llX",
             (unsigned long long)(uintptr_t)host);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = relayWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.lpszClassName = host->relayClassName;
    if (!RegisterClassA(&windowClass)) return false;
    host->relayWindow =
        CreateWindowExA(0, host->relayClassName, "", childMode ? WS_CHILD : WS_POPUP, 0, 0, 0, 0,
                        parent, NULL, NULL, NULL);
    host->inRelayCallback = false;
    return host->relayWindow && setWindowLongChecked(host->relayWindow, 0, (LONG_PTR)host);
}

// [owner thread] Waits for the editor thread to end; it then touches nothing of the host.
static void waitForEditorThreadEnd(WebViewHost* host) {
    if (host->editorThread) waitServingRelay(host, 1, &host->editorThread);
}

// [owner thread] Frees whatever exists of a host whose editor thread has ended (or never ran).
static void freeHost(WebViewHost* host) {
    if (host->relaySemaphore) CloseHandle(host->relaySemaphore);
    if (host->relayWindow) DestroyWindow(host->relayWindow);
    UnregisterClassA(host->relayClassName, NULL);
    free(host->slotValues);
    if (host->replySemaphore) CloseHandle(host->replySemaphore);
    if (host->otherReplySemaphore) CloseHandle(host->otherReplySemaphore);
    if (host->editorThread) CloseHandle(host->editorThread);
    if (host->loaderModule) FreeLibrary(host->loaderModule);
    free(host);
}

// [owner thread] The host with its semaphores, dispatch table and slots; null when out of memory.
static WebViewHost* allocateHost(const WebViewHostConfig* config,
                                 WebViewCustomMessageHandler onCustomMessage, size_t valueCount) {
    WebViewHost* host = static_cast<WebViewHost*>(calloc(1, sizeof(WebViewHost)));
    if (!host) return NULL;
    host->ownerThreadId = GetCurrentThreadId();
    host->replySemaphore = CreateSemaphoreA(NULL, 0, 1, NULL);
    host->otherReplySemaphore = CreateSemaphoreA(NULL, 0, 1, NULL);
    host->config = *config;
    host->customMessageHandler = onCustomMessage;
    // Zeroed: the page may ask for the values before any was set.
    host->slotValues = static_cast<float*>(calloc(valueCount ? valueCount : 1, sizeof(float)));
    host->valueCount = valueCount;
    host->dispatch = {host,
                      relayBeginEdit,
                      relayPerformEdit,
                      relayEndEdit,
                      onCustomMessage ? dispatchCustomMessage : NULL,
                      dispatchSendValue,
                      host->slotValues,
                      valueCount};
    InitializeSRWLock(&host->relayLock);
    InitializeSRWLock(&host->otherThreadsLock);
    return host;
}

// [owner thread] Everything of create from the host's allocation on; null after undoing it. The
// host takes over `loader` only when it starts.
static WebViewHost* startHost(bool childMode, HWND parent, const WebViewHostConfig* config,
                              WebViewCustomMessageHandler onCustomMessage, int32_t width,
                              int32_t height, size_t valueCount, HMODULE loader,
                              CreateCoreWebView2EnvironmentWithOptionsFn createEnvironment,
                              const wchar_t* pagePath) {
    WebViewHost* host = allocateHost(config, onCustomMessage, valueCount);
    if (!host) return NULL;
    wchar_t* temporaryName = host->replySemaphore && host->otherReplySemaphore && host->slotValues
                                 ? reserveTemporaryName()
                                 : NULL;
    bool started = false;
    if (temporaryName && createRelayWindow(host, childMode, parent) &&
        (host->relaySemaphore = CreateSemaphoreA(NULL, 0, 1, NULL)) != NULL) {
        EditorThreadStart start = {host,   childMode,         parent,   width,
                                   height, createEnvironment, pagePath, temporaryName};
        host->editorThread =
            CreateThread(NULL, 0, editorThreadMain, &start, 0, &host->editorThreadId);
        if (host->editorThread) {
            HANDLE handles[2] = {host->replySemaphore, host->editorThread};
            started = waitServingRelay(host, 2, handles) == 0 && host->editorWindow;
        }
    }
    if (temporaryName) {
        DeleteFileW(temporaryName);
        free(temporaryName);
    }
    if (started) {
        host->loaderModule = loader;
        return host;
    }
    waitForEditorThreadEnd(host); // the loader stays create's to free
    freeHost(host);
    return NULL;
}

WebViewHost* create(bool childMode, HWND parent, const WebViewHostConfig* config,
                    WebViewCustomMessageHandler onCustomMessage, int32_t width, int32_t height,
                    size_t valueCount) {
    if (!config || !config->getLoaderFolder || !config->getPageFolder) return NULL;
    HMODULE loader = loadLoader(config->getLoaderFolder(config->userData));
    if (!loader) return NULL;
    CreateCoreWebView2EnvironmentWithOptionsFn createEnvironment =
        reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFn>(reinterpret_cast<void*>(
            GetProcAddress(loader, "CreateCoreWebView2EnvironmentWithOptions")));
    wchar_t* pagePath =
        createEnvironment ? pagePathOf(config->getPageFolder(config->userData)) : NULL;
    WebViewHost* host = NULL;
    if (pagePath)
        host = startHost(childMode, parent, config, onCustomMessage, width, height, valueCount,
                         loader, createEnvironment, pagePath);
    free(pagePath);
    if (!host) FreeLibrary(loader);
    return host;
}

// [any thread] Posts a request to a running editor thread; false when it cannot take one.
static bool postToEditor(WebViewHost* host, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!host->editorWindow || WaitForSingleObject(host->editorThread, 0) != WAIT_TIMEOUT)
        return false;
    return PostMessageA(host->editorWindow, message, wParam, lParam) != 0;
}

// [any thread but the editor's] Waits for `reply`, or for the editor thread's end.
static void waitForReply(WebViewHost* host, HANDLE reply) {
    HANDLE handles[2] = {reply, host->editorThread};
    waitServingRelay(host, 2, handles);
}

// [any thread but the editor's] Posts a request and waits until it is served. Other threads take
// turns and are answered through their own semaphore, apart from the owner and its hand-overs.
static void request(WebViewHost* host, UINT message, uint32_t wParam, LPARAM lParam) {
    if (GetCurrentThreadId() == host->ownerThreadId) {
        if (postToEditor(host, message, wParam, lParam)) waitForReply(host, host->replySemaphore);
        return;
    }
    AcquireSRWLockExclusive(&host->otherThreadsLock);
    if (postToEditor(host, message, wParam | REQUEST_FROM_OTHER_THREAD, lParam))
        waitForReply(host, host->otherReplySemaphore);
    ReleaseSRWLockExclusive(&host->otherThreadsLock);
}

void destroy(WebViewHost* host) {
    if (!host) return;
    // If the editor window is already gone the thread ends on its own through WM_QUIT.
    postToEditor(host, MSG_EDITOR_QUIT, 0, 0);
    waitForEditorThreadEnd(host);
    freeHost(host);
}

void setParameterValue(WebViewHost* host, uint32_t index, float value) {
    if (!host || index >= host->valueCount) return;
    DWORD caller = GetCurrentThreadId();
    if (caller == host->editorThreadId) {
        storeAndSendValue(host, index, value);
        return;
    }
    if (caller == host->ownerThreadId) {
        drainRelayWindow(host); // edits the page sent earlier reach the wrapper first
        if (host->inRelayCallback) {
            host->handoverIndex = index;
            host->handoverValue = value;
            ReleaseSemaphore(host->relaySemaphore, 1, NULL);
            waitForReply(host, host->replySemaphore);
            return;
        }
    }
    request(host, MSG_EDITOR_SET_VALUE, index, (LPARAM)floatBits(value));
}

void sendCustomMessage(WebViewHost* host, const char* text) {
    if (!host || !text) return;
    DWORD caller = GetCurrentThreadId();
    if (caller == host->editorThreadId) {
        sendCustomTextToPage(host, text);
        return;
    }
    // Inside an edit callback the editor thread cannot answer a posted request.
    if (caller == host->ownerThreadId && host->inRelayCallback) return;
    request(host, MSG_EDITOR_SEND_TEXT, 0, reinterpret_cast<LPARAM>(text));
}

void idle(WebViewHost*) {}
