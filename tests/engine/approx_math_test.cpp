#include <cmath>

#include <gtest/gtest.h>

#include "approx_math.h"
#include "highpass1.h"
#include "engine_fixture.h"
#include "param_smoother.h"

namespace {

struct exact_case {
    const char* what;
    float got;
    float expected;
};

// "Exactly" means the same bits, so these compare patterns, not values.
TEST(approx_math, exact_values)
{
    const exact_case cases[] = {
        {"approx_rcp(1)", approx_rcp(1.0f), 0.9999879f},
        {"approx_rcp(4.5)", approx_rcp(4.5f), 0.22222221f},
        {"approx_pow2(-126.5)", approx_pow2(-126.5f), 0.0f},
        {"approx_pow2(-1)", approx_pow2(-1.0f), 0.5f},
        {"approx_sin_turns(0.25)", approx_sin_turns(0.25f), 1.0f},
        {"approx_sin_turns(0.75)", approx_sin_turns(0.75f), -1.0f},
        {"approx_sin_turns(0)", approx_sin_turns(0.0f), 0.0f},
        {"approx_sin_turns(0.5)", approx_sin_turns(0.5f), -0.0f},
        {"approx_sqrt(1)", approx_sqrt(1.0f), 1.0000058f},
        {"approx_omega4(2e9)", approx_omega4(2e9f), 2e9f},
        {"approx_omega3 below its range", approx_omega3(-3.5f), 0.0f},
        // A tiny negative number's fraction rounds up to a whole turn.
        {"frac_turns(-1e-10)", frac_turns(-1e-10f), 1.0f},
        {"frac_turns(-0.25)", frac_turns(-0.25f), 0.75f},
        {"frac_turns(3.75)", frac_turns(3.75f), 0.75f},
    };
    for (const exact_case& c : cases)
        EXPECT_EQ(bits_of(c.got), bits_of(c.expected)) << c.what << " gave " << c.got;
}

struct near_case {
    const char* what;
    double got;
    double expected;
    double tolerance;
};

TEST(approx_math, approximate_values)
{
    const near_case cases[] = {
        {"approx_pow2(2.5)", approx_pow2(2.5f), 5.6534, 1e-4},
        {"approx_omega4(1)", approx_omega4(1.0f), 1.0012, 1e-4},
        {"approx_omega4(0)", approx_omega4(0.0f), 0.5703, 1e-4},
        {"approx_omega4(10)", approx_omega4(10.0f), 7.9623, 1e-4},
        {"approx_sqrt(1e-20) / 1e-10", approx_sqrt(1e-20f) / 1e-10, 1.0, 1e-4},
        {"approx_sqrt(1e30) / 1e15", approx_sqrt(1e30f) / 1e15, 1.0, 1e-4},
        {"approx_sin_turns(0.125), sin 45 degrees", approx_sin_turns(0.125f), 0.6963, 1e-4},
        {"approx_ln(e)", approx_ln(2.7182817f), 1.0, 5e-3},
    };
    for (const near_case& c : cases)
        EXPECT_NEAR(c.got, c.expected, c.tolerance) << c.what;
}

TEST(approx_math, sine_repeats_every_turn)
{
    // 1.3 differs from 0.3 only by the rounding of the fraction 1.3 - 1.
    EXPECT_EQ(bits_of(approx_sin_turns(1.3f)), bits_of(approx_sin_turns(1.3f - 1.0f)));
    EXPECT_EQ(bits_of(approx_sin_turns(-0.7f)), bits_of(approx_sin_turns(frac_turns(-0.7f))));
}

// The Wright omega function to double precision, by Newton's method.
static double wright_omega(double x)
{
    double w = x > 1.0 ? x - std::log(x) : 0.5 * std::exp(x);
    for (int i = 0; i < 60; ++i)
        w -= (w + std::log(w) - x) / (1.0 + 1.0 / w);
    return w;
}

// Sweeps measure the worst error over the whole useful range.
TEST(approx_math, accuracy_over_ranges)
{
    double worst_sin = 0.0, worst_rcp = 0.0, worst_ln = 0.0, worst_sqrt = 0.0, worst_omega = 0.0;
    for (int i = 1; i < 100000; ++i) {
        double x = i / 100000.0;
        double s = std::sin(two_pi * (float)x);
        if (std::fabs(s) > 1e-3)
            worst_sin = std::fmax(worst_sin, std::fabs(approx_sin_turns((float)x) / s - 1.0));
        double y = std::ldexp(1.0 + x, i % 60 - 30);
        worst_rcp = std::fmax(worst_rcp, std::fabs(approx_rcp((float)y) * (float)y - 1.0));
        worst_ln = std::fmax(worst_ln, std::fabs(approx_ln((float)y) - std::log((float)y)));
        worst_sqrt = std::fmax(worst_sqrt, std::fabs(approx_sqrt((float)y) / std::sqrt((float)y) - 1.0));
        float wx = (float)(x * 40.0 - 3.0);
        worst_omega = std::fmax(worst_omega, std::fabs(approx_omega4(wx) / wright_omega(wx) - 1.0));
    }
    // The cubic's relative error peaks near the zero crossings at about 1.63 %.
    EXPECT_LT(worst_sin, 0.0165);
    EXPECT_GT(worst_sin, 0.015);
    EXPECT_LT(worst_rcp, 2e-5);
    EXPECT_LT(worst_ln, 5e-3);
    EXPECT_LT(worst_sqrt, 1e-5);
    // One Newton step from a cubic: within 3.5 %, the worst at the low end.
    EXPECT_LT(worst_omega, 0.036);
}

TEST(param_smoother, step_and_sticky_snap)
{
    smoother_settings s;
    smoother_set_cutoff(s, 31.830975f, 0.001f);
    smoother_set_sample_rate(s, 192000.0f);

    // A value on its target stays exactly there.
    EXPECT_EQ(bits_of(smoother_step(s, 0.3f, 0.3f)), bits_of(0.3f));

    // Within the threshold after one step: exactly on the target.
    EXPECT_EQ(bits_of(smoother_sticky_step_absolute(s, 0.5f + 0.0009f, 0.5f)), bits_of(0.5f));
    EXPECT_EQ(bits_of(smoother_sticky_step_relative(s, 1000.5f, 1000.0f)), bits_of(1000.0f));
    // Outside it, the value moves a fraction (1 - pole) of the way.
    float moved = smoother_sticky_step_absolute(s, 0.6f, 0.5f);
    EXPECT_NE(moved, 0.5f);
    EXPECT_NEAR(moved - 0.5f, 0.1f * s.pole, 1e-7);

    // A cutoff beyond 1e9 / 2pi Hz means no smoothing.
    smoother_set_cutoff(s, 2e8f, 0.0f);
    smoother_set_sample_rate(s, 48000.0f);
    EXPECT_EQ(s.pole, 0.0f);
}

// The time to fall to 1/e, in seconds.  The pole's approximate reciprocal
// errs by about as much as 1 - pole is small, so 50 ms measures a little less.
static double time_constant(float cutoff, float fs)
{
    param_smoother p;
    smoother_set_cutoff(p.settings, cutoff, 0.0f);
    smoother_set_sample_rate(p.settings, fs);
    p.state = 1.0f;
    p.target = 0.0f;
    int n = 0;
    while (param_smoother_step(p) > 0.36787944f)
        ++n;
    return (n + 1) / (double)fs;
}

TEST(param_smoother, time_constants)
{
    EXPECT_NEAR(time_constant(3.1830971f, 48000.0f), 0.0492, 0.0005);
    EXPECT_NEAR(time_constant(3.1830971f, 192000.0f), 0.0468, 0.0005);
    EXPECT_NEAR(time_constant(31.830975f, 192000.0f), 0.005, 0.0002);
}

static double highpass_gain(float fs, float fc, double f)
{
    highpass1 h{};
    highpass1_design(h, fs, fc);
    double peak = 0.0;
    int n = (int)(fs * 4.0f);
    for (int i = 0; i < n; ++i) {
        float y = highpass1_step(h, (float)std::sin(two_pi * f * i / fs));
        if (i > n / 2)
            peak = std::fmax(peak, std::fabs(y));
    }
    return peak;
}

TEST(highpass1, cutoff_and_constant_input)
{
    EXPECT_NEAR(db_of(highpass_gain(48000.0f, 15.52f, 15.52)), -3.01, 0.1);
    EXPECT_NEAR(db_of(highpass_gain(48000.0f, 15.52f, 1000.0)), 0.0, 0.01);

    highpass1 h{};
    highpass1_design(h, 48000.0f, 7.09f);
    float y = 1.0f;
    for (int i = 0; i < 48000 * 5; ++i)
        y = highpass1_step(h, 1.0f);
    // A constant decays to a small rounding floor rather than to exactly 0.
    EXPECT_LT(std::fabs(y), 1e-4f);
}

}  // namespace
