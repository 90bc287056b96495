// The fake runtime's bookkeeping: instances and their call records, live object counts, delivery
// through a message-only window of the calling thread, and the inspection exports.
#include "tests/editor/fake_webview2/runtime.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

enum { MAX_INSTANCES = 64, MSG_DELIVER = WM_APP + 0x100 };

static SRWLOCK lock = SRWLOCK_INIT;
static FakeInstance* instances[MAX_INSTANCES]; // guarded by lock
static int instanceCount;                      // guarded by lock
static unsigned nextFailures;                  // guarded by lock
static LONG liveObjects;                       // atomic
static LONG heldReferences;                    // atomic
static const char deliveryClass[] = "VelumFakeWebView2Delivery";

void lock_runtime() {
    AcquireSRWLockExclusive(&lock);
}
void unlock_runtime() {
    ReleaseSRWLockExclusive(&lock);
}

FakeInstance* instance_at(int index) {
    return index >= 0 && index < instanceCount ? instances[index] : nullptr;
}

static void append(FakeInstance* instance, const char* line, size_t length) {
    char* grown = (char*)realloc(instance->log, instance->logLength + length + 2);
    if (!grown) return;
    memcpy(grown + instance->logLength, line, length);
    grown[instance->logLength + length] = '\n';
    grown[instance->logLength + length + 1] = 0;
    instance->log = grown;
    instance->logLength += length + 1;
}

void record(FakeInstance* instance, const char* format, ...) {
    static const char wrongThread[] = "wrong thread: ";
    size_t prefix = GetCurrentThreadId() == instance->threadId ? 0 : sizeof wrongThread - 1;
    va_list args;
    va_start(args, format);
    int length = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0) return;
    char* line = (char*)malloc(prefix + (size_t)length + 1);
    if (!line) return;
    memcpy(line, wrongThread, prefix);
    va_start(args, format);
    vsnprintf(line + prefix, (size_t)length + 1, format, args);
    va_end(args);
    lock_runtime();
    append(instance, line, prefix + (size_t)length);
    unlock_runtime();
    free(line);
}

bool failing(const FakeInstance* instance, FakeWv2Failure step) {
    return (instance->failures & step) != 0;
}

// [instance thread] Runs one queued delivery; the delivery stops counting as live afterwards.
static LRESULT CALLBACK delivery_procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message != MSG_DELIVER) return DefWindowProcA(window, message, wParam, lParam);
    FakeInstance* instance = (FakeInstance*)GetWindowLongPtrA(window, GWLP_USERDATA);
    ((void (*)(void*))wParam)((void*)lParam);
    object_died(instance);
    return 0;
}

static HWND create_delivery_window(FakeInstance* instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = delivery_procedure;
    windowClass.hInstance = (HINSTANCE)&__ImageBase;
    windowClass.lpszClassName = deliveryClass;
    RegisterClassA(&windowClass); // fails harmlessly once the class exists
    HWND window = CreateWindowExA(0, deliveryClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  (HINSTANCE)&__ImageBase, nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)instance);
    return window;
}

// Keeps the class name of the first window of the thread that is not the fake's own.
static BOOL CALLBACK note_caller_window(HWND window, LPARAM lParam) {
    FakeInstance* instance = (FakeInstance*)lParam;
    char name[sizeof instance->callerWindowClass];
    if (!GetClassNameA(window, name, sizeof name) || !strcmp(name, deliveryClass)) return TRUE;
    memcpy(instance->callerWindowClass, name, sizeof name);
    return FALSE;
}

FakeInstance* start_instance() {
    FakeInstance* instance = (FakeInstance*)calloc(1, sizeof(FakeInstance));
    if (!instance) return nullptr;
    instance->threadId = GetCurrentThreadId();
    EnumThreadWindows(instance->threadId, note_caller_window, (LPARAM)instance);
    instance->deliveryWindow = create_delivery_window(instance);
    lock_runtime();
    bool room = instanceCount < MAX_INSTANCES && instance->deliveryWindow;
    if (room) {
        instance->index = instanceCount;
        instance->failures = nextFailures;
        instances[instanceCount++] = instance;
    }
    unlock_runtime();
    if (room) return instance;
    if (instance->deliveryWindow) DestroyWindow(instance->deliveryWindow);
    free(instance);
    return nullptr;
}

void object_born(FakeInstance* instance) {
    InterlockedIncrement(&liveObjects);
    lock_runtime();
    instance->live++;
    unlock_runtime();
}

void object_died(FakeInstance* instance) {
    HWND finished = nullptr;
    lock_runtime();
    if (--instance->live == 0 && GetCurrentThreadId() == instance->threadId) {
        finished = instance->deliveryWindow;
        instance->deliveryWindow = nullptr;
    }
    unlock_runtime();
    InterlockedDecrement(&liveObjects);
    if (finished) DestroyWindow(finished);
}

bool deliver_later(FakeInstance* instance, void (*task)(void* arg), void* arg) {
    lock_runtime();
    HWND window = instance->deliveryWindow;
    if (window) instance->live++;
    unlock_runtime();
    if (!window) return false;
    InterlockedIncrement(&liveObjects);
    if (PostMessageA(window, MSG_DELIVER, (WPARAM)task, (LPARAM)arg)) return true;
    object_died(instance);
    return false;
}

