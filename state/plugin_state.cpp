// The state blob: an outer archive holding "dsp.tar", an inner archive with
// the saver's description ("info.map"), the six plain values
// ("parameters.map") and the layout version ("version").  Entries written by
// someone else are kept aside, so a parse followed by a write loses nothing.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "little_endian.h"
#include "plugin_state.h"

static const char blob_id[] = "morvo-vellomarquin-overdrive";
static const char layout_version[] = "1.0";
static const uint32_t version_major = 1, version_minor = 1, version_revision = 3, version_build = 1;
#ifdef _WIN32
static const char platform_name[] = "windows";
#else
static const char platform_name[] = "linux";
#endif

static const char inner_name[] = "dsp.tar";
static const char info_name[] = "info.map";
static const char parameters_name[] = "parameters.map";
static const char version_name[] = "version";

static bool is_named(const void* key, size_t key_len, const char* name)
{
    return key_len == strlen(name) && memcmp(key, name, key_len) == 0;
}

static const void* lookup_text(const kv_map* map, const char* key, size_t* value_len)
{
    return kv_map_lookup(map, key, strlen(key), value_len);
}

static int insert_text(kv_map* map, const char* key, const void* value, size_t value_len)
{
    return kv_map_insert(map, key, strlen(key), value, value_len);
}

int plugin_state_init(plugin_state* state)
{
    state->version = nullptr;
    state->outer_extra = kv_map_new();
    state->info = kv_map_new();
    state->parameters = kv_map_new();
    state->inner_extra = kv_map_new();
    if (!state->outer_extra || !state->info || !state->parameters || !state->inner_extra) {
        plugin_state_free(state);
        return -1;
    }
    return 0;
}

void plugin_state_free(plugin_state* state)
{
    kv_map_free(state->info);
    kv_map_free(state->parameters);
    kv_map_free(state->inner_extra);
    kv_map_free(state->outer_extra);
    state->info = state->parameters = state->inner_extra = state->outer_extra = nullptr;
}

// The two readers fail for malformed bytes (EINVAL) or for memory, including
// a failed map creation that sets no errno of its own.
static int reader_error()
{
    return errno == EINVAL ? EINVAL : ENOMEM;
}

