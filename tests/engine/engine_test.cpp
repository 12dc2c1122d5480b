#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "denormals.h"
#include "engine_fixture.h"

namespace {

struct target_case {
    const char* what;
    int index;
    float value;
    double (*read)(const engine&);
    double expected;
    double tolerance;
};

static double drive_target(const engine& e) { return e.clipper.drive_target; }
static double tone_target(const engine& e) { return e.tone.tone_target; }
static double corner_a_target(const engine& e) { return e.clipper.corner_a_target; }
static double corner_b_target(const engine& e) { return e.clipper.corner_b_target; }
static double heat_gain_target(const engine& e) { return e.heat_gain.target; }
static double mix_target(const engine& e) { return e.mix.target; }
static double bypass_target(const engine& e) { return e.bypass.target; }
// The output level for Volume, in dB: the input gain 4 times the target.
static double volume_db(const engine& e) { return e.volume.target > 0.0f ? db_of(4.0 * e.volume.target) : -999.0; }

TEST(engine, parameter_targets)
{
    const target_case cases[] = {
        {"drive 0", param_drive, 0.0f, drive_target, 0.0792, 5e-5},
        {"drive 50", param_drive, 50.0f, drive_target, 0.3195, 5e-5},
        {"drive 75", param_drive, 75.0f, drive_target, 0.5929, 5e-5},
        {"drive 96.5", param_drive, 96.5f, drive_target, 0.995, 0.005},
        {"drive 97", param_drive, 97.0f, drive_target, 1.0, 0.0},
        {"drive 100", param_drive, 100.0f, drive_target, 1.0, 0.0},
        {"tone 0", param_tone, 0.0f, tone_target, 0.001f, 0.0},
        {"tone 50", param_tone, 50.0f, tone_target, 0.8932139f, 0.0},
        {"tone 100", param_tone, 100.0f, tone_target, 0.999f, 0.0},
        // At Heat 50 p is 1 + 2^-23, one float step above 1.
        {"heat 50 corner a", param_heat, 50.0f, corner_a_target, 720.48413 * (1.0 + 0x1p-23), 1e-4},
        {"heat 50 corner b", param_heat, 50.0f, corner_b_target, 5663.6753 * (1.0 + 0x1p-23), 1e-3},
        {"heat 50 gain", param_heat, 50.0f, heat_gain_target, 1.0, 1e-6},
        {"heat 0 corner a", param_heat, 0.0f, corner_a_target, 720.48413 * 3.98, 720.48413 * 0.005},
        {"heat 0 gain", param_heat, 0.0f, heat_gain_target, 1.3938, 5e-5},
        {"heat 100 corner b", param_heat, 100.0f, corner_b_target, 5663.6753 * 0.2512, 5663.6753 * 0.0002},
        {"heat 100 gain", param_heat, 100.0f, heat_gain_target, 0.8448, 5e-5},
        {"mix 0", param_mix, 0.0f, mix_target, 0.0, 1e-3},
        {"mix 50", param_mix, 50.0f, mix_target, 0.1250, 5e-5},
        {"mix 100", param_mix, 100.0f, mix_target, 1.0, 1e-4},
        {"volume 100", param_volume, 100.0f, volume_db, 0.0, 0.01},
        {"volume 200", param_volume, 200.0f, volume_db, 24.0, 0.01},
        {"volume 50", param_volume, 50.0f, volume_db, -12.0, 0.01},
        {"volume 10", param_volume, 10.0f, volume_db, -21.6, 0.01},
        {"volume 1", param_volume, 1.0f, volume_db, -43.2, 0.05},
        {"volume 0.05", param_volume, 0.05f, volume_db, -999.0, 0.0},
        {"bypass 0", param_bypass, 0.0f, bypass_target, 1.0, 0.0},
        {"bypass 0.5", param_bypass, 0.5f, bypass_target, 0.0, 0.0},
        {"bypass 1", param_bypass, 1.0f, bypass_target, 0.0, 0.0},
    };
    for (const target_case& c : cases) {
        engine e;
        engine_init(e);
        engine_set_parameter(e, c.index, c.value);
        EXPECT_NEAR(c.read(e), c.expected, c.tolerance) << c.what;
        EXPECT_EQ(e.values[c.index], c.value) << c.what;
    }
}

TEST(engine, out_of_range_values_are_clamped_and_nan_ignored)
{
    engine e, reference;
    engine_init(e);
    engine_init(reference);

    // Beyond the table's ends the tone target is that of the ends.
    engine_set_parameter(e, param_tone, 150.0f);
    engine_set_parameter(reference, param_tone, 100.0f);
    EXPECT_EQ(e.tone.tone_target, reference.tone.tone_target);
    EXPECT_EQ(e.values[param_tone], 100.0f);
    engine_set_parameter(e, param_tone, -3.0f);
    engine_set_parameter(reference, param_tone, 0.0f);
    EXPECT_EQ(e.tone.tone_target, reference.tone.tone_target);
    engine_set_parameter(e, param_volume, 250.0f);
    EXPECT_EQ(e.values[param_volume], 200.0f);

    // A NaN leaves value and targets as they were, for every parameter.
    engine_start(e, 48000.0f);
    engine before = e;
    for (int i = 0; i < param_count; ++i)
        engine_set_parameter(e, i, NAN);
    engine_set_parameter(e, -1, 10.0f);
    engine_set_parameter(e, param_count, 10.0f);
    EXPECT_EQ(std::memcmp(&before, &e, sizeof e), 0);
}

struct rate_case {
    float fs;
    int factor;
};

TEST(engine, oversampling_factor_per_rate)
{
    const rate_case cases[] = {
        {8000.0f, 16}, {11025.0f, 16}, {22050.0f, 8}, {44100.0f, 4}, {48000.0f, 4},
        {58800.0f, 3}, {88200.0f, 2}, {96000.0f, 2}, {176400.0f, 1}, {192000.0f, 1},
        {384000.0f, 1},
    };
    for (const rate_case& c : cases) {
        engine e;
        engine_start(e, c.fs);
        EXPECT_EQ(e.os_factor, c.factor) << c.fs << " Hz";
    }
}

// A caller's mistake must not hang or crash the host: rates that are no
// rates still give a factor in range and a block that ends.
TEST(engine, rates_that_are_no_rates_still_process)
{
    for (float fs : {0.0f, -0.0f, -48000.0f, NAN, INFINITY}) {
        engine e;
        engine_start(e, fs);
        EXPECT_GE(e.os_factor, 1) << fs;
        EXPECT_LE(e.os_factor, 16) << fs;
        std::vector<float> in(300, 0.1f), out(300);
        engine_process(e, in.data(), out.data(), 300);
    }
}

TEST(engine, zero_in_gives_exactly_zero_out)
{
    for (float fs : {22050.0f, 48000.0f, 96000.0f, 192000.0f}) {
        float loud[param_count] = {100.0f, 0.0f, 0.0f, 50.0f, 200.0f, 0.0f};
        engine e;
        engine_start(e, fs, loud);
        std::vector<float> in(4096, 0.0f), out(4096, 1.0f);
        engine_process(e, in.data(), out.data(), 4096);
        for (float v : out)
            ASSERT_EQ(bits_of(v), bits_of(0.0f)) << fs << " Hz";
    }
}

TEST(engine, mix_zero_gain_once_settled)
{
    unsigned saved = flush_denormals_begin();
    float dry_only[param_count] = {50.0f, 50.0f, 50.0f, 0.0f, 100.0f, 0.0f};
    engine e;
    engine_start(e, 48000.0f, dry_only);
    const int n = 48000;
    std::vector<float> in((size_t)n), out((size_t)n);
    for (int i = 0; i < n; ++i)
        in[(size_t)i] = (float)(0.1 * std::sin(two_pi * 1000.0 * i / 48000.0));
    engine_process(e, in.data(), out.data(), n);
    // 4 x 4.3128 x 0.25; the blend still holds a trace of the processed signal.
    for (int i = n / 2; i < n; ++i)
        ASSERT_NEAR(out[(size_t)i], in[(size_t)i] * 4.3128f, 0.002) << i;
    flush_denormals_end(saved);
}

// The weight of the processed signal after a bypass switch, per sample.
TEST(engine, bypass_fades_out_and_back_in)
{
    unsigned saved = flush_denormals_begin();
    engine e;
    engine_start(e, 48000.0f);
    std::vector<float> in = plucked_signal(48000 * 6, 48000.0f), out(in.size());

    engine_set_parameter(e, param_bypass, 1.0f);
    float previous = e.bypass.state;
    int to_one_over_e = -1, to_zero = -1;
    for (int i = 0; i < (int)in.size(); ++i) {
        engine_process(e, &in[(size_t)i], &out[(size_t)i], 1);
        ASSERT_LE(previous - e.bypass.state, 0.001f) << "a hard switch at " << i;
        previous = e.bypass.state;
        if (to_one_over_e < 0 && e.bypass.state <= 0.36787944f)
            to_one_over_e = i + 1;
        if (to_zero < 0 && e.bypass.state == 0.0f)
            to_zero = i;
    }
    // 50 ms as the approximate pole gives it: about 49.2 ms at 48 kHz.
    EXPECT_NEAR(to_one_over_e / 48000.0, 0.0492, 0.0005);
    // With flush-to-zero the weight reaches exactly 0, and then out is in.
    ASSERT_GT(to_zero, 0);
    EXPECT_LT(to_zero, 48000 * 6);
    for (size_t i = (size_t)to_zero + 1; i < in.size(); ++i)
        ASSERT_EQ(bits_of(out[i]), bits_of(in[i])) << i;

    engine_set_parameter(e, param_bypass, 0.0f);
    engine_process(e, in.data(), out.data(), 1);
    EXPECT_GT(e.bypass.state, 0.0f);
    EXPECT_LT(e.bypass.state, 0.001f);
    engine_process(e, in.data() + 1, out.data() + 1, 2359);
    EXPECT_NEAR(e.bypass.state, 1.0 - 0.36787944, 0.01);
    flush_denormals_end(saved);
}

TEST(engine, volume_zero_decays_to_silence)
{
    unsigned saved = flush_denormals_begin();
    engine e;
    engine_start(e, 48000.0f);
    std::vector<float> in = plucked_signal(48000 * 4, 48000.0f), out(in.size());
    engine_set_parameter(e, param_volume, 0.0f);
    engine_process(e, in.data(), out.data(), (int32_t)in.size());
    double early = 0.0, late = 0.0;
    for (size_t i = 0; i < 480; ++i)
        early = std::fmax(early, std::fabs(out[i]));
    for (size_t i = in.size() - 48000; i < in.size(); ++i)
        late = std::fmax(late, std::fabs(out[i]));
    EXPECT_GT(early, 0.01);
    EXPECT_EQ(late, 0.0);
    flush_denormals_end(saved);
}

TEST(engine, in_place_equals_separate_buffers)
{
    engine a, b;
    engine_start(a, 44100.0f);
    engine_start(b, 44100.0f);
    std::vector<float> in = plucked_signal(20000, 44100.0f), out(in.size()), inplace = in;
    engine_process(a, in.data(), out.data(), (int32_t)in.size());
    engine_process(b, inplace.data(), inplace.data(), (int32_t)inplace.size());
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(bits_of(out[i]), bits_of(inplace[i])) << i;
}

TEST(engine, empty_block_changes_nothing)
{
    engine e;
    engine_start(e, 48000.0f);
    std::vector<float> in = plucked_signal(1000, 48000.0f), out(in.size());
    engine_process(e, in.data(), out.data(), 1000);
    engine before = e;
    engine_process(e, in.data(), out.data(), 0);
    EXPECT_EQ(std::memcmp(&before, &e, sizeof e), 0);
}

}  // namespace
