#include "tone_stage.h"

static const float pot_ohms = 20000.0f;
static const float inv_220 = 0.0045454544f;
static const float inv_1000 = 0.001f;
static const float inv_1000_plus_inv_10000 = 0.0011f;
static const float amp_gain_range = 1000.0f;
static const float capacitance = 2.2e-7f;

void tone_init(tone_stage& t)
{
    smoother_set_cutoff(t.smoothing, 31.830975f, 0.001f);
}

void tone_set_sample_rate(tone_stage& t, float fo)
{
    smoother_set_sample_rate(t.smoothing, fo);
    t.fs = fo;
    t.inv_fs = 1.0f / fo;
    t.fs_limit = fo * 0.499f;
    t.Ct = approx_rcp(1.0f) * capacitance;
    t.coeffs_settled = false;
}

void tone_reset(tone_stage& t)
{
    t.tone_position = t.tone_target;
    tone_update_controls(t, true);
    t.s0 = t.s1 = t.s2 = t.s3 = 0.0f;
}

// The frequency, in Hz, at which the discretisation is prewarped: three
// pieces fitted to the network's response along the pot.
static float tone_prewarp_hz(float t)
{
    if (t <= 0.75f)
        return ((2204.8f * t + (-3200.0f)) * t + 2019.8f) * t + 377.0f;
    if (t <= 0.9f)
        return ((54666.668f * t + (-124600.0f)) * t + 95873.336f) * t + (-23858.0f);
    return approx_pow2(61.537872f * t + (-49.595997f)) + 1298.7429f;
}

void tone_update_controls(tone_stage& t, bool force)
{
    if (!force && t.tone_position == t.tone_target)
        return;

    t.tone_position = smoother_sticky_step_absolute(t.smoothing, t.tone_position, t.tone_target);
    float pos = t.tone_position;

    float Ra = pos * pot_ohms;
    float Rb = pot_ohms - Ra;
    t.ga = approx_rcp(Ra);
    float gb = approx_rcp(Rb);

    t.gsum = t.ga + gb;
    t.gout_a = gb * (-amp_gain_range);
    t.gout_b = 1.0f - t.gout_a;
    t.gin = t.ga * 1.0f + inv_1000_plus_inv_10000;

    t.fp = tone_prewarp_hz(pos) * capacitance;

    float u = approx_rcp(t.Ct) * t.fp;
    float w = min_of(u, t.fs_limit) * 3.1415927f;
    float x = (t.inv_fs * w) * 0.15915494f;
    t.kt = (w + w) * approx_rcp(approx_tan_turns(x));
    t.coeffs_settled = false;
}

void tone_update_coeffs(tone_stage& t)
{
    float G = t.kt * t.Ct;
    t.a = approx_rcp(G + t.gsum);
    t.k1 = t.gsum * t.a;
    t.k2 = G * t.a;
    t.k3 = t.a * t.Ct;
    float b = approx_rcp((G - t.k2 * G) + inv_220);
    t.k4 = G * b;
    t.k5 = t.k1 * t.k4;
    t.k6 = (-t.Ct) * b;
    float c = approx_rcp((G - (t.k5 * t.k2 + t.k1) * t.ga) + t.gin);
    t.k7 = c * inv_1000;
    t.k8 = c * t.Ct;
    t.k9 = c * t.ga;
    t.coeffs_settled = true;
}

float tone_process(tone_stage& t, float v)
{
    if (!t.coeffs_settled)
        tone_update_coeffs(t);

    float u0 = t.kt * t.s0 + t.s2;
    float u1 = t.s1 * t.kt + t.s3;
    float ia = t.k3 * u1;
    float pa = t.k4 * ia + u1 * t.k6;
    float ya = t.k7 * v + (t.k8 * u0 + (t.k2 * pa + ia) * t.k9);
    float pb = t.k5 * ya + pa;
    float yb = (t.k1 * ya + t.k2 * pb) + ia;
    float d = yb - pb;
    float out = t.gout_b * ya + yb * t.gout_a;

    t.s0 = ya;
    t.s1 = d;
    t.s2 = ya * t.kt - u0;
    t.s3 = d * t.kt - u1;
    return out;
}
