// A small LV2 host for tests: loads the plug-in binary from its bundle the
// way a host does, and offers the features it may ask for (URID map, log)
// and a property store for its state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

typedef const LV2_Descriptor* (*lv2_descriptor_function)(uint32_t index);

struct lv2_test_module {
    void* library;
    lv2_descriptor_function entry;    // the binary's lv2_descriptor
    const LV2_Descriptor* descriptor; // what it gives for index 0
};

// The binary inside the bundle that the build assembled; false when it
// cannot be loaded or lacks lv2_descriptor.
bool lv2_test_module_load(lv2_test_module* module);
void lv2_test_module_unload(lv2_test_module* module);
std::string lv2_test_bundle_path();

// The host's side of one instance: its features and its state storage.
struct lv2_test_host {
    std::vector<std::string> uris;  // URID n is uris[n - 1]
    std::string log;                // every message the plug-in logged
    LV2_URID_Map map;
    LV2_Log_Log log_feature;
    LV2_Feature map_feature;
    LV2_Feature log_feature_entry;
    const LV2_Feature* features[3];

    // The properties stored by the plug-in's last save.
    struct property {
        uint32_t key;
        std::vector<uint8_t> value;
        uint32_t type;
        uint32_t flags;
    };
    std::vector<property> properties;
    int store_result;  // what the store function answers
};

enum lv2_test_features { lv2_test_with_map = 1, lv2_test_with_log = 2 };

// Fills the host with the chosen features; the host must not move afterwards.
void lv2_test_host_init(lv2_test_host* host, int features);
uint32_t lv2_test_host_map(lv2_test_host* host, const char* uri);

// An instance at rate with every port connected (audio may be null, to be
// connected per block) and activated; null when instantiate fails.
LV2_Handle lv2_test_start(lv2_test_host* host, const lv2_test_module* module, double rate, const float* in,
                          float* out, const float* controls);

LV2_State_Status lv2_test_save(lv2_test_host* host, const LV2_Descriptor* descriptor, LV2_Handle instance);
LV2_State_Status lv2_test_restore(lv2_test_host* host, const LV2_Descriptor* descriptor, LV2_Handle instance);
