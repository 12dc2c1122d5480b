#include "engine.h"

static const float level_cutoff = 3.1830971f;    // 50 ms
static const float input_gain = 4.0f;

// Tone positions along the pot, one per 5 % of the Tone control; the last
// entry repeats so that interpolation at the top end stays inside the table.
static const float tone_taper[22] = {
    0.0f, 0.0742931f, 0.116187f, 0.14277f, 0.180259f, 0.239614f, 0.369825f, 0.595395f,
    0.757983f, 0.844386f, 0.893214f, 0.919288f, 0.944411f, 0.953084f, 0.957435f, 0.962373f,
    0.967974f, 0.974329f, 0.981539f, 0.989719f, 1.0f, 1.0f,
};

void engine_init(engine& e)
{
    e = engine();
    clipper_init(e.clipper);
    tone_init(e.tone);
    smoother_set_cutoff(e.heat_gain.settings, level_cutoff, 0.0f);
    smoother_set_cutoff(e.mix.settings, level_cutoff, 0.0f);
    smoother_set_cutoff(e.volume.settings, level_cutoff, 0.0f);
    smoother_set_cutoff(e.bypass.settings, level_cutoff, 0.0f);
    e.sample_rate = 0.0f;
}

// The smallest integer factor that brings the rate to 176.4 kHz, at most 16.
static int32_t oversampling_factor(float fs)
{
    float r = 176400.0f / fs;
    if (!(r < (float)engine_max_os_factor))
        return engine_max_os_factor;
    // Only a rate that is no rate (negative, -0) gets here below 1; a factor
    // below 1 would leave processing without a run length.
    if (!(r > 0.0f))
        return 1;
    int32_t n = truncate_to_int(r);
    if (r - (float)n > 0.0f)
        n += 1;
    return n;
}

void engine_set_sample_rate(engine& e, float fs)
{
    e.sample_rate = fs;
    highpass1_design(e.input_hp[0], fs, 7.09f);
    highpass1_design(e.input_hp[1], fs, 15.52f);

    e.os_factor = oversampling_factor(fs);
    float f = (float)e.os_factor;
    if (e.os_factor >= 2) {
        float cf = (1.2456399f * f + (-0.83545053f)) * approx_rcp(f + (-0.48647094f));
        resampler_init(e.upsampler, e.os_factor, cf);
        resampler_init(e.downsampler, -e.os_factor, cf);
    }

    float fo = f * fs;
    clipper_set_sample_rate(e.clipper, fo);
    tone_set_sample_rate(e.tone, fo);
    smoother_set_sample_rate(e.heat_gain.settings, fo);

    highpass1_design(e.output_hp[0], fs, 3.12f);
    highpass1_design(e.output_hp[1], fs, 1.59f);
    smoother_set_sample_rate(e.mix.settings, fs);
    smoother_set_sample_rate(e.volume.settings, fs);
    smoother_set_sample_rate(e.bypass.settings, fs);
}

void engine_reset(engine& e)
{
    highpass1_reset(e.input_hp[0]);
    highpass1_reset(e.input_hp[1]);
    if (e.os_factor >= 2) {
        resampler_reset(e.upsampler);
        resampler_reset(e.downsampler);
    }
    clipper_reset(e.clipper);
    e.heat_gain.state = e.heat_gain.target;
    tone_reset(e.tone);
    highpass1_reset(e.output_hp[0]);
    highpass1_reset(e.output_hp[1]);
    e.mix.state = e.mix.target;
    e.volume.state = e.volume.target;
    e.bypass.state = e.bypass.target;
}