void flush_deliveries(FakeInstance* instance) {
    for (;;) {
        lock_runtime();
        HWND window = instance->deliveryWindow;
        unlock_runtime();
        MSG message;
        if (!window || !PeekMessageA(&message, window, MSG_DELIVER, MSG_DELIVER, PM_REMOVE)) return;
        DispatchMessageA(&message);
    }
}

void hold(IUnknown* object) {
    object->AddRef();
    InterlockedIncrement(&heldReferences);
}

void drop(IUnknown* object) {
    InterlockedDecrement(&heldReferences);
    object->Release();
}

bool add_ref_if_alive(LONG* refs) {
    for (LONG seen = *refs; seen > 0; seen = *refs)
        if (InterlockedCompareExchange(refs, seen + 1, seen) == seen) return true;
    return false;
}

void record_interfaces(FakeInstance* instance, const char* name, IUnknown* object, REFIID own,
                       bool handler) {
    void* found = nullptr;
    HRESULT ownResult = object->QueryInterface(own, &found);
    bool same = found == object;
    if (found) ((IUnknown*)found)->Release();
    found = nullptr;
    HRESULT unknownResult = object->QueryInterface(IID_IUnknown, &found);
    IUnknown* identity = (IUnknown*)found;
    if (identity) identity->Release();
    const char* identityText = "-";
    if (handler) {
        if (!instance->handlerIdentity) instance->handlerIdentity = identity;
        identityText = identity && identity == instance->handlerIdentity ? "identity" : "stranger";
    }
    found = (void*)1;
    // An interface no editor object implements.
    HRESULT unlistedResult = object->QueryInterface(IID_ICoreWebView2Settings, &found);
    bool unlistedNull = found == nullptr;
    if (found && found != (void*)1) ((IUnknown*)found)->Release();
    HRESULT nullOutResult = object->QueryInterface(own, nullptr);
    record(instance, "%s own=0x%08lx %s IUnknown=0x%08lx %s unlisted=0x%08lx %s nullOut=0x%08lx",
           name, (unsigned long)ownResult, same ? "same" : "other", (unsigned long)unknownResult,
           identityText, (unsigned long)unlistedResult, unlistedNull ? "null" : "set",
           (unsigned long)nullOutResult);
}

LPWSTR co_copy(LPCWSTR text) {
    if (!text) return nullptr;
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    LPWSTR copy = (LPWSTR)CoTaskMemAlloc(bytes);
    if (copy) memcpy(copy, text, bytes);
    return copy;
}

const char* utf8(LPCWSTR text, char* out, size_t size) {
    if (!text) return "(null)";
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, out, (int)size, nullptr, nullptr) <= 0)
        snprintf(out, size, "(unconvertible)");
    return out;
}

FAKE_WV2_API void fake_wv2_reset(unsigned failures) {
    lock_runtime();
    for (int i = 0; i < instanceCount; i++) {
        // An instance that still has objects stays allocated for them; it is only forgotten.
        if (instances[i]->live == 0) {
            free(instances[i]->log);
            free(instances[i]);
        }
        instances[i] = nullptr;
    }
    instanceCount = 0;
    nextFailures = failures;
    unlock_runtime();
}

FAKE_WV2_API int fake_wv2_instance_count(void) {
    lock_runtime();
    int count = instanceCount;
    unlock_runtime();
    return count;
}

FAKE_WV2_API size_t fake_wv2_log(int index, char* out, size_t size) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    size_t length = instance ? instance->logLength : 0;
    if (size > 0) {
        size_t copied = length < size - 1 ? length : size - 1;
        if (copied) memcpy(out, instance->log, copied);
        out[copied] = 0;
    }
    unlock_runtime();
    return length;
}

FAKE_WV2_API size_t fake_wv2_user_data_folder(int index, wchar_t* out, size_t size) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    const wchar_t* folder = instance ? instance->userDataFolder : L"";
    size_t length = wcslen(folder);
    if (size > 0) lstrcpynW(out, folder, (int)size);
    unlock_runtime();
    return length;
}

FAKE_WV2_API DWORD fake_wv2_thread_id(int index) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    DWORD id = instance ? instance->threadId : 0;
    unlock_runtime();
    return id;
}

FAKE_WV2_API size_t fake_wv2_caller_window_class(int index, char* out, size_t size) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    const char* name = instance ? instance->callerWindowClass : "";
    size_t length = strlen(name);
    if (size > 0) lstrcpynA(out, name, (int)size);
    unlock_runtime();
    return length;
}

FAKE_WV2_API HWND fake_wv2_controller_parent(int index) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    HWND parent = instance ? instance->controllerParent : nullptr;
    unlock_runtime();
    return parent;
}

FAKE_WV2_API long fake_wv2_live_objects(void) {
    return InterlockedCompareExchange(&liveObjects, 0, 0);
}

FAKE_WV2_API long fake_wv2_held_references(void) {
    return InterlockedCompareExchange(&heldReferences, 0, 0);
}

FAKE_WV2_API long fake_wv2_events_done(int index) {
    lock_runtime();
    FakeInstance* instance = instance_at(index);
    long done = instance ? instance->eventsDone : 0;
    unlock_runtime();
    return done;
}
