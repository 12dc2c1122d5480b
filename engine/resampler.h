// Integer-ratio resampler: zero insertion or decimation around a 16th-order
// inverse Chebyshev low-pass made of eight second-order sections.
#pragma once

#include <cstdint>

enum { resampler_sections = 8 };

struct resampler {
    int32_t ratio;          // r > 0 upsamples by r, -r downsamples by r
    int32_t section_count;  // always resampler_sections
    float b0[resampler_sections];  // also the second feed-forward coefficient
    float b1[resampler_sections];
    float p[resampler_sections];   // negated a1
    float q[resampler_sections];   // negated a2
    float z1[resampler_sections];
    float z2[resampler_sections];
    int32_t counter;        // decimation phase
};

void resampler_init(resampler& rs, int32_t ratio, float cf);
void resampler_reset(resampler& rs);
// Consumes n samples of src: upsampling writes n * ratio samples to dst,
// downsampling one for every -ratio inputs, counting across calls.
void resampler_process(resampler& rs, const float* src, float* dst, int32_t n);
