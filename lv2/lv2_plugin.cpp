// The LV2 plug-in: ports, lifecycle and the audio callback.
#include "lv2_plugin.h"

#include <cstdlib>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2_util.h>

#include "lv2_uris.h"
#include "platform.h"

float lv2_port_to_plain(int index, float port_value)
{
    // Port 7 is the host's enable switch: the inverse of Bypass.
    if (index == param_bypass)
        return port_value > 0.0f ? 0.0f : 1.0f;
    float maximum = (float)param_table[index].maximum;
    if (port_value < 0.0f)
        return 0.0f;
    if (port_value > maximum)
        return maximum;
    return port_value;
}

static LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char* bundle_path,
                              const LV2_Feature* const* features)
{
    lv2_plugin* plugin = (lv2_plugin*)calloc(1, sizeof(lv2_plugin));
    if (!plugin)
        return nullptr;
    size_t path_size = strlen(bundle_path) + 1;
    plugin->bundle_path = (char*)malloc(path_size);
    if (!plugin->bundle_path) {
        free(plugin);
        return nullptr;
    }
    memcpy(plugin->bundle_path, bundle_path, path_size);

    LV2_Log_Log* log = nullptr;
    LV2_URID_Map* map = nullptr;
    const char* missing = lv2_features_query(features, LV2_LOG__log, (void**)&log, false, LV2_URID__map,
                                             (void**)&map, true, nullptr);
    lv2_log_logger_init(&plugin->logger, map, log);
    plugin->map = map;
    // Without a map the instance still processes audio; only state fails.
    if (missing)
        lv2_log_error(&plugin->logger, "Missing feature <%s>\n", missing);
    if (map) {
        plugin->chunk_urid = map->map(map->handle, LV2_ATOM__Chunk);
        plugin->state_urid = map->map(map->handle, VMO_LV2_STATE_URI);
    }

    engine_init(plugin->engine);
    engine_set_sample_rate(plugin->engine, (float)rate);

    // The last good value of each port, should a host write a NaN before any number.
    for (int i = 0; i < param_count; ++i)
        plugin->port_values[i] = (float)param_table[i].default_value;
    plugin->param_lock = 0;
    plugin->params_synced = 1;
    plugin->restore_pending = 0;
    return plugin;
}

static void connect_port(LV2_Handle instance, uint32_t port, void* data)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    if (port == lv2_port_audio_in)
        plugin->audio_in = (const float*)data;
    else if (port == lv2_port_audio_out)
        plugin->audio_out = (float*)data;
    else if (port < lv2_port_count)
        plugin->controls[port - lv2_port_first_control] = (const float*)data;
}

// The converted value of a connected control port, or the last good value
// when the port holds something that is not a number: such a value must
// never reach the engine.
static float read_control(const lv2_plugin* plugin, int i)
{
    float value = lv2_port_to_plain(i, *plugin->controls[i]);
    return value == value ? value : plugin->port_values[i];
}

static void activate(LV2_Handle instance)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    for (int i = 0; i < param_count; ++i) {
        float value = plugin->controls[i] ? read_control(plugin, i) : (float)param_table[i].default_value;
        plugin->port_values[i] = value;
        engine_set_parameter(plugin->engine, i, value);
    }
    memcpy(plugin->applied_values, plugin->port_values, sizeof plugin->applied_values);
    // A restore that came before activation is superseded by the ports.
    plugin->param_lock = 0;
    plugin->params_synced = 1;
    plugin->restore_pending = 0;
    engine_reset(plugin->engine);
}

static void run(LV2_Handle instance, uint32_t n_samples)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    unsigned saved_bits = denormals_flush_begin();

    // Tried once: the audio thread never waits.  Without the lock, port
    // changes are only noted, and a later block hands them over.
    bool locked = lv2_try_lock(plugin);
    if (locked && !plugin->params_synced) {
        for (int i = 0; i < param_count; ++i) {
            if (plugin->restore_pending) {
                plugin->port_values[i] = plugin->applied_values[i];
                engine_set_parameter(plugin->engine, i, plugin->applied_values[i]);
            } else if (plugin->port_values[i] != plugin->applied_values[i]) {
                plugin->applied_values[i] = plugin->port_values[i];
                engine_set_parameter(plugin->engine, i, plugin->port_values[i]);
            }
        }
    }
    if (locked) {
        plugin->params_synced = 1;
        plugin->restore_pending = 0;
    }

    for (int i = 0; i < param_count; ++i) {
        if (!plugin->controls[i])
            continue;
        float value = read_control(plugin, i);
        if (value != plugin->port_values[i]) {
            plugin->port_values[i] = value;
            if (locked) {
                plugin->applied_values[i] = value;
                engine_set_parameter(plugin->engine, i, value);
            }
        }
    }
    if (locked)
        lv2_unlock(plugin);

    engine_process(plugin->engine, plugin->audio_in, plugin->audio_out, (int32_t)n_samples);
    denormals_flush_end(saved_bits);
}

static void cleanup(LV2_Handle instance)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    free(plugin->bundle_path);
    free(plugin);
}

static const void* extension_data(const char* uri)
{
    return strcmp(uri, LV2_STATE__interface) == 0 ? &lv2_state_interface : nullptr;
}

static const LV2_Descriptor descriptor = {
    VMO_LV2_PLUGIN_URI, instantiate, connect_port, activate, run, nullptr, cleanup, extension_data,
};

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
