// The fake controller: records bounds, visibility, focus and Close, and owns the web view.
#include "tests/editor/fake_webview2/objects.h"

// What the real runtime answers for a call on a closed controller.
static const HRESULT CLOSED = HRESULT_FROM_WIN32(ERROR_INVALID_STATE);

struct FakeController : FakeUnknown<ICoreWebView2Controller4> {
    ICoreWebView2Environment* environment; // one reference
    ICoreWebView2* webView;                // one reference
    bool closed = false;
    BOOL visible = FALSE;
    RECT bounds = {};
    BOOL allowExternalDrop = TRUE;

    FakeController(FakeInstance* owner, ICoreWebView2Environment* env)
        : FakeUnknown(owner), environment(env), webView(new_web_view(owner)) {
        environment->AddRef();
    }
    ~FakeController() override {
        webView->Release();
        environment->Release();
    }

    bool answers(REFIID iid) const override {
        return iid == IID_ICoreWebView2Controller || iid == IID_ICoreWebView2Controller2 ||
               iid == IID_ICoreWebView2Controller3 ||
               (iid == IID_ICoreWebView2Controller4 && !failing(instance, FAKE_WV2_NO_CONTROLLER4));
    }

    // Records a call that arrives after Close; true when the call must be refused.
    bool refused(const char* call) {
        if (closed) record(instance, "%s after Close", call);
        return closed;
    }

    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) override {
        if (!isVisible) return E_POINTER;
        *isVisible = visible;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) override {
        record(instance, "put_IsVisible %d", isVisible);
        if (refused("put_IsVisible")) return CLOSED;
        if (failing(instance, FAKE_WV2_FAIL_PUT_IS_VISIBLE)) return E_FAIL;
        visible = isVisible;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT* out) override {
        if (!out) return E_POINTER;
        *out = bounds;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT value) override {
        record(instance, "put_Bounds %ld %ld %ld %ld", value.left, value.top, value.right,
               value.bottom);
        RECT client = {};
        lock_runtime();
        HWND window = instance->controllerParent;
        unlock_runtime();
        GetClientRect(window, &client);
        record(instance, "window client %ld %ld %ld %ld", client.left, client.top, client.right,
               client.bottom); // what the bounds should be at this moment
        if (refused("put_Bounds")) return CLOSED;
        if (failing(instance, FAKE_WV2_FAIL_PUT_BOUNDS)) return E_FAIL;
        bounds = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) override {
        record(instance, "MoveFocus %d", (int)reason);
        return refused("MoveFocus") ? CLOSED : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        record(instance, "Close");
        if (refused("Close")) return CLOSED;
        closed = true;
        close_web_view(webView);
        flush_deliveries(instance);
        return S_OK;
    }
    // Called for every value sent to the page, so not recorded.
    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (refused("get_CoreWebView2")) return CLOSED;
        if (failing(instance, FAKE_WV2_FAIL_GET_COREWEBVIEW2)) return E_FAIL;
        webView->AddRef();
        *out = webView;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AllowExternalDrop(BOOL* value) override {
        if (!value) return E_POINTER;
        *value = allowExternalDrop;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_AllowExternalDrop(BOOL value) override {
        record(instance, "put_AllowExternalDrop %d", value);
        if (failing(instance, FAKE_WV2_FAIL_LOCKDOWN)) return E_FAIL;
        allowExternalDrop = value;
        return S_OK;
    }

    FAKE_UNUSED(get_ZoomFactor, double*)
    FAKE_UNUSED(put_ZoomFactor, double)
    FAKE_UNUSED(add_ZoomFactorChanged, ICoreWebView2ZoomFactorChangedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_ZoomFactorChanged, EventRegistrationToken)
    FAKE_UNUSED(SetBoundsAndZoomFactor, RECT, double)
    FAKE_UNUSED(add_MoveFocusRequested, ICoreWebView2MoveFocusRequestedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_MoveFocusRequested, EventRegistrationToken)
    FAKE_UNUSED(add_GotFocus, ICoreWebView2FocusChangedEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_GotFocus, EventRegistrationToken)
    FAKE_UNUSED(add_LostFocus, ICoreWebView2FocusChangedEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_LostFocus, EventRegistrationToken)
    FAKE_UNUSED(add_AcceleratorKeyPressed, ICoreWebView2AcceleratorKeyPressedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_AcceleratorKeyPressed, EventRegistrationToken)
    FAKE_UNUSED(get_ParentWindow, HWND*)
    FAKE_UNUSED(put_ParentWindow, HWND)
    FAKE_UNUSED(NotifyParentWindowPositionChanged)
    FAKE_UNUSED(get_DefaultBackgroundColor, COREWEBVIEW2_COLOR*)
    FAKE_UNUSED(put_DefaultBackgroundColor, COREWEBVIEW2_COLOR)
    FAKE_UNUSED(get_RasterizationScale, double*)
    FAKE_UNUSED(put_RasterizationScale, double)
    FAKE_UNUSED(get_ShouldDetectMonitorScaleChanges, BOOL*)
    FAKE_UNUSED(put_ShouldDetectMonitorScaleChanges, BOOL)
    FAKE_UNUSED(add_RasterizationScaleChanged, ICoreWebView2RasterizationScaleChangedEventHandler*,
                EventRegistrationToken*)
    FAKE_UNUSED(remove_RasterizationScaleChanged, EventRegistrationToken)
    FAKE_UNUSED(get_BoundsMode, COREWEBVIEW2_BOUNDS_MODE*)
    FAKE_UNUSED(put_BoundsMode, COREWEBVIEW2_BOUNDS_MODE)
};

ICoreWebView2Controller* new_controller(FakeInstance* instance,
                                        ICoreWebView2Environment* environment) {
    return new FakeController(instance, environment);
}
