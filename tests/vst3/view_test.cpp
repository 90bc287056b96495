// The editor views the controller creates: their answers before any editor is open, the
// controller's list of them, and a view that outlives its controller.
#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "core/params.h"
#include "vst3/controller.h"

namespace {

class Views : public ControllerFixture {
  protected:
    // The controller object the host's pointer addresses: its list is checked directly.
    ::Controller* object() { return (::Controller*)c; }
    IPlugView* create(const char* name = "editor") { return c->vtbl->createView(c, name); }
};

TEST_F(Views, AreMadeOnlyForTheNameEditor) {
    EXPECT_EQ(nullptr, create("Editor"));
    EXPECT_EQ(nullptr, create("editor "));
    EXPECT_EQ(nullptr, create(""));
    EXPECT_EQ(nullptr, create(nullptr));
    EXPECT_EQ(0u, object()->viewCount);
    IPlugView* v = create();
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(Views, AnswerTheirQueriesAndCountTheirOwnReferences) {
    IPlugView* v = create();
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(v, queryAs<IPlugView>(v, FUnknown_iid));
    EXPECT_EQ(v, queryAs<IPlugView>(v, IPlugView_iid));
    void* obj = v;
    EXPECT_EQ(kNoInterface, v->vtbl->unknown.queryInterface(v, IEditController_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    EXPECT_EQ(4u, addRef(v));
    EXPECT_EQ(3u, releaseRef(v));
    EXPECT_EQ(2u, releaseRef(v));
    EXPECT_EQ(1u, releaseRef(v));
    EXPECT_EQ(2u, addRef(c)) << "a view holds no reference to its controller";
    releaseRef(c);
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(Views, ReportTheDefaultSizeAndStayDetachedWithoutAnEditor) {
    IPlugView* v = create();
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(kResultTrue, v->vtbl->isPlatformTypeSupported(v, "HWND"));
    EXPECT_EQ(kResultFalse, v->vtbl->isPlatformTypeSupported(v, "X11EmbedWindowID"));
    EXPECT_EQ(kResultFalse, v->vtbl->isPlatformTypeSupported(v, nullptr));
    ViewRect r = {7, 7, 7, 7};
    EXPECT_EQ(kResultOk, v->vtbl->getSize(v, &r));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(800, r.right);
    EXPECT_EQ(600, r.bottom);
    EXPECT_EQ(kInvalidArgument, v->vtbl->getSize(v, nullptr));
    EXPECT_EQ(kInvalidArgument, v->vtbl->attached(v, nullptr, "NSView"));
    EXPECT_EQ(kInvalidArgument, v->vtbl->attached(v, nullptr, nullptr));
    ViewRect wanted = {0, 0, 400, 300};
    EXPECT_EQ(kResultFalse, v->vtbl->onSize(v, &wanted));
    EXPECT_EQ(kResultTrue, v->vtbl->canResize(v));
    EXPECT_EQ(kResultTrue, v->vtbl->checkSizeConstraint(v, &wanted));
    EXPECT_EQ(400, wanted.right);
    EXPECT_EQ(300, wanted.bottom);
    EXPECT_EQ(kResultFalse, v->vtbl->onWheel(v, 1.0f));
    EXPECT_EQ(kResultFalse, v->vtbl->onKeyDown(v, u'a', 65, 0));
    EXPECT_EQ(kResultFalse, v->vtbl->onKeyUp(v, u'a', 65, 0));
    EXPECT_EQ(kResultFalse, v->vtbl->onFocus(v, 1));
    EXPECT_EQ(kResultOk, v->vtbl->setFrame(v, nullptr));
    EXPECT_EQ(kResultOk, v->vtbl->removed(v));
    EXPECT_EQ(0u, releaseRef(v));
}

TEST_F(Views, TakeTheFirstFreeSlotOfTheControllersList) {
    IPlugView* first = create();
    IPlugView* second = create();
    ASSERT_TRUE(first && second);
    ASSERT_EQ(2u, object()->viewCount);
    EXPECT_EQ((void*)first, (void*)object()->views[0]);
    EXPECT_EQ((void*)second, (void*)object()->views[1]);
    EXPECT_EQ(0u, releaseRef(first));
    EXPECT_EQ(nullptr, object()->views[0]);
    IPlugView* third = create();
    ASSERT_NE(nullptr, third);
    EXPECT_EQ((void*)third, (void*)object()->views[0]);
    EXPECT_EQ(2u, object()->viewCount);
    // Values reach every listed view (none has an editor open here).
    EXPECT_EQ(kResultOk, c->vtbl->setParamNormalized(c, PARAM_ID_MOD_CUTOFF, 0.5));
    releaseRef(second);
    releaseRef(third);
    EXPECT_EQ(nullptr, object()->views[0]);
    EXPECT_EQ(nullptr, object()->views[1]);
}

TEST_F(Views, AViewTheHostStillHoldsOutlivesItsController) {
    IPlugView* held = create();
    IPlugView* extra = create();
    ASSERT_TRUE(held && extra);
    addRef(extra);
    EXPECT_EQ(0u, releaseRef(c));
    c = nullptr;
    // Both views are the host's to release; neither reaches back into the freed controller.
    ViewRect r;
    EXPECT_EQ(kResultOk, held->vtbl->getSize(held, &r));
    EXPECT_EQ(800, r.right);
    EXPECT_EQ(kResultOk, held->vtbl->removed(held));
    EXPECT_EQ(0u, releaseRef(held));
    EXPECT_EQ(1u, releaseRef(extra));
    EXPECT_EQ(0u, releaseRef(extra));
}

} // namespace
