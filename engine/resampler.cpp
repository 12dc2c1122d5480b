#include "resampler.h"

#include "approx_math.h"

void resampler_init(resampler& rs, int32_t ratio, float cf)
{
    rs.ratio = ratio;
    rs.section_count = resampler_sections;

    int32_t r = ratio < 0 ? -ratio : ratio;
    // The prewarped cutoff at the high rate, tan(pi cf / 2r); the division is a true one.
    float x = (((cf * 0.5f) / (float)r) * 3.1415927f) * 0.15915494f;
    float t = approx_sin_turns(x) * approx_rcp(approx_cos_turns(x));
    float t2 = t * t;

    for (int k = 0; k < resampler_sections; ++k) {
        // The analogue pole angle (2k + 1) pi / 32, in turns.
        float phi = (((float)(2 * k) * 0.09817477f) + 0.09817477f) * 0.15915494f;
        float sv = approx_sin_turns(phi);
        float cv = approx_cos_turns(phi);
        // Renormalise the approximate sine and cosine onto the unit circle.
        float M = sv * sv + cv * cv;
        float g = M < 1.1754944e-38f ? __builtin_inff() : 1.0f / approx_sqrt(M);
        float sn = sv * g;
        float cn = g * cv;

        float A = (1.0f / sn) * (1.0f / sn);
        float re = cn * (-0.83925736f);
        float im = sn * 1.305446f;
        float im2 = im * im;

        float D = ((re - t) * (re - t) + im2) * A;
        float Dinv = 1.0f / D;
        float AD = A * Dinv;

        rs.b0[k] = Dinv + t2 * AD;
        float u = t2 * AD - Dinv;
        rs.b1[k] = u + u;
        rs.p[k] = ((re * re + im2) - t2) * (AD + AD);
        rs.q[k] = ((t + re) * (t + re) + im2) * (-AD);
    }
}

void resampler_reset(resampler& rs)
{
    for (int k = 0; k < resampler_sections; ++k) {
        rs.z1[k] = 0.0f;
        rs.z2[k] = 0.0f;
    }
    rs.counter = 0;
}

static inline float section_step(resampler& rs, int k, float v)
{
    float a = rs.b0[k] * v;
    float y = rs.z1[k] + a;
    rs.z1[k] = (v * rs.b1[k] + rs.p[k] * y) + rs.z2[k];
    rs.z2[k] = rs.q[k] * y + a;
    return y;
}

