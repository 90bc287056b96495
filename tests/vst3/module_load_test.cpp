// The module loads wherever a host finds its bundle, also below a path longer than the first
// buffer its module entry reads the file name into (the build keeps such a copy of the bundle).
#include <gtest/gtest.h>
#include <string.h>

#include "plugin_host.h"

namespace {

TEST(ModuleLoad, SucceedsFromABundleBelowAPathOfMoreThan260Characters) {
    ASSERT_GT(strlen(VELUM_VST3_DEEP_BUNDLE), 300u);
    LoadedModule module;
    char error[256];
    ASSERT_EQ(0, loadModule(VELUM_VST3_DEEP_BUNDLE, &module, error)) << error;
    EXPECT_EQ(2, module.factory3->vtbl->countClasses(module.factory3));
    void* obj = nullptr;
    ASSERT_EQ(kResultOk,
              module.factory3->vtbl->createInstance(module.factory3, AudioComponent_cid.bytes,
                                                    IComponent_iid.bytes, &obj));
    EXPECT_EQ(0u, releaseRef((IComponent*)obj));
    unloadModule(&module);
}

} // namespace
