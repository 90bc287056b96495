// The loader export and the environment: reads the options, creates the user data folder and
// reports the environment, then the controller, later through the calling thread's message loop.
#include "tests/editor/fake_webview2/objects.h"

#include <wchar.h>

struct FakeEnvironment : FakeUnknown<ICoreWebView2Environment> {
    using FakeUnknown::FakeUnknown;

    bool answers(REFIID iid) const override { return iid == IID_ICoreWebView2Environment; }

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow,
        ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;
    FAKE_UNUSED(CreateWebResourceResponse, IStream*, int, LPCWSTR, LPCWSTR,
                ICoreWebView2WebResourceResponse**)
    FAKE_UNUSED(get_BrowserVersionString, LPWSTR*)
    FAKE_UNUSED(add_NewBrowserVersionAvailable,
                ICoreWebView2NewBrowserVersionAvailableEventHandler*, EventRegistrationToken*)
    FAKE_UNUSED(remove_NewBrowserVersionAvailable, EventRegistrationToken)
};

ICoreWebView2Environment* new_environment(FakeInstance* instance) {
    return new FakeEnvironment(instance);
}

struct ControllerRequest {
    FakeEnvironment* environment; // one reference, until the completion has run
    ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler; // held
};

// [instance thread] Reports the new controller (or the injected failure) to the handler.
static void complete_controller(void* arg) {
    ControllerRequest* request = (ControllerRequest*)arg;
    FakeInstance* instance = request->environment->instance;
    ICoreWebView2Controller* controller = nullptr;
    HRESULT result = E_FAIL;
    if (!failing(instance, FAKE_WV2_FAIL_CONTROLLER_COMPLETION)) {
        controller = new_controller(instance, request->environment);
        result = S_OK;
    }
    HRESULT answer = request->handler->Invoke(result, controller);
    record(instance, "controller completion answered 0x%08lx", (unsigned long)answer);
    if (controller) controller->Release();
    drop(request->handler);
    request->environment->Release();
    delete request;
}

HRESULT STDMETHODCALLTYPE FakeEnvironment::CreateCoreWebView2Controller(
    HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) {
    record(instance, "CreateCoreWebView2Controller");
    lock_runtime();
    instance->controllerParent = parentWindow;
    unlock_runtime();
    if (failing(instance, FAKE_WV2_FAIL_CONTROLLER_CALL)) return E_FAIL;
    if (!handler) return E_POINTER;
    if (!IsWindow(parentWindow)) return E_INVALIDARG;
    record_interfaces(instance, "controller handler", handler,
                      IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, true);
    ControllerRequest* request = new ControllerRequest{this, handler};
    AddRef();
    hold(handler);
    if (deliver_later(instance, complete_controller, request)) return S_OK;
    drop(handler);
    Release();
    delete request;
    return E_UNEXPECTED;
}

struct EnvironmentRequest {
    FakeInstance* instance;
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler; // held
};

// [instance thread] Reports the new environment (or "runtime not found") to the handler.
static void complete_environment(void* arg) {
    EnvironmentRequest* request = (EnvironmentRequest*)arg;
    ICoreWebView2Environment* environment = nullptr;
    HRESULT result = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (!failing(request->instance, FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION)) {
        environment = new_environment(request->instance);
        result = S_OK;
    }
    HRESULT answer = request->handler->Invoke(result, environment);
    record(request->instance, "environment completion answered 0x%08lx", (unsigned long)answer);
    if (environment) environment->Release();
    drop(request->handler);
    delete request;
}

// Records one text option as the runtime reads it; the copy is the caller's to free.
static void
record_text_option(FakeInstance* instance, const char* name,
                   HRESULT (STDMETHODCALLTYPE ICoreWebView2EnvironmentOptions::*get)(LPWSTR*),
                   ICoreWebView2EnvironmentOptions* options) {
    LPWSTR value = nullptr;
    HRESULT result = (options->*get)(&value);
    char text[1024];
    record(instance, "option %s=%s (0x%08lx)", name, utf8(value, text, sizeof text),
           (unsigned long)result);
    CoTaskMemFree(value);
}

static void record_options(FakeInstance* instance, ICoreWebView2EnvironmentOptions* options) {
    if (!options) {
        record(instance, "no options");
        return;
    }
    record_text_option(instance, "AdditionalBrowserArguments",
                       &ICoreWebView2EnvironmentOptions::get_AdditionalBrowserArguments, options);
    record_text_option(instance, "Language", &ICoreWebView2EnvironmentOptions::get_Language,
                       options);
    record_text_option(instance, "TargetCompatibleBrowserVersion",
                       &ICoreWebView2EnvironmentOptions::get_TargetCompatibleBrowserVersion,
                       options);
    BOOL allow = -1;
    HRESULT result = options->get_AllowSingleSignOnUsingOSPrimaryAccount(&allow);
    record(instance, "option AllowSingleSignOnUsingOSPrimaryAccount=%d (0x%08lx)", allow,
           (unsigned long)result);
    // Each get_ hands out a copy of its own, which the runtime may keep and free independently.
    LPWSTR first = nullptr, second = nullptr;
    options->get_TargetCompatibleBrowserVersion(&first);
    options->get_TargetCompatibleBrowserVersion(&second);
    record(instance, "version copies %s",
           first && second && first != second ? "separate" : "shared");
    CoTaskMemFree(first);
    CoTaskMemFree(second);
    record_interfaces(instance, "options", options, IID_ICoreWebView2EnvironmentOptions, false);
}

// The runtime fills its user data folder with files of its own; a nested one stands for them.
static void populate_user_data_folder(LPCWSTR folder) {
    wchar_t path[MAX_PATH];
    CreateDirectoryW(folder, nullptr);
    if (swprintf(path, MAX_PATH, L"%ls\\EBWebView", folder) < 0) return;
    CreateDirectoryW(path, nullptr);
    if (swprintf(path, MAX_PATH, L"%ls\\EBWebView\\Local State", folder) < 0) return;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, "{}", 2, &written, nullptr);
    CloseHandle(file);
}

// [editor thread] The loader export. `options` and `handler` are borrowed; the handler is held
// until its completion has run.
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder,
    ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
    FakeInstance* instance = start_instance();
    if (!instance) return E_OUTOFMEMORY;
    char browser[MAX_PATH * 3], data[MAX_PATH * 3];
    record(instance,
           "CreateCoreWebView2EnvironmentWithOptions browserExecutableFolder=%s "
           "userDataFolder=%s",
           utf8(browserExecutableFolder, browser, sizeof browser),
           utf8(userDataFolder, data, sizeof data));
    lock_runtime();
    if (userDataFolder) lstrcpynW(instance->userDataFolder, userDataFolder, MAX_PATH);
    unlock_runtime();
    record_options(instance, environmentOptions);
    if (failing(instance, FAKE_WV2_FAIL_ENVIRONMENT_CALL)) return E_FAIL;
    if (!environmentCreatedHandler) return E_POINTER;
    record_interfaces(instance, "environment handler", environmentCreatedHandler,
                      IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, true);
    if (userDataFolder) populate_user_data_folder(userDataFolder);
    EnvironmentRequest* request = new EnvironmentRequest{instance, environmentCreatedHandler};
    hold(environmentCreatedHandler);
    if (deliver_later(instance, complete_environment, request)) return S_OK;
    drop(environmentCreatedHandler);
    delete request;
    return E_UNEXPECTED;
}
