// Byte order of every number stored in the state blob: little-endian,
// whatever the machine that writes or reads it.
#pragma once

#include <cstdint>
#include <cstring>

static inline uint32_t load_u32_le(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static inline void store_u32_le(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

static inline float load_f32_le(const unsigned char* p)
{
    uint32_t bits = load_u32_le(p);
    float v;
    memcpy(&v, &bits, sizeof v);
    return v;
}

static inline void store_f32_le(unsigned char* p, float v)
{
    uint32_t bits;
    memcpy(&bits, &v, sizeof bits);
    store_u32_le(p, bits);
}
