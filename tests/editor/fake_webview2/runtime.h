// Internals shared by the fake runtime's objects: instances, the call record, object counting and
// delivery through the calling thread's message loop.
#pragma once

#include "editor/webview2.h"
#include "tests/editor/fake_webview2/fake_webview2.h"

// One CreateCoreWebView2EnvironmentWithOptions call and everything created under it. Lives until
// fake_wv2_reset; fields after `index` are guarded by the runtime lock.
struct FakeInstance {
    int index;
    unsigned failures;      // FakeWv2Failure bits in force for this instance
    DWORD threadId;         // the thread that called the loader export (the editor thread)
    HWND deliveryWindow;    // message-only window of that thread; completions arrive through it
    long live;              // objects and queued deliveries of this instance
    long eventsDone;        // injected events delivered or dropped
    HWND controllerParent;  // window passed to CreateCoreWebView2Controller
    ICoreWebView2* webView; // the instance's web view while it exists (not a reference)
    wchar_t userDataFolder[MAX_PATH];
    char callerWindowClass[64]; // class of the caller's first own window at the loader call
    IUnknown* handlerIdentity;  // IUnknown of the first handler object, compared, never called
    char* log;                  // malloc'd, grows; one line per call
    size_t logLength;
};

// [any thread] Appends one line to the instance's record (printf format). A call that arrives on
// another thread than the instance's is recorded with the prefix "wrong thread: ".
void record(FakeInstance* instance, const char* format, ...);

// [any thread] True when the instance was told to fail (or lack) `step`.
bool failing(const FakeInstance* instance, FakeWv2Failure step);

// [loader] Starts a new instance for the calling thread; null when the table is full.
FakeInstance* start_instance();

// [any thread] Object bookkeeping: one more / one fewer live object of the instance. The last one
// gone on the instance's own thread also removes its delivery window.
void object_born(FakeInstance* instance);
void object_died(FakeInstance* instance);

// [any thread] Runs `task(arg)` later on the instance's thread, from its message loop. Counts as a
// live object until it has run. False (nothing queued) when the delivery window is gone.
bool deliver_later(FakeInstance* instance, void (*task)(void* arg), void* arg);

// [instance thread] Runs every delivery still queued for the instance at once (used by Close,
// after which events are dropped rather than delivered).
void flush_deliveries(FakeInstance* instance);

// [any thread] AddRef / Release on an object the editor handed over, counted as held references.
void hold(IUnknown* object);
void drop(IUnknown* object);

// [lock held] The instance numbered `index` since the last reset, or null.
FakeInstance* instance_at(int index);

// [runtime lock] Guards instance fields; taken by the accessors above, and for web view lookup.
void lock_runtime();
void unlock_runtime();

// [instance thread] Asks `object` (handed over by the editor as `name`) for its own interface
// `own`, for IUnknown, for an interface it does not have and with no output pointer, and records
// the answers as one line: "<name> own=<hr> <same|other> IUnknown=<hr> <identity> unlisted=<hr>
// <null|set> nullOut=<hr>". Handler objects share one COM identity per instance.
void record_interfaces(FakeInstance* instance, const char* name, IUnknown* object, REFIID own,
                       bool handler);

// [lock held] Increments `refs` unless it already reached zero (the object is being destroyed).
bool add_ref_if_alive(LONG* refs);

// CoTaskMemAlloc copy of a wide text (null stays null); null on allocation failure.
LPWSTR co_copy(LPCWSTR text);

// UTF-8 rendering of a wide text for the record; "(null)" for null. Returns `out`.
const char* utf8(LPCWSTR text, char* out, size_t size);

// Reference counting and QueryInterface shared by every fake object. Each object counts as one
// live object of its instance from construction to destruction.
template <class Interface>
struct FakeUnknown : Interface {
    FakeInstance* instance;
    LONG refs = 1;

    explicit FakeUnknown(FakeInstance* owner) : instance(owner) { object_born(owner); }
    virtual ~FakeUnknown() { object_died(instance); }

    // Interface ids the object answers besides IUnknown (all with this same pointer).
    virtual bool answers(REFIID iid) const = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!(iid == IID_IUnknown || answers(iid))) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0) delete this;
        return (ULONG)left;
    }
};

// Body of a slot the editor never calls: recorded, so a test sees the unexpected call.
#define FAKE_UNUSED(name, ...)                                                                     \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override {                                         \
        record(this->instance, "unexpected %s", #name);                                            \
        return E_NOTIMPL;                                                                          \
    }
