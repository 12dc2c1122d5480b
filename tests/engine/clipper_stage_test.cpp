#include <cmath>

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

// The engine sets the clipper's targets and rate; these tests then run the
// stage on its own, the way the engine steps it per oversampled sample.
static float clipper_step(clipper_stage& c, float v)
{
    clipper_update_controls(c, false);
    clipper_update_coeffs(c);
    return clipper_process(c, v);
}

TEST(clipper_stage, zero_in_gives_exactly_zero_out)
{
    engine e;
    engine_start(e, 48000.0f);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(bits_of(clipper_step(e.clipper, 0.0f)), bits_of(0.0f));
    EXPECT_EQ(e.clipper.S0, 0.0f);
    EXPECT_EQ(e.clipper.S1, 0.0f);
}

TEST(clipper_stage, output_never_passes_the_rails)
{
    const float drives[] = {0.0f, 50.0f, 100.0f};
    for (float drive : drives) {
        float values[param_count] = {drive, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};
        engine e;
        engine_start(e, 48000.0f, values);
        float high = 0.0f, low = 0.0f;
        for (int i = 0; i < 192000; ++i) {
            // A slow sine whose amplitude grows from nothing to 1000.
            float v = (float)(std::sin(i * 0.003) * i * (1000.0 / 192000.0));
            float y = clipper_step(e.clipper, v);
            ASSERT_LE(y, 3.92f);
            ASSERT_GE(y, -3.12f);
            high = std::fmax(high, y);
            low = std::fmin(low, y);
        }
        // Large inputs sit exactly on the rails.
        EXPECT_EQ(high, 3.92f) << "drive " << drive;
        EXPECT_EQ(low, -3.12f) << "drive " << drive;
    }
}

TEST(clipper_stage, nan_passes_unlimited)
{
    engine e;
    engine_start(e, 48000.0f);
    EXPECT_TRUE(std::isnan(clipper_step(e.clipper, NAN)));
}

TEST(clipper_stage, drive_sets_the_feedback_resistance)
{
    engine e;
    float at_zero[param_count] = {0.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};
    engine_start(e, 48000.0f, at_zero);
    EXPECT_NEAR(e.clipper.drive, 0.0792, 5e-5);
    EXPECT_NEAR(e.clipper.R, 90620.0, 30.0);

    float at_full[param_count] = {100.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};
    engine_start(e, 48000.0f, at_full);
    EXPECT_EQ(e.clipper.drive, 1.0f);
    EXPECT_EQ(e.clipper.R, 551000.0f);
}

TEST(clipper_stage, capacitances_glide_while_heat_moves)
{
    engine e;
    engine_start(e, 48000.0f);
    engine_set_parameter(e, param_heat, 0.0f);
    clipper_stage& c = e.clipper;

    int moving = 0, changing = 0;
    while (c.corner_a != c.corner_a_target || c.corner_b != c.corner_b_target) {
        clipper_update_controls(c, false);
        // The capacitance-change terms (c - c_prev) * fs are non-zero.
        if (c.c1 != c.c1_prev && c.c2 != c.c2_prev)
            ++changing;
        clipper_update_coeffs(c);
        clipper_process(c, 0.1f);
        ASSERT_LT(++moving, 192000);
    }
    // A 5 ms glide at 192 kHz, with the sticky snap ending it early; both
    // capacitances change on (nearly) every step of it.
    EXPECT_GT(moving, 500);
    EXPECT_LT(moving, 8000);
    EXPECT_GT(changing, moving * 9 / 10);

    // Once Heat is still, the terms are exactly zero and stay so.
    for (int i = 0; i < 10; ++i) {
        clipper_update_controls(c, false);
        EXPECT_EQ(c.c1, c.c1_prev);
        EXPECT_EQ(c.c2, c.c2_prev);
        clipper_update_coeffs(c);
        clipper_process(c, 0.1f);
    }
    EXPECT_TRUE(c.coeffs_settled);
}

}  // namespace
