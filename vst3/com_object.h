// How Velum's objects implement interfaces: the object struct starts with one member per
// interface (each just the table pointer), and every table opens with three FUnknown slots that
// forward to the object's own queryInterface/addRef/release.
#pragma once

#include <stddef.h>

#include "uids.h"
#include "vst3_interfaces.h"

// [any thread] The object that holds the interface at byte `offset`.
template <class Object, size_t offset, class Interface>
Object* objectOf(Interface* iface) {
    return (Object*)((char*)iface - offset);
}

// One interface an object answers queryInterface with: an identifier and the interface it selects.
struct InterfaceEntry {
    const Uid* iid;
    void* iface;
};

// [UI thread] queryInterface over an object's entries: the match is counted in `refCount` and
// stored in obj; no match stores null.
template <size_t count>
tresult answerQuery(const char* iid, void** obj, int32_t* refCount,
                    const InterfaceEntry (&entries)[count]) {
    if (!obj) return kInvalidArgument;
    for (const InterfaceEntry& e : entries)
        if (uidEqual(iid, *e.iid)) {
            *obj = e.iface;
            ++*refCount;
            return kResultOk;
        }
    *obj = nullptr;
    return kNoInterface;
}

// The FUnknown slots of the interface at byte `offset` of Object. Object's file defines
// objectQueryInterface, objectAddRef and objectRelease taking an Object*.
template <class Object, size_t offset, class Interface>
struct UnknownSlots {
    static tresult queryInterface(Interface* self, const char* iid, void** obj) {
        return objectQueryInterface(objectOf<Object, offset>(self), iid, obj);
    }
    static uint32_t addRef(Interface* self) { return objectAddRef(objectOf<Object, offset>(self)); }
    static uint32_t release(Interface* self) {
        return objectRelease(objectOf<Object, offset>(self));
    }
    static constexpr FUnknownSlots<Interface> table = {queryInterface, addRef, release};
};

// The shared answer of the component's and the controller's connection points: accept any
// partner, exchange nothing.
template <class Object, size_t offset>
struct QuietConnectionPoint {
    // [UI thread] other is borrowed and not kept.
    static tresult connect(IConnectionPoint*, IConnectionPoint* other) {
        return other ? kResultOk : kInvalidArgument;
    }
    static tresult disconnect(IConnectionPoint*, IConnectionPoint*) { return kResultOk; }
    static tresult notify(IConnectionPoint*, IMessage*) { return kResultOk; }
    static constexpr IConnectionPointVtbl table = {
        UnknownSlots<Object, offset, IConnectionPoint>::table, connect, disconnect, notify};
};
