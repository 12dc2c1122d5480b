#include "vst3_processor.h"

#include <cstdlib>
#include <cstring>

#include "silent_connection.h"
#include "vst3_class_ids.h"

static const BusInfo input_bus = {kAudio, kInput, 1, u"Input", kMain, kDefaultActive};
static const BusInfo output_bus = {kAudio, kOutput, 1, u"Output", kMain, kDefaultActive};

// Rates the engine is designed for, with a wide margin: outside them its
// filter designs no longer give finite output.
static const float min_usable_rate = 1.0f;
static const float max_usable_rate = 10000000.0f;

// Each face is the address of its table member; a call through a later face
// steps back by that member's offset to reach the record.
static vst3_processor* from_component(IComponent* face)
{
    return (vst3_processor*)face;
}

static vst3_processor* from_audio_processor(IAudioProcessor* face)
{
    return (vst3_processor*)((char*)face - offsetof(vst3_processor, audio_processor_face));
}

static vst3_processor* from_context_requirements(IProcessContextRequirements* face)
{
    return (vst3_processor*)((char*)face - offsetof(vst3_processor, context_requirements_face));
}

static vst3_processor* from_connection(IConnectionPoint* face)
{
    return (vst3_processor*)((char*)face - offsetof(vst3_processor, connection_face));
}

// FUnknown, the same on every face.

static tresult processor_query_interface(vst3_processor* p, const char* iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    void* face = nullptr;
    if (vst3_uid_equal(iid, iid_FUnknown) || vst3_uid_equal(iid, iid_IPluginBase) ||
        vst3_uid_equal(iid, iid_IComponent))
        face = &p->component_face;
    else if (vst3_uid_equal(iid, iid_IAudioProcessor))
        face = &p->audio_processor_face;
    else if (vst3_uid_equal(iid, iid_IProcessContextRequirements))
        face = &p->context_requirements_face;
    else if (vst3_uid_equal(iid, iid_IConnectionPoint))
        face = &p->connection_face;
    *obj = face;
    if (face == nullptr)
        return kNoInterface;
    ++p->ref_count;
    return kResultOk;
}

static uint32_t processor_add_ref(vst3_processor* p)
{
    return (uint32_t)++p->ref_count;
}

static uint32_t processor_release(vst3_processor* p)
{
    int32_t count = --p->ref_count;
    if (count == 0)
        free(p);
    return (uint32_t)count;
}

// IPluginBase and IComponent.

static tresult component_query_interface(IComponent* self, const TUID iid, void** obj)
{
    return processor_query_interface(from_component(self), iid, obj);
}

static uint32_t component_add_ref(IComponent* self)
{
    return processor_add_ref(from_component(self));
}

static uint32_t component_release(IComponent* self)
{
    return processor_release(from_component(self));
}

static tresult component_initialize(IComponent* self, FUnknown* context)
{
    vst3_processor* p = from_component(self);
    if (p->host_context != nullptr)
        return kResultFalse;
    p->host_context = context;
    engine_init(p->engine);  // also sets the engine's rate to 0
    p->setup_rate = 0.0f;
    for (int i = 0; i < param_count; ++i) {
        float x = (float)param_table[i].default_value;
        engine_set_parameter(p->engine, i, x);
        p->audio_values[i] = x;
        p->applied_values[i] = x;
    }
    p->param_lock = 0;
    p->params_synced = 1;
    p->restore_pending = 0;
    p->processing_flag = 0;
    p->input_bus_active = 0;
    p->output_bus_active = 0;
    return kResultOk;
}

static tresult component_terminate(IComponent* self)
{
    from_component(self)->host_context = nullptr;
    return kResultOk;
}

static tresult component_get_controller_class_id(IComponent*, TUID class_id)
{
    if (class_id == nullptr)
        return kResultFalse;
    memcpy(class_id, controller_class_id.bytes, sizeof controller_class_id.bytes);
    return kResultOk;
}

static tresult component_set_io_mode(IComponent*, IoMode)
{
    return kNotImplemented;
}

static bool is_audio_direction(MediaType type, BusDirection dir)
{
    return type == kAudio && (dir == kInput || dir == kOutput);
}

static int32_t component_get_bus_count(IComponent*, MediaType type, BusDirection dir)
{
    return is_audio_direction(type, dir) ? 1 : 0;
}

static tresult component_get_bus_info(IComponent*, MediaType type, BusDirection dir, int32_t index, BusInfo* bus)
{
    if (!is_audio_direction(type, dir) || index != 0 || bus == nullptr)
        return kInvalidArgument;
    *bus = dir == kInput ? input_bus : output_bus;
    return kResultOk;
}

static tresult component_get_routing_info(IComponent*, RoutingInfo*, RoutingInfo*)
{
    return kNotImplemented;
}

static tresult component_activate_bus(IComponent* self, MediaType type, BusDirection dir, int32_t index,
                                      TBool state)
{
    if (!is_audio_direction(type, dir) || index != 0)
        return kInvalidArgument;
    vst3_processor* p = from_component(self);
    if (dir == kInput)
        p->input_bus_active = state != 0;
    else
        p->output_bus_active = state != 0;
    return kResultOk;
}

