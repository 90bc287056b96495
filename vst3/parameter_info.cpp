#include "parameter_info.h"

#include "core/params.h"
#include "text.h"

void fillParameterInfo(int index, ParameterInfo* info) {
    const ParameterDescriptor* d = param_descriptor(index);
    const ParameterNames& n = param_names[index];
    info->id = n.id;
    writeField(info->title, n.title);
    writeField(info->shortTitle, n.short_title);
    writeField(info->units, "");
    info->stepCount = (int32_t)(d->max - d->min);
    info->defaultNormalizedValue = to_normalized(index, d->def);
    info->unitId = 0;
    info->flags = index == PARAM_MOD_CUTOFF ? kIsReadOnly : kCanAutomate;
}
