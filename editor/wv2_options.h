// The environment options handed to the WebView2 runtime. Windows only.
#pragma once

#include "editor/webview2.h"

// Created by the editor thread with a count of 1; the runtime takes its own references. Its
// texts are CoTaskMemAlloc copies owned by the object.
class WV2EnvironmentOptions : public ICoreWebView2EnvironmentOptions {
  public:
    // Target compatible browser version "131.0.2903.40"; check ready() for its allocation.
    WV2EnvironmentOptions();
    bool ready() const { return targetCompatibleBrowserVersion != nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override;
    HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override;
    virtual ~WV2EnvironmentOptions();

  private:
    LPWSTR additionalBrowserArguments = nullptr;
    LPWSTR language = nullptr;
    LPWSTR targetCompatibleBrowserVersion = nullptr;
    BOOL allowSingleSignOnUsingOSPrimaryAccount = FALSE;
    LONG referenceCount = 1;
};
