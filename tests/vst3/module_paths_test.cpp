// The two folders the module entry records from the module file's path, and the attach count
// that guards them.
#include <gtest/gtest.h>

#include <string>

#include "vst3/module_paths.h"

namespace {

int attach(std::string path, char separator) {
    return moduleAttachFirst(&path[0], separator);
}

TEST(ModulePaths, AreTheModuleFolderAndTheBundlesResourcesFolder) {
    EXPECT_EQ(nullptr, moduleDirectory());
    EXPECT_EQ(nullptr, resourcesDirectory());
    ASSERT_EQ(0, attach("X\\Contents\\x86_64-win\\m.vst3", '\\'));
    EXPECT_STREQ("X\\Contents\\x86_64-win", moduleDirectory());
    EXPECT_STREQ("X\\Contents\\Resources", resourcesDirectory());
    moduleDetach();
    EXPECT_EQ(nullptr, moduleDirectory());
    EXPECT_EQ(nullptr, resourcesDirectory());

    ASSERT_EQ(0,
              attach("/usr/lib/vst3/tamber-velum.vst3/Contents/x86_64-linux/tamber-velum.so", '/'));
    EXPECT_STREQ("/usr/lib/vst3/tamber-velum.vst3/Contents/x86_64-linux", moduleDirectory());
    EXPECT_STREQ("/usr/lib/vst3/tamber-velum.vst3/Contents/Resources", resourcesDirectory());
    moduleDetach();
}

TEST(ModulePaths, KeepPathsLongerThanTheFirstBufferWhole) {
    std::string deep = "C:";
    for (int i = 0; i < 40; ++i)
        deep += "\\folder" + std::to_string(i);
    ASSERT_GT(deep.size(), 300u);
    ASSERT_EQ(0, attach(deep + "\\Contents\\x86_64-win\\tamber-velum.vst3", '\\'));
    EXPECT_EQ(deep + "\\Contents\\x86_64-win", moduleDirectory());
    EXPECT_EQ(deep + "\\Contents\\Resources", resourcesDirectory());
    moduleDetach();
}

TEST(ModulePaths, AreRecordedOnceAndFreedByTheLastDetach) {
    EXPECT_FALSE(moduleAttachAgain());
    ASSERT_EQ(0, attach("D:\\b.vst3\\Contents\\x86_64-win\\m.vst3", '\\'));
    const char* first = moduleDirectory();
    EXPECT_TRUE(moduleAttachAgain());
    EXPECT_EQ(first, moduleDirectory());
    moduleDetach();
    EXPECT_STREQ("D:\\b.vst3\\Contents\\x86_64-win", moduleDirectory());
    moduleDetach();
    EXPECT_EQ(nullptr, moduleDirectory());
    // A detach with nothing attached leaves the count at zero.
    moduleDetach();
    EXPECT_FALSE(moduleAttachAgain());
}

TEST(ModulePaths, AFileNameWithoutFolderRecordsNothing) {
    EXPECT_EQ(-1, attach("m.vst3", '\\'));
    EXPECT_EQ(nullptr, moduleDirectory());
    EXPECT_FALSE(moduleAttachAgain());
    ASSERT_EQ(0, attach("C:\\m.vst3", '\\'));
    EXPECT_STREQ("C:", moduleDirectory());
    EXPECT_STREQ("C:\\Resources", resourcesDirectory());
    moduleDetach();
}

} // namespace
