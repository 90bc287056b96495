// The fake settings object: every put_ is recorded in call order; which revisions it answers and
// which calls fail follow the instance's failure bits.
#include "tests/editor/fake_webview2/objects.h"

#include <string.h>

// A BOOL property: get_ reads the field, put_ records the call and stores the value.
#define FAKE_BOOL_PROPERTY(Name, initial)                                                          \
    BOOL Name##Value = initial;                                                                    \
    HRESULT STDMETHODCALLTYPE get_##Name(BOOL* value) override {                                   \
        if (!value) return E_POINTER;                                                              \
        *value = Name##Value;                                                                      \
        return S_OK;                                                                               \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE put_##Name(BOOL value) override {                                    \
        return put("put_" #Name, &Name##Value, value);                                             \
    }

struct FakeSettings : FakeUnknown<ICoreWebView2Settings6> {
    using FakeUnknown::FakeUnknown;

    bool answers(REFIID iid) const override {
        bool revisions3to6 = !failing(instance, FAKE_WV2_NO_SETTINGS3_TO_6);
        return iid == IID_ICoreWebView2Settings || iid == IID_ICoreWebView2Settings2 ||
               (revisions3to6 &&
                (iid == IID_ICoreWebView2Settings3 || iid == IID_ICoreWebView2Settings4 ||
                 iid == IID_ICoreWebView2Settings5)) ||
               (revisions3to6 && iid == IID_ICoreWebView2Settings6 &&
                !failing(instance, FAKE_WV2_NO_SETTINGS6));
    }

    // What the instance's failure bits make this call answer.
    HRESULT answer_for(const char* call) const {
        if (!strcmp(call, "put_IsScriptEnabled"))
            return failing(instance, FAKE_WV2_SCRIPT_ENABLE_S_FALSE) ? S_FALSE : S_OK;
        if (!strcmp(call, "put_AreHostObjectsAllowed"))
            return failing(instance, FAKE_WV2_FAIL_HOST_OBJECTS) ? E_FAIL : S_OK;
        return failing(instance, FAKE_WV2_FAIL_LOCKDOWN) ? E_FAIL : S_OK;
    }

    HRESULT put(const char* call, BOOL* field, BOOL value) {
        record(instance, "%s %d", call, value);
        HRESULT result = answer_for(call);
        if (SUCCEEDED(result)) *field = value;
        return result;
    }

    FAKE_BOOL_PROPERTY(IsScriptEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsWebMessageEnabled, TRUE)
    FAKE_BOOL_PROPERTY(AreDefaultScriptDialogsEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsStatusBarEnabled, TRUE)
    FAKE_BOOL_PROPERTY(AreDevToolsEnabled, TRUE)
    FAKE_BOOL_PROPERTY(AreDefaultContextMenusEnabled, TRUE)
    FAKE_BOOL_PROPERTY(AreHostObjectsAllowed, TRUE)
    FAKE_BOOL_PROPERTY(IsZoomControlEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsBuiltInErrorPageEnabled, TRUE)
    FAKE_BOOL_PROPERTY(AreBrowserAcceleratorKeysEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsPasswordAutosaveEnabled, FALSE)
    FAKE_BOOL_PROPERTY(IsGeneralAutofillEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsPinchZoomEnabled, TRUE)
    FAKE_BOOL_PROPERTY(IsSwipeNavigationEnabled, TRUE)
    FAKE_UNUSED(get_UserAgent, LPWSTR*)
    FAKE_UNUSED(put_UserAgent, LPCWSTR)
};

ICoreWebView2Settings* new_settings(FakeInstance* instance) {
    return new FakeSettings(instance);
}
