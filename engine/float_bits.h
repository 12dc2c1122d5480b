// Bit-level views of 32-bit floats, the raw material of the approximations.
#pragma once

#include <cstdint>
#include <cstring>
#include <emmintrin.h>

#ifdef __FAST_MATH__
#error "the engine's output is defined to the bit; build it without -ffast-math"
#endif

static inline uint32_t bits_of(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

static inline float float_of(uint32_t b)
{
    float v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

// Truncation toward zero with the processor's own rule for NaN and overflow
// (the result is INT32_MIN), so that no input is undefined behaviour.
static inline int32_t truncate_to_int(float v)
{
    return _mm_cvttss_si32(_mm_set_ss(v));
}

static inline float abs_of(float v)
{
    return float_of(bits_of(v) & 0x7FFFFFFFu);
}

// The helpers below stay in the vector registers: the clipper's per-sample
// chain runs through them, and every round trip to the integer registers
// lengthens it by several cycles.

// +1, -1, or 0 for both zeros (and for NaN, which is neither greater nor less).
static inline float sign_of(float d)
{
    __m128 v = _mm_set_ss(d);
    __m128 zero = _mm_setzero_ps();
    __m128 pos = _mm_and_ps(_mm_cmpgt_ss(v, zero), _mm_set_ss(1.0f));
    __m128 neg = _mm_and_ps(_mm_cmplt_ss(v, zero), _mm_set_ss(-1.0f));
    return _mm_cvtss_f32(_mm_or_ps(pos, neg));
}

// a where x < limit, else b, without a branch: audio crosses such limits
// at random, and a mispredicted branch costs more than computing both.
static inline float select_below(float x, float limit, float a, float b)
{
    __m128 mask = _mm_cmplt_ss(_mm_set_ss(x), _mm_set_ss(limit));
    return _mm_cvtss_f32(_mm_or_ps(_mm_and_ps(mask, _mm_set_ss(a)), _mm_andnot_ps(mask, _mm_set_ss(b))));
}

static inline float min_of(float a, float b)
{
    return b < a ? b : a;
}
