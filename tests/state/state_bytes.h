// State bytes made by hand for the tests: records, ustar images and whole
// blobs, built here independently of the codecs under test, so that a fault
// shared by a writer and its reader cannot hide.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

typedef std::vector<std::pair<std::string, std::string>> entry_list;

// A heap copy of exactly the given bytes: the sanitizers and valgrind then
// see a read one byte past the end.
static inline std::vector<unsigned char> exact(const std::string& bytes)
{
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

static inline std::string u32_le(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = (char)(v >> (8 * i));
    return s;
}

static inline std::string f32_le(float v)
{
    uint32_t bits;
    memcpy(&bits, &v, 4);
    return u32_le(bits);
}

static inline std::string zeros(size_t n)
{
    return std::string(n, '\0');
}

static inline std::string record(const std::string& key, const std::string& value)
{
    return u32_le((uint32_t)key.size()) + u32_le((uint32_t)value.size()) + key + value;
}

static inline std::string records(const entry_list& entries)
{
    std::string s;
    for (const auto& e : entries)
        s += record(e.first, e.second);
    return s;
}

// Eleven octal digits and a NUL: a size field as a writer fills it.
static inline std::string size_field(uint64_t size)
{
    std::string s(12, '\0');
    for (int i = 10; i >= 0; --i, size >>= 3)
        s[i] = (char)('0' + (size & 7));
    return s;
}

static inline unsigned ustar_unsigned_sum(const std::string& header)
{
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += (i >= 148 && i < 156) ? ' ' : (unsigned char)header[i];
    return sum;
}

// A ustar header with the given name bytes (at most 100) and raw size field
// (12 bytes).  The checksum is the POSIX unsigned sum, which for ASCII names
// is also the signed one, in at least five digits, NUL, then NUL and space.
static inline std::string ustar_header(const std::string& name, const std::string& size)
{
    std::string h = zeros(512);
    h.replace(0, name.size(), name);
    h.replace(100, 8, std::string("0000644", 8));
    h.replace(108, 8, std::string("0000000", 8));
    h.replace(116, 8, std::string("0000000", 8));
    h.replace(124, 12, size);
    h.replace(136, 12, std::string("00000000000", 12));
    h[156] = '0';
    h.replace(257, 6, std::string("ustar", 6));
    h.replace(263, 2, "00");
    char digits[8];
    int count = snprintf(digits, sizeof digits, "%05o", ustar_unsigned_sum(h));
    h.replace(148, 8, std::string(digits, count) + zeros(7 - count) + " ");
    return h;
}

static inline std::string padded(const std::string& data)
{
    return data + zeros((512 - data.size() % 512) % 512);
}

static inline std::string tar_entry(const std::string& name, const std::string& data)
{
    return ustar_header(name, size_field(data.size())) + padded(data);
}

// A whole archive: the entries in the given order, then the two end blocks.
static inline std::string tar(const entry_list& entries)
{
    std::string s;
    for (const auto& e : entries)
        s += tar_entry(e.first, e.second);
    return s + zeros(1024);
}

// The pieces of a state blob as our save writes them, and blobs made from
// them with one piece changed.
static const char state_id[] = "morvo-vellomarquin-overdrive";
static const float state_defaults[6] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};

static inline entry_list default_info(const char* format = "vst3")
{
#ifdef _WIN32
    const char* platform = "windows";
#else
    const char* platform = "linux";
#endif
    return {{"format", format}, {"id", state_id}, {"platform", platform}, {"sample_rate", f32_le(48000.0f)},
            {"version_build", u32_le(1)}, {"version_major", u32_le(1)}, {"version_minor", u32_le(1)},
            {"version_revision", u32_le(3)}};
}

static inline entry_list default_parameters()
{
    return {{"bypass", f32_le(0.0f)}, {"drive", f32_le(50.0f)}, {"heat", f32_le(50.0f)},
            {"mix", f32_le(100.0f)}, {"tone", f32_le(50.0f)}, {"volume", f32_le(100.0f)}};
}

static inline entry_list default_inner(const entry_list& info = default_info(),
                                       const entry_list& parameters = default_parameters())
{
    return {{"info.map", records(info)}, {"parameters.map", records(parameters)}, {"version", "1.0"}};
}

static inline entry_list replaced(entry_list list, const std::string& key, const std::string& value)
{
    for (auto& e : list) {
        if (e.first == key) {
            e.second = value;
            return list;
        }
    }
    list.push_back({key, value});
    return list;
}

static inline entry_list removed(entry_list list, const std::string& key)
{
    for (size_t i = 0; i < list.size();) {
        if (list[i].first == key)
            list.erase(list.begin() + (long)i);
        else
            ++i;
    }
    return list;
}

static inline std::string blob_with_inner(const entry_list& inner)
{
    return tar({{"dsp.tar", tar(inner)}});
}

static inline std::string blob_with_info(const entry_list& info)
{
    return blob_with_inner(default_inner(info));
}

static inline std::string blob_with_parameters(const entry_list& parameters)
{
    return blob_with_inner(default_inner(default_info(), parameters));
}

static inline std::string blob_with_parameter(const std::string& key, const std::string& value)
{
    return blob_with_parameters(replaced(default_parameters(), key, value));
}

static inline std::string blob_with_version(const std::string& version)
{
    return blob_with_inner(replaced(default_inner(), "version", version));
}
