// A map as a POSIX ustar archive image: per entry a 512-byte header named by
// the key, then the value padded with zeros to whole blocks; two zero blocks
// close the archive.  The reader looks only at the name and size fields.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kv_map.h"

static const size_t block_size = 512;
static const size_t end_blocks = 2 * block_size;

// Header fields: offset and width.
static const size_t name_at = 0, name_width = 100;
static const size_t mode_at = 100;
static const size_t uid_at = 108;
static const size_t gid_at = 116;
static const size_t size_at = 124, size_digits = 11;
static const size_t mtime_at = 136;
static const size_t checksum_at = 148, checksum_width = 8;
static const size_t typeflag_at = 156;
static const size_t magic_at = 257;
static const size_t version_at = 263;

// Sizes of 2^31 and more are refused, so readers need no 64-bit sizes.
static const uint64_t read_size_limit = (uint64_t)1 << 31;
// Eleven octal digits hold at most 2^33 - 1.
static const uint64_t written_size_limit = (uint64_t)1 << 33;
static const uint32_t checksum_mask = 0x3FFFF;

static uint64_t padded_to_blocks(uint64_t size)
{
    return (size + block_size - 1) / block_size * block_size;
}

// The size field: eleven octal digits and a NUL, nothing else.
static bool read_size(const unsigned char* header, uint64_t* size)
{
    if (header[size_at + size_digits] != 0)
        return false;
    uint64_t value = 0;
    for (size_t i = 0; i < size_digits; ++i) {
        unsigned char digit = header[size_at + i];
        if (digit < '0' || digit > '7')
            return false;
        value = value * 8 + (uint64_t)(digit - '0');
    }
    if (value >= read_size_limit)
        return false;
    *size = value;
    return true;
}

kv_map* kv_map_from_tar(const void* bytes, size_t length)
{
    kv_map* map = kv_map_new();
    if (!map)
        return nullptr;
    const unsigned char* base = (const unsigned char*)bytes;
    size_t offset = 0;
    int error = 0;
    while (offset < length) {
        const unsigned char* header = base + offset;
        // An empty name is the first end block; what follows is not read.
        if (header[name_at] == 0)
            break;
        size_t remaining = length - offset;
        uint64_t size;
        if (remaining < block_size || !read_size(header, &size) || size > remaining - block_size) {
            error = EINVAL;
            break;
        }
        const void* name_end = memchr(header + name_at, 0, name_width);
        size_t name_len = name_end ? (size_t)((const unsigned char*)name_end - header) : name_width;
        if (kv_map_insert(map, header + name_at, name_len, header + block_size, (size_t)size) != 0) {
            error = ENOMEM;
            break;
        }
        // Padding cut short by the end of the buffer is never read, so it
        // is not an error; the next header would start beyond the end.
        uint64_t advance = block_size + padded_to_blocks(size);
        if (advance >= remaining)
            break;
        offset += (size_t)advance;
    }
    if (error) {
        kv_map_free(map);
        errno = error;
        return nullptr;
    }
    return map;
}

// digits octal digits of value with leading zeros, as printf's "%0*llo"
// writes them when value fits.
static void write_octal(unsigned char* field, size_t digits, uint64_t value)
{
    for (size_t i = digits; i-- > 0;) {
        field[i] = (unsigned char)('0' + (value & 7));
        value >>= 3;
    }
}

static size_t octal_digits(uint64_t value)
{
    size_t digits = 1;
    while (value >>= 3)
        ++digits;
    return digits;
}

// Sum of the header bytes taken as signed 8-bit values, with the checksum
// field counted as spaces, kept modulo 2^18.  Written as "%05llo" writes it:
// at least five digits and a NUL; byte 154 is then NUL and byte 155 keeps
// its space, so ordinary names give five digits, NUL, NUL, space.
static void write_checksum(unsigned char* header)
{
    memset(header + checksum_at, ' ', checksum_width);
    int64_t sum = 0;
    for (size_t i = 0; i < block_size; ++i)
        sum += (signed char)header[i];
    uint64_t checksum = (uint64_t)sum & checksum_mask;
    size_t digits = octal_digits(checksum);
    if (digits < 5)
        digits = 5;
    write_octal(header + checksum_at, digits, checksum);
    header[checksum_at + digits] = 0;
    header[checksum_at + 6] = 0;
}

// header arrives zeroed; every byte not set here stays 0.
static void fill_header(unsigned char* header, const void* key, size_t key_len, uint64_t size)
{
    if (key_len)
        memcpy(header + name_at, key, key_len);
    memcpy(header + mode_at, "0000644", 8);
    memcpy(header + uid_at, "0000000", 8);
    memcpy(header + gid_at, "0000000", 8);
    write_octal(header + size_at, size_digits, size);
    memcpy(header + mtime_at, "00000000000", 12);
    header[typeflag_at] = '0';
    memcpy(header + magic_at, "ustar", 6);
    memcpy(header + version_at, "00", 2);
    write_checksum(header);
}

struct tar_writer {
    unsigned char* buffer;
    size_t length;
};

static int append_entry(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    tar_writer* w = (tar_writer*)user;
    // The name needs its NUL inside the field; a size beyond eleven digits
    // would spill into the next field.
    if (key_len >= name_width || value_len >= written_size_limit) {
        free(w->buffer);
        w->buffer = nullptr;
        return EINVAL;
    }
    uint64_t grown = block_size + padded_to_blocks(value_len);
    unsigned char* buffer = grown <= SIZE_MAX - w->length
        ? (unsigned char*)realloc(w->buffer, w->length + (size_t)grown)
        : nullptr;
    if (!buffer) {
        free(w->buffer);
        w->buffer = nullptr;
        return ENOMEM;
    }
    unsigned char* header = buffer + w->length;
    memset(header, 0, (size_t)grown);
    fill_header(header, key, key_len, value_len);
    if (value_len)
        memcpy(header + block_size, value, value_len);
    w->buffer = buffer;
    w->length += (size_t)grown;
    return 0;
}

void* kv_map_to_tar(const kv_map* map, size_t* out_length)
{
    tar_writer w = {nullptr, 0};
    // The writers' callers need only success or failure: errno is left alone.
    if (kv_map_foreach(map, append_entry, &w) != 0)
        return nullptr;
    unsigned char* buffer = w.length <= SIZE_MAX - end_blocks
        ? (unsigned char*)realloc(w.buffer, w.length + end_blocks)
        : nullptr;
    if (!buffer) {
        free(w.buffer);
        return nullptr;
    }
    memset(buffer + w.length, 0, end_blocks);
    *out_length = w.length + end_blocks;
    return buffer;
}
