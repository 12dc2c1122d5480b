// The clipping stage: a nodal model of a gain stage with two shaping
// capacitances, a Drive-set feedback resistance, a pair of exponential
// junctions that soft-clips, and rails at +3.92 and -3.12.  Each sample is
// solved in closed form with the Wright omega function.
#pragma once

#include "param_smoother.h"

struct clipper_stage {
    smoother_settings smoothing;

    float drive, drive_target;        // drive position, 0 to 1
    float corner_a, corner_a_target;  // Hz
    float corner_b, corner_b_target;  // Hz

    float fs, inv_fs, fs_limit;
    float R;                 // feedback resistance
    float c1, c2;            // the two capacitances
    float c1_prev, c2_prev;  // their values one sample ago
    float k;                 // prewarped bilinear-transform constant

    float G1, e1, e2, m, e3, e4, L1, W1, n, e5, e6, h, up, lo, e7, L2, W2;
    // The coefficients were computed with both capacitance changes at zero and
    // no control has moved since: computing them again would give the same bits.
    bool coeffs_settled;

    float S0, S1, S2, S3;
};

void clipper_init(clipper_stage& c);
void clipper_set_sample_rate(clipper_stage& c, float fo);
void clipper_reset(clipper_stage& c);
void clipper_update_controls(clipper_stage& c, bool force);
void clipper_update_coeffs(clipper_stage& c);
// clipper_update_coeffs, skipped while it could only repeat its last result.
void clipper_refresh_coeffs(clipper_stage& c);
float clipper_process(clipper_stage& c, float v);
