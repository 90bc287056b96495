// Constructors of the fake runtime's objects; each returns one reference owned by the caller.
#pragma once

#include "tests/editor/fake_webview2/runtime.h"

ICoreWebView2Environment* new_environment(FakeInstance* instance);
// Holds a reference on `environment` for its lifetime; owns its web view.
ICoreWebView2Controller* new_controller(FakeInstance* instance,
                                        ICoreWebView2Environment* environment);
// Registers itself as the instance's web view until destroyed.
ICoreWebView2* new_web_view(FakeInstance* instance);
// [instance thread] Drops every event handler; events queued later are dropped, not delivered.
void close_web_view(ICoreWebView2* webView);
ICoreWebView2Settings* new_settings(FakeInstance* instance);

// Event arguments; `text`/`uri` are copied. A null `text` is a message that is not a string.
ICoreWebView2WebMessageReceivedEventArgs* new_web_message_args(FakeInstance* instance,
                                                               LPCWSTR text);
ICoreWebView2NavigationStartingEventArgs* new_navigation_args(FakeInstance* instance, LPCWSTR uri);
ICoreWebView2NewWindowRequestedEventArgs* new_new_window_args(FakeInstance* instance, LPCWSTR uri);
// What the handlers decided, read by the runtime after the event.
BOOL navigation_cancelled(ICoreWebView2NavigationStartingEventArgs* args);
BOOL new_window_handled(ICoreWebView2NewWindowRequestedEventArgs* args);
