#include "param_table.h"

enum : int32_t {
    vst3_can_automate = 0x1,
    vst3_is_bypass = 0x10000
};

const param_desc param_table[param_count] = {
    {"drive", 0x74888ACAu, u"Drive", u"Drive", u"%", 0.0, 100.0, 50.0, 0.5, 0, false, vst3_can_automate, 0, 2},
    {"tone", 0x4C2D6AF2u, u"Tone", u"Tone", u"%", 0.0, 100.0, 50.0, 0.5, 0, false, vst3_can_automate, 0, 3},
    {"heat", 0x18E203D0u, u"Heat", u"Heat", u"%", 0.0, 100.0, 50.0, 0.5, 0, false, vst3_can_automate, 0, 4},
    {"mix", 0x3615B43Cu, u"Mix", u"Mix", u"%", 0.0, 100.0, 100.0, 1.0, 0, false, vst3_can_automate, 0, 5},
    {"volume", 0x06DC463Au, u"Volume", u"Volume", u"%", 0.0, 200.0, 100.0, 0.5, 0, false, vst3_can_automate, 0, 6},
    {"bypass", 0x08FC0058u, u"Bypass", u"Bypass", u"", 0.0, 1.0, 0.0, 0.0, 1, true,
     vst3_can_automate | vst3_is_bypass, 0, 7},
};

double param_plain_from_normalized(int index, double normalized)
{
    const param_desc& p = param_table[index];
    return p.minimum + (p.maximum - p.minimum) * normalized;
}

double param_normalized_from_plain(int index, double plain)
{
    const param_desc& p = param_table[index];
    return (plain - p.minimum) / (p.maximum - p.minimum);
}

double param_snap_and_clamp(int index, double plain)
{
    const param_desc& p = param_table[index];
    if (p.toggled)
        plain = plain >= 0.5 ? 1.0 : 0.0;
    if (plain < p.minimum)
        return p.minimum;
    if (plain > p.maximum)
        return p.maximum;
    return plain;
}

int param_index_of_vst3_id(uint32_t vst3_id)
{
    for (int i = 0; i < param_count; ++i) {
        if (param_table[i].vst3_id == vst3_id)
            return i;
    }
    return -1;
}
