// The fake core web view: settings, navigation, messages to the page, event registrations, and
// the delivery of the page messages and navigation events a test injects.
#include "tests/editor/fake_webview2/objects.h"

#include <stdlib.h>
#include <wchar.h>

enum EventKind { WEB_MESSAGE, NAVIGATION_STARTING, NEW_WINDOW, EVENT_KINDS };
enum { MAX_HANDLERS = 8 };

static const char* const addNames[EVENT_KINDS] = {
    "add_WebMessageReceived", "add_NavigationStarting", "add_NewWindowRequested"};
static const IID* const handlerIids[EVENT_KINDS] = {
    &IID_ICoreWebView2WebMessageReceivedEventHandler,
    &IID_ICoreWebView2NavigationStartingEventHandler,
    &IID_ICoreWebView2NewWindowRequestedEventHandler};
static const char* const handlerNames[EVENT_KINDS] = {"web message handler", "navigation handler",
                                                      "new window handler"};
static const FakeWv2Failure addFailures[EVENT_KINDS] = {
    FAKE_WV2_FAIL_ADD_WEB_MESSAGE, FAKE_WV2_FAIL_ADD_NAVIGATION, FAKE_WV2_FAIL_ADD_NEW_WINDOW};

// add_/remove_ of one event the editor subscribes to, kept in `handlers[kind]`.
#define FAKE_EVENT(Name, kind)                                                                     \
    HRESULT STDMETHODCALLTYPE add_##Name(ICoreWebView2##Name##EventHandler* handler,               \
                                         EventRegistrationToken* token) override {                 \
        return add(kind, handler, token);                                                          \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE remove_##Name(EventRegistrationToken token) override {               \
        return remove(kind, token);                                                                \
    }

struct Registration {
    IUnknown* handler; // held; null = free entry
    INT64 token;
};

struct FakeWebView : FakeUnknown<ICoreWebView2> {
    ICoreWebView2Settings* settings; // one reference
    Registration handlers[EVENT_KINDS][MAX_HANDLERS] = {};
    INT64 nextToken = 1;
    bool closed = false;

    explicit FakeWebView(FakeInstance* owner) : FakeUnknown(owner), settings(new_settings(owner)) {
        lock_runtime();
        instance->webView = this;
        unlock_runtime();
    }
    ~FakeWebView() override {
        lock_runtime();
        instance->webView = nullptr;
        unlock_runtime();
        drop_handlers();
        settings->Release();
    }

    bool answers(REFIID iid) const override { return iid == IID_ICoreWebView2; }

    void drop_handlers() {
        for (auto& kind : handlers)
            for (Registration& entry : kind)
                if (entry.handler) {
                    drop(entry.handler);
                    entry.handler = nullptr;
                }
    }

    HRESULT add(EventKind kind, IUnknown* handler, EventRegistrationToken* token) {
        record(instance, "%s", addNames[kind]);
        if (failing(instance, addFailures[kind])) return E_FAIL;
        if (!handler || !token) return E_POINTER;
        record_interfaces(instance, handlerNames[kind], handler, *handlerIids[kind], true);
        for (Registration& entry : handlers[kind])
            if (!entry.handler) {
                hold(handler);
                entry = {handler, nextToken};
                token->value = nextToken++;
                return S_OK;
            }
        return E_OUTOFMEMORY;
    }

