#include "editor/wv2_handler.h"

#include "editor/external_link.h"
#include "editor/win32_util.h"

#include <wchar.h>

WV2Handler::WV2Handler(WebViewHost* host, LPCWSTR pageUrl)
    : host(host), pageUrl(copyCoTaskText(pageUrl)) {}

WV2Handler::~WV2Handler() {
    CoTaskMemFree(pageUrl);
}

HRESULT STDMETHODCALLTYPE WV2Handler::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler) ||
        IsEqualIID(riid, IID_IUnknown))
        *object = static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(this);
    else if (IsEqualIID(riid, IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler))
        *object = static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this);
    else if (IsEqualIID(riid, IID_ICoreWebView2WebMessageReceivedEventHandler))
        *object = static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(this);
    else if (IsEqualIID(riid, IID_ICoreWebView2NavigationStartingEventHandler))
        *object = static_cast<ICoreWebView2NavigationStartingEventHandler*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE WV2Handler::AddRef() {
    return addReference(&referenceCount);
}

ULONG STDMETHODCALLTYPE WV2Handler::Release() {
    return releaseReference(this, &referenceCount);
}

void WV2Handler::reportReady(bool ready) {
    PostMessageA(host->editorWindow, MSG_EDITOR_READY, ready ? 1 : 0, 0);
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(HRESULT errorCode,
                                             ICoreWebView2Environment* createdEnvironment) {
    HRESULT result = errorCode;
    if (SUCCEEDED(errorCode)) {
        result =
            createdEnvironment
                ? createdEnvironment->CreateCoreWebView2Controller(
                      host->editorWindow,
                      static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this))
                : E_POINTER;
        if (SUCCEEDED(result)) return S_OK;
    }
    reportReady(false);
    return result;
}

// Calls `use` with the `Revision` interface of `object` when it answers `iid`, then releases it.
template <typename Revision, typename Use>
static void ifAnswers(IUnknown* object, REFIID iid, Use use) {
    Revision* revision = nullptr;
    if (SUCCEEDED(object->QueryInterface(iid, (void**)&revision)) && revision) {
        use(revision);
        revision->Release();
    }
}

// Switches off what an editor page has no use for; older runtimes lack some of the revisions.
static void lockDown(ICoreWebView2Controller* controller, ICoreWebView2Settings* settings) {
    settings->put_AreDefaultContextMenusEnabled(FALSE);
    settings->put_AreDevToolsEnabled(FALSE);
    settings->put_IsStatusBarEnabled(FALSE);
    settings->put_IsZoomControlEnabled(FALSE);
    settings->put_AreDefaultScriptDialogsEnabled(FALSE);
    ifAnswers<ICoreWebView2Settings3>(settings, IID_ICoreWebView2Settings3, [](auto* s) {
        s->put_AreBrowserAcceleratorKeysEnabled(FALSE);
    });
    ifAnswers<ICoreWebView2Settings4>(settings, IID_ICoreWebView2Settings4, [](auto* s) {
        s->put_IsPasswordAutosaveEnabled(FALSE);
        s->put_IsGeneralAutofillEnabled(FALSE);
    });
    ifAnswers<ICoreWebView2Settings5>(settings, IID_ICoreWebView2Settings5,
                                      [](auto* s) { s->put_IsPinchZoomEnabled(FALSE); });
    ifAnswers<ICoreWebView2Settings6>(settings, IID_ICoreWebView2Settings6,
                                      [](auto* s) { s->put_IsSwipeNavigationEnabled(FALSE); });
    ifAnswers<ICoreWebView2Controller4>(controller, IID_ICoreWebView2Controller4,
                                        [](auto* c) { c->put_AllowExternalDrop(FALSE); });
}

// The steps that must all succeed; the registration tokens are not kept.
bool WV2Handler::configure(ICoreWebView2Controller* controller, ICoreWebView2* webview,
                           ICoreWebView2Settings* settings) {
    EventRegistrationToken token;
    RECT bounds;
    return settings->put_IsScriptEnabled(TRUE) == S_OK &&
           SUCCEEDED(settings->put_AreHostObjectsAllowed(TRUE)) &&
           GetClientRect(host->editorWindow, &bounds) &&
           SUCCEEDED(controller->put_Bounds(bounds)) &&
           SUCCEEDED(webview->add_WebMessageReceived(
               static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(this), &token)) &&
           SUCCEEDED(webview->add_NavigationStarting(
               static_cast<ICoreWebView2NavigationStartingEventHandler*>(this), &token)) &&
           SUCCEEDED(webview->add_NewWindowRequested(
               static_cast<ICoreWebView2NewWindowRequestedEventHandler*>(this), &token)) &&
           SUCCEEDED(webview->Navigate(pageUrl));
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(HRESULT errorCode,
                                             ICoreWebView2Controller* createdController) {
    if (FAILED(errorCode) || !createdController) {
        reportReady(false);
        return errorCode;
    }
    ICoreWebView2* webview = nullptr;
    ICoreWebView2Settings* settings = nullptr;
    bool ok = SUCCEEDED(createdController->get_CoreWebView2(&webview)) && webview &&
              SUCCEEDED(webview->get_Settings(&settings)) && settings;
    if (ok) {
        lockDown(createdController, settings);
        ok = configure(createdController, webview, settings);
    }
    if (settings) settings->Release();
    if (webview) webview->Release();
    if (!ok) {
        reportReady(false);
        return E_FAIL;
    }
    createdController->AddRef();
    host->controller = createdController;
    reportReady(true);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*,
                                             ICoreWebView2WebMessageReceivedEventArgs* args) {
    return receivePageMessage(host, args, messageBuffer);
}

// Only local files load inside the editor; any other URI is stopped (`stop`: put_Cancel or
// put_Handled) and opened with the system's handler.
template <typename Args>
static HRESULT keepInsideLocalFiles(Args* args, HRESULT (STDMETHODCALLTYPE Args::*stop)(BOOL)) {
    LPWSTR uri = nullptr;
    HRESULT result = args ? args->get_Uri(&uri) : E_INVALIDARG;
    if (FAILED(result)) return result;
    if (uri && wcsncmp(uri, L"file:", 5) != 0) {
        (args->*stop)(TRUE);
        openExternally(uri);
    }
    CoTaskMemFree(uri);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*,
                                             ICoreWebView2NavigationStartingEventArgs* args) {
    return keepInsideLocalFiles(args, &ICoreWebView2NavigationStartingEventArgs::put_Cancel);
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*,
                                             ICoreWebView2NewWindowRequestedEventArgs* args) {
    return keepInsideLocalFiles(args, &ICoreWebView2NewWindowRequestedEventArgs::put_Handled);
}
