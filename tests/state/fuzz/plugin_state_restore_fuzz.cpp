// Any bytes as a state blob: no crash, restored values always in range, and
// a blob that parses writes back into one that parses again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "param_table.h"
#include "plugin_state.h"

static void check_restore(const char* format, const uint8_t* data, size_t size)
{
    float values[param_count];
    if (plugin_state_restore(format, data, size, values) != 0)
        return;
    for (int i = 0; i < param_count; ++i) {
        // Written so that NaN fails as well.
        if (!(values[i] >= param_table[i].minimum && values[i] <= param_table[i].maximum))
            abort();
    }
    if (values[param_bypass] != 0.0f && values[param_bypass] != 1.0f)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check_restore("vst3", data, size);
    check_restore("lv2", data, size);

    plugin_state state;
    if (plugin_state_parse(&state, data, size) != 0)
        return 0;
    size_t length = 0;
    void* written = plugin_state_write(&state, &length);
    plugin_state_free(&state);
    if (!written)
        return 0;
    plugin_state again;
    if (plugin_state_parse(&again, written, length) != 0)
        abort();
    plugin_state_free(&again);
    free(written);
    return 0;
}
