#include "clipper_stage.h"

// 1/(2 pi 4700) and 1/(2 pi 551000): a corner frequency to its capacitance.
static const float corner_to_c1 = 3.3862754e-5f;
static const float corner_to_c2 = 2.8884745e-7f;
static const float inv_4700 = 0.00021276595f;
static const float inv_2pi_sqrt_4700 = 0.0023215134f;
// The junction pair's exponential law.
static const float junction_scale = 5.532139e-8f;
static const float junction_volts = 0.045552f;
static const float junction_inv_volts = 21.952932f;
static const double junction_volts_wide = -0.045552;

static const float rail_high = 3.92f;
static const float rail_low = -3.12f;

void clipper_init(clipper_stage& c)
{
    smoother_set_cutoff(c.smoothing, 31.830975f, 0.001f);
}

void clipper_set_sample_rate(clipper_stage& c, float fo)
{
    smoother_set_sample_rate(c.smoothing, fo);
    c.fs = fo;
    c.inv_fs = 1.0f / fo;
    c.fs_limit = fo * 0.499f;
    c.coeffs_settled = false;
}

void clipper_reset(clipper_stage& c)
{
    c.drive = c.drive_target;
    c.corner_a = c.corner_a_target;
    c.corner_b = c.corner_b_target;
    clipper_update_controls(c, true);
    c.c1_prev = c.c1;
    c.c2_prev = c.c2;
    clipper_update_coeffs(c);
    c.S0 = c.S1 = c.S2 = c.S3 = 0.0f;
}

void clipper_update_controls(clipper_stage& c, bool force)
{
    bool drive_moves = c.drive != c.drive_target;
    bool a_moves = c.corner_a != c.corner_a_target;
    bool b_moves = c.corner_b != c.corner_b_target;
    if (!force && !drive_moves && !a_moves && !b_moves)
        return;

    if (force || drive_moves) {
        c.drive = smoother_sticky_step_absolute(c.smoothing, c.drive, c.drive_target);
        c.R = c.drive * 500000.0f + 51000.0f;
    }
    if (force || a_moves) {
        c.corner_a = smoother_sticky_step_relative(c.smoothing, c.corner_a, c.corner_a_target);
        c.c1 = approx_rcp(c.corner_a) * corner_to_c1;
    }
    if (force || b_moves) {
        c.corner_b = smoother_sticky_step_relative(c.smoothing, c.corner_b, c.corner_b_target);
        c.c2 = approx_rcp(c.corner_b) * corner_to_c2;
    }
    c.coeffs_settled = false;

    // Prewarp at the geometric mean of the stage's two corners.
    float P = (c.c1 * c.R) * c.c2;
    float Q = approx_rcp(P);
    float fc = Q < 1.1754944e-38f ? 0.0f : approx_sqrt(Q) * inv_2pi_sqrt_4700;
    float fw = min_of(fc, c.fs_limit) * 3.1415927f;
    float x = (c.inv_fs * fw) * 0.15915494f;
    c.k = (fw + fw) * approx_rcp(approx_tan_turns(x));
}

void clipper_update_coeffs(clipper_stage& c)
{
    // Non-zero only while Heat moves the capacitances.
    float a1 = (c.c1 - c.c1_prev) * c.fs;
    float a2 = (c.c2 - c.c2_prev) * c.fs;
    c.c1_prev = c.c1;
    c.c2_prev = c.c2;

    c.G1 = c.k * c.c1 + a1;
    float G2 = c.c2 * c.k + a2;

    float r1 = approx_rcp(inv_4700 + c.G1);
    c.e1 = c.G1 * r1;
    c.e2 = (-c.c1) * r1;

    float r2 = approx_rcp(c.R * G2 + 1.0f);
    c.m = (-r2) * c.R;
    c.e3 = ((c.e1 * c.G1 - c.G1) - G2) * c.m + r2;

    float q1 = -junction_scale * c.m;
    // The one product taken wide: the double constant, rounded once to float.
    c.e4 = (float)((double)approx_rcp(c.m) * junction_volts_wide);
    c.L1 = approx_ln(q1) + q1;
    c.W1 = approx_omega4(c.L1);

    float r3 = approx_rcp((c.e1 * inv_4700 + G2) * c.R + 1.0f);
    c.n = c.R * r3;
    c.e5 = -inv_4700 * c.n;
    c.e6 = (-c.c2) * c.n;
    c.h = G2 * c.n + r3;
    c.up = c.h * rail_high;
    c.lo = c.h * rail_low;

    float q2 = junction_scale * c.n;
    c.e7 = approx_rcp(c.n) * junction_volts;
    c.L2 = approx_ln(q2) + q2;
    c.W2 = approx_omega4(c.L2);

    c.coeffs_settled = a1 == 0.0f && a2 == 0.0f;
}

void clipper_refresh_coeffs(clipper_stage& c)
{
    if (!c.coeffs_settled)
        clipper_update_coeffs(c);
}

float clipper_process(clipper_stage& c, float v)
{
    float u0 = c.S0 * c.k + c.S2;
    float u1 = c.S1 * c.k + c.S3;
    float w1 = c.e2 * u1;

    float y0 = c.e3 * v + ((c.G1 * w1 + u1 * c.c1) - c.c2 * u0) * c.m;

    // The junctions bend the linear estimate; at d = 0 the sign is 0 and nothing changes.
    float d = y0 - v;
    float s = sign_of(d);
    float a = (d * junction_inv_volts) * s + c.L1;
    float y = c.m * ((c.e4 * s) * (approx_omega4(a) - c.W1)) + y0;

    float out, node;
    if (y > rail_high || y < rail_low) {
        float lim, base;
        if (y > rail_high) {
            out = rail_high;
            lim = c.up;
            base = -rail_high;
        } else {
            out = rail_low;
            lim = c.lo;
            base = -rail_low;
        }
        // With the output held at a rail, solve the input-side node instead.
        float z = c.e5 * w1 + c.e6 * u0;
        float dd = (base + z) - lim;
        float s2 = sign_of(dd);
        float a2 = (dd * (-junction_inv_volts)) * s2 + c.L2;
        node = (((approx_omega4(a2) - c.W2) * (c.e7 * s2)) * c.n + z) + lim;
    } else {
        // A NaN estimate passes both rail tests and comes out unlimited.
        out = y;
        node = v;
    }

    float t = node - (c.e1 * node + w1);
    c.S0 = out - node;
    c.S1 = t;
    c.S2 = c.k * c.S0 - u0;
    c.S3 = c.k * t - u1;
    return out;
}
