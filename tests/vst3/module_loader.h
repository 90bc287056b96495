// Loads the built VST3 module from its bundle the way a host does and hands out its factory.
#pragma once

#include "vst3/vst3_interfaces.h"

struct LoadedModule {
    void* handle;              // dlopen / LoadLibrary handle; null when not loaded
    IPluginFactory3* factory;  // as GetPluginFactory returned it (IPluginFactory)
    IPluginFactory3* factory3; // the same object asked for IPluginFactory3
};

// [test thread] Load <bundle>/Contents/<arch>/<module>, run its module entry and fetch the
// factory. 0 on success; -1 with a message in `error` (256 bytes) otherwise.
int loadModule(const char* bundlePath, LoadedModule* module, char* error);

// [test thread] Run the module exit and unload.
void unloadModule(LoadedModule* module);

// [test thread] An exported symbol of the loaded module, or null.
void* moduleSymbol(const LoadedModule* module, const char* name);
