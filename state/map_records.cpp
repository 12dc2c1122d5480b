// A map as a flat run of records: key length and value length (32-bit
// little-endian each), then the key bytes and the value bytes.  No header,
// count or terminator: the run ends where the buffer ends.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kv_map.h"
#include "little_endian.h"

static const size_t record_head = 8;

kv_map* kv_map_from_records(const void* bytes, size_t length)
{
    kv_map* map = kv_map_new();
    if (!map)
        return nullptr;
    const unsigned char* base = (const unsigned char*)bytes;
    size_t offset = 0;
    int error = 0;
    while (offset < length) {
        size_t remaining = length - offset;
        if (remaining < record_head) {
            error = EINVAL;
            break;
        }
        const unsigned char* record = base + offset;
        uint32_t key_len = load_u32_le(record);
        uint32_t value_len = load_u32_le(record + 4);
        if (key_len == 0) {
            error = EINVAL;
            break;
        }
        // In 64 bits the sum of two 32-bit lengths cannot wrap.
        uint64_t body = (uint64_t)key_len + value_len;
        if (body > remaining - record_head) {
            error = EINVAL;
            break;
        }
        const unsigned char* key = record + record_head;
        if (kv_map_insert(map, key, key_len, key + key_len, value_len) != 0) {
            error = ENOMEM;
            break;
        }
        offset += record_head + (size_t)body;
    }
    if (error) {
        kv_map_free(map);
        errno = error;
        return nullptr;
    }
    return map;
}

struct record_writer {
    unsigned char* buffer;
    size_t length;
};

static int append_record(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    record_writer* w = (record_writer*)user;
    // A length that does not fit its 32-bit field would be written wrapped.
    bool fits = key_len <= UINT32_MAX && value_len <= UINT32_MAX
        && record_head + (uint64_t)key_len + value_len <= SIZE_MAX - w->length;
    unsigned char* buffer = fits ? (unsigned char*)realloc(w->buffer, w->length + record_head + key_len + value_len)
                                 : nullptr;
    if (!buffer) {
        free(w->buffer);
        w->buffer = nullptr;
        return -1;
    }
    unsigned char* record = buffer + w->length;
    store_u32_le(record, (uint32_t)key_len);
    store_u32_le(record + 4, (uint32_t)value_len);
    if (key_len)
        memcpy(record + record_head, key, key_len);
    if (value_len)
        memcpy(record + record_head + key_len, value, value_len);
    w->buffer = buffer;
    w->length += record_head + key_len + value_len;
    return 0;
}

void* kv_map_to_records(const kv_map* map, size_t* out_length)
{
    record_writer w = {nullptr, 0};
    if (kv_map_foreach(map, append_record, &w) != 0)
        return nullptr;
    // An empty map leaves no buffer, which callers take as failure.
    if (w.buffer)
        *out_length = w.length;
    return w.buffer;
}
