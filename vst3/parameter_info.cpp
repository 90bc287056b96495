#include "parameter_info.h"

#include "core/params.h"
#include "text.h"

void fillParameterInfo(int index, ParameterInfo* info) {
    const ParameterDescriptor* d = param_descriptor(index);
    const ParameterNames& n = param_names[index];
    info->id = n.id;
    writeString16(info->title, 128, n.title);
    writeString16(info->shortTitle, 128, n.short_title);
    writeString16(info->units, 128, "");
    info->stepCount = (int32_t)(d->max - d->min);
    info->defaultNormalizedValue = to_normalized(index, d->def);
    info->unitId = 0;
    info->flags = index == PARAM_MOD_CUTOFF ? kIsReadOnly : kCanAutomate;
}
