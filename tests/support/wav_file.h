// Mono 32-bit float WAV files, for feeding real LV2 hosts and reading back
// what they rendered.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static inline void wav_put_u32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)(v >> (8 * i)));
}

static inline void wav_put_u16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}

static inline bool wav_write(const std::string& path, const std::vector<float>& samples, uint32_t rate)
{
    std::vector<uint8_t> b;
    uint32_t data_size = (uint32_t)(samples.size() * 4);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    wav_put_u32(b, 36 + data_size);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    wav_put_u32(b, 16);
    wav_put_u16(b, 3);  // IEEE float
    wav_put_u16(b, 1);  // mono
    wav_put_u32(b, rate);
    wav_put_u32(b, rate * 4);
    wav_put_u16(b, 4);
    wav_put_u16(b, 32);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    wav_put_u32(b, data_size);
    size_t header = b.size();
    b.resize(header + data_size);
    memcpy(&b[header], samples.data(), data_size);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(b.data(), 1, b.size(), f) == b.size();
    return fclose(f) == 0 && ok;
}

// The samples of a mono float WAV file, whatever chunks surround them;
// false for anything else.
static inline bool wav_read(const std::string& path, std::vector<float>* samples, uint32_t* rate)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> b;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        b.insert(b.end(), chunk, chunk + n);
    fclose(f);
    if (b.size() < 12 || memcmp(&b[0], "RIFF", 4) != 0 || memcmp(&b[8], "WAVE", 4) != 0)
        return false;
    bool float_mono = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t size;
        memcpy(&size, &b[at + 4], 4);
        if (size > b.size() - at - 8)
            return false;
        const uint8_t* body = &b[at + 8];
        if (memcmp(&b[at], "fmt ", 4) == 0 && size >= 16) {
            uint16_t format, channels, bits;
            memcpy(&format, body, 2);
            memcpy(&channels, body + 2, 2);
            memcpy(rate, body + 4, 4);
            memcpy(&bits, body + 14, 2);
            // WAVE_FORMAT_EXTENSIBLE carries the real format in its sub-format GUID.
            if (format == 0xFFFE && size >= 26)
                memcpy(&format, body + 24, 2);
            float_mono = format == 3 && channels == 1 && bits == 32;
        } else if (memcmp(&b[at], "data", 4) == 0 && float_mono) {
            samples->resize(size / 4);
            memcpy(samples->data(), body, samples->size() * 4);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}
