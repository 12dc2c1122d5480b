// The tone stage: a passive network of two equal capacitances around a 20 k
// potentiometer, driving an amplifier whose gain follows the same split.
#pragma once

#include "param_smoother.h"

struct tone_stage {
    smoother_settings smoothing;

    float tone_position, tone_target;  // 0.001 to 0.999

    float fs, inv_fs, fs_limit;
    float Ct;

    float ga, gsum, gout_a, gout_b, gin, fp, kt;

    float a, k1, k2, k3, k4, k5, k6, k7, k8, k9;
    // a and k1 to k9 follow from the position-dependent values and stay
    // valid until those move.
    bool coeffs_settled;

    float s0, s1, s2, s3;
};

void tone_init(tone_stage& t);
void tone_set_sample_rate(tone_stage& t, float fo);
void tone_reset(tone_stage& t);
void tone_update_controls(tone_stage& t, bool force);
// The per-sample coefficients a, k1 to k9.
void tone_update_coeffs(tone_stage& t);
// One sample, with the coefficients brought up to date first.
float tone_process(tone_stage& t, float v);
