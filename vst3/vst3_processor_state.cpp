// Saving and restoring the processor's state blob through the host's stream.
// The archive work runs without the lock; only the snapshot and the
// hand-over of restored values take it.  Restored values reach the engine
// through the audio thread alone, at its next locked pass.
#include <cstdlib>

#include "param_lock.h"
#include "plugin_state.h"
#include "vst3_processor.h"
#include "vst3_stream.h"

static const char format_name[] = "vst3";

tresult vst3_processor_set_state(vst3_processor* p, IBStream* stream)
{
    if (stream == nullptr)
        return kResultFalse;
    void* blob = nullptr;
    size_t length = 0;
    if (!read_stream(stream, &blob, &length))
        return kResultFalse;
    float values[param_count];
    int restored = plugin_state_restore(format_name, blob, length, values);
    free(blob);
    if (restored != 0)
        return kResultFalse;

    param_lock_spin(&p->param_lock);
    p->params_synced = 0;
    for (int i = 0; i < param_count; ++i)
        p->applied_values[i] = values[i];
    p->restore_pending = 1;
    param_lock_release(&p->param_lock);
    return kResultOk;
}

tresult vst3_processor_get_state(vst3_processor* p, IBStream* stream)
{
    if (stream == nullptr)
        return kResultFalse;
    float sample_rate = p->engine.sample_rate;
    float values[param_count];
    param_lock_spin(&p->param_lock);
    p->params_synced = 0;
    for (int i = 0; i < param_count; ++i)
        values[i] = p->engine.values[i];
    param_lock_release(&p->param_lock);

    size_t length = 0;
    void* blob = plugin_state_save(format_name, sample_rate, values, &length);
    if (blob == nullptr)
        return kResultFalse;
    bool written = write_stream(stream, blob, length);
    free(blob);
    return written ? kResultOk : kResultFalse;
}
