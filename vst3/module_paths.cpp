#include "module_paths.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int attachCount = 0;
static char* moduleDir = nullptr;
static char* resourcesDir = nullptr;

bool moduleAttachAgain() {
    if (attachCount == 0) return false;
    ++attachCount;
    return true;
}

int moduleAttachFirst(char* path, char separator) {
    char* last = strrchr(path, separator);
    if (!last) return -1;
    *last = 0;
    char* dir = strdup(path);
    if (!dir) return -1;
    last = strrchr(path, separator);
    if (last) *last = 0;
    const size_t size = strlen(path) + 12;
    char* resources = (char*)malloc(size);
    if (!resources) {
        free(dir);
        return -1;
    }
    snprintf(resources, size, "%s%cResources", path, separator);
    moduleDir = dir;
    resourcesDir = resources;
    attachCount = 1;
    return 0;
}

void moduleDetach() {
    if (attachCount == 0 || --attachCount > 0) return;
    free(moduleDir);
    free(resourcesDir);
    moduleDir = nullptr;
    resourcesDir = nullptr;
}

const char* moduleDirectory() {
    return moduleDir;
}
const char* resourcesDirectory() {
    return resourcesDir;
}
