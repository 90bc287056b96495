// The module loads wherever a host finds its bundle, also below a path longer than the first
// buffer its module entry reads the file name into.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "plugin_host.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const char moduleFile[] = "Contents/x86_64-win/tamber-velum.vst3";
#else
const char moduleFile[] = "Contents/x86_64-linux/tamber-velum.so";
#endif

TEST(ModuleLoad, SucceedsFromABundleBelowAPathOfMoreThan260Characters) {
    const fs::path bundle(VELUM_VST3_BUNDLE);
    fs::path deep = bundle.parent_path() / "vst3-deep-load";
    std::error_code ignored;
    fs::remove_all(deep, ignored);
    for (int i = 0; i < 30; ++i)
        deep /= "folder-" + std::to_string(i);
    const fs::path copy = deep / "tamber-velum.vst3";
    ASSERT_GT(copy.string().size(), 300u);
    fs::create_directories((copy / moduleFile).parent_path());
    fs::copy_file(bundle / moduleFile, copy / moduleFile, fs::copy_options::overwrite_existing);

    LoadedModule module;
    char error[256];
    ASSERT_EQ(0, loadModule(copy.string().c_str(), &module, error)) << error;
    EXPECT_EQ(2, module.factory3->vtbl->countClasses(module.factory3));
    void* obj = nullptr;
    ASSERT_EQ(kResultOk,
              module.factory3->vtbl->createInstance(module.factory3, AudioComponent_cid.bytes,
                                                    IComponent_iid.bytes, &obj));
    EXPECT_EQ(0u, releaseRef((IComponent*)obj));
    unloadModule(&module);
    fs::remove_all(bundle.parent_path() / "vst3-deep-load", ignored);
}

} // namespace
