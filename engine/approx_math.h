// Fixed approximations of the transcendental functions the engine needs.
// The engine's output depends on their exact results, so each one follows its
// algorithm operation by operation: no library mathematics, no reordering, and
// every decimal constant is the nearest 32-bit float.
#pragma once

#include "float_bits.h"

// About 1/x for finite x != 0: a magic first guess and two Newton steps.
static inline float approx_rcp(float x)
{
    __m128i guess = _mm_sub_epi32(_mm_cvtsi32_si128(0x7EF0E840), _mm_castps_si128(_mm_set_ss(x)));
    float r = _mm_cvtss_f32(_mm_castsi128_ps(guess));
    r = (r + r) - (x * r) * r;
    r = (r + r) - (x * r) * r;
    return r;
}

// About 2^x; exactly 0 below -126.
static inline float approx_pow2(float x)
{
    if (x < -126.0f)
        return 0.0f;
    // Negative inputs (and -0) step down one more, so the fraction lies in (0, 1].
    __m128 v = _mm_set_ss(x);
    __m128i i = _mm_sub_epi32(_mm_cvttps_epi32(v), _mm_srli_epi32(_mm_castps_si128(v), 31));
    float fr = x - _mm_cvtss_f32(_mm_cvtepi32_ps(i));
    float s = _mm_cvtss_f32(_mm_castsi128_ps(_mm_add_epi32(_mm_slli_epi32(i, 23), _mm_cvtsi32_si128(0x3F800000))));
    return ((0.07944154f * fr + 0.22741129f) * fr + 0.6931472f) * (fr * s) + s;
}

// The bracket of approx_ln, about ln(x) / ln(2): exponent plus a cubic in the mantissa.
static inline float approx_log2_bracket(float x)
{
    int32_t e = (int32_t)bits_of(x) >> 23;
    float m = float_of((bits_of(x) & 0x7FFFFFu) | 0x3F800000u);
    return ((0.16404256f * m + (-1.0988653f)) * m + 3.148298f) * m + ((float)e + (-129.21347f));
}

// About ln(x) for finite x > 0.
static inline float approx_ln(float x)
{
    return approx_log2_bracket(x) * 0.6931472f;
}

// x - floor(x), built from the bit pattern: t is x truncated toward zero.
static inline float frac_turns(float x)
{
    uint32_t xb = bits_of(x);
    int32_t e = (int32_t)((xb >> 23) & 0xFFu);
    int32_t k = 150 - e;
    if (k < 0)
        k = 0;
    if (k > 23)
        k = 23;
    uint32_t mask = (e > 126 ? 0xFFFFFFFFu : 0x80000000u) & (0xFFFFFFFFu << k);
    float t = float_of(xb & mask);
    float c = ((bits_of(x - t) & xb) & 0x80000000u) ? 1.0f : 0.0f;
    return x - (t - c);
}

// About sin(2 pi x): a folded cubic with the value 1 and zero slope at a quarter turn.
static inline float approx_sin_turns(float x)
{
    float f = frac_turns(x);
    float s = (f + f) + (-1.0f);
    float a = abs_of(s);
    float y = abs_of((a + a) + (-1.0f)) * (-1.5707964f) + 1.5707964f;
    float p = (y * (-0.11073982f) + (-0.05738534f)) * (y * y) + y;
    // p where s is negative (or -0), else -p: a flip of the sign bit.
    return float_of(bits_of(p) ^ (~bits_of(s) & 0x80000000u));
}

static inline float approx_cos_turns(float x)
{
    return approx_sin_turns(x + 0.25f);
}

static inline float approx_tan_turns(float x)
{
    return approx_sin_turns(x) * approx_rcp(approx_cos_turns(x));
}

// About sqrt(x) for x at or above the smallest normal float.  The input is
// scaled by 2^+-64 first so that tiny and huge values keep their accuracy.
static inline float approx_sqrt(float x)
{
    static const uint32_t add[4] = {0x20000000u, 0u, 0u, 0xE0000000u};
    static const uint32_t back[4] = {0x10000000u, 0u, 0u, 0xF0000000u};
    uint32_t X = bits_of(x);
    uint32_t k = (X >> 29) & 3u;
    uint32_t Xs = X + add[k];
    float xs = float_of(Xs);
    float h = float_of(0x7EF0E840u - Xs);
    h = (h + h) - (xs * h) * h;
    h = ((h + h) - (xs * h) * h) * 0.5f;
    float y = abs_of(float_of(((Xs + 0xC07D5ED9u) >> 1) + 0x3F7D8FC7u));
    y = (0.5f - (h * y) * y) * y + y;
    y = (0.5f - (h * y) * y) * y + y;
    return float_of(bits_of(y) - back[k]);
}

// About the Wright omega function w (w + ln w = x): a cubic, or x - ln x for large x.
// Both pieces are computed and one selected: the clipper calls this on audio
// that crosses the piece boundaries unpredictably.
static inline float approx_omega3(float x)
{
    float cubic = ((-0.0013142931f * x + 0.047759313f) * x + 0.36319527f) * x + 0.63131833f;
    float large = approx_log2_bracket(x) * (-0.6931472f) + x;
    float w = select_below(x, 8.0f, cubic, large);
    return select_below(x, -3.3414595f, 0.0f, w);
}

// approx_omega3 refined by one Newton step on w + ln w = x.
static inline float approx_omega4(float x)
{
    if (x >= 1e9f)
        return x;
    float y = approx_omega3(x);
    float z = approx_pow2((x - y) * 1.442695f);
    return y - approx_rcp(y + 1.0f) * (y - z);
}
