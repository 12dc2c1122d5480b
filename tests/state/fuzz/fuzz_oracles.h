// Checks the fuzz targets share: every entry a parser returns lies inside
// the input, and what is written back reads back the same.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kv_map.h"

struct input_bounds {
    const uint8_t* begin;
    const uint8_t* end;
};

static inline bool inside(const input_bounds& in, const void* p, size_t length)
{
    const uint8_t* b = (const uint8_t*)p;
    return b >= in.begin && b <= in.end && length <= (size_t)(in.end - b);
}

// Aborts, so libFuzzer records the input, when an entry points outside it.
static inline int check_entry_inside(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    const input_bounds& in = *(const input_bounds*)user;
    if (!inside(in, key, key_len) || !inside(in, value, value_len))
        abort();
    return 0;
}

static inline void check_map_inside(const kv_map* map, const uint8_t* data, size_t size)
{
    input_bounds in = {data, data + size};
    kv_map_foreach(map, check_entry_inside, &in);
}

struct entry_counter {
    size_t entries;
    uint64_t bytes;
};

static inline int count_entry(const void*, size_t key_len, const void*, size_t value_len, void* user)
{
    entry_counter* c = (entry_counter*)user;
    ++c->entries;
    c->bytes += key_len + value_len;
    return 0;
}

static inline entry_counter count_entries(const kv_map* map)
{
    entry_counter c = {0, 0};
    kv_map_foreach(map, count_entry, &c);
    return c;
}

// A map written and read back holds as many entries and bytes as before.
static inline void check_round_trip(const kv_map* map, void* (*write)(const kv_map*, size_t*),
                                    kv_map* (*read)(const void*, size_t))
{
    size_t length = 0;
    void* written = write(map, &length);
    if (!written)
        return;
    kv_map* back = read(written, length);
    if (!back)
        abort();
    entry_counter before = count_entries(map), after = count_entries(back);
    if (before.entries != after.entries || before.bytes != after.bytes)
        abort();
    kv_map_free(back);
    free(written);
}
