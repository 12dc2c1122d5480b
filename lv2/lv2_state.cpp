// The LV2 state interface: the whole plug-in state is one property holding
// the state blob that the VST3 module saves too.
#include <cstdlib>

#include "lv2_plugin.h"
#include "lv2_uris.h"
#include "platform.h"
#include "plugin_state.h"

static void lock_waiting(lv2_plugin* plugin)
{
    while (!lv2_try_lock(plugin))
        yield_processor();
}

static LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                             uint32_t, const LV2_Feature* const*)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    if (!plugin->map) {
        lv2_log_error(&plugin->logger, "Host is trying to store state but didn't provide URID map\n");
        return LV2_STATE_ERR_UNKNOWN;
    }

    float values[param_count];
    lock_waiting(plugin);
    plugin->params_synced = 0;
    for (int i = 0; i < param_count; ++i)
        values[i] = plugin->engine.values[i];
    lv2_unlock(plugin);

    size_t length = 0;
    void* blob = plugin_state_save("lv2", plugin->engine.sample_rate, values, &length);
    if (!blob)
        return LV2_STATE_ERR_UNKNOWN;
    int stored = store(handle, plugin->state_urid, blob, length, plugin->chunk_urid,
                       LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    free(blob);
    return stored == 0 ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

static LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                LV2_State_Handle handle, uint32_t, const LV2_Feature* const*)
{
    lv2_plugin* plugin = (lv2_plugin*)instance;
    if (!plugin->map) {
        lv2_log_error(&plugin->logger, "Host is trying to restore state but didn't provide URID map\n");
        return LV2_STATE_ERR_UNKNOWN;
    }

    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* blob = retrieve(handle, plugin->state_urid, &size, &type, &flags);
    if (!blob) {
        lv2_log_error(&plugin->logger, "Cannot restore state since property <%s> could not be retrieved\n",
                      VMO_LV2_STATE_URI);
        return LV2_STATE_ERR_NO_PROPERTY;
    }

    float values[param_count];
    if (plugin_state_restore("lv2", blob, size, values) != 0)
        return LV2_STATE_ERR_UNKNOWN;

    // The audio thread applies these at its next block that takes the lock.
    lock_waiting(plugin);
    for (int i = 0; i < param_count; ++i)
        plugin->applied_values[i] = values[i];
    plugin->params_synced = 0;
    plugin->restore_pending = 1;
    lv2_unlock(plugin);
    return LV2_STATE_SUCCESS;
}

const LV2_State_Interface lv2_state_interface = {save, restore};
