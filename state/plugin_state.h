// The state blob both plug-in formats hand to their hosts: a ustar archive
// holding "dsp.tar", which holds "info.map", "parameters.map" and "version".
#pragma once

#include <cstddef>

#include "kv_map.h"
#include "param_table.h"

struct plugin_state {
    const char* version;
    kv_map* info;
    kv_map* parameters;
    kv_map* inner_extra;  // entries of "dsp.tar" besides the three above
    kv_map* outer_extra;  // entries of the blob besides "dsp.tar"
};

// 0, or -1 with nothing left allocated.
int plugin_state_init(plugin_state* state);
void plugin_state_free(plugin_state* state);
// Fills every member from blob, which must outlive the state; state need
// not be initialised and is written only on success.  0, or -1 with errno
// EINVAL or ENOMEM and nothing left allocated.
int plugin_state_parse(plugin_state* state, const void* blob, size_t length);
// A malloc'd blob and its length, or null.
void* plugin_state_write(const plugin_state* state, size_t* out_length);

// A malloc'd blob of the six plain values in param_table order, saved by
// format ("vst3" or "lv2") at sample_rate; null on failure.
void* plugin_state_save(const char* format, float sample_rate, const float values[param_count], size_t* out_length);
// 0 with the six values validated and converted for format, or -1 leaving
// values untouched: a restore is all or nothing.
int plugin_state_restore(const char* format, const void* blob, size_t length, float values[param_count]);