static float clamp_to(float v, float lo, float hi)
{
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

static float tone_target_of(float x)
{
    // The factor is just below 0.2, so Tone 100 interpolates inside entries 19 and 20.
    float y = x * 0.19999999f;
    int32_t k = truncate_to_int(y);
    float target = tone_taper[k] + (tone_taper[k + 1] - tone_taper[k]) * (y - (float)k);
    return clamp_to(target, 0.001f, 0.999f);
}

static float volume_target_of(float x)
{
    float v = x * 0.01f;
    if (v < 0.001f)
        return 0.0f;
    // 10^(1.2 (v - 1)) / 4 above a tenth; below, the exponent bends down steeply.
    float c = v < 0.1f ? approx_rcp(v) * 0.01f + 0.8f : 1.0f - v;
    float ex = c * (-1.2f) * 3.321928f;
    return approx_pow2(ex) * 0.25f;
}

void engine_set_parameter(engine& e, int index, float x)
{
    if (index < 0 || index >= param_count)
        return;
    // Callers clamp already; this keeps a stray value from indexing outside the
    // taper table or a NaN from reaching the smoothers and the saved state.
    if (x != x)
        return;
    x = clamp_to(x, (float)param_table[index].minimum, (float)param_table[index].maximum);
    e.values[index] = x;

    switch (index) {
    case param_drive:
        e.clipper.drive_target = clamp_to(approx_pow2(x * 0.03318557f + (-3.166179f)) - 0.03214286f, 0.0f, 1.0f);
        break;
    case param_tone:
        e.tone.tone_target = tone_target_of(x);
        break;
    case param_heat: {
        float p = approx_pow2(-0.039863136f * x + 1.9931569f);
        e.clipper.corner_a_target = p * 720.48413f;
        e.clipper.corner_b_target = p * 5663.6753f;
        e.heat_gain.target = (4.771561e-5f * x + (-0.010261261f)) * x + 1.393774f;
        break;
    }
    case param_mix:
        e.mix.target = approx_pow2(x * 0.0561471f + (-5.5849624f)) - 0.020833334f;
        break;
    case param_volume:
        e.volume.target = volume_target_of(x);
        break;
    case param_bypass:
        e.bypass.target = x >= 0.5f ? 0.0f : 1.0f;
        break;
    }
}

// One sample at the oversampled rate: clip, Heat gain, tone.
static inline float engine_oversampled_step(engine& e, float v)
{
    clipper_update_controls(e.clipper, false);
    clipper_refresh_coeffs(e.clipper);
    float y = clipper_process(e.clipper, v);
    float h = param_smoother_step(e.heat_gain);
    tone_update_controls(e.tone, false);
    return tone_process(e.tone, y * h);
}

// The block goes through the stages a run of host samples at a time: input
// filters, upsampler, the oversampled steps, downsampler, blend.  Each stage
// sees its samples in the same order as a sample-by-sample loop would, so
// the output is the same to the bit, and each stage's loop stays small
// enough for the processor to overlap its steps.
void engine_process(engine& e, const float* in, float* out, int32_t n)
{
    int32_t f = e.os_factor;
    int32_t run_max = engine_os_buffer_length / f;
    float host_run[engine_os_buffer_length];
    while (n > 0) {
        int32_t run = n < run_max ? n : run_max;

        for (int32_t i = 0; i < run; ++i) {
            float x = in[i] * input_gain;
            host_run[i] = highpass1_step(e.input_hp[1], highpass1_step(e.input_hp[0], x));
        }

        float* os = e.os_buffer;
        if (f >= 2)
            resampler_process(e.upsampler, host_run, os, run);
        else
            os = host_run;

        for (int32_t j = 0; j < run * f; ++j)
            os[j] = engine_oversampled_step(e, os[j]);

        // One output per group of f: the filtered first sample of the group.
        if (f >= 2)
            resampler_process(e.downsampler, os, host_run, run * f);

        for (int32_t i = 0; i < run; ++i) {
            float dry = in[i];
            float x = dry * input_gain;
            float q = highpass1_step(e.output_hp[1], highpass1_step(e.output_hp[0], host_run[i]));
            float m = param_smoother_step(e.mix);
            // Level compensation: 3.5505533 e^(-2.703428 m) + 0.7621998.
            float makeup = approx_pow2(m * (-2.703428f) * 1.442695f) * 3.5505533f + 0.7621998f;
            float vol = param_smoother_step(e.volume);
            float byp = param_smoother_step(e.bypass);
            // The dry part of the blend is the gained input, before the input filters.
            float mixed = (q - x) * m + x;
            out[i] = (vol * (mixed * makeup) - dry) * byp + dry;
        }

        in += run;
        out += run;
        n -= run;
    }
}
