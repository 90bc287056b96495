// The editor view with the web editor open, as a host drives it: the module loaded from a bundle
// whose module folder holds the fake WebView2 runtime, the host window made on the test's own UI
// thread, and the host's edit gestures seen by a recording component handler.
#include <gtest/gtest.h>

#include <wchar.h>

#include <map>

#include "core/params.h"
#include "plugin_host.h"
#include "tests/editor/wrapper_checks.h"

static bool operator==(const HandlerCall& a, const HandlerCall& b) {
    return a.kind == b.kind && a.id == b.id && a.value == b.value;
}
static void PrintTo(const HandlerCall& call, std::ostream* out) {
    *out << "BPER"[call.kind] << " " << call.id << " " << call.value;
}

namespace {

// A host handler that records every gesture and, like most hosts, sets each performed value back
// on the controller from inside performEdit.
struct EchoingHandler {
    IComponentHandler handler;
    RecordingHandler record;
    IEditController* controller = nullptr;
    EchoingHandler();
};

static EchoingHandler* echoing(IComponentHandler* h) {
    return (EchoingHandler*)h;
}
static IComponentHandler* recorder(IComponentHandler* h) {
    return echoing(h)->record.get();
}
static tresult echoQuery(IComponentHandler* h, const char* iid, void** obj) {
    return recorder(h)->vtbl->unknown.queryInterface(recorder(h), iid, obj);
}
static uint32_t echoAddRef(IComponentHandler* h) {
    return recorder(h)->vtbl->unknown.addRef(recorder(h));
}
static uint32_t echoRelease(IComponentHandler* h) {
    return recorder(h)->vtbl->unknown.release(recorder(h));
}
static tresult echoBegin(IComponentHandler* h, ParamID id) {
    return recorder(h)->vtbl->beginEdit(recorder(h), id);
}
static tresult echoPerform(IComponentHandler* h, ParamID id, ParamValue value) {
    recorder(h)->vtbl->performEdit(recorder(h), id, value);
    IEditController* c = echoing(h)->controller;
    return c->vtbl->setParamNormalized(c, id, value);
}
static tresult echoEnd(IComponentHandler* h, ParamID id) {
    return recorder(h)->vtbl->endEdit(recorder(h), id);
}
static tresult echoRestart(IComponentHandler* h, int32_t flags) {
    return recorder(h)->vtbl->restartComponent(recorder(h), flags);
}
static const IComponentHandlerVtbl echoVtbl = {
    {echoQuery, echoAddRef, echoRelease}, echoBegin, echoPerform, echoEnd, echoRestart,
};
EchoingHandler::EchoingHandler() {
    handler.vtbl = &echoVtbl;
}

// A host's IPlugFrame that counts every call the view makes on it.
struct CountingFrame {
    IPlugFrame frame;
    int calls = 0;
    CountingFrame();
};
static tresult frameQuery(IPlugFrame* f, const char*, void** obj) {
    ++((CountingFrame*)f)->calls;
    *obj = nullptr;
    return kNoInterface;
}
static uint32_t frameCount(IPlugFrame* f) {
    return (uint32_t)++((CountingFrame*)f)->calls;
}
static tresult frameResize(IPlugFrame* f, IPlugView*, ViewRect*) {
    ++((CountingFrame*)f)->calls;
    return kResultOk;
}
static const IPlugFrameVtbl frameVtbl = {{frameQuery, frameCount, frameCount}, frameResize};
CountingFrame::CountingFrame() {
    frame.vtbl = &frameVtbl;
}

HandlerCall begin(ParamID id) {
    return {HandlerCall::Begin, id, 0};
}
HandlerCall perform(ParamID id, double normalized) {
    return {HandlerCall::Perform, id, normalized};
}
HandlerCall end(ParamID id) {
    return {HandlerCall::End, id, 0};
}

ViewRect sizeOf(IPlugView* v) {
    ViewRect r = {-1, -1, -1, -1};
    EXPECT_EQ(kResultOk, v->vtbl->getSize(v, &r));
    return r;
}

// A controller of the module in `bundle`, its views opened in the fixture's host window.
class EditorViewTest : public EditorHostTest {
  protected:
    static LoadedModule* moduleOf(const char* bundle) {
        static std::map<std::string, LoadedModule> loaded;
        auto found = loaded.find(bundle);
        if (found != loaded.end()) return &found->second;
        LoadedModule module;
        char error[256];
        if (loadModule(bundle, &module, error) != 0) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        return &loaded.emplace(bundle, module).first->second;
    }

