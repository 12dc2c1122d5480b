// One-pole smoothing of control values, so that nothing the user moves jumps.
#pragma once

#include "approx_math.h"

// Settings shared by every value smoothed at one rate with one cutoff.
struct smoother_settings {
    float fs_over_2pi;
    float cutoff;
    float pole;
    float sticky_threshold;
    float sticky_square;
};

// A smoothed value with settings of its own.
struct param_smoother {
    smoother_settings settings;
    float state;
    float target;
};

static inline void smoother_set_cutoff(smoother_settings& s, float cutoff, float sticky_threshold)
{
    s.cutoff = cutoff;
    s.sticky_threshold = sticky_threshold;
}

// Sets the rate; the pole and the sticky square follow from it.
static inline void smoother_set_sample_rate(smoother_settings& s, float fs)
{
    s.fs_over_2pi = fs * 0.15915494f;
    // A cutoff above 1e9 / 2pi Hz asks for no smoothing at all.
    s.pole = s.cutoff > 159154940.0f ? 0.0f : approx_rcp(s.cutoff + s.fs_over_2pi) * s.fs_over_2pi;
    s.sticky_square = s.sticky_threshold * s.sticky_threshold;
}

static inline float smoother_step(const smoother_settings& s, float state, float target)
{
    return (state - target) * s.pole + target;
}

// Sticky steps land exactly on the target once the remaining distance is
// within the threshold, absolutely or relative to the target.
static inline float smoother_sticky_step_absolute(const smoother_settings& s, float state, float target)
{
    state = smoother_step(s, state, target);
    float d = state - target;
    return d * d <= s.sticky_square ? target : state;
}

static inline float smoother_sticky_step_relative(const smoother_settings& s, float state, float target)
{
    state = smoother_step(s, state, target);
    float d = state - target;
    return d * d <= (s.sticky_square * target) * target ? target : state;
}

static inline float param_smoother_step(param_smoother& p)
{
    p.state = smoother_step(p.settings, p.state, p.target);
    return p.state;
}
