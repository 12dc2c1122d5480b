// The audio thread's work: parameter changes before and after each block,
// the engine in between, denormals flushed for the whole call.  Nothing here
// allocates or waits; a lock held by a state thread only defers updates.
#include <xmmintrin.h>

#include "param_lock.h"
#include "vst3_processor.h"

enum { mxcsr_flush_to_zero = 0x8000u, mxcsr_denormals_are_zero = 0x0040u };

enum change_pass { before_block, after_block };

// Under the lock, after another holder cleared params_synced: a restore
// replaces what the audio thread had, otherwise the audio thread's own
// changes made while the lock was taken reach the engine now.
static void sync_engine(vst3_processor* p)
{
    for (int i = 0; i < param_count; ++i) {
        if (p->restore_pending) {
            p->audio_values[i] = p->applied_values[i];
            engine_set_parameter(p->engine, i, p->audio_values[i]);
        } else if (!(p->audio_values[i] == p->applied_values[i])) {
            p->applied_values[i] = p->audio_values[i];
            engine_set_parameter(p->engine, i, p->applied_values[i]);
        }
    }
}

// A point at offset 0 holds for the whole block; the last point of a queue
// at a later offset takes effect after it.  Points in between are never
// read: the engine smooths every change itself.
static void apply_parameter_changes(vst3_processor* p, const ProcessData* data, change_pass pass)
{
    bool locked = param_lock_try(&p->param_lock);
    if (locked && !p->params_synced)
        sync_engine(p);
    if (locked) {
        p->params_synced = 1;
        p->restore_pending = 0;
    }

    IParameterChanges* changes = data->inputParameterChanges;
    int32_t queue_count = changes != nullptr ? changes->vtbl->getParameterCount(changes) : 0;
    for (int32_t q = 0; q < queue_count; ++q) {
        IParamValueQueue* queue = changes->vtbl->getParameterData(changes, q);
        if (queue == nullptr)
            continue;
        int32_t point_count = queue->vtbl->getPointCount(queue);
        if (point_count <= 0)
            continue;
        int32_t offset = 0;
        ParamValue value = 0.0;
        if (queue->vtbl->getPoint(queue, pass == before_block ? 0 : point_count - 1, &offset, &value) != kResultOk)
            continue;
        if (pass == before_block ? offset != 0 : offset <= 0)
            continue;
        int index = param_index_of_vst3_id(queue->vtbl->getParameterId(queue));
        if (index < 0)
            continue;
        double plain = param_snap_and_clamp(index, param_plain_from_normalized(index, value));
        if (plain == (double)p->audio_values[index])
            continue;
        float x = (float)plain;
        p->audio_values[index] = x;
        if (locked) {
            p->applied_values[index] = x;
            engine_set_parameter(p->engine, index, x);
        }
    }

    if (locked)
        param_lock_release(&p->param_lock);
}

static float* first_channel(const AudioBusBuffers* buses, int32_t bus_count)
{
    if (bus_count <= 0 || buses == nullptr || buses[0].numChannels <= 0 || buses[0].channelBuffers32 == nullptr)
        return nullptr;
    return buses[0].channelBuffers32[0];
}

static void clear(float* channel, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        channel[i] = 0.0f;
}

// Every output channel but, when keep_first is set, the first of the first bus.
static void clear_outputs(const ProcessData* data, int32_t n, bool keep_first)
{
    if (data->outputs == nullptr)
        return;
    for (int32_t b = 0; b < data->numOutputs; ++b) {
        const AudioBusBuffers& bus = data->outputs[b];
        if (bus.channelBuffers32 == nullptr)
            continue;
        for (int32_t c = 0; c < bus.numChannels; ++c) {
            if (keep_first && b == 0 && c == 0)
                continue;
            if (bus.channelBuffers32[c] != nullptr)
                clear(bus.channelBuffers32[c], n);
        }
    }
}

// Mono: the first input channel through the engine into the first output
// channel.  A host that sends more channels than negotiated gets the others
// cleared; a missing input is heard as silence; without an output channel
// there is nothing to write.
static void run_engine(vst3_processor* p, const ProcessData* data, int32_t n)
{
    p->input_channel = first_channel(data->inputs, data->numInputs);
    p->output_channel = first_channel(data->outputs, data->numOutputs);
    if (p->output_channel != nullptr) {
        const float* in = p->input_channel;
        if (in == nullptr) {
            clear(p->output_channel, n);
            in = p->output_channel;
        }
        engine_process(p->engine, in, p->output_channel, n);
    }
    clear_outputs(data, n, true);
}

tresult vst3_processor_process(vst3_processor* p, ProcessData* data)
{
    if (data == nullptr)
        return kResultOk;
    unsigned saved_csr = _mm_getcsr();
    _mm_setcsr(saved_csr | mxcsr_flush_to_zero | mxcsr_denormals_are_zero);

    apply_parameter_changes(p, data, before_block);
    int32_t n = data->numSamples > 0 ? data->numSamples : 0;
    if (p->processing_flag)
        run_engine(p, data, n);
    else
        clear_outputs(data, n, false);
    apply_parameter_changes(p, data, after_block);

    // Only the two bits this call set go back; the engine may have raised
    // exception flags, which stay for the host to see.
    const unsigned ours = mxcsr_flush_to_zero | mxcsr_denormals_are_zero;
    _mm_setcsr((_mm_getcsr() & ~ours) | (saved_csr & ours));
    return kResultOk;
}
