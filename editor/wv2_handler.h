// The one callback object the editor hands to the WebView2 runtime: environment and controller
// completion, page messages, navigation and new-window requests. Windows only.
#pragma once

#include "editor/page_channel.h"
#include "editor/webview_host.h"

// Created by the editor thread with a count of 1 shared by its five interfaces; every callback
// arrives on the editor thread. Holds a plain pointer to its host, which outlives the thread.
class WV2Handler : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                   public ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                   public ICoreWebView2WebMessageReceivedEventHandler,
                   public ICoreWebView2NavigationStartingEventHandler,
                   public ICoreWebView2NewWindowRequestedEventHandler {
  public:
    // `pageUrl` (borrowed) is copied; check ready() for that allocation.
    WV2Handler(WebViewHost* host, LPCWSTR pageUrl);
    bool ready() const { return pageUrl != nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // The environment exists: ask it for a controller inside the editor window.
    HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                     ICoreWebView2Environment* createdEnvironment) override;
    virtual ~WV2Handler();
    // The controller exists: lock it down, subscribe, navigate, report ready.
    HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                     ICoreWebView2Controller* createdController) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                     ICoreWebView2WebMessageReceivedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                     ICoreWebView2NavigationStartingEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                     ICoreWebView2NewWindowRequestedEventArgs* args) override;

  private:
    void reportReady(bool ready);
    bool configure(ICoreWebView2Controller* controller, ICoreWebView2* webview,
                   ICoreWebView2Settings* settings);

    LONG referenceCount = 1;
    WebViewHost* host;
    LPWSTR pageUrl;
    char messageBuffer[PAGE_MESSAGE_BUFFER_BYTES];
};
