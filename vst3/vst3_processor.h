// The VST3 processor component: one mono engine behind four interfaces
// (IComponent, IAudioProcessor, IProcessContextRequirements and
// IConnectionPoint), one function table pointer each, in one record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine.h"
#include "vst3_interfaces.h"

struct vst3_processor {
    const IComponentVtbl* component_face;  // also the FUnknown and IPluginBase face
    const IAudioProcessorVtbl* audio_processor_face;
    const IProcessContextRequirementsVtbl* context_requirements_face;
    const IConnectionPointVtbl* connection_face;
    int32_t ref_count;
    FUnknown* host_context;  // no reference held
    ::engine engine;
    float setup_rate;
    float audio_values[param_count];    // as the audio thread last received them
    float applied_values[param_count];  // under param_lock: the engine's, or a restore waiting
    uint8_t param_lock;
    uint8_t params_synced;    // cleared by every lock holder but the audio thread
    uint8_t restore_pending;  // applied_values hold a restore the engine has not adopted
    float* input_channel;
    float* output_channel;
    uint8_t processing_flag;
    uint8_t input_bus_active;
    uint8_t output_bus_active;
};

static_assert(offsetof(vst3_processor, audio_processor_face) == 1 * sizeof(void*), "face order");
static_assert(offsetof(vst3_processor, context_requirements_face) == 2 * sizeof(void*), "face order");
static_assert(offsetof(vst3_processor, connection_face) == 3 * sizeof(void*), "face order");

// A new processor with reference count 1, as its first face; null when
// memory runs out.
IComponent* vst3_processor_create();

// The audio thread's block; always kResultOk.
tresult vst3_processor_process(vst3_processor* p, ProcessData* data);

// The state calls, from any thread, also while the audio thread processes.
tresult vst3_processor_set_state(vst3_processor* p, IBStream* stream);
tresult vst3_processor_get_state(vst3_processor* p, IBStream* stream);
