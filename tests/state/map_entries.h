// A map's entries in iteration order, as strings, for comparing in tests.
#pragma once

#include <string>

#include "kv_map.h"
#include "state_bytes.h"

static inline int append_entry_to_list(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    ((entry_list*)user)->push_back({std::string((const char*)key, key_len), std::string((const char*)value, value_len)});
    return 0;
}

static inline entry_list entries_of(const kv_map* map)
{
    entry_list list;
    kv_map_foreach(map, append_entry_to_list, &list);
    return list;
}
