#include "editor/page_channel.h"

#include "editor/win32_util.h"

#include <stdlib.h>

static void postTextToPage(WebViewHost* host, const wchar_t* text) {
    ICoreWebView2* webview = NULL;
    if (!host->controller || FAILED(host->controller->get_CoreWebView2(&webview)) || !webview)
        return;
    webview->PostWebMessageAsString(text);
    webview->Release();
}

void sendValueToPage(WebViewHost* host, uint32_t index, float value) {
    wchar_t text[PAGE_VALUE_MESSAGE_CHARS];
    formatValueMessage(text, index, value);
    postTextToPage(host, text);
}

void storeAndSendValue(WebViewHost* host, uint32_t index, float value) {
    host->slotValues[index] = value;
    sendValueToPage(host, index, value);
}

void sendCustomTextToPage(WebViewHost* host, const char* text) {
    int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, NULL, 0);
    if (count <= 0) return;
    wchar_t* message = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * ((size_t)count + 2)));
    if (!message) return;
    message[0] = L'm';
    message[1] = L' ';
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, message + 2, count) > 0)
        postTextToPage(host, message);
    free(message);
}

// Converts the page's UTF-16 text and dispatches it; the text stays the caller's.
static HRESULT dispatchWideMessage(WebViewHost* host, const wchar_t* text,
                                   char buffer[PAGE_MESSAGE_BUFFER_BYTES]) {
    SetLastError(0);
    int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, NULL, 0, NULL, NULL);
    if (size <= 0) return lastErrorResult(E_FAIL);
    char* utf8 = size <= PAGE_MESSAGE_BUFFER_BYTES ? buffer : static_cast<char*>(malloc(size));
    if (!utf8) return E_OUTOFMEMORY;
    HRESULT result = S_OK;
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, utf8, size, NULL, NULL) > 0)
        dispatchPageMessage(&host->dispatch, utf8);
    else
        result = lastErrorResult(E_FAIL);
    if (utf8 != buffer) free(utf8);
    return result;
}

HRESULT receivePageMessage(WebViewHost* host, ICoreWebView2WebMessageReceivedEventArgs* args,
                           char buffer[PAGE_MESSAGE_BUFFER_BYTES]) {
    if (!args) return E_INVALIDARG;
    LPWSTR text = NULL;
    HRESULT result = args->TryGetWebMessageAsString(&text);
    if (SUCCEEDED(result) && text) result = dispatchWideMessage(host, text, buffer);
    CoTaskMemFree(text);
    return result;
}

void dispatchSendValue(void* host, uint32_t index, float value) {
    sendValueToPage(static_cast<WebViewHost*>(host), index, value);
}

void dispatchCustomMessage(void* host, const char* text) {
    WebViewHost* h = static_cast<WebViewHost*>(host);
    h->customMessageHandler(h, text);
}
