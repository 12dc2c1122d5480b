// An ordered map of byte-string keys to byte-string values that only points
// at bytes owned by someone else, with its two serialisations: flat
// length-prefixed records, and ustar archives.
#pragma once

#include <cstddef>
#include <cstdint>

struct kv_entry {
    uint64_t key_len;
    uint64_t value_len;
    const void* key;
    const void* value;
};

struct kv_node;

struct kv_map {
    kv_node* root;
    int (*compare)(const kv_entry* a, const kv_entry* b);
};

typedef int (*kv_map_visit)(const void* key, size_t key_len, const void* value, size_t value_len, void* user);

// Bytes compared as unsigned up to the shorter length (a NUL shared by both
// ends the comparison, as in strncmp), then the shorter key first.
int kv_map_compare(const kv_entry* a, const kv_entry* b);

kv_map* kv_map_new();
// Frees the map's own blocks, never the bytes it points at; null is ignored.
void kv_map_free(kv_map* map);
// 0, or -1 when memory runs out (the map is unchanged).  Equal keys are kept side by side.
int kv_map_insert(kv_map* map, const void* key, size_t key_len, const void* value, size_t value_len);
// The value and its length, or null leaving *value_len untouched.
const void* kv_map_lookup(const kv_map* map, const void* key, size_t key_len, size_t* value_len);
// Visits the entries in ascending key order; a nonzero result stops the walk and is returned.
int kv_map_foreach(const kv_map* map, kv_map_visit visit, void* user);

// Parsers: the map points into bytes, which must outlive it.  Nothing is
// read beyond length, whatever the bytes claim.  Null with errno EINVAL
// (malformed or truncated input) or ENOMEM on failure.
kv_map* kv_map_from_records(const void* bytes, size_t length);
kv_map* kv_map_from_tar(const void* bytes, size_t length);

// Writers: a malloc'd buffer and its length, or null (errno untouched).
// A map without entries has no records, so kv_map_to_records gives null.
void* kv_map_to_records(const kv_map* map, size_t* out_length);
void* kv_map_to_tar(const kv_map* map, size_t* out_length);
