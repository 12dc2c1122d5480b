// Small helpers for driving an engine in tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine.h"

static const double two_pi = 6.283185307179586;

static const float default_values[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};

// An engine with the given values applied, at rate fs, reset and ready.
static inline void engine_start(engine& e, float fs, const float* values = default_values)
{
    engine_init(e);
    for (int i = 0; i < param_count; ++i)
        engine_set_parameter(e, i, values[i]);
    engine_set_sample_rate(e, fs);
    engine_reset(e);
}

// cos(x) by its Taylor series: only the four basic operations, so every
// platform computes the same bits (library cosines differ in the last place).
static inline double plain_cos(double x)
{
    while (x > 3.141592653589793)
        x -= two_pi;
    double x2 = x * x, term = 1.0, sum = 1.0;
    for (int k = 1; k < 30; ++k) {
        term = -term * x2 / ((2.0 * k - 1.0) * (2.0 * k));
        sum += term;
    }
    return sum;
}

// A reproducible, guitar-like test signal: notes every quarter second, each
// with six decaying partials and a short noisy attack.  Built from basic
// arithmetic only, so the native and the Windows builds get the same input.
static inline std::vector<float> plucked_signal(int n, float fs, uint32_t seed = 1)
{
    std::vector<float> v((size_t)n, 0.0f);
    const double notes[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    int note_length = (int)(fs * 0.25f);
    for (int start = 0, note = 0; start < n; start += note_length, ++note) {
        int end = start + note_length < n ? start + note_length : n;
        for (int h = 1; h <= 6; ++h) {
            double w = two_pi * notes[note % 6] * h / fs;
            double c = 2.0 * plain_cos(w);
            double decay = 1.0 - (2.0 + h) / fs;
            double y1 = 0.0, y2 = -(w - w * w * w / 6.0), amp = 0.3 / h;
            for (int i = start; i < end; ++i) {
                double y = c * y1 - y2;  // sin(w t), t from the note's start
                y2 = y1;
                y1 = y;
                v[(size_t)i] += (float)(amp * y2);
                amp *= decay;
            }
        }
        double burst = 0.05;
        for (int i = start; i < end && burst > 1e-6; ++i) {
            seed = seed * 1664525u + 1013904223u;
            v[(size_t)i] += (float)(((double)(seed >> 8) / 8388608.0 - 1.0) * burst);
            burst *= 1.0 - 200.0 / fs;
        }
    }
    return v;
}

// 64-bit FNV-1a over the bit patterns of the samples.
static inline uint64_t digest_of(const float* v, size_t n)
{
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; ++i) {
        uint32_t b;
        std::memcpy(&b, &v[i], sizeof b);
        for (int k = 0; k < 4; ++k) {
            h ^= (b >> (8 * k)) & 0xFFu;
            h *= 1099511628211ull;
        }
    }
    return h;
}

static inline double db_of(double ratio)
{
    return 20.0 * std::log10(ratio);
}
