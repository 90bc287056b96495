#include "editor/message_wait.h"

#include "editor/relay.h"

// Each round clears the queue's "new message" state, then serves, then waits: a message that
// arrives after the last look at the queue always ends the wait, one seen before is served.

int waitServingRelay(WebViewHost* host, DWORD count, const HANDLE* handles) {
    const DWORD wake = QS_SENDMESSAGE | QS_POSTMESSAGE;
    for (;;) {
        GetQueueStatus(wake);
        int signalled = drainRelayWindowUnless(host, count, handles);
        if (signalled >= 0) return signalled;
        DWORD result = MsgWaitForMultipleObjectsEx(count, handles, INFINITE, wake, 0);
        if (result < WAIT_OBJECT_0 + count) return (int)(result - WAIT_OBJECT_0);
        if (result != WAIT_OBJECT_0 + count) return -1;
    }
}

bool waitServingSent(HANDLE handle) {
    for (;;) {
        GetQueueStatus(QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
    }
}
