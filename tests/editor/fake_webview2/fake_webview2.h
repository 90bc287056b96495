// Control and inspection of the test-only fake WebView2 runtime ("WebView2Loader.dll" built from
// this folder). Test programs link its import library; the editor under test loads the same DLL by
// path and sees only CreateCoreWebView2EnvironmentWithOptions. Windows only.
#pragma once

#include <windows.h>

#include <stddef.h>

#ifdef FAKE_WV2_BUILD
#define FAKE_WV2_API extern "C" __declspec(dllexport)
#else
#define FAKE_WV2_API extern "C" __declspec(dllimport)
#endif

// Steps the fake can be told to fail (or runtime features it can lack), as a bit set.
enum FakeWv2Failure : unsigned {
    FAKE_WV2_FAIL_ENVIRONMENT_CALL = 1u << 0,       // the loader export returns E_FAIL
    FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION = 1u << 1, // completion reports "runtime not found"
    FAKE_WV2_FAIL_CONTROLLER_CALL = 1u << 2,        // CreateCoreWebView2Controller returns E_FAIL
    FAKE_WV2_FAIL_CONTROLLER_COMPLETION = 1u << 3,  // completion reports E_FAIL, no controller
    FAKE_WV2_FAIL_GET_COREWEBVIEW2 = 1u << 4,       // get_CoreWebView2 returns E_FAIL
    FAKE_WV2_FAIL_GET_SETTINGS = 1u << 5,           // get_Settings returns E_FAIL
    FAKE_WV2_NO_SETTINGS6 = 1u << 6,                // settings answer up to ICoreWebView2Settings5
    FAKE_WV2_NO_CONTROLLER4 = 1u << 7,              // controller answers up to Controller3
    FAKE_WV2_NO_SETTINGS3_TO_6 = 1u << 8,           // settings answer only Settings and Settings2
    FAKE_WV2_SCRIPT_ENABLE_S_FALSE = 1u << 9,       // put_IsScriptEnabled returns S_FALSE
    FAKE_WV2_FAIL_LOCKDOWN = 1u << 10,              // every lock-down put_ returns E_FAIL
    FAKE_WV2_FAIL_HOST_OBJECTS = 1u << 11,          // put_AreHostObjectsAllowed returns E_FAIL
    FAKE_WV2_FAIL_PUT_BOUNDS = 1u << 12,            // put_Bounds returns E_FAIL
    FAKE_WV2_FAIL_ADD_WEB_MESSAGE = 1u << 13,       // add_WebMessageReceived returns E_FAIL
    FAKE_WV2_FAIL_ADD_NAVIGATION = 1u << 14,        // add_NavigationStarting returns E_FAIL
    FAKE_WV2_FAIL_ADD_NEW_WINDOW = 1u << 15,        // add_NewWindowRequested returns E_FAIL
    FAKE_WV2_FAIL_NAVIGATE = 1u << 16,              // Navigate returns E_FAIL
    FAKE_WV2_FAIL_PUT_IS_VISIBLE = 1u << 17,        // put_IsVisible returns E_FAIL
};

// [test thread] Forgets every recorded instance; `failures` apply to the instances started next.
// Call only when no editor is open.
FAKE_WV2_API void fake_wv2_reset(unsigned failures);

// [any thread] Number of CreateCoreWebView2EnvironmentWithOptions calls since the last reset; each
// call starts one instance, numbered from 0.
FAKE_WV2_API int fake_wv2_instance_count(void);

// [any thread] Copies the instance's call record (one UTF-8 line per call, each ending in '\n')
// into `out` (truncated, always terminated); returns the full length without the terminator.
FAKE_WV2_API size_t fake_wv2_log(int instance, char* out, size_t size);

// [any thread] Copies the user data folder the instance was given; returns its length.
FAKE_WV2_API size_t fake_wv2_user_data_folder(int instance, wchar_t* out, size_t size);

// [any thread] The window the instance's controller was created in (null before).
FAKE_WV2_API HWND fake_wv2_controller_parent(int instance);

// [any thread] The thread that called the loader export for the instance (the editor thread).
FAKE_WV2_API DWORD fake_wv2_thread_id(int instance);

// [any thread] Copies the class name of the caller's own window at the time of the loader call
// (the editor window); returns its length, 0 when the caller had none.
FAKE_WV2_API size_t fake_wv2_caller_window_class(int instance, char* out, size_t size);

// [any thread] Fake objects alive plus deliveries still queued, over all instances.
FAKE_WV2_API long fake_wv2_live_objects(void);

// [any thread] References the fake holds on objects the editor handed it.
FAKE_WV2_API long fake_wv2_held_references(void);

// [any thread] Injected events the instance has finished delivering (or dropped after Close).
FAKE_WV2_API long fake_wv2_events_done(int instance);

// [any thread] Queue a page message for the instance's WebMessageReceived handlers; null `text`
// stands for a message that is not a string. Returns 0, or -1 when the instance has no web view.
FAKE_WV2_API int fake_wv2_post_page_message(int instance, const wchar_t* text);

// [any thread] Queue a NavigationStarting event for `uri`; 0 or -1 as above.
FAKE_WV2_API int fake_wv2_start_navigation(int instance, const wchar_t* uri);

// [any thread] Queue a NewWindowRequested event for `uri`; 0 or -1 as above.
FAKE_WV2_API int fake_wv2_request_new_window(int instance, const wchar_t* uri);