    HRESULT remove(EventKind kind, EventRegistrationToken token) {
        record(instance, "remove of %s", addNames[kind]);
        for (Registration& entry : handlers[kind])
            if (entry.handler && entry.token == token.value) {
                drop(entry.handler);
                entry.handler = nullptr;
            }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** out) override {
        record(instance, "get_Settings");
        if (!out) return E_POINTER;
        *out = nullptr;
        if (failing(instance, FAKE_WV2_FAIL_GET_SETTINGS)) return E_FAIL;
        settings->AddRef();
        *out = settings;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override {
        char text[MAX_PATH * 3];
        record(instance, "Navigate %s", utf8(uri, text, sizeof text));
        return failing(instance, FAKE_WV2_FAIL_NAVIGATE) ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR message) override {
        char stackText[256];
        size_t size = message ? wcslen(message) * 3 + 1 : 0;
        char* text = size > sizeof stackText ? (char*)malloc(size) : stackText;
        if (!text) return E_OUTOFMEMORY;
        record(instance, "%sPostWebMessageAsString %s", closed ? "after Close: " : "",
               utf8(message, text, size > sizeof stackText ? size : sizeof stackText));
        if (text != stackText) free(text);
        return closed ? HRESULT_FROM_WIN32(ERROR_INVALID_STATE) : S_OK;
    }
    FAKE_EVENT(NavigationStarting, NAVIGATION_STARTING)
    FAKE_EVENT(WebMessageReceived, WEB_MESSAGE)
    FAKE_EVENT(NewWindowRequested, NEW_WINDOW)

    FAKE_UNUSED(get_Source, LPWSTR*)
    FAKE_UNUSED(NavigateToString, LPCWSTR)
    FAKE_UNUSED(add_ContentLoading, ICoreWebView2ContentLoadingEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_ContentLoading, EventRegistrationToken)
    FAKE_UNUSED(add_SourceChanged, ICoreWebView2SourceChangedEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_SourceChanged, EventRegistrationToken)
    FAKE_UNUSED(add_HistoryChanged, ICoreWebView2HistoryChangedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_HistoryChanged, EventRegistrationToken)
    FAKE_UNUSED(add_NavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_NavigationCompleted, EventRegistrationToken)
    FAKE_UNUSED(add_FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_FrameNavigationStarting, EventRegistrationToken)
    FAKE_UNUSED(add_FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_FrameNavigationCompleted, EventRegistrationToken)
    FAKE_UNUSED(add_ScriptDialogOpening, ICoreWebView2ScriptDialogOpeningEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_ScriptDialogOpening, EventRegistrationToken)
    FAKE_UNUSED(add_PermissionRequested, ICoreWebView2PermissionRequestedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_PermissionRequested, EventRegistrationToken)
    FAKE_UNUSED(add_ProcessFailed, ICoreWebView2ProcessFailedEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_ProcessFailed, EventRegistrationToken)
    FAKE_UNUSED(AddScriptToExecuteOnDocumentCreated, LPCWSTR,
                ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*)
    FAKE_UNUSED(RemoveScriptToExecuteOnDocumentCreated, LPCWSTR)
    FAKE_UNUSED(ExecuteScript, LPCWSTR, ICoreWebView2ExecuteScriptCompletedHandler*)
    FAKE_UNUSED(CapturePreview, COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
                ICoreWebView2CapturePreviewCompletedHandler*)
    FAKE_UNUSED(Reload)
    FAKE_UNUSED(PostWebMessageAsJson, LPCWSTR)
    FAKE_UNUSED(CallDevToolsProtocolMethod, LPCWSTR, LPCWSTR,
                ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
    FAKE_UNUSED(get_BrowserProcessId, UINT32*)
    FAKE_UNUSED(get_CanGoBack, BOOL*)
    FAKE_UNUSED(get_CanGoForward, BOOL*)
    FAKE_UNUSED(GoBack)
    FAKE_UNUSED(GoForward)
    FAKE_UNUSED(GetDevToolsProtocolEventReceiver, LPCWSTR,
                ICoreWebView2DevToolsProtocolEventReceiver**)
    FAKE_UNUSED(Stop)
    FAKE_UNUSED(add_DocumentTitleChanged, ICoreWebView2DocumentTitleChangedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_DocumentTitleChanged, EventRegistrationToken)
    FAKE_UNUSED(get_DocumentTitle, LPWSTR*)
    FAKE_UNUSED(AddHostObjectToScript, LPCWSTR, VARIANT*)
    FAKE_UNUSED(RemoveHostObjectFromScript, LPCWSTR)
    FAKE_UNUSED(OpenDevToolsWindow)
    FAKE_UNUSED(add_ContainsFullScreenElementChanged,
                ICoreWebView2ContainsFullScreenElementChangedEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_ContainsFullScreenElementChanged, EventRegistrationToken)
    FAKE_UNUSED(get_ContainsFullScreenElement, BOOL*)
    FAKE_UNUSED(add_WebResourceRequested, ICoreWebView2WebResourceRequestedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_WebResourceRequested, EventRegistrationToken)
    FAKE_UNUSED(AddWebResourceRequestedFilter, const LPCWSTR,
                const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
    FAKE_UNUSED(RemoveWebResourceRequestedFilter, const LPCWSTR,
                const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
    FAKE_UNUSED(add_WindowCloseRequested, ICoreWebView2WindowCloseRequestedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_WindowCloseRequested, EventRegistrationToken)
};

ICoreWebView2* new_web_view(FakeInstance* instance) {
    return new FakeWebView(instance);
}

void close_web_view(ICoreWebView2* webView) {
    FakeWebView* view = static_cast<FakeWebView*>(webView);
    view->closed = true;
    view->drop_handlers();
}

// One injected event on its way to the editor thread.
struct InjectedEvent {
    FakeWebView* view; // one reference
    EventKind kind;
    wchar_t* text; // malloc'd copy; null = a message that is not a string
};

// [instance thread] One navigation-like event: the handler's answer and decision (`decided`,
// recorded as `decision`) are recorded; what the runtime does when it is not stopped, too.
template <class Handler, class Args>
static void invoke_uri_event(FakeWebView* view, IUnknown* handler, Args* args, LPCWSTR uri,
                             const char* event, const char* decision, BOOL (*decided)(Args*),
                             const char* otherwise) {
    char text[4096];
    HRESULT answer = static_cast<Handler*>(handler)->Invoke(view, args);
    BOOL stopped = decided(args);
    record(view->instance, "%s %s answered 0x%08lx %s=%d", event, utf8(uri, text, sizeof text),
           (unsigned long)answer, decision, stopped);
    if (!stopped) record(view->instance, "%s%s", otherwise, text);
    args->Release();
}

// [instance thread] Calls one registered handler with fresh event arguments.
static void invoke(FakeWebView* view, EventKind kind, IUnknown* handler, LPCWSTR text) {
    FakeInstance* instance = view->instance;
    if (kind == WEB_MESSAGE) {
        ICoreWebView2WebMessageReceivedEventArgs* args = new_web_message_args(instance, text);
        HRESULT answer =
            static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(handler)->Invoke(view, args);
        record(instance, "WebMessageReceived answered 0x%08lx", (unsigned long)answer);
        args->Release();
    } else if (kind == NAVIGATION_STARTING) {
        invoke_uri_event<ICoreWebView2NavigationStartingEventHandler>(
            view, handler, new_navigation_args(instance, text), text, "NavigationStarting",
            "cancelled", navigation_cancelled, "navigated to ");
    } else {
        invoke_uri_event<ICoreWebView2NewWindowRequestedEventHandler>(
            view, handler, new_new_window_args(instance, text), text, "NewWindowRequested",
            "handled", new_window_handled, "opened a new window for ");
    }
}

// [instance thread] Delivers one injected event to every handler registered at that moment.
static void deliver_event(void* arg) {
    InjectedEvent* event = (InjectedEvent*)arg;
    FakeWebView* view = event->view;
    if (view->closed) {
        record(view->instance, "event dropped after Close");
    } else {
        IUnknown* targets[MAX_HANDLERS];
        int count = 0;
        for (Registration& entry : view->handlers[event->kind])
            if (entry.handler) hold(targets[count++] = entry.handler);
        for (int i = 0; i < count; i++)
            invoke(view, event->kind, targets[i], event->text);
        for (int i = 0; i < count; i++)
            drop(targets[i]);
    }
    lock_runtime();
    view->instance->eventsDone++;
    unlock_runtime();
    view->Release();
    free(event->text);
    delete event;
}

static int inject(int index, EventKind kind, const wchar_t* text) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    FakeWebView* view = instance ? static_cast<FakeWebView*>(instance->webView) : nullptr;
    if (view && !add_ref_if_alive(&view->refs)) view = nullptr;
    unlock_runtime();
    if (!view) return -1;
    wchar_t* copy = text ? _wcsdup(text) : nullptr;
    InjectedEvent* event = new InjectedEvent{view, kind, copy};
    if ((text && !copy) || !deliver_later(instance, deliver_event, event)) {
        view->Release();
        free(copy);
        delete event;
        return -1;
    }
    return 0;
}

FAKE_WV2_API int fake_wv2_post_page_message(int instance, const wchar_t* text) {
    return inject(instance, WEB_MESSAGE, text);
}

FAKE_WV2_API int fake_wv2_start_navigation(int instance, const wchar_t* uri) {
    return inject(instance, NAVIGATION_STARTING, uri);
}

FAKE_WV2_API int fake_wv2_request_new_window(int instance, const wchar_t* uri) {
    return inject(instance, NEW_WINDOW, uri);
}
