// First-order high-pass: bilinear transform prewarped at the cutoff,
// transposed direct form.
#pragma once

#include "approx_math.h"

struct highpass1 {
    float b0, b1, a1;
    float s;
};

static inline void highpass1_design(highpass1& h, float fs, float fc)
{
    float d = min_of(fc, fs * 0.499f);
    float t = approx_tan_turns(((d * 3.1415927f) * approx_rcp(fs)) * 0.15915494f);
    float m = t * fc;
    float r = approx_rcp(d + m);
    h.b0 = d * r;
    h.b1 = -h.b0;
    h.a1 = (m - d) * r;
}

static inline float highpass1_step(highpass1& h, float x)
{
    float y = h.b0 * x + h.s;
    h.s = h.b1 * x - h.a1 * y;
    return y;
}

static inline void highpass1_reset(highpass1& h)
{
    h.s = 0.0f;
}
