// Writes the fuzzers' seed corpus, made by our own save: blobs of both
// formats, their inner archives, and their two record maps.
// usage: state_fuzz_seeds DIR  (creates DIR/tar, DIR/records, DIR/restore)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "plugin_state.h"

static bool write_file(const std::string& path, const void* bytes, size_t length)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool written = fwrite(bytes, 1, length, f) == length;
    return fclose(f) == 0 && written;
}

static bool write_entry(const kv_map* map, const char* name, const std::string& path)
{
    size_t length = 0;
    const void* value = kv_map_lookup(map, name, strlen(name), &length);
    return value && write_file(path, value, length);
}

// One saved blob, and the archive and record seeds taken from it.
static bool write_seeds(const std::string& dir, const char* format, float rate, const float* values, int n)
{
    size_t length = 0;
    void* blob = plugin_state_save(format, rate, values, &length);
    if (!blob)
        return false;
    std::string tag = std::string(format) + "_" + std::to_string(n);
    bool ok = write_file(dir + "/restore/" + tag, blob, length) && write_file(dir + "/tar/outer_" + tag, blob, length);
    kv_map* outer = kv_map_from_tar(blob, length);
    size_t inner_len = 0;
    const void* inner_bytes = outer ? kv_map_lookup(outer, "dsp.tar", 7, &inner_len) : nullptr;
    kv_map* inner = inner_bytes ? kv_map_from_tar(inner_bytes, inner_len) : nullptr;
    ok = ok && inner && write_file(dir + "/tar/inner_" + tag, inner_bytes, inner_len)
        && write_entry(inner, "info.map", dir + "/records/info_" + tag)
        && write_entry(inner, "parameters.map", dir + "/records/parameters_" + tag);
    kv_map_free(inner);
    kv_map_free(outer);
    free(blob);
    return ok;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    for (const char* sub : {"", "/tar", "/records", "/restore"})
        mkdir((dir + sub).c_str(), 0755);
    const float defaults[param_count] = {50, 50, 50, 100, 100, 0};
    const float moved[param_count] = {0, 100, 12.5f, 0, 200, 1};
    bool ok = write_seeds(dir, "vst3", 48000.0f, defaults, 0) && write_seeds(dir, "lv2", 44100.0f, defaults, 0)
        && write_seeds(dir, "vst3", 96000.0f, moved, 1) && write_seeds(dir, "lv2", 192000.0f, moved, 1);
    if (!ok) {
        fprintf(stderr, "state_fuzz_seeds: could not write the seeds into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
