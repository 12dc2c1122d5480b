// engine_process runs its stages a run at a time, the resamplers as a
// diagonal wave and the coefficient updates only when their inputs change.
// These tests hold it to the plain sample-by-sample definition of the engine,
// bit for bit, while the controls move.
#include <vector>

#include <gtest/gtest.h>

#include "denormals.h"
#include "engine_fixture.h"

namespace {

static float plain_chain(resampler& rs, float v)
{
    for (int k = 0; k < resampler_sections; ++k) {
        float a = rs.b0[k] * v;
        float y = rs.z1[k] + a;
        rs.z1[k] = (v * rs.b1[k] + rs.p[k] * y) + rs.z2[k];
        rs.z2[k] = rs.q[k] * y + a;
        v = y;
    }
    return v;
}

static float plain_oversampled_step(engine& e, float v)
{
    clipper_update_controls(e.clipper, false);
    clipper_update_coeffs(e.clipper);
    float y = clipper_process(e.clipper, v);
    float h = param_smoother_step(e.heat_gain);
    tone_update_controls(e.tone, false);
    tone_update_coeffs(e.tone);
    return tone_process(e.tone, y * h);
}

static void plain_process(engine& e, const float* in, float* out, int n)
{
    for (int i = 0; i < n; ++i) {
        float dry = in[i];
        float x = dry * 4.0f;
        float w = highpass1_step(e.input_hp[1], highpass1_step(e.input_hp[0], x));
        float q0;
        int f = e.os_factor;
        if (f < 2) {
            q0 = plain_oversampled_step(e, w);
        } else {
            float group[16];
            group[0] = plain_chain(e.upsampler, w * (float)f);
            for (int j = 1; j < f; ++j)
                group[j] = plain_chain(e.upsampler, 0.0f);
            for (int j = 0; j < f; ++j)
                group[j] = plain_oversampled_step(e, group[j]);
            q0 = plain_chain(e.downsampler, group[0]);
            for (int j = 1; j < f; ++j)
                plain_chain(e.downsampler, group[j]);
        }
        float q = highpass1_step(e.output_hp[1], highpass1_step(e.output_hp[0], q0));
        float m = param_smoother_step(e.mix);
        float makeup = approx_pow2(m * (-2.703428f) * 1.442695f) * 3.5505533f + 0.7621998f;
        float vol = param_smoother_step(e.volume);
        float byp = param_smoother_step(e.bypass);
        float mixed = (q - x) * m + x;
        out[i] = (vol * (mixed * makeup) - dry) * byp + dry;
    }
}

// Controls that move between blocks: Drive, Tone and Heat sweep, the others step.
static void apply_schedule(engine& e, int block)
{
    engine_set_parameter(e, param_drive, (float)((block * 7) % 101));
    engine_set_parameter(e, param_tone, (float)((block * 13) % 101));
    engine_set_parameter(e, param_heat, (float)((block * 3) % 101));
    if (block % 5 == 0)
        engine_set_parameter(e, param_mix, (float)((block * 11) % 101));
    if (block % 7 == 0)
        engine_set_parameter(e, param_volume, (float)((block * 17) % 201));
    if (block % 9 == 0)
        engine_set_parameter(e, param_bypass, (float)((block / 9) % 2));
}

class engine_reference : public ::testing::TestWithParam<float> {};

TEST_P(engine_reference, same_bits_as_the_plain_definition)
{
    unsigned saved = flush_denormals_begin();
    float fs = GetParam();
    engine fast, plain;
    engine_start(fast, fs);
    plain = fast;

    std::vector<float> in = plucked_signal((int)(fs * 2.0f), fs);
    for (float& v : in)
        v *= 6.0f;  // loud enough to reach the rails
    std::vector<float> fast_out(in.size()), plain_out(in.size());

    const int block_sizes[] = {1, 7, 64, 300, 1000, 2, 17};
    size_t done = 0;
    for (int block = 0; done < in.size(); ++block) {
        size_t n = std::min(in.size() - done, (size_t)block_sizes[block % 7]);
        apply_schedule(fast, block);
        apply_schedule(plain, block);
        if (block % 3 == 0) {
            // In place.
            std::copy(in.begin() + (long)done, in.begin() + (long)(done + n), fast_out.begin() + (long)done);
            engine_process(fast, &fast_out[done], &fast_out[done], (int32_t)n);
        } else {
            engine_process(fast, &in[done], &fast_out[done], (int32_t)n);
        }
        plain_process(plain, &in[done], &plain_out[done], (int)n);
        done += n;
    }
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(bits_of(fast_out[i]), bits_of(plain_out[i])) << fs << " Hz, sample " << i;
    flush_denormals_end(saved);
}

INSTANTIATE_TEST_SUITE_P(rates, engine_reference,
                         ::testing::Values(8000.0f, 22050.0f, 44100.0f, 48000.0f, 58800.0f, 96000.0f, 192000.0f));

}  // namespace
