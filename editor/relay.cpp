#include "editor/relay.h"

#include "editor/message_wait.h"
#include "editor/page_channel.h"

static WebViewHost* hostOf(HWND window) {
    return reinterpret_cast<WebViewHost*>(GetWindowLongPtrA(window, 0));
}

// [owner thread] One relay request: the wrapper's callback, then the answer to the editor thread.
static void runRelayCallback(WebViewHost* host, UINT message, WPARAM wParam, LPARAM lParam) {
    void (*edit)(void*, uint32_t, float) =
        message == MSG_RELAY_BEGIN_EDIT     ? host->config.onBeginEdit
        : message == MSG_RELAY_PERFORM_EDIT ? host->config.onPerformEdit
                                            : host->config.onEndEdit;
    host->inRelayCallback = true;
    if (edit) edit(host->config.userData, (uint32_t)wParam, floatFromBits((uint32_t)lParam));
    host->inRelayCallback = false;
    ReleaseSemaphore(host->relaySemaphore, 1, NULL);
}

LRESULT CALLBACK relayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WebViewHost* host = hostOf(window);
    if (!host) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case MSG_RELAY_BEGIN_EDIT:
    case MSG_RELAY_PERFORM_EDIT:
    case MSG_RELAY_END_EDIT:
        runRelayCallback(host, message, wParam, lParam);
        return 0;
    case WM_NCDESTROY: {
        // Destroyed with the parent: no more posts get in, and the one the editor thread may be
        // waiting for is delivered now rather than flushed with the window.
        AcquireSRWLockExclusive(&host->relayLock);
        host->relayWindow = NULL;
        ReleaseSRWLockExclusive(&host->relayLock);
        MSG msg;
        while (PeekMessageA(&msg, window, MSG_RELAY_BEGIN_EDIT, MSG_RELAY_END_EDIT, PM_REMOVE))
            runRelayCallback(host, msg.message, msg.wParam, msg.lParam);
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int drainRelayWindowUnless(WebViewHost* host, DWORD count, const HANDLE* handles) {
    MSG msg;
    HWND relay;
    while ((relay = host->relayWindow) != NULL &&
           PeekMessageA(&msg, relay, MSG_RELAY_BEGIN_EDIT, MSG_RELAY_END_EDIT, PM_NOREMOVE)) {
        DWORD signalled = count ? WaitForMultipleObjects(count, handles, FALSE, 0) : WAIT_TIMEOUT;
        if (signalled < WAIT_OBJECT_0 + count) return (int)(signalled - WAIT_OBJECT_0);
        if (PeekMessageA(&msg, relay, MSG_RELAY_BEGIN_EDIT, MSG_RELAY_END_EDIT, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (!relay) PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    return -1;
}

void drainRelayWindow(WebViewHost* host) {
    drainRelayWindowUnless(host, 0, NULL);
}

// [editor thread] Posts the request and waits for its answer, serving hand-overs meanwhile.
static void relayRequest(WebViewHost* host, UINT message, uint32_t index, float value) {
    AcquireSRWLockExclusive(&host->relayLock);
    bool posted = host->relayWindow &&
                  PostMessageA(host->relayWindow, message, index, (LPARAM)floatBits(value));
    ReleaseSRWLockExclusive(&host->relayLock);
    if (!posted) return;
    for (;;) {
        if (!waitServingSent(host->relaySemaphore)) return;
        if (!host->inRelayCallback) return;
        storeAndSendValue(host, host->handoverIndex, host->handoverValue);
        ReleaseSemaphore(host->replySemaphore, 1, NULL);
    }
}

void relayBeginEdit(void* host, uint32_t index, float value) {
    relayRequest(static_cast<WebViewHost*>(host), MSG_RELAY_BEGIN_EDIT, index, value);
}

void relayPerformEdit(void* host, uint32_t index, float value) {
    relayRequest(static_cast<WebViewHost*>(host), MSG_RELAY_PERFORM_EDIT, index, value);
}

void relayEndEdit(void* host, uint32_t index, float value) {
    relayRequest(static_cast<WebViewHost*>(host), MSG_RELAY_END_EDIT, index, value);
}
