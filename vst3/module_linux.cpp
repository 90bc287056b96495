// Linux module entry: ModuleEntry/ModuleExit record the module folders around dlopen/dlclose;
// GetPluginFactory hands out the factory.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "factory.h"
#include "module_paths.h"

#define VELUM_EXPORT extern "C" __attribute__((visibility("default")))

// [host thread, after dlopen] Returns false when the folders cannot be found out.
VELUM_EXPORT bool ModuleEntry(void*) {
    if (moduleAttachAgain()) return true;
    Dl_info info;
    if (!dladdr((void*)&ModuleEntry, &info) || !info.dli_fname) return false;
    char* path = realpath(info.dli_fname, nullptr);
    if (!path) return false;
    const int recorded = moduleAttachFirst(path, '/');
    free(path);
    return recorded == 0;
}

// [host thread, before dlclose]
VELUM_EXPORT bool ModuleExit() {
    moduleDetach();
    return true;
}

// [any thread] The factory, as its IPluginFactory interface; no reference is added.
VELUM_EXPORT IPluginFactory3* GetPluginFactory() {
    return pluginFactory();
}
