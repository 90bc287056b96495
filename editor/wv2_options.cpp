#include "editor/wv2_options.h"

#include "editor/win32_util.h"

static HRESULT getText(LPCWSTR property, LPWSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (!property) return S_OK;
    SetLastError(0);
    *value = copyCoTaskText(property);
    return *value ? S_OK : lastErrorResult(E_OUTOFMEMORY);
}

static HRESULT putText(LPWSTR* property, LPCWSTR value) {
    CoTaskMemFree(*property);
    *property = nullptr;
    if (!value) return S_OK;
    SetLastError(0);
    *property = copyCoTaskText(value);
    return *property ? S_OK : lastErrorResult(E_OUTOFMEMORY);
}

WV2EnvironmentOptions::WV2EnvironmentOptions() {
    targetCompatibleBrowserVersion = copyCoTaskText(L"131.0.2903.40");
}

WV2EnvironmentOptions::~WV2EnvironmentOptions() {
    CoTaskMemFree(targetCompatibleBrowserVersion);
    CoTaskMemFree(language);
    CoTaskMemFree(additionalBrowserArguments);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_ICoreWebView2EnvironmentOptions) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<ICoreWebView2EnvironmentOptions*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE WV2EnvironmentOptions::AddRef() {
    return addReference(&referenceCount);
}

ULONG STDMETHODCALLTYPE WV2EnvironmentOptions::Release() {
    return releaseReference(this, &referenceCount);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_AdditionalBrowserArguments(LPWSTR* value) {
    return getText(additionalBrowserArguments, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_AdditionalBrowserArguments(LPCWSTR value) {
    return putText(&additionalBrowserArguments, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_Language(LPWSTR* value) {
    return getText(language, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_Language(LPCWSTR value) {
    return putText(&language, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_TargetCompatibleBrowserVersion(LPWSTR* value) {
    return getText(targetCompatibleBrowserVersion, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_TargetCompatibleBrowserVersion(LPCWSTR value) {
    return putText(&targetCompatibleBrowserVersion, value);
}

HRESULT STDMETHODCALLTYPE
WV2EnvironmentOptions::get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) {
    if (!allow) return E_POINTER;
    *allow = allowSingleSignOnUsingOSPrimaryAccount;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
WV2EnvironmentOptions::put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) {
    allowSingleSignOnUsingOSPrimaryAccount = allow;
    return S_OK;
}
