// One open editor, owned by the wrapper that created it and freed by destroy: the page in a
// WebView2 control, run by an editor thread of its own, relaying the page's edits to the owner
// thread (the thread that called create) and values to the page. Windows only.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "editor/page_protocol.h"
#include "editor/webview2.h"

// What a wrapper passes to create; the host keeps a copy for its lifetime. Every callback runs on
// the owner thread with userData as its first argument.
struct WebViewHostConfig {
    void* userData;        // the wrapper's per-editor object; not owned
    const char* formatTag; // "vst3" or "lv2"; kept with the copy, never read
    // Folder holding "WebView2Loader.dll", UTF-8; borrowed, read once during create.
    const char* (*getLoaderFolder)(void* userData);
    // Folder holding the page "index.html", UTF-8; borrowed, read once during create.
    const char* (*getPageFolder)(void* userData);
    void (*onBeginEdit)(void* userData, uint32_t index, float value);   // page starts a gesture
    void (*onPerformEdit)(void* userData, uint32_t index, float value); // page changes a value
    void (*onEndEdit)(void* userData, uint32_t index, float value);     // page ends a gesture
};

struct WebViewHost;

// [editor thread] Receives the text of a page message "m" (borrowed for the call).
typedef void (*WebViewCustomMessageHandler)(WebViewHost* host, const char* text);

// Requests between the two threads, as window messages.
enum {
    MSG_EDITOR_READY = WM_APP + 0,       // editor window; wParam 1 = controller ready, 0 = failure
    MSG_EDITOR_QUIT = WM_APP + 1,        // editor window; end the editor thread
    MSG_EDITOR_SET_VALUE = WM_APP + 2,   // editor window; wParam slot, lParam the value's bits
    MSG_EDITOR_SEND_TEXT = WM_APP + 3,   // editor window; lParam UTF-8 text owned by the caller
    MSG_RELAY_BEGIN_EDIT = WM_APP + 4,   // relay window; wParam slot, lParam the value's bits
    MSG_RELAY_PERFORM_EDIT = WM_APP + 5, // relay window; as above
    MSG_RELAY_END_EDIT = WM_APP + 6,     // relay window; as above
};

// Set in the wParam of MSG_EDITOR_SET_VALUE / MSG_EDITOR_SEND_TEXT posted by a thread other than
// the owner: answered through otherReplySemaphore instead of replySemaphore.
static const WPARAM REQUEST_FROM_OTHER_THREAD = (WPARAM)1 << 32;

struct WebViewHost {
    HWND editorWindow;     // holds the controller; editor thread's; null after a failed start
    HMODULE loaderModule;  // "WebView2Loader.dll"; freed by destroy
    DWORD ownerThreadId;   // the thread that called create
    HANDLE replySemaphore; // 0..1; released only by the editor thread, once per answer
    DWORD editorThreadId;  // set by create when it starts the editor thread
    ICoreWebView2Controller* controller; // editor thread only; one reference, null until ready
    WebViewHostConfig config;            // the wrapper's record, copied by create
    PageDispatchTable dispatch; // page messages: relays edits, sends values (editor thread)
    float* slotValues;          // valueCount values, owned by the host; editor thread only
    size_t valueCount;          // set by create, never changed
    char relayClassName[24];    // "d" and the host's address in hexadecimal
    HWND relayWindow;           // owner thread's hidden window; null once it is destroyed
    HANDLE relaySemaphore;      // 0..1; released only by the owner thread
    bool inRelayCallback;       // owner thread: set while a wrapper edit callback runs for a relay
    uint32_t handoverIndex;     // owner thread: slot handed to the editor thread during a relay
    float handoverValue;        // owner thread: the value handed over with it
    HANDLE editorThread;        // ended before anything is freed
    WebViewCustomMessageHandler customMessageHandler; // or null; called on the editor thread
    SRWLOCK relayLock; // orders the editor's relay posts against the relay window's destruction
    HANDLE otherReplySemaphore; // 0..1; released only by the editor thread, for other threads
    SRWLOCK otherThreadsLock;   // one request at a time from threads other than the owner
};

// [owner thread] Opens the editor inside `parent` (or as a top-level window when parent is null)
// and returns once it is on screen; null on any failure, leaving nothing behind. `config` is
// copied; `onCustomMessage` may be null.
WebViewHost* create(bool childMode, HWND parent, const WebViewHostConfig* config,
                    WebViewCustomMessageHandler onCustomMessage, int32_t width, int32_t height,
                    size_t valueCount);

// [owner thread] Ends the editor thread and frees the host, also when the editor window was
// already destroyed from outside.
void destroy(WebViewHost* host);

// [any thread] Records the value of slot `index` (below valueCount) and sends it to the page;
// returns once it is posted to the page. Inside a wrapper edit callback it is handed over.
void setParameterValue(WebViewHost* host, uint32_t index, float value);

// [any thread, never inside a wrapper edit callback] Sends "m " and the UTF-8 `text` (borrowed)
// to the page; returns once it is posted.
void sendCustomMessage(WebViewHost* host, const char* text);

// [owner thread] Periodic tick from the wrapper; nothing needs doing.
void idle(WebViewHost* host);
