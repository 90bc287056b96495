// The relay of page edits from the editor thread to the wrapper's callbacks on the owner thread,
// and the hand-over of values the wrapper sends back while such a callback runs. Windows only.
#pragma once

#include "editor/webview_host.h"

// [owner thread] Window procedure of the relay window (host in the first extra word).
LRESULT CALLBACK relayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// [owner thread] Delivers every relay request already queued, oldest first.
void drainRelayWindow(WebViewHost* host);

// [owner thread] The same while waiting for `handles`: before each request it takes a signalled
// handle instead and returns its index (an answer given before a queued request was posted must
// not be taken by a hand-over inside that request's callback); -1 once the queue is empty.
int drainRelayWindowUnless(WebViewHost* host, DWORD count, const HANDLE* handles);

// [editor thread] Relay requests for "b", "s" and "e": return once the wrapper's callback has
// finished, sending to the page any value handed over meanwhile. `host` is the WebViewHost.
void relayBeginEdit(void* host, uint32_t index, float value);
void relayPerformEdit(void* host, uint32_t index, float value);
void relayEndEdit(void* host, uint32_t index, float value);