// The eight sections over a run of samples, in place.
//
// Section k of sample t needs only section k - 1 of sample t and section k of
// sample t - 1.  So the run goes as a diagonal wave: at step s, section k
// works on sample s - k, and all eight sections of one step are independent
// and share two vector registers.  A triangle of scalar steps fills the wave
// and another drains it, so that each call starts and ends with every
// section having seen the same samples.  Every section performs exactly the
// operations of a sample-by-sample chain, in the same order per section.
static void resampler_filter(resampler& rs, float* v, int32_t count)
{
    enum { depth = resampler_sections - 1 };
    if (count < depth) {
        for (int32_t t = 0; t < count; ++t) {
            float x = v[t];
            for (int k = 0; k < resampler_sections; ++k)
                x = section_step(rs, k, x);
            v[t] = x;
        }
        return;
    }

    // Fill: section k takes samples 0 .. depth - 1 - k.
    float carried[resampler_sections];
    for (int32_t t = 0; t < depth; ++t) {
        float x = v[t];
        for (int k = 0; k < depth - t; ++k)
            x = carried[k] = section_step(rs, k, x);
    }

    __m128 b0_lo = _mm_loadu_ps(rs.b0), b0_hi = _mm_loadu_ps(rs.b0 + 4);
    __m128 b1_lo = _mm_loadu_ps(rs.b1), b1_hi = _mm_loadu_ps(rs.b1 + 4);
    __m128 p_lo = _mm_loadu_ps(rs.p), p_hi = _mm_loadu_ps(rs.p + 4);
    __m128 q_lo = _mm_loadu_ps(rs.q), q_hi = _mm_loadu_ps(rs.q + 4);
    __m128 z1_lo = _mm_loadu_ps(rs.z1), z1_hi = _mm_loadu_ps(rs.z1 + 4);
    __m128 z2_lo = _mm_loadu_ps(rs.z2), z2_hi = _mm_loadu_ps(rs.z2 + 4);
    // Lane k holds the latest output of section k: the input of section k + 1.
    carried[depth] = 0.0f;
    __m128 y_lo = _mm_loadu_ps(carried), y_hi = _mm_loadu_ps(carried + 4);

    for (int32_t s = depth; s < count; ++s) {
        __m128 x_lo = _mm_move_ss(_mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(y_lo), 4)), _mm_set_ss(v[s]));
        __m128 x_hi = _mm_move_ss(_mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(y_hi), 4)),
                                  _mm_shuffle_ps(y_lo, y_lo, _MM_SHUFFLE(3, 3, 3, 3)));
        __m128 a_lo = _mm_mul_ps(b0_lo, x_lo), a_hi = _mm_mul_ps(b0_hi, x_hi);
        y_lo = _mm_add_ps(z1_lo, a_lo);
        y_hi = _mm_add_ps(z1_hi, a_hi);
        z1_lo = _mm_add_ps(_mm_add_ps(_mm_mul_ps(x_lo, b1_lo), _mm_mul_ps(p_lo, y_lo)), z2_lo);
        z1_hi = _mm_add_ps(_mm_add_ps(_mm_mul_ps(x_hi, b1_hi), _mm_mul_ps(p_hi, y_hi)), z2_hi);
        z2_lo = _mm_add_ps(_mm_mul_ps(q_lo, y_lo), a_lo);
        z2_hi = _mm_add_ps(_mm_mul_ps(q_hi, y_hi), a_hi);
        // Section 7 has finished sample s - depth.
        v[s - depth] = _mm_cvtss_f32(_mm_shuffle_ps(y_hi, y_hi, _MM_SHUFFLE(3, 3, 3, 3)));
    }

    _mm_storeu_ps(rs.z1, z1_lo);
    _mm_storeu_ps(rs.z1 + 4, z1_hi);
    _mm_storeu_ps(rs.z2, z2_lo);
    _mm_storeu_ps(rs.z2 + 4, z2_hi);
    _mm_storeu_ps(carried, y_lo);
    _mm_storeu_ps(carried + 4, y_hi);

    // Drain: section k takes the last k samples.
    for (int32_t t = count - depth; t < count; ++t) {
        int first = (int)(count - t);
        float x = carried[first - 1];
        for (int k = first; k < resampler_sections; ++k)
            x = section_step(rs, k, x);
        v[t] = x;
    }
}

static void resampler_upsample(resampler& rs, const float* src, float* dst, int32_t n)
{
    int32_t r = rs.ratio;
    // The factor r restores the level that the inserted zeros take away.
    float gain = (float)r;
    for (int32_t i = 0; i < n; ++i) {
        dst[i * r] = src[i] * gain;
        for (int32_t j = 1; j < r; ++j)
            dst[i * r + j] = 0.0f;
    }
    resampler_filter(rs, dst, n * r);
}

static int32_t resampler_decimate(resampler& rs, float* v, int32_t n, float* dst)
{
    int32_t r = -rs.ratio;
    resampler_filter(rs, v, n);
    int32_t written = 0;
    for (int32_t t = 0; t < n; ++t) {
        // The first input of every group of r is the one kept.
        if (rs.counter == 0) {
            dst[written++] = v[t];
            rs.counter = r;
        }
        rs.counter -= 1;
    }
    return written;
}

void resampler_process(resampler& rs, const float* src, float* dst, int32_t n)
{
    if (rs.ratio > 0) {
        resampler_upsample(rs, src, dst, n);
        return;
    }
    // Long runs keep the cost of filling and draining the wave small.
    enum { run_length = 256 };
    float run[run_length];
    while (n > 0) {
        int32_t count = n < run_length ? n : run_length;
        for (int32_t j = 0; j < count; ++j)
            run[j] = src[j];
        dst += resampler_decimate(rs, run, count, dst);
        src += count;
        n -= count;
    }
}
