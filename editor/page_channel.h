// The page protocol over WebView2: page messages in (UTF-16 to UTF-8, then dispatch) and value
// and custom messages out. Editor thread only; Windows only.
#pragma once

#include "editor/webview_host.h"

// Page messages that fit this many UTF-8 bytes, terminator included, need no allocation.
enum { PAGE_MESSAGE_BUFFER_BYTES = 1024 };

// [editor thread] Posts the value message for slot `index` to the page; dropped while there is
// no page (no controller yet) or it cannot be reached.
void sendValueToPage(WebViewHost* host, uint32_t index, float value);

// [editor thread] Records the value in its slot (index below valueCount), then sends it.
void storeAndSendValue(WebViewHost* host, uint32_t index, float value);

// [editor thread] Sends "m " and the UTF-8 `text` (borrowed); nothing if it is not valid UTF-8.
void sendCustomTextToPage(WebViewHost* host, const char* text);

// [editor thread] The web-message event: takes the message as a string, converts it into
// `buffer` (or a heap block when longer) and dispatches it; the runtime's or the conversion's
// error otherwise.
HRESULT receivePageMessage(WebViewHost* host, ICoreWebView2WebMessageReceivedEventArgs* args,
                           char buffer[PAGE_MESSAGE_BUFFER_BYTES]);

// Dispatch-table adapters; `host` is the WebViewHost. [editor thread]
void dispatchSendValue(void* host, uint32_t index, float value);
void dispatchCustomMessage(void* host, const char* text);
