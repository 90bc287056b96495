// Windows module entry: DllMain records the module folders; GetPluginFactory is the one export.
#include <stdlib.h>
#include <windows.h>

#include "factory.h"
#include "module_paths.h"

// The module file's full path in a new buffer (release with free), or null.
static char* moduleFileName(HMODULE module) {
    DWORD size = 260;
    char* path = (char*)malloc(size);
    if (!path) return nullptr;
    DWORD length = GetModuleFileNameA(module, path, size);
    while (length != 0 && length >= size) {
        size *= 2;
        char* bigger = (char*)realloc(path, size);
        if (!bigger) break;
        path = bigger;
        length = GetModuleFileNameA(module, path, size);
    }
    if (length == 0 || length >= size) {
        free(path);
        return nullptr;
    }
    return path;
}

// [loader thread, under the loader lock] A failed first attach fails the host's load.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        moduleDetach();
        return TRUE;
    }
    if (reason != DLL_PROCESS_ATTACH || moduleAttachAgain()) return TRUE;
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)&DllMain, &self))
        return FALSE;
    char* path = moduleFileName(self);
    if (!path) return FALSE;
    const int recorded = moduleAttachFirst(path, '\\');
    free(path);
    return recorded == 0;
}

// [any thread] The factory, as its IPluginFactory interface; no reference is added.
extern "C" __declspec(dllexport) IPluginFactory3* GetPluginFactory() {
    return pluginFactory();
}
