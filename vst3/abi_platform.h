// The two things the published VST3 ABI does differently per platform: the byte order of 16-byte
// identifiers and the values of the result codes. Windows uses the COM forms, Linux its own.
#pragma once

#include <stdint.h>

typedef int32_t tresult;

#ifdef _WIN32
// Identifiers are laid out like a Windows GUID in memory.
constexpr bool kComUidLayout = true;
constexpr tresult kNoInterface = (tresult)0x80004002u;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = (tresult)0x80070057u;
constexpr tresult kNotImplemented = (tresult)0x80004001u;
constexpr tresult kInternalError = (tresult)0x80004005u;
constexpr tresult kNotInitialized = (tresult)0x8000FFFFu;
constexpr tresult kOutOfMemory = (tresult)0x8007000Eu;
#else
// Identifiers are the four 32-bit groups, each most significant byte first.
constexpr bool kComUidLayout = false;
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
