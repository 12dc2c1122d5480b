// Flush-to-zero and denormals-are-zero, set the way both plug-in formats set
// them around the engine in their audio callbacks.
#pragma once

#include <xmmintrin.h>

enum { mxcsr_flush_to_zero = 0x8000u, mxcsr_denormals_are_zero = 0x0040u };

// Returns the previous control word, for flush_denormals_end.
static inline unsigned flush_denormals_begin()
{
    unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | mxcsr_flush_to_zero | mxcsr_denormals_are_zero);
    return saved;
}

static inline void flush_denormals_end(unsigned saved)
{
    _mm_setcsr(saved);
}
