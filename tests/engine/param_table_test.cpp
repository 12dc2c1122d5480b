#include <gtest/gtest.h>

#include "param_table.h"

namespace {

TEST(param_table, defaults_round_trip_through_normalized)
{
    const double plain_defaults[param_count] = {50, 50, 50, 100, 100, 0};
    for (int i = 0; i < param_count; ++i) {
        const param_desc& p = param_table[i];
        EXPECT_EQ(p.default_value, plain_defaults[i]) << p.string_id;
        EXPECT_EQ(param_plain_from_normalized(i, p.default_normalized), p.default_value) << p.string_id;
        EXPECT_EQ(param_normalized_from_plain(i, p.default_value), p.default_normalized) << p.string_id;
        EXPECT_EQ(param_index_of_vst3_id(p.vst3_id), i) << p.string_id;
        EXPECT_EQ(p.lv2_port, (uint32_t)(i + 2)) << p.string_id;
    }
}

struct conversion_case {
    const char* what;
    int index;
    double normalized;
    double plain;
};

// The host-to-engine path: plain from normalized, snapped, clamped.
TEST(param_table, host_values_become_plain_values)
{
    const conversion_case cases[] = {
        {"bypass at exactly 0.5 is on", param_bypass, 0.5, 1.0},
        {"bypass just below 0.5 is off", param_bypass, 0.4999999, 0.0},
        {"volume at 0.5 is unity", param_volume, 0.5, 100.0},
        {"volume at 1 is its maximum", param_volume, 1.0, 200.0},
        {"drive above 1 clamps", param_drive, 1.5, 100.0},
        {"drive below 0 clamps", param_drive, -0.2, 0.0},
        {"mix in range", param_mix, 0.25, 25.0},
    };
    for (const conversion_case& c : cases)
        EXPECT_EQ(param_snap_and_clamp(c.index, param_plain_from_normalized(c.index, c.normalized)), c.plain)
            << c.what;
}

TEST(param_table, page_values_are_snapped_and_clamped)
{
    EXPECT_EQ(param_snap_and_clamp(param_volume, 250.0), 200.0);
    EXPECT_EQ(param_snap_and_clamp(param_drive, -3.0), 0.0);
    EXPECT_EQ(param_snap_and_clamp(param_bypass, 0.7), 1.0);
    EXPECT_EQ(param_snap_and_clamp(param_tone, 12.5), 12.5);
}

TEST(param_table, unknown_ids_name_no_parameter)
{
    EXPECT_EQ(param_index_of_vst3_id(0), -1);
    EXPECT_EQ(param_index_of_vst3_id(0x74888ACBu), -1);
}

TEST(param_table, identities_and_flags)
{
    const char* ids[param_count] = {"drive", "tone", "heat", "mix", "volume", "bypass"};
    const uint32_t vst3_ids[param_count] = {1955105482u, 1278044914u, 417465296u, 907392060u, 115099194u, 150732888u};
    for (int i = 0; i < param_count; ++i) {
        EXPECT_STREQ(param_table[i].string_id, ids[i]);
        EXPECT_EQ(param_table[i].vst3_id, vst3_ids[i]);
        EXPECT_EQ(param_table[i].vst3_flags, i == param_bypass ? 0x10001 : 0x1);
        EXPECT_EQ(param_table[i].toggled, i == param_bypass);
        EXPECT_EQ(param_table[i].step_count, i == param_bypass ? 1 : 0);
    }
    EXPECT_EQ(param_table[param_volume].maximum, 200.0);
}

}  // namespace
