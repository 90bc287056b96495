// The module's static class factory (IPluginFactory3) with its two classes.
#pragma once

#include "vst3_interfaces.h"

// [any thread] The one factory object; never counted, never freed.
IPluginFactory3* pluginFactory();
