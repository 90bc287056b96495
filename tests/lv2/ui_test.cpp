// The LV2 UI as a host drives it: the binary loaded from a bundle that holds the fake WebView2
// runtime, the parent window made on the test's own UI thread, and the host's write and touch
// functions recording what the page's gestures become.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>
#include <wchar.h>

#include <map>
#include <string>
#include <vector>

#include <lv2/ui/ui.h>

#include "lv2/uris.h"
#include "tests/editor/wrapper_checks.h"

namespace {

// One call the UI made on the host: a port write or a touch.
struct HostCall {
    char kind; // 'w' write, 't' touch
    uint32_t port;
    float value;       // written value; 1 or 0 for grabbed / released
    uint32_t size;     // write: buffer size
    uint32_t protocol; // write: port protocol
};

bool operator==(const HostCall& a, const HostCall& b) {
    return a.kind == b.kind && a.port == b.port && a.value == b.value && a.size == b.size &&
           a.protocol == b.protocol;
}
void PrintTo(const HostCall& c, std::ostream* out) {
    *out << c.kind << " port " << c.port << " value " << c.value << " size " << c.size
         << " protocol " << c.protocol;
}
HostCall wrote(uint32_t port, float value) {
    return {'w', port, value, 4, 0};
}
HostCall touched(uint32_t port, bool grabbed) {
    return {'t', port, grabbed ? 1.0f : 0.0f, 0, 0};
}

std::vector<HostCall> calls;

void recordWrite(LV2UI_Controller, uint32_t port, uint32_t size, uint32_t protocol,
                 const void* buffer) {
    calls.push_back({'w', port, *(const float*)buffer, size, protocol});
}
void recordTouch(LV2UI_Feature_Handle, uint32_t port, bool grabbed) {
    calls.push_back(touched(port, grabbed));
}

// "Z:\...\tamber-velum.lv2\": a bundle folder as a Windows host passes it, separator included.
std::string hostBundlePath(const char* bundle) {
    std::string path = std::string("Z:") + bundle + "/";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

class Lv2UiTest : public EditorHostTest {
  protected:
    // The UI descriptor of the binary in `bundle`, loaded once per program.
    static const LV2UI_Descriptor* descriptorOf(const char* bundle, uint32_t index = 0) {
        static std::map<std::string, HMODULE> loaded;
        HMODULE& module = loaded[bundle];
        if (!module) module = LoadLibraryA((hostBundlePath(bundle) + "tamber-velum.dll").c_str());
        if (!module) {
            ADD_FAILURE() << "cannot load the binary of " << bundle;
            return nullptr;
        }
        auto lookup = (const LV2UI_Descriptor* (*)(uint32_t))(void*)GetProcAddress(
            module, "lv2ui_descriptor");
        if (!lookup) ADD_FAILURE() << "no lv2ui_descriptor export";
        return lookup ? lookup(index) : nullptr;
    }

    void SetUp() override {
        EditorHostTest::SetUp();
        calls.clear();
        touchFeatureData = {this, recordTouch};
        parentFeature = {LV2_UI__parent, parent};
        touchFeature = {LV2_UI__touch, &touchFeatureData};
        otherFeature = {"http://lv2plug.in/ns/ext/urid#map", nullptr};
    }
    void TearDown() override {
        if (handle) ui->cleanup(handle);
        EditorHostTest::TearDown();
    }

    // Instantiates the UI of `bundle` with `features` (null-terminated); the handle is kept.
    LV2UI_Handle open(std::vector<const LV2_Feature*> features,
                      const char* bundle = VELUM_TEST_LV2_BUNDLE) {
        ui = descriptorOf(bundle);
        if (!ui) return nullptr;
        features.push_back(nullptr);
        widget = (LV2UI_Widget)1;
        handle = ui->instantiate(ui, VELUM_LV2_URI, hostBundlePath(bundle).c_str(), recordWrite,
                                 this, &widget, features.data());
        return handle;
    }
    void close() {
        ui->cleanup(handle);
        handle = nullptr;
    }
    void portEvent(uint32_t port, float value) { ui->port_event(handle, port, 4, 0, &value); }
    void pageSends(char command, uint32_t slot, float value) {
        page_sends(0, page_edit_message(command, slot, value).c_str());
    }

    const LV2UI_Descriptor* ui = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    LV2UI_Touch touchFeatureData;
    LV2_Feature parentFeature, touchFeature, otherFeature;
};

TEST_F(Lv2UiTest, HasOneDescriptorWithTheIdleInterfaceAsItsOnlyExtension) {
    const LV2UI_Descriptor* d = descriptorOf(VELUM_TEST_LV2_BUNDLE);
    ASSERT_NE(nullptr, d);
    EXPECT_STREQ(VELUM_LV2_URI "#ui", d->URI);
    EXPECT_EQ(nullptr, descriptorOf(VELUM_TEST_LV2_BUNDLE, 1));
    auto idle = (const LV2UI_Idle_Interface*)d->extension_data(LV2_UI__idleInterface);
    ASSERT_NE(nullptr, idle);
    EXPECT_EQ(nullptr, d->extension_data(LV2_UI__showInterface));
    EXPECT_EQ(nullptr, d->extension_data(LV2_UI__idleInterface "s"));
    EXPECT_EQ(nullptr, d->extension_data("http://lv2plug.in/ns/extensions/ui#IdleInterface"));

    ASSERT_NE(nullptr, open({&otherFeature, &parentFeature}));
    EXPECT_EQ(0, idle->idle(handle));
    EXPECT_EQ(0, idle->idle(handle)) << "the UI never asks to be closed";
}

TEST_F(Lv2UiTest, OpensInsideTheParentWindowWithThePageOfItsBundle) {
    ASSERT_NE(nullptr, open({&parentFeature, &touchFeature}));
    HWND window = (HWND)widget;
    EXPECT_EQ(fake_wv2_controller_parent(0), window) << "the widget is the editor window";
    EXPECT_EQ(parent, GetAncestor(window, GA_PARENT));
    EXPECT_TRUE(IsWindowVisible(window));
    std::vector<std::string> navigated = with_prefix(fake_log(0), "Navigate ");
    ASSERT_EQ(1u, navigated.size());
    const std::string& page = navigated[0];
    EXPECT_NE(std::string::npos, page.find("tamber-velum.lv2\\index.html")) << page;
    EXPECT_EQ(std::string::npos, page.find("\\\\", 3)) << "no doubled separator: " << page;
    EXPECT_TRUE(page_messages(0).empty()) << "values reach the page from the host's port events";
    close();
    expect_nothing_left(0);
}

TEST_F(Lv2UiTest, OpensATopLevelWindowOf800By600WithoutAParent) {
    ASSERT_NE(nullptr, open({&touchFeature}));
    HWND window = (HWND)widget;
    EXPECT_EQ(fake_wv2_controller_parent(0), window);
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(window, GA_PARENT));
    EXPECT_TRUE(IsWindowVisible(window));
    RECT r;
    ASSERT_TRUE(GetWindowRect(window, &r));
    EXPECT_EQ(800, r.right - r.left);
    EXPECT_EQ(600, r.bottom - r.top);
    close();
    expect_nothing_left(0);
}

TEST_F(Lv2UiTest, ShowsThePortsOnThePageRoundedAndClamped) {
    ASSERT_NE(nullptr, open({&parentFeature}));
    portEvent(3, 7.6f);
    portEvent(3, -2.0f);
    portEvent(3, 99.0f);
    portEvent(5, 200.0f);
    portEvent(2, NAN);
    portEvent(4, 7.5f);
    portEvent(4, -0.4f);
    portEvent(0, 0.25f);
    portEvent(1, 0.5f);
    EXPECT_EQ(
        (std::vector<std::string>{value_message(1, 8), value_message(1, 0), value_message(1, 15),
                                  value_message(3, 200), value_message(0, 0), value_message(2, 8),
                                  value_message(2, 0)}),
        page_messages(0));
}

TEST_F(Lv2UiTest, BracketsAPageGestureWithTouchAroundItsWrites) {
    ASSERT_NE(nullptr, open({&parentFeature, &touchFeature}));
    pageSends('b', 2, 7.4f);
    pageSends('s', 2, 7.5f);
    pageSends('s', 2, -3.0f);
    pageSends('e', 2, 20.0f);
    pageSends('s', 0, 3.3f);
    EXPECT_EQ((std::vector<HostCall>{touched(4, true), wrote(4, 7), wrote(4, 8), wrote(4, 0),
                                     wrote(4, 15), touched(4, false), wrote(2, 3)}),
              calls);
    EXPECT_TRUE(page_messages(0).empty()) << "the UI echoes no page edit by itself";
}

TEST_F(Lv2UiTest, WritesWithoutTouchWhenTheHostOffersNone) {
    ASSERT_NE(nullptr, open({&parentFeature, &otherFeature}));
    pageSends('b', 1, 2.0f);
    pageSends('s', 1, 2.6f);
    pageSends('e', 1, 16.0f);
    EXPECT_EQ((std::vector<HostCall>{wrote(3, 2), wrote(3, 3), wrote(3, 15)}), calls);
}

class Lv2UiWithoutLoader : public Lv2UiTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Lv2UiWithoutLoader, ReturnsNullWithANullWidgetAndLeavesNothingBehind) {
    int threadsBefore = process_threads();
    EXPECT_EQ(nullptr, open({&parentFeature, &touchFeature}, GetParam()));
    EXPECT_EQ(nullptr, widget);
    EXPECT_EQ(0, fake_wv2_instance_count());
    EXPECT_TRUE(temp_entries().empty());
    EXPECT_EQ(threadsBefore, process_threads());
    EXPECT_EQ(0, child_windows(parent));
}

INSTANTIATE_TEST_SUITE_P(Bundles, Lv2UiWithoutLoader,
                         ::testing::Values(VELUM_TEST_LV2_BUNDLE_NO_LOADER,
                                           VELUM_TEST_LV2_BUNDLE_EMPTY_LOADER));

} // namespace
