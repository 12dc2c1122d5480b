#include <cmath>

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

// A tone stage at 192 kHz with its position on the given target.
static tone_stage tone_at(float position)
{
    tone_stage t{};
    tone_init(t);
    tone_set_sample_rate(t, 192000.0f);
    t.tone_target = position;
    tone_reset(t);
    return t;
}

static float tone_step(tone_stage& t, float v)
{
    tone_update_controls(t, false);
    return tone_process(t, v);
}

// The steady-state gain at hz, measured with a sine.
static double tone_gain_db(float position, double hz)
{
    tone_stage t = tone_at(position);
    double peak_in = 0.0, peak_out = 0.0;
    const int n = 192000 / 2;
    for (int i = 0; i < n; ++i) {
        double x = std::sin(two_pi * hz * i / 192000.0);
        float y = tone_step(t, (float)x);
        if (i > n / 2) {
            peak_in = std::fmax(peak_in, std::fabs(x));
            peak_out = std::fmax(peak_out, std::fabs(y));
        }
    }
    return db_of(peak_out / peak_in);
}

TEST(tone_stage, zero_in_gives_exactly_zero_out)
{
    tone_stage t = tone_at(0.5f);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(bits_of(tone_step(t, 0.0f)), bits_of(0.0f));
    EXPECT_EQ(t.s0, 0.0f);
    EXPECT_EQ(t.s1, 0.0f);
    EXPECT_EQ(t.s2, 0.0f);
    EXPECT_EQ(t.s3, 0.0f);
}

TEST(tone_stage, pot_ends_keep_a_resistance)
{
    // At both ends the smaller side of the pot is 20 ohms, never 0.
    tone_stage low = tone_at(0.001f);
    EXPECT_EQ(bits_of(low.ga), bits_of(approx_rcp(20.0f)));
    tone_stage high = tone_at(0.999f);
    EXPECT_EQ(bits_of(high.gout_a), bits_of(approx_rcp(20.0f) * -1000.0f));
    EXPECT_TRUE(std::isfinite(tone_step(low, 1.0f)));
    EXPECT_TRUE(std::isfinite(tone_step(high, 1.0f)));
}

struct response_case {
    float position;
    double hz;
    double db_min, db_max;
};

TEST(tone_stage, frequency_response)
{
    const response_case cases[] = {
        {0.999f, 8000.0, -8.0, -6.0},
        {0.001f, 8000.0, -24.0, -22.0},
        {0.999f, 50.0, -2.0, 2.0},
        {0.999f, 200.0, -2.0, 2.0},
        {0.001f, 50.0, -2.0, 2.0},
        {0.001f, 200.0, -2.0, 2.0},
    };
    for (const response_case& c : cases) {
        double db = tone_gain_db(c.position, c.hz);
        EXPECT_GE(db, c.db_min) << "position " << c.position << " at " << c.hz << " Hz";
        EXPECT_LE(db, c.db_max) << "position " << c.position << " at " << c.hz << " Hz";
    }
}

TEST(tone_stage, position_snaps_or_glides_onto_its_target)
{
    tone_stage t = tone_at(0.5f);
    // Within the sticky threshold: one step lands on the target.
    t.tone_target = 0.5009f;
    tone_step(t, 0.0f);
    EXPECT_EQ(t.tone_position, 0.5009f);

    // Further away: a glide, ending exactly on the target.
    t.tone_target = 0.9f;
    int steps = 0;
    while (t.tone_position != t.tone_target) {
        float before = t.tone_position;
        tone_step(t, 0.0f);
        ASSERT_GT(t.tone_position, before);
        ASSERT_LT(++steps, 192000);
    }
    EXPECT_GT(steps, 1000);
    EXPECT_EQ(t.tone_position, 0.9f);
}

}  // namespace
