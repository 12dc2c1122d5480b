// The six parameters, in the one order by which every part of the system
// names them, and the conversions between normalized and plain values.
#pragma once

#include <cstdint>

enum {
    param_drive = 0,
    param_tone = 1,
    param_heat = 2,
    param_mix = 3,
    param_volume = 4,
    param_bypass = 5,
    param_count = 6
};

struct param_desc {
    const char* string_id;      // key in the saved state
    uint32_t vst3_id;           // fixed for ever: hosts store automation under it
    const char16_t* title;
    const char16_t* short_title;
    const char16_t* units;
    double minimum;
    double maximum;
    double default_value;
    double default_normalized;
    int32_t step_count;         // 0 continuous, 1 two-state
    bool toggled;               // plain value always exactly 0 or 1
    int32_t vst3_flags;
    int32_t vst3_unit_id;
    uint32_t lv2_port;
};

extern const param_desc param_table[param_count];

// plain = minimum + (maximum - minimum) * normalized, in 64-bit.
double param_plain_from_normalized(int index, double normalized);
double param_normalized_from_plain(int index, double plain);

// What every plain value entering the system from a host or the page goes
// through: toggled parameters snap at 0.5, then the range clamps.
double param_snap_and_clamp(int index, double plain);

// The index of a VST3 parameter id, or -1 when the id names no parameter.
int param_index_of_vst3_id(uint32_t vst3_id);