    void openController(const char* bundle) {
        LoadedModule* module = moduleOf(bundle);
        ASSERT_NE(nullptr, module);
        controller = newController(module->factory3);
        ASSERT_NE(nullptr, controller);
        ASSERT_EQ(kResultOk, controller->vtbl->base.initialize(controller, hostContext()));
        echo.controller = controller;
        setHandler(&echo.handler);
    }
    void TearDown() override {
        if (controller) {
            EXPECT_EQ(0u, releaseRef(controller));
        }
        EditorHostTest::TearDown();
    }

    void setHandler(IComponentHandler* h) {
        ASSERT_EQ(kResultOk, controller->vtbl->setComponentHandler(controller, h));
    }
    IPlugView* newView() {
        IPlugView* v = controller->vtbl->createView(controller, "editor");
        EXPECT_NE(nullptr, v);
        return v;
    }
    tresult attach(IPlugView* v, const char* type = "HWND") {
        return v->vtbl->attached(v, parent, type);
    }
    void setNormalized(ParamID id, double value) {
        ASSERT_EQ(kResultOk, controller->vtbl->setParamNormalized(controller, id, value));
    }
    double normalized(ParamID id) { return controller->vtbl->getParamNormalized(controller, id); }
    // The page sends one message and the UI thread serves the editor until it is handled.
    void pageSends(int instance, char command, uint32_t slot, float value) {
        page_sends(instance, page_edit_message(command, slot, value).c_str());
    }
    const std::vector<HandlerCall>& gestures() { return echo.record.calls; }

