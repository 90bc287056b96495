// The few things that differ between the Windows and the Linux build of the core.
#pragma once

#include <xmmintrin.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sched.h>
#endif

// Give up the rest of this time slice while spinning for the parameter lock.
inline void platform_yield() {
#ifdef _WIN32
    SwitchToThread();
#else
    sched_yield();
#endif
}

// MXCSR bits of flush-to-zero (15) and denormals-are-zero (6).
enum { FP_MODE_FTZ_DAZ = (1u << 15) | (1u << 6) };

// [audio thread] Switch flush-to-zero and denormals-are-zero on; returns the previous MXCSR.
inline unsigned fp_mode_enter() {
    unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | FP_MODE_FTZ_DAZ);
    return saved;
}

// [audio thread] Restore the two bits to their state in `saved`, leaving the other bits as they
// are.
inline void fp_mode_leave(unsigned saved) {
    _mm_setcsr((_mm_getcsr() & ~(unsigned)FP_MODE_FTZ_DAZ) | (saved & FP_MODE_FTZ_DAZ));
}
