// Driving one processor the way a host does: create it through the factory,
// negotiate mono buses, set up, activate, run blocks, and look at what its
// saved state says the engine holds.
#pragma once

#include <cstring>
#include <vector>

#include "plugin_state.h"
#include "vst3_test_host.h"
#include "vst3_test_stream.h"

struct test_processor {
    IComponent* component;
    IAudioProcessor* audio;
};

static inline bool test_processor_open(test_processor& t, IPluginFactory* factory, FUnknown* context)
{
    t.audio = nullptr;
    t.component = create_processor(factory);
    if (t.component == nullptr)
        return false;
    t.audio = query_face<IComponent, IAudioProcessor>(t.component, iid_IAudioProcessor);
    return t.audio != nullptr && t.component->vtbl->initialize(t.component, context) == kResultOk;
}

static inline void test_processor_close(test_processor& t)
{
    if (t.component != nullptr) {
        t.component->vtbl->setActive(t.component, 0);
        t.component->vtbl->terminate(t.component);
    }
    if (t.audio != nullptr)
        release_face(t.audio);
    if (t.component != nullptr)
        release_face(t.component);
    t.audio = nullptr;
    t.component = nullptr;
}

static inline tresult test_processor_setup(test_processor& t, double rate)
{
    ProcessSetup setup = {kRealtime, kSample32, 4096, rate};
    return t.audio->vtbl->setupProcessing(t.audio, &setup);
}

// The usual host sequence up to processing, at one rate.
static inline void test_processor_start(test_processor& t, double rate)
{
    SpeakerArrangement mono = kMono;
    t.audio->vtbl->setBusArrangements(t.audio, &mono, 1, &mono, 1);
    t.component->vtbl->activateBus(t.component, kAudio, kInput, 0, 1);
    t.component->vtbl->activateBus(t.component, kAudio, kOutput, 0, 1);
    test_processor_setup(t, rate);
    t.component->vtbl->setActive(t.component, 1);
}

// One mono block; in and out may be the same buffer.
static inline tresult test_processor_run(test_processor& t, const float* in, float* out, int32_t n,
                                         IParameterChanges* changes = nullptr)
{
    float* in_channel = (float*)in;
    float* out_channel = out;
    AudioBusBuffers input = {1, 0, {&in_channel}};
    AudioBusBuffers output = {1, 0, {&out_channel}};
    ProcessData data = {};
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = n;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    data.inputParameterChanges = changes;
    return t.audio->vtbl->process(t.audio, &data);
}

// A block of nothing but parameter changes, the way hosts flush them.
static inline tresult test_processor_flush(test_processor& t, IParameterChanges* changes)
{
    ProcessData data = {};
    data.numSamples = 0;
    data.inputParameterChanges = changes;
    return t.audio->vtbl->process(t.audio, &data);
}

// What a saved state holds: the saver's rate and the six plain values.
struct saved_state {
    std::vector<char> blob;
    float sample_rate;
    float values[param_count];
};

static inline float float_value(const kv_map* map, const char* key)
{
    size_t length = 0;
    const void* bytes = kv_map_lookup(map, key, strlen(key), &length);
    float x = -12345.0f;
    if (bytes != nullptr && length == sizeof x)
        memcpy(&x, bytes, sizeof x);
    return x;
}

static inline bool read_saved_state(const std::vector<char>& blob, saved_state& saved)
{
    saved.blob = blob;
    plugin_state state;
    if (plugin_state_parse(&state, saved.blob.data(), saved.blob.size()) != 0)
        return false;
    saved.sample_rate = float_value(state.info, "sample_rate");
    for (int i = 0; i < param_count; ++i)
        saved.values[i] = float_value(state.parameters, param_table[i].string_id);
    plugin_state_free(&state);
    return true;
}

static inline bool test_processor_saved(test_processor& t, saved_state& saved)
{
    test_stream stream;
    test_stream_init(stream);
    if (t.component->vtbl->getState(t.component, &stream.face) != kResultOk)
        return false;
    return read_saved_state(stream.bytes, saved);
}

static inline tresult test_processor_restore(test_processor& t, const std::vector<char>& blob)
{
    test_stream stream;
    test_stream_init_with(stream, blob);
    return t.component->vtbl->setState(t.component, &stream.face);
}

// A state blob with the given plain values, as any saver would write it.
static inline std::vector<char> state_blob(const float values[param_count], float rate = 48000.0f)
{
    size_t length = 0;
    void* blob = plugin_state_save("vst3", rate, values, &length);
    std::vector<char> bytes((char*)blob, (char*)blob + length);
    free(blob);
    return bytes;
}