    IEditController* controller = nullptr;
    EchoingHandler echo;
};

class EditorView : public EditorViewTest {
  protected:
    void SetUp() override {
        EditorHostTest::SetUp();
        openController(VELUM_TEST_VST3_BUNDLE);
    }
};

TEST_F(EditorView, OpensInsideTheHostWindowWithEveryValueSentBeforeAttachedReturns) {
    setNormalized(PARAM_ID_CUTOFF, 0.2);
    setNormalized(PARAM_ID_LFO_AMT, 1.0);
    setNormalized(PARAM_ID_MOD_CUTOFF, 0.5);
    IPlugView* v = newView();
    ViewRect before = sizeOf(v);
    EXPECT_EQ(0, before.left);
    EXPECT_EQ(0, before.top);
    EXPECT_EQ(800, before.right);
    EXPECT_EQ(600, before.bottom);

    ASSERT_EQ(kResultOk, attach(v));
    EXPECT_EQ((std::vector<std::string>{value_message(0, 3), value_message(1, 15),
                                        value_message(2, 7), value_message(3, 128)}),
              page_messages(0));
    HWND editorWindow = fake_wv2_controller_parent(0);
    EXPECT_EQ(parent, GetAncestor(editorWindow, GA_PARENT));
    EXPECT_TRUE(IsWindowVisible(editorWindow));
    ViewRect open = sizeOf(v);
    EXPECT_EQ(800, open.right);
    EXPECT_EQ(600, open.bottom);

    EXPECT_EQ(kInvalidArgument, attach(v));
    EXPECT_EQ(kInvalidArgument, attach(v, "NSView"));
    EXPECT_EQ(1, fake_wv2_instance_count()) << "a refused attach starts no editor";
    EXPECT_EQ(0u, releaseRef(v));
    expect_nothing_left(0);
}

TEST_F(EditorView, RefusesOtherPlatformTypesWithoutStartingAnEditor) {
    IPlugView* v = newView();
    EXPECT_EQ(kInvalidArgument, attach(v, "X11EmbedWindowID"));
    EXPECT_EQ(kInvalidArgument, attach(v, nullptr));
    EXPECT_EQ(0, fake_wv2_instance_count());
    EXPECT_EQ(0, child_windows(parent));
    EXPECT_EQ(kResultOk, attach(v));
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(EditorView, TurnsPageGesturesIntoTheHostsGesturesWithLegalValues) {
    IPlugView* v = newView();
    ASSERT_EQ(kResultOk, attach(v));
    pageSends(0, 'b', PARAM_LFO_SPEED, 7.4f);
    pageSends(0, 's', PARAM_LFO_SPEED, 7.5f);
    pageSends(0, 's', PARAM_LFO_SPEED, -3.0f);
    pageSends(0, 'e', PARAM_LFO_SPEED, 20.0f);
    pageSends(0, 'b', PARAM_CUTOFF, 2.5f);
    pageSends(0, 'e', PARAM_CUTOFF, 2.5f);
    pageSends(0, 's', PARAM_MOD_CUTOFF, 300.0f);
    EXPECT_EQ((std::vector<HandlerCall>{
                  begin(PARAM_ID_LFO_SPEED), perform(PARAM_ID_LFO_SPEED, 7.0 / 15),
                  perform(PARAM_ID_LFO_SPEED, 8.0 / 15), perform(PARAM_ID_LFO_SPEED, 0.0),
                  perform(PARAM_ID_LFO_SPEED, 1.0), end(PARAM_ID_LFO_SPEED), begin(PARAM_ID_CUTOFF),
                  perform(PARAM_ID_CUTOFF, 3.0 / 15), perform(PARAM_ID_CUTOFF, 3.0 / 15),
                  end(PARAM_ID_CUTOFF), perform(PARAM_ID_MOD_CUTOFF, 1.0)}),
              gestures());
    EXPECT_EQ(1.0, normalized(PARAM_ID_LFO_SPEED));
    EXPECT_EQ(3.0 / 15, normalized(PARAM_ID_CUTOFF));

    // Without a component handler the page's value is still the controller's.
    setHandler(nullptr);
    pageSends(0, 's', PARAM_LFO_AMT, 4.2f);
    EXPECT_EQ(11u, gestures().size());
    EXPECT_EQ(4.0 / 15, normalized(PARAM_ID_LFO_AMT));
    EXPECT_EQ(0u, releaseRef(v));
    expect_nothing_left(0);
}

TEST_F(EditorView, SendsTheHostsValuesToThePageAlsoWhenEchoedInsideAGesture) {
    IPlugView* v = newView();
    ASSERT_EQ(kResultOk, attach(v));
    pageSends(0, 'b', PARAM_LFO_SPEED, 7.4f);
    pageSends(0, 'e', PARAM_LFO_SPEED, 9.6f);
    setNormalized(PARAM_ID_LFO_AMT, 0.4);
    std::vector<std::string> sent = page_messages(0);
    ASSERT_EQ(7u, sent.size());
    EXPECT_EQ(value_message(2, 7), sent[4]);
    EXPECT_EQ(value_message(2, 10), sent[5]) << "performEdit and endEdit each echo once";
    EXPECT_EQ(value_message(1, 6), sent[6]);
    EXPECT_EQ(0u, releaseRef(v));
}

// Blocks until the editor has queued a relay request on this thread, without serving it.
void awaitQueuedRequest() {
    DWORD start = GetTickCount();
    while (!(HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) &&
           GetTickCount() - start < 5000)
        Sleep(1);
}

TEST_F(EditorView, KeepsTheHostsValueOverAPageEditQueuedBeforeIt) {
    IPlugView* v = newView();
    ASSERT_EQ(kResultOk, attach(v));
    pump_until([] { return false; }, 50);

    ASSERT_EQ(0, fake_wv2_post_page_message(0, page_edit_message('s', PARAM_CUTOFF, 5.0f).c_str()));
    awaitQueuedRequest();
    setNormalized(PARAM_ID_CUTOFF, 10.0 / 15);
    await_events(0, 1);
    EXPECT_EQ(std::vector<HandlerCall>{perform(PARAM_ID_CUTOFF, 5.0 / 15)}, echo.record.calls);
    EXPECT_EQ(10.0 / 15, normalized(PARAM_ID_CUTOFF));
    EXPECT_EQ(value_message(0, 10), page_messages(0).back());

    // The same for a component state loaded while a page edit waits.
    IComponent* component = newComponent(moduleOf(VELUM_TEST_VST3_BUNDLE)->factory3);
    ASSERT_NE(nullptr, component);
    ASSERT_EQ(kResultOk, component->vtbl->base.initialize(component, hostContext()));
    MemoryStream saved;
    ASSERT_EQ(kResultOk, component->vtbl->getState(component, saved.get()));
    releaseRef(component);
    MemoryStream state(saved.bytes);
    ASSERT_EQ(0, fake_wv2_post_page_message(0, page_edit_message('s', PARAM_CUTOFF, 4.0f).c_str()));
    awaitQueuedRequest();
    ASSERT_EQ(kResultOk, controller->vtbl->setComponentState(controller, state.get()));
    await_events(0, 2);
    EXPECT_EQ(perform(PARAM_ID_CUTOFF, 4.0 / 15), echo.record.calls.back());
    EXPECT_EQ(1.0, normalized(PARAM_ID_CUTOFF)) << "the state's cutoff 15 is held";
    std::vector<std::string> sent = page_messages(0);
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(
        (std::vector<std::string>{value_message(0, 15), value_message(1, 0), value_message(2, 7)}),
        std::vector<std::string>(sent.end() - 3, sent.end()));
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(EditorView, FollowsTheHostsResizingWithoutCallingItsFrame) {
    IPlugView* v = newView();
    CountingFrame frame;
    EXPECT_EQ(kResultOk, v->vtbl->setFrame(v, &frame.frame));
    ASSERT_EQ(kResultOk, attach(v));
    ViewRect wanted = {0, 0, 640, 480};
    EXPECT_EQ(kResultOk, v->vtbl->onSize(v, &wanted));
    ViewRect now = sizeOf(v);
    EXPECT_EQ(0, now.left);
    EXPECT_EQ(0, now.top);
    EXPECT_EQ(640, now.right);
    EXPECT_EQ(480, now.bottom);
    std::vector<std::string> bounds = with_prefix(fake_log(0), "put_Bounds ");
    ASSERT_FALSE(bounds.empty());
    EXPECT_EQ("0 0 640 480", bounds.back()) << "the web view fills the resized window";

    ViewRect moved = {100, 50, 600, 450};
    EXPECT_EQ(kResultOk, v->vtbl->onSize(v, &moved));
    now = sizeOf(v);
    EXPECT_EQ(500, now.right);
    EXPECT_EQ(400, now.bottom);
    RECT inParent;
    GetWindowRect(fake_wv2_controller_parent(0), &inParent);
    MapWindowPoints(HWND_DESKTOP, parent, (POINT*)&inParent, 2);
    EXPECT_EQ(0, inParent.left) << "resizing keeps the position";
    EXPECT_EQ(0, inParent.top);

    ViewRect nothing = {0, 0, 0, 0};
    EXPECT_EQ(kResultOk, v->vtbl->onSize(v, &nothing));
    now = sizeOf(v);
    EXPECT_EQ(800, now.right) << "a window without area reports the default size";
    EXPECT_EQ(600, now.bottom);
    EXPECT_EQ(kInvalidArgument, v->vtbl->onSize(v, nullptr));
    EXPECT_EQ(0u, releaseRef(v));
    EXPECT_EQ(0, frame.calls) << "the view keeps its frame without a reference and never uses it";
}

// Counts the WM_TIMER messages the test thread takes from its queue.
int timerTicks;
LRESULT CALLBACK countTimerTicks(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && ((MSG*)lParam)->message == WM_TIMER) ++timerTicks;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(EditorView, TicksOnATimerOfTheUiThreadFromAttachedUntilRemoved) {
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, countTimerTicks, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    IPlugView* v = newView();
    timerTicks = 0;
    ASSERT_EQ(kResultOk, attach(v));
    EXPECT_TRUE(pump_until([] { return timerTicks >= 3; }, 2000)) << timerTicks << " ticks";

    EXPECT_EQ(kResultOk, v->vtbl->removed(v));
    pump_until([] { return false; }, 30);
    int afterRemoved = timerTicks;
    pump_until([] { return false; }, 150);
    EXPECT_EQ(afterRemoved, timerTicks) << "the timer stops with the editor";
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(EditorView, OpensAFreshEditorWhenAttachedAgainAfterRemoved) {
    IPlugView* v = newView();
    ASSERT_EQ(kResultOk, attach(v));
    EXPECT_EQ(kResultOk, v->vtbl->removed(v));
    expect_nothing_left(0);
    EXPECT_EQ(800, sizeOf(v).right);
    EXPECT_EQ(kResultOk, v->vtbl->removed(v));
    ViewRect wanted = {0, 0, 300, 200};
    EXPECT_EQ(kResultFalse, v->vtbl->onSize(v, &wanted));

    setNormalized(PARAM_ID_LFO_SPEED, 0.0);
    ASSERT_EQ(kResultOk, attach(v));
    EXPECT_EQ(2, fake_wv2_instance_count());
    EXPECT_EQ((std::vector<std::string>{value_message(0, 15), value_message(1, 0),
                                        value_message(2, 0), value_message(3, 248)}),
              page_messages(1));
    EXPECT_EQ(4u, page_messages(0).size()) << "the closed editor got nothing more";
    pageSends(1, 's', PARAM_CUTOFF, 6.0f);
    EXPECT_EQ(std::vector<HandlerCall>{perform(PARAM_ID_CUTOFF, 6.0 / 15)}, gestures());
    EXPECT_EQ(0u, releaseRef(v));
    expect_nothing_left(1);
}

TEST_F(EditorView, ClosesCleanlyAfterTheHostDestroyedItsWindowFirst) {
    IPlugView* v = newView();
    ASSERT_EQ(kResultOk, attach(v));
    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(kResultOk, v->vtbl->removed(v));
    expect_nothing_left(0);
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(EditorView, ClosesEveryEditorWhenTheControllerGoesWithViewsStillListed) {
    int threadsBefore = process_threads();
    IPlugView* first = newView();
    IPlugView* second = newView();
    IPlugView* detached = newView();
    ASSERT_EQ(kResultOk, attach(first));
    ASSERT_EQ(kResultOk, attach(second));
    EXPECT_EQ(2, fake_wv2_instance_count());

    EXPECT_EQ(0u, releaseRef(controller));
    controller = nullptr;
    expect_nothing_left(0);
    expect_nothing_left(1);
    EXPECT_TRUE(pump_until([&] { return process_threads() <= threadsBefore; }, 3000));

    // The host's views outlive the controller: detached, and unable to open another editor.
    EXPECT_EQ(kResultFalse, attach(detached));
    EXPECT_EQ(800, sizeOf(first).right);
    EXPECT_EQ(kResultOk, first->vtbl->removed(first));
    EXPECT_EQ(0u, releaseRef(first));
    EXPECT_EQ(0u, releaseRef(second));
    EXPECT_EQ(0u, releaseRef(detached));
    EXPECT_EQ(2, fake_wv2_instance_count());
}

TEST_F(EditorView, StaysDetachedAndAttachableWhenTheRuntimeFails) {
    fake_wv2_reset(FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION);
    IPlugView* v = newView();
    EXPECT_EQ(kResultFalse, attach(v));
    expect_nothing_left(0);
    EXPECT_EQ(800, sizeOf(v).right);
    fake_wv2_reset(0);
    EXPECT_EQ(kResultOk, attach(v));
    EXPECT_EQ(4u, page_messages(0).size());
    EXPECT_EQ(0u, releaseRef(v));
    expect_nothing_left(0);
}

// Bundles without a usable "WebView2Loader.dll": one without the file, one whose file lacks the
// loader's export.
class EditorViewWithoutLoader : public EditorViewTest,
                                public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        EditorHostTest::SetUp();
        openController(GetParam());
    }
};

TEST_P(EditorViewWithoutLoader, FailsToAttachAndLeavesNothingBehind) {
    int threadsBefore = process_threads();
    IPlugView* v = newView();
    EXPECT_EQ(kResultFalse, attach(v));
    EXPECT_EQ(kResultFalse, attach(v)) << "still detached: the same failure, not a second attach";
    EXPECT_EQ(0, fake_wv2_instance_count());
    EXPECT_EQ(0, child_windows(parent));
    EXPECT_TRUE(temp_entries().empty());
    EXPECT_EQ(threadsBefore, process_threads());
    ViewRect wanted = {0, 0, 300, 200};
    EXPECT_EQ(kResultFalse, v->vtbl->onSize(v, &wanted));
    EXPECT_EQ(800, sizeOf(v).right);
    EXPECT_EQ(0u, releaseRef(v));
}

INSTANTIATE_TEST_SUITE_P(Bundles, EditorViewWithoutLoader,
                         ::testing::Values(VELUM_TEST_VST3_BUNDLE_NO_LOADER,
                                           VELUM_TEST_VST3_BUNDLE_EMPTY_LOADER));

} // namespace
