#include "module_loader.h"

#include <stdio.h>
#include <string.h>

#include "vst3/uids.h"

#ifdef _WIN32
#include <windows.h>

static const char moduleInBundle[] = "/Contents/x86_64-win/tamber-velum.vst3";

// A Unix path of the build tree as wine sees it: on drive Z:, with backslashes.
static void windowsPath(const char* bundle, char* out, size_t size) {
    snprintf(out, size, "%s%s%s", bundle[0] == '/' ? "Z:" : "", bundle, moduleInBundle);
    for (char* p = out; *p; ++p)
        if (*p == '/') *p = '\\';
}

// Paths of MAX_PATH characters or more are passed in the \\?\ form, which lifts that limit.
static void* openModule(const char* bundle, char* error) {
    char path[1024];
    windowsPath(bundle, path, sizeof path);
    wchar_t wide[1040] = L"\\\\?\\";
    const int prefix = strlen(path) >= MAX_PATH ? 4 : 0;
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide + prefix, 1024);
    HMODULE m = LoadLibraryW(wide);
    if (!m) snprintf(error, 256, "LoadLibrary failed (%lu): %s", GetLastError(), path);
    return (void*)m;
}

void* moduleSymbol(const LoadedModule* module, const char* name) {
    return (void*)GetProcAddress((HMODULE)module->handle, name);
}

static bool enterModule(LoadedModule*) {
    return true;
}
static void exitModule(LoadedModule*) {}
static void closeModule(void* handle) {
    FreeLibrary((HMODULE)handle);
}
#else
#include <dlfcn.h>

static const char moduleInBundle[] = "/Contents/x86_64-linux/tamber-velum.so";

static void* openModule(const char* bundle, char* error) {
    char path[1024];
    snprintf(path, sizeof path, "%s%s", bundle, moduleInBundle);
    void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!h) snprintf(error, 256, "dlopen failed: %s", dlerror());
    return h;
}

void* moduleSymbol(const LoadedModule* module, const char* name) {
    return dlsym(module->handle, name);
}

// Linux hosts call ModuleEntry with the dlopen handle before anything else, ModuleExit last.
static bool enterModule(LoadedModule* module) {
    bool (*entry)(void*) = (bool (*)(void*))moduleSymbol(module, "ModuleEntry");
    return entry && entry(module->handle);
}

static void exitModule(LoadedModule* module) {
    bool (*exit)() = (bool (*)())moduleSymbol(module, "ModuleExit");
    if (exit) exit();
}

static void closeModule(void* handle) {
    dlclose(handle);
}
#endif

int loadModule(const char* bundlePath, LoadedModule* module, char* error) {
    memset(module, 0, sizeof *module);
    error[0] = 0;
    module->handle = openModule(bundlePath, error);
    if (!module->handle) return -1;
    if (!enterModule(module)) {
        snprintf(error, 256, "module entry failed");
        closeModule(module->handle);
        module->handle = nullptr;
        return -1;
    }
    IPluginFactory3* (*get)() = (IPluginFactory3 * (*)()) moduleSymbol(module, "GetPluginFactory");
    module->factory = get ? get() : nullptr;
    void* f3 = nullptr;
    if (!module->factory || module->factory->vtbl->unknown.queryInterface(
                                module->factory, IPluginFactory3_iid.bytes, &f3) != kResultOk) {
        snprintf(error, 256, "no IPluginFactory3 from GetPluginFactory");
        unloadModule(module);
        return -1;
    }
    module->factory3 = (IPluginFactory3*)f3;
    return 0;
}

void unloadModule(LoadedModule* module) {
    if (!module->handle) return;
    exitModule(module);
    closeModule(module->handle);
    memset(module, 0, sizeof *module);
}