// Tab, line feed, vertical tab, form feed, carriage return or space.
static bool is_space(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Trailing whitespace is tolerated so that a version written by a text tool
// (with its newline) still reads.
static bool version_is_supported(const unsigned char* text, size_t length)
{
    if (length < 3 || memcmp(text, layout_version, 3) != 0)
        return false;
    for (size_t i = 3; i < length; ++i) {
        if (!is_space(text[i]))
            return false;
    }
    return true;
}

static int read_records(const kv_map* inner, const char* name, kv_map** records)
{
    size_t length;
    const void* bytes = lookup_text(inner, name, &length);
    if (!bytes)
        return EINVAL;
    *records = kv_map_from_records(bytes, length);
    return *records ? 0 : reader_error();
}

struct extra_copy {
    kv_map* into;
    const char* const* skipped;  // null-terminated list of names
};

static int copy_unless_skipped(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    extra_copy* copy = (extra_copy*)user;
    for (const char* const* name = copy->skipped; *name; ++name) {
        if (is_named(key, key_len, *name))
            return 0;
    }
    return kv_map_insert(copy->into, key, key_len, value, value_len) == 0 ? 0 : ENOMEM;
}

static int copy_extras(const kv_map* from, const char* const* skipped, kv_map** extras)
{
    *extras = kv_map_new();
    if (!*extras)
        return ENOMEM;
    extra_copy copy = {*extras, skipped};
    return kv_map_foreach(from, copy_unless_skipped, &copy);
}

static int parse_inner(const kv_map* inner, plugin_state* parsed)
{
    size_t version_len;
    const void* version = lookup_text(inner, version_name, &version_len);
    if (!version || !version_is_supported((const unsigned char*)version, version_len))
        return EINVAL;
    int error = read_records(inner, info_name, &parsed->info);
    if (!error)
        error = read_records(inner, parameters_name, &parsed->parameters);
    static const char* const inner_names[] = {parameters_name, info_name, version_name, nullptr};
    if (!error)
        error = copy_extras(inner, inner_names, &parsed->inner_extra);
    return error;
}

int plugin_state_parse(plugin_state* state, const void* blob, size_t length)
{
    kv_map* outer = kv_map_from_tar(blob, length);
    if (!outer)
        return -1;
    plugin_state parsed = {nullptr, nullptr, nullptr, nullptr, nullptr};
    kv_map* inner = nullptr;
    size_t inner_len;
    const void* inner_bytes = lookup_text(outer, inner_name, &inner_len);
    int error = 0;
    if (!inner_bytes)
        error = EINVAL;
    else if (!(inner = kv_map_from_tar(inner_bytes, inner_len)))
        error = reader_error();
    if (!error)
        error = parse_inner(inner, &parsed);
    static const char* const outer_names[] = {inner_name, nullptr};
    if (!error)
        error = copy_extras(outer, outer_names, &parsed.outer_extra);
    // The kept maps point into the blob, not into these two.
    kv_map_free(inner);
    kv_map_free(outer);
    if (error) {
        plugin_state_free(&parsed);
        errno = error;
        return -1;
    }
    parsed.version = layout_version;
    *state = parsed;
    return 0;
}

static int insert_entry(const void* key, size_t key_len, const void* value, size_t value_len, void* user)
{
    return kv_map_insert((kv_map*)user, key, key_len, value, value_len);
}

static int insert_all(kv_map* into, const kv_map* from)
{
    return kv_map_foreach(from, insert_entry, into);
}

static void* write_inner(const plugin_state* state, size_t* length)
{
    kv_map* inner = kv_map_new();
    if (!inner)
        return nullptr;
    size_t info_len = 0, parameters_len = 0;
    void* info = kv_map_to_records(state->info, &info_len);
    void* parameters = info ? kv_map_to_records(state->parameters, &parameters_len) : nullptr;
    void* archive = nullptr;
    if (parameters
        && insert_text(inner, version_name, layout_version, 3) == 0
        && insert_text(inner, info_name, info, info_len) == 0
        && insert_text(inner, parameters_name, parameters, parameters_len) == 0
        && insert_all(inner, state->inner_extra) == 0)
        archive = kv_map_to_tar(inner, length);
    free(parameters);
    free(info);
    kv_map_free(inner);
    return archive;
}

void* plugin_state_write(const plugin_state* state, size_t* out_length)
{
    size_t inner_len;
    void* inner = write_inner(state, &inner_len);
    if (!inner)
        return nullptr;
    void* blob = nullptr;
    kv_map* outer = kv_map_new();
    if (outer
        && insert_text(outer, inner_name, inner, inner_len) == 0
        && insert_all(outer, state->outer_extra) == 0)
        blob = kv_map_to_tar(outer, out_length);
    kv_map_free(outer);
    free(inner);
    return blob;
}

void* plugin_state_save(const char* format, float sample_rate, const float values[param_count], size_t* out_length)
{
    // The maps borrow these bytes until the blob is written.
    unsigned char major[4], minor[4], revision[4], build[4], rate[4];
    unsigned char plain[param_count][4];
    store_u32_le(major, version_major);
    store_u32_le(minor, version_minor);
    store_u32_le(revision, version_revision);
    store_u32_le(build, version_build);
    store_f32_le(rate, sample_rate);
    for (int i = 0; i < param_count; ++i)
        store_f32_le(plain[i], values[i]);

    plugin_state state;
    if (plugin_state_init(&state) != 0)
        return nullptr;
    bool filled = insert_text(state.info, "id", blob_id, sizeof blob_id - 1) == 0
        && insert_text(state.info, "version_major", major, 4) == 0
        && insert_text(state.info, "version_minor", minor, 4) == 0
        && insert_text(state.info, "version_revision", revision, 4) == 0
        && insert_text(state.info, "version_build", build, 4) == 0
        && insert_text(state.info, "format", format, strlen(format)) == 0
        && insert_text(state.info, "platform", platform_name, sizeof platform_name - 1) == 0
        && insert_text(state.info, "sample_rate", rate, 4) == 0;
    for (int i = 0; filled && i < param_count; ++i)
        filled = insert_text(state.parameters, param_table[i].string_id, plain[i], 4) == 0;
    void* blob = filled ? plugin_state_write(&state, out_length) : nullptr;
    plugin_state_free(&state);
    return blob;
}

// The six values checked and converted, or -1 when any is missing or
// malformed.  Bypass is read by the rule of the format that restores it.
static int read_values(const plugin_state* state, bool vst3_bypass, float values[param_count])
{
    size_t id_len;
    const void* id = lookup_text(state->info, "id", &id_len);
    if (!id || id_len != sizeof blob_id - 1 || memcmp(id, blob_id, id_len) != 0)
        return -1;
    for (int i = 0; i < param_count; ++i) {
        size_t length;
        const void* stored = lookup_text(state->parameters, param_table[i].string_id, &length);
        if (!stored || length != 4)
            return -1;
        float v = load_f32_le((const unsigned char*)stored);
        if (std::isnan(v))
            return -1;
        if (i == param_bypass) {
            v = (vst3_bypass ? v >= 0.5f : v > 0.0f) ? 1.0f : 0.0f;
        } else {
            float minimum = (float)param_table[i].minimum, maximum = (float)param_table[i].maximum;
            v = v < minimum ? minimum : v > maximum ? maximum : v;
        }
        values[i] = v;
    }
    return 0;
}

int plugin_state_restore(const char* format, const void* blob, size_t length, float values[param_count])
{
    bool vst3 = strcmp(format, "vst3") == 0;
    if (!vst3 && strcmp(format, "lv2") != 0)
        return -1;
    plugin_state state;
    if (plugin_state_parse(&state, blob, length) != 0)
        return -1;
    // Nothing reaches the caller until all six values have passed.
    float restored[param_count];
    int result = read_values(&state, vst3, restored);
    plugin_state_free(&state);
    if (result != 0)
        return -1;
    memcpy(values, restored, sizeof restored);
    return 0;
}
