// A 32-bit float crosses window messages and page messages as its bit pattern.
#pragma once

#include <stdint.h>
#include <string.h>

static inline uint32_t bits_from_float(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

static inline float float_from_bits(uint32_t bits)
{
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}
