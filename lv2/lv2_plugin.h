// One instance of the LV2 plug-in: the engine, the port buffers, and the
// hand-over of parameter values between the audio thread and state calls.
#pragma once

#include <cstdint>

#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "engine.h"

enum {
    lv2_port_audio_in = 0,
    lv2_port_audio_out = 1,
    lv2_port_first_control = 2,
    lv2_port_count = lv2_port_first_control + param_count
};

struct lv2_plugin {
    ::engine engine;
    const float* audio_in;
    float* audio_out;
    const float* controls[param_count];  // ports 2 to 7, in parameter order
    float port_values[param_count];      // last converted value read from each port
    float applied_values[param_count];   // last handed to the engine, or restored and not yet
    uint8_t param_lock;                  // 0 free, 1 taken; changed only by atomic exchange
    uint8_t params_synced;
    uint8_t restore_pending;
    char* bundle_path;
    LV2_Log_Logger logger;
    LV2_URID_Map* map;                   // may be null; these headers' logger keeps no map of its own
    LV2_URID chunk_urid;
    LV2_URID state_urid;
};

// The engine's plain value for what a host wrote to control port index + 2;
// NaN for a port value that is not a number (except the enable port, for
// which anything but a positive number means bypassed).
float lv2_port_to_plain(int index, float port_value);

// The one-byte lock: run tries it once, the state calls wait for it,
// yielding the processor between tries.
static inline bool lv2_try_lock(lv2_plugin* plugin)
{
    return __atomic_exchange_n(&plugin->param_lock, (uint8_t)1, __ATOMIC_SEQ_CST) == 0;
}

static inline void lv2_unlock(lv2_plugin* plugin)
{
    __atomic_store_n(&plugin->param_lock, (uint8_t)0, __ATOMIC_SEQ_CST);
}

// The state save and restore, for extension_data.
extern const LV2_State_Interface lv2_state_interface;
