// Event arguments of the three events the editor handles, and the deferral a new-window request
// can hand out.
#include "tests/editor/fake_webview2/objects.h"

#include <stdlib.h>
#include <wchar.h>

// Copies `text` for the object's lifetime (null stays null).
static wchar_t* keep(LPCWSTR text) {
    return text ? _wcsdup(text) : nullptr;
}

// The URI accessor shared by both navigation-like events: a fresh CoTaskMemAlloc copy.
static HRESULT copy_out(LPCWSTR text, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = co_copy(text);
    return *out || !text ? S_OK : E_OUTOFMEMORY;
}

struct FakeWebMessageArgs : FakeUnknown<ICoreWebView2WebMessageReceivedEventArgs> {
    wchar_t* text; // null: the page posted something that is not a string

    FakeWebMessageArgs(FakeInstance* owner, LPCWSTR message)
        : FakeUnknown(owner), text(keep(message)) {}
    ~FakeWebMessageArgs() override { free(text); }

    bool answers(REFIID iid) const override {
        return iid == IID_ICoreWebView2WebMessageReceivedEventArgs;
    }

    // Like the runtime: a message that is not a string gives E_INVALIDARG and no text.
    HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return text ? copy_out(text, out) : E_INVALIDARG;
    }
    FAKE_UNUSED(get_Source, LPWSTR*)
    FAKE_UNUSED(get_WebMessageAsJson, LPWSTR*)
};

// What both navigation-like event arguments share: the URI and its accessor.
template <class Interface, const IID& iid>
struct FakeUriArgs : FakeUnknown<Interface> {
    wchar_t* uri;

    FakeUriArgs(FakeInstance* owner, LPCWSTR target)
        : FakeUnknown<Interface>(owner), uri(keep(target)) {}
    ~FakeUriArgs() override { free(uri); }

    bool answers(REFIID asked) const override { return asked == iid; }
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* out) override { return copy_out(uri, out); }
};

struct FakeNavigationArgs : FakeUriArgs<ICoreWebView2NavigationStartingEventArgs,
                                        IID_ICoreWebView2NavigationStartingEventArgs> {
    BOOL cancel = FALSE;
    using FakeUriArgs::FakeUriArgs;

    HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* out) override {
        if (!out) return E_POINTER;
        *out = cancel;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Cancel(BOOL value) override {
        record(instance, "put_Cancel %d", value);
        cancel = value;
        return S_OK;
    }
    FAKE_UNUSED(get_IsUserInitiated, BOOL*)
    FAKE_UNUSED(get_IsRedirected, BOOL*)
    FAKE_UNUSED(get_RequestHeaders, ICoreWebView2HttpRequestHeaders**)
    FAKE_UNUSED(get_NavigationId, UINT64*)
};

struct FakeDeferral : FakeUnknown<ICoreWebView2Deferral> {
    using FakeUnknown::FakeUnknown;
    bool answers(REFIID) const override { return false; }
    HRESULT STDMETHODCALLTYPE Complete() override {
        record(instance, "Deferral Complete");
        return S_OK;
    }
};

struct FakeNewWindowArgs : FakeUriArgs<ICoreWebView2NewWindowRequestedEventArgs,
                                       IID_ICoreWebView2NewWindowRequestedEventArgs> {
    BOOL handled = FALSE;
    using FakeUriArgs::FakeUriArgs;

    HRESULT STDMETHODCALLTYPE put_Handled(BOOL value) override {
        record(instance, "put_Handled %d", value);
        handled = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Handled(BOOL* out) override {
        if (!out) return E_POINTER;
        *out = handled;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** out) override {
        record(instance, "GetDeferral");
        if (!out) return E_POINTER;
        *out = new FakeDeferral(instance);
        return S_OK;
    }
    FAKE_UNUSED(put_NewWindow, ICoreWebView2*)
    FAKE_UNUSED(get_NewWindow, ICoreWebView2**)
    FAKE_UNUSED(get_IsUserInitiated, BOOL*)
    FAKE_UNUSED(get_WindowFeatures, ICoreWebView2WindowFeatures**)
};

ICoreWebView2WebMessageReceivedEventArgs* new_web_message_args(FakeInstance* instance,
                                                               LPCWSTR text) {
    return new FakeWebMessageArgs(instance, text);
}

ICoreWebView2NavigationStartingEventArgs* new_navigation_args(FakeInstance* instance, LPCWSTR uri) {
    return new FakeNavigationArgs(instance, uri);
}

ICoreWebView2NewWindowRequestedEventArgs* new_new_window_args(FakeInstance* instance, LPCWSTR uri) {
    return new FakeNewWindowArgs(instance, uri);
}

BOOL navigation_cancelled(ICoreWebView2NavigationStartingEventArgs* args) {
    return static_cast<FakeNavigationArgs*>(args)->cancel;
}

BOOL new_window_handled(ICoreWebView2NewWindowRequestedEventArgs* args) {
    return static_cast<FakeNewWindowArgs*>(args)->handled;
}
