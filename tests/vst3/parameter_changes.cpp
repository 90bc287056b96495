#include "parameter_changes.h"

#include <stddef.h>

#include "vst3/uids.h"

template <class Iface>
static tresult queryInterface(Iface* self, const char* iid, void** obj, const Uid& own) {
    if (uidEqual(iid, FUnknown_iid) || uidEqual(iid, own)) {
        *obj = self;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

// Host objects live on the test's stack: counting is not needed.
template <class Iface>
static uint32_t noCount(Iface*) {
    return 1;
}

static ParamQueue* queueOf(IParamValueQueue* q) {
    return (ParamQueue*)q;
}

static tresult queueQueryInterface(IParamValueQueue* q, const char* iid, void** obj) {
    return queryInterface(q, iid, obj, IParamValueQueue_iid);
}
static ParamID getParameterId(IParamValueQueue* q) {
    return queueOf(q)->id;
}
static int32_t getPointCount(IParamValueQueue* q) {
    return queueOf(q)->count;
}

static tresult getPoint(IParamValueQueue* q, int32_t index, int32_t* offset, double* value) {
    ParamQueue* p = queueOf(q);
    if (index < 0 || index >= p->count) return kResultFalse;
    *offset = p->offsets[index];
    *value = p->values[index];
    return kResultOk;
}

static tresult addPoint(IParamValueQueue* q, int32_t offset, double value, int32_t* index) {
    ParamQueue* p = queueOf(q);
    if (p->count == kPointRoom) return kResultFalse;
    p->offsets[p->count] = offset;
    p->values[p->count] = value;
    *index = p->count++;
    return kResultOk;
}

static const IParamValueQueueVtbl queueVtbl = {
    {queueQueryInterface, noCount<IParamValueQueue>, noCount<IParamValueQueue>},
    getParameterId,
    getPointCount,
    getPoint,
    addPoint,
};

static ParameterChanges* changesOf(IParameterChanges* c) {
    return (ParameterChanges*)c;
}

static tresult changesQueryInterface(IParameterChanges* c, const char* iid, void** obj) {
    return queryInterface(c, iid, obj, IParameterChanges_iid);
}
static int32_t getParameterCount(IParameterChanges* c) {
    return changesOf(c)->count;
}

static IParamValueQueue* getParameterData(IParameterChanges* c, int32_t index) {
    ParameterChanges* p = changesOf(c);
    if (index < 0 || index >= p->count || index == p->nullQueueAt) return nullptr;
    return &p->queues[index].queue;
}

static ParamQueue* openQueue(ParameterChanges* p, ParamID id, int32_t* index) {
    for (int32_t i = 0; i < p->count; ++i)
        if (p->queues[i].id == id) {
            *index = i;
            return &p->queues[i];
        }
    if (p->count == kQueueRoom) return nullptr;
    ParamQueue* q = &p->queues[p->count];
    q->queue.vtbl = &queueVtbl;
    q->id = id;
    q->count = 0;
    *index = p->count++;
    return q;
}

static IParamValueQueue* addParameterData(IParameterChanges* c, const ParamID* id, int32_t* index) {
    ParamQueue* q = openQueue(changesOf(c), *id, index);
    return q ? &q->queue : nullptr;
}

static const IParameterChangesVtbl changesVtbl = {
    {changesQueryInterface, noCount<IParameterChanges>, noCount<IParameterChanges>},
    getParameterCount,
    getParameterData,
    addParameterData,
};

ParameterChanges::ParameterChanges() : count(0), nullQueueAt(-1) {
    changes.vtbl = &changesVtbl;
}

void ParameterChanges::add(ParamID id, int32_t offset, double value) {
    int32_t index = 0;
    ParamQueue* q = openQueue(this, id, &index);
    int32_t point = 0;
    if (q) addPoint(&q->queue, offset, value, &point);
}

void ParameterChanges::addEmptyQueue(ParamID id) {
    int32_t index = 0;
    openQueue(this, id, &index);
}

const ParamQueue* ParameterChanges::find(ParamID id) const {
    for (int32_t i = 0; i < count; ++i)
        if (queues[i].id == id) return &queues[i];
    return nullptr;
}
