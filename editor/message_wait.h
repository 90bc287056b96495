// Waits that keep a thread's windows answering, so that no interleaving of the owner thread and the
// editor thread can leave each waiting for the other. Windows only.
#pragma once

#include "editor/webview_host.h"

// [owner thread, or any thread but the editor's] Waits until one of `handles` is signalled while
// serving messages sent to this thread and the relay requests queued for `host`'s relay window.
// Returns the index of the signalled handle, or -1 if the wait itself failed.
int waitServingRelay(WebViewHost* host, DWORD count, const HANDLE* handles);

// [editor thread] Waits until `handle` is signalled while serving only messages sent to this
// thread (window calls made by other threads); posted requests wait for the message loop.
bool waitServingSent(HANDLE handle);
