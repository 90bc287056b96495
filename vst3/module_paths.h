// The two process-wide folders of the loaded module: the folder that holds the module file and
// the bundle's Resources folder beside it. Written only by the module entry (loader lock on
// Windows, ModuleEntry/ModuleExit on Linux); read by the editor view.
#pragma once

// [module entry] A load after the first: counts it and returns true; false when none is counted.
bool moduleAttachAgain();

// [module entry] First load: record the folders from the module file's full `path` (changed in
// place) whose folders are split by `separator`; 0 with the count at 1, or -1 with nothing kept.
int moduleAttachFirst(char* path, char separator);

// [module entry] An unload; the last one frees both folders.
void moduleDetach();

// [any thread] The recorded folders, owned by the module; null while no load is counted.
const char* moduleDirectory();
const char* resourcesDirectory();
