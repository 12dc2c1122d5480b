// The VST3 edit controller: the six parameters as the host sees them, the
// controller's own copy of their plain values, and three interfaces
// (IEditController, IMidiMapping, IConnectionPoint) in one record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "param_table.h"
#include "vst3_interfaces.h"

struct vst3_controller {
    const IEditControllerVtbl* edit_controller_face;  // also the FUnknown and IPluginBase face
    const IMidiMappingVtbl* midi_mapping_face;
    const IConnectionPointVtbl* connection_face;
    int32_t ref_count;
    FUnknown* host_context;  // no reference held
    double values[param_count];  // plain, in param_table order
    IComponentHandler* component_handler;  // one reference held while set
};

static_assert(offsetof(vst3_controller, midi_mapping_face) == 1 * sizeof(void*), "face order");
static_assert(offsetof(vst3_controller, connection_face) == 2 * sizeof(void*), "face order");

// A new controller with reference count 1, as its first face; null when
// memory runs out.
IEditController* vst3_controller_create();