static tresult component_set_active(IComponent* self, TBool state)
{
    vst3_processor* p = from_component(self);
    if (!state)
        return kResultOk;
    // Without a rate the engine can work at, the processor stays silent
    // until the host sets up a usable one and activates again.
    bool usable_rate = p->setup_rate >= min_usable_rate && p->setup_rate <= max_usable_rate;
    p->processing_flag = p->input_bus_active && p->output_bus_active && usable_rate;
    if (usable_rate) {
        engine_set_sample_rate(p->engine, p->setup_rate);
        engine_reset(p->engine);
    }
    return kResultOk;
}

static tresult component_set_state(IComponent* self, IBStream* stream)
{
    return vst3_processor_set_state(from_component(self), stream);
}

static tresult component_get_state(IComponent* self, IBStream* stream)
{
    return vst3_processor_get_state(from_component(self), stream);
}

static const IComponentVtbl component_table = {
    component_query_interface, component_add_ref, component_release,
    component_initialize, component_terminate,
    component_get_controller_class_id, component_set_io_mode, component_get_bus_count,
    component_get_bus_info, component_get_routing_info, component_activate_bus,
    component_set_active, component_set_state, component_get_state,
};

// IAudioProcessor.

static tresult audio_query_interface(IAudioProcessor* self, const TUID iid, void** obj)
{
    return processor_query_interface(from_audio_processor(self), iid, obj);
}

static uint32_t audio_add_ref(IAudioProcessor* self)
{
    return processor_add_ref(from_audio_processor(self));
}

static uint32_t audio_release(IAudioProcessor* self)
{
    return processor_release(from_audio_processor(self));
}

static tresult audio_set_bus_arrangements(IAudioProcessor*, SpeakerArrangement* inputs, int32_t num_ins,
                                          SpeakerArrangement* outputs, int32_t num_outs)
{
    if (num_ins < 0 || num_outs < 0)
        return kInvalidArgument;
    if (num_ins == 1 && num_outs == 1 && inputs != nullptr && outputs != nullptr && inputs[0] == kMono &&
        outputs[0] == kMono)
        return kResultOk;
    return kResultFalse;
}

static tresult audio_get_bus_arrangement(IAudioProcessor*, BusDirection dir, int32_t index, SpeakerArrangement* arr)
{
    if ((dir != kInput && dir != kOutput) || index != 0 || arr == nullptr)
        return kInvalidArgument;
    *arr = kMono;
    return kResultOk;
}

static tresult audio_can_process_sample_size(IAudioProcessor*, int32_t size)
{
    return size == kSample32 ? kResultOk : kNotImplemented;
}

static uint32_t audio_get_latency_samples(IAudioProcessor*)
{
    return 0;
}

static tresult audio_setup_processing(IAudioProcessor* self, ProcessSetup* setup)
{
    if (setup == nullptr)
        return kInvalidArgument;
    from_audio_processor(self)->setup_rate = (float)setup->sampleRate;
    return kResultOk;
}

static tresult audio_set_processing(IAudioProcessor*, TBool)
{
    return kNotImplemented;
}

static tresult audio_process(IAudioProcessor* self, ProcessData* data)
{
    return vst3_processor_process(from_audio_processor(self), data);
}

static uint32_t audio_get_tail_samples(IAudioProcessor*)
{
    return 0;
}

static const IAudioProcessorVtbl audio_processor_table = {
    audio_query_interface, audio_add_ref, audio_release,
    audio_set_bus_arrangements, audio_get_bus_arrangement, audio_can_process_sample_size,
    audio_get_latency_samples, audio_setup_processing, audio_set_processing,
    audio_process, audio_get_tail_samples,
};

// IProcessContextRequirements: the processor never reads the process context.

static tresult requirements_query_interface(IProcessContextRequirements* self, const TUID iid, void** obj)
{
    return processor_query_interface(from_context_requirements(self), iid, obj);
}

static uint32_t requirements_add_ref(IProcessContextRequirements* self)
{
    return processor_add_ref(from_context_requirements(self));
}

static uint32_t requirements_release(IProcessContextRequirements* self)
{
    return processor_release(from_context_requirements(self));
}

static uint32_t requirements_get(IProcessContextRequirements*)
{
    return 0;
}

static const IProcessContextRequirementsVtbl context_requirements_table = {
    requirements_query_interface, requirements_add_ref, requirements_release, requirements_get,
};

// IConnectionPoint: the processor talks to nobody, so it accepts and forgets.

static tresult connection_query_interface(IConnectionPoint* self, const TUID iid, void** obj)
{
    return processor_query_interface(from_connection(self), iid, obj);
}

static uint32_t connection_add_ref(IConnectionPoint* self)
{
    return processor_add_ref(from_connection(self));
}

static uint32_t connection_release(IConnectionPoint* self)
{
    return processor_release(from_connection(self));
}

static const IConnectionPointVtbl connection_table = {
    connection_query_interface, connection_add_ref, connection_release,
    silent_connection_connect, silent_connection_disconnect, silent_connection_notify,
};

IComponent* vst3_processor_create()
{
    // Zeroed, so that a host calling out of order before initialize meets a
    // silent processor rather than undefined values.
    vst3_processor* p = (vst3_processor*)calloc(1, sizeof(vst3_processor));
    if (p == nullptr)
        return nullptr;
    p->component_face = &component_table;
    p->audio_processor_face = &audio_processor_table;
    p->context_requirements_face = &context_requirements_table;
    p->connection_face = &connection_table;
    p->ref_count = 1;
    p->host_context = nullptr;
    return (IComponent*)&p->component_face;
}
