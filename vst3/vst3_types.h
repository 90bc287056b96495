// VST3 basic types, constants and the plain structures passed across the interfaces. Every
// structure's size and field offsets are pinned to the published ABI (identical on both targets).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "abi_platform.h"

typedef uint8_t TBool;
typedef char16_t TChar;
typedef TChar String128[128];
typedef const char* FIDString;
typedef uint32_t ParamID;
typedef double ParamValue;
typedef int32_t MediaType;
typedef int32_t BusDirection;
typedef int32_t BusType;
typedef int32_t IoMode;
typedef int32_t UnitID;
typedef int16_t CtrlNumber;
typedef float Sample32;
typedef double Sample64;
typedef double SampleRate;
typedef uint64_t SpeakerArrangement;

// A 16-byte class or interface identifier in this platform's layout.
struct Uid {
    char bytes[16];
};

// Builds an identifier from the four 32-bit groups the SDK writes it as.
constexpr Uid make_uid(uint32_t l1, uint32_t l2, uint32_t l3, uint32_t l4) {
    Uid u{};
    const uint32_t groups[4] = {l1, l2, l3, l4};
    for (int i = 0; i < 16; ++i)
        u.bytes[i] = (char)(uint8_t)(groups[i / 4] >> (24 - 8 * (i % 4)));
    if (kComUidLayout) {
        u.bytes[0] = (char)(uint8_t)l1;
        u.bytes[1] = (char)(uint8_t)(l1 >> 8);
        u.bytes[2] = (char)(uint8_t)(l1 >> 16);
        u.bytes[3] = (char)(uint8_t)(l1 >> 24);
        u.bytes[4] = (char)(uint8_t)(l2 >> 16);
        u.bytes[5] = (char)(uint8_t)(l2 >> 24);
        u.bytes[6] = (char)(uint8_t)l2;
        u.bytes[7] = (char)(uint8_t)(l2 >> 8);
    }
    return u;
}

enum MediaTypes : int32_t { kAudio = 0, kEvent = 1 };
enum BusDirections : int32_t { kInput = 0, kOutput = 1 };
enum BusTypes : int32_t { kMain = 0, kAux = 1 };
enum BusFlags : uint32_t { kDefaultActive = 1 };
enum SymbolicSampleSizes : int32_t { kSample32 = 0, kSample64 = 1 };
enum ParameterFlags : int32_t { kNoParameterFlags = 0, kCanAutomate = 0x1, kIsReadOnly = 0x2 };
enum FactoryFlags : int32_t { kUnicode = 0x10 };
enum ClassCardinality : int32_t { kManyInstances = 0x7FFFFFFF };
enum ComponentFlags : uint32_t { kDistributable = 0x1 };
enum IStreamSeekMode : int32_t { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
constexpr SpeakerArrangement kSpeakerArrMono = 0x80000;
constexpr SpeakerArrangement kSpeakerArrStereo = 0x3;

struct PFactoryInfo {
    char vendor[64];
    char url[256];
    char email[128];
    int32_t flags;
};

struct PClassInfo {
    char cid[16];
    int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    char cid[16];
    int32_t cardinality;
    char category[32];
    char name[64];
    uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    char cid[16];
    int32_t cardinality;
    char category[32];
    TChar name[64];
    uint32_t classFlags;
    char subCategories[128];
    TChar vendor[64];
    TChar version[64];
    TChar sdkVersion[64];
};

struct BusInfo {
    MediaType mediaType;
    BusDirection direction;
    int32_t channelCount;
    String128 name;
    BusType busType;
    uint32_t flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32_t busIndex;
    int32_t channel;
};

struct ParameterInfo {
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32_t stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32_t flags;
};

struct ProcessSetup {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct IParameterChanges;
struct IEventList;
struct ProcessContext;

struct ProcessData {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t numSamples;
    int32_t numInputs;
    int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

static_assert(sizeof(Uid) == 16, "Uid");
static_assert(sizeof(TChar) == 2 && sizeof(String128) == 256, "String128");
static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4, "PFactoryInfo");
static_assert(offsetof(PFactoryInfo, url) == 64 && offsetof(PFactoryInfo, email) == 320 &&
                  offsetof(PFactoryInfo, flags) == 448,
              "PFactoryInfo fields");
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4, "PClassInfo");
static_assert(offsetof(PClassInfo, cardinality) == 16 && offsetof(PClassInfo, category) == 20 &&
                  offsetof(PClassInfo, name) == 52,
              "PClassInfo fields");
static_assert(sizeof(PClassInfo2) == 440 && alignof(PClassInfo2) == 4, "PClassInfo2");
static_assert(offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, subCategories) == 120 &&
                  offsetof(PClassInfo2, vendor) == 248 && offsetof(PClassInfo2, version) == 312 &&
                  offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2 fields");
static_assert(sizeof(PClassInfoW) == 696 && alignof(PClassInfoW) == 4, "PClassInfoW");
static_assert(offsetof(PClassInfoW, name) == 52 && offsetof(PClassInfoW, classFlags) == 180 &&
                  offsetof(PClassInfoW, subCategories) == 184 &&
                  offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, version) == 440 &&
                  offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW fields");
static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4, "BusInfo");
static_assert(offsetof(BusInfo, direction) == 4 && offsetof(BusInfo, channelCount) == 8 &&
                  offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268 &&
                  offsetof(BusInfo, flags) == 272,
              "BusInfo fields");
static_assert(sizeof(RoutingInfo) == 12 && offsetof(RoutingInfo, channel) == 8, "RoutingInfo");
static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8, "ParameterInfo");
static_assert(offsetof(ParameterInfo, title) == 4 && offsetof(ParameterInfo, shortTitle) == 260 &&
                  offsetof(ParameterInfo, units) == 516 &&
                  offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, unitId) == 784 && offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo fields");
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, maxSamplesPerBlock) == 8 &&
                  offsetof(ProcessSetup, sampleRate) == 16,
              "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16 &&
                  offsetof(AudioBusBuffers, channelBuffers64) == 16,
              "AudioBusBuffers");
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, numSamples) == 8 &&
                  offsetof(ProcessData, numOutputs) == 16 && offsetof(ProcessData, inputs) == 24 &&
                  offsetof(ProcessData, outputs) == 32 &&
                  offsetof(ProcessData, inputParameterChanges) == 40 &&
                  offsetof(ProcessData, outputParameterChanges) == 48 &&
                  offsetof(ProcessData, inputEvents) == 56 &&
                  offsetof(ProcessData, outputEvents) == 64 &&
                  offsetof(ProcessData, processContext) == 72,
              "ProcessData");
static_assert(sizeof(ViewRect) == 16 && offsetof(ViewRect, bottom) == 12, "ViewRect");
