#include "editor/message_wait.h"

#include "editor/relay.h"

// Clears the queue's "new message" state first, then serves, then waits: a message that arrives
// after the last look at the queue always ends the wait, one seen before is already served.
static int waitLoop(DWORD count, const HANDLE* handles, DWORD wakeMask, void (*serve)(WebViewHost*),
                    WebViewHost* host) {
    for (;;) {
        GetQueueStatus(wakeMask);
        serve(host);
        DWORD result = MsgWaitForMultipleObjectsEx(count, handles, INFINITE, wakeMask, 0);
        if (result < WAIT_OBJECT_0 + count) return (int)(result - WAIT_OBJECT_0);
        if (result != WAIT_OBJECT_0 + count) return -1;
    }
}

static void serveSentMessages(WebViewHost*) {
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

int waitServingRelay(WebViewHost* host, DWORD count, const HANDLE* handles) {
    return waitLoop(count, handles, QS_SENDMESSAGE | QS_POSTMESSAGE, drainRelayWindow, host);
}

bool waitServingSent(HANDLE handle) {
    return waitLoop(1, &handle, QS_SENDMESSAGE, serveSentMessages, nullptr) == 0;
}
