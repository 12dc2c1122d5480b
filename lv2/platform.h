// The two processor services the plug-in needs from its platform: giving up
// the rest of a time slice, and the floating-point control register's
// denormal bits (the same register on Windows and Linux on x86-64).
#pragma once

#include <xmmintrin.h>

#ifdef _WIN32
#include <windows.h>
static inline void yield_processor()
{
    SwitchToThread();
}
#else
#include <sched.h>
static inline void yield_processor()
{
    sched_yield();
}
#endif

enum : unsigned {
    mxcsr_denormals_are_zero = 1u << 6,
    mxcsr_flush_to_zero = 1u << 15,
    mxcsr_denormal_bits = mxcsr_denormals_are_zero | mxcsr_flush_to_zero
};

// Sets both bits and returns what they were before.
static inline unsigned denormals_flush_begin()
{
    unsigned csr = _mm_getcsr();
    _mm_setcsr(csr | mxcsr_denormal_bits);
    return csr & mxcsr_denormal_bits;
}

// Puts the two bits back, each on its own, leaving every other bit as it is now.
static inline void denormals_flush_end(unsigned saved_bits)
{
    _mm_setcsr((_mm_getcsr() & ~mxcsr_denormal_bits) | saved_bits);
}
