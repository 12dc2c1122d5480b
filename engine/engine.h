// One mono overdrive channel: input filters, oversampled clipping, Heat gain
// and tone, output filters, dry/wet blend, volume and a bypass crossfade.
// A plain record without pointers or heap memory; not thread-safe.
#pragma once

#include <cstdint>

#include "clipper_stage.h"
#include "highpass1.h"
#include "param_smoother.h"
#include "param_table.h"
#include "resampler.h"
#include "tone_stage.h"

enum {
    engine_max_os_factor = 16,
    // Oversampled samples per stage pass: room for a whole number of groups
    // at every factor, small enough to stay in the first-level cache.
    engine_os_buffer_length = 256
};

struct engine {
    highpass1 input_hp[2];      // 7.09 Hz, 15.52 Hz
    resampler upsampler;        // ratio +os_factor
    clipper_stage clipper;
    param_smoother heat_gain;
    tone_stage tone;
    resampler downsampler;      // ratio -os_factor
    highpass1 output_hp[2];     // 3.12 Hz, 1.59 Hz
    param_smoother mix;
    param_smoother volume;
    param_smoother bypass;      // weight of the processed signal
    int32_t os_factor;
    float os_buffer[engine_os_buffer_length];  // a run of host samples, oversampled
    float values[param_count];  // last plain value applied per parameter
    float sample_rate;
};

void engine_init(engine& e);
void engine_set_sample_rate(engine& e, float fs);
void engine_reset(engine& e);
void engine_set_parameter(engine& e, int index, float x);
void engine_process(engine& e, const float* in, float* out, int32_t n);
