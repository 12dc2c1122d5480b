// Cost of one save and one restore of a default state blob: what a host's
// state call pays for the archive work (the parameter lock is not held then).
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "plugin_state.h"

static const float default_values[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};

static void state_save(benchmark::State& state)
{
    for (auto _ : state) {
        size_t length = 0;
        void* blob = plugin_state_save("vst3", 48000.0f, default_values, &length);
        if (!blob) {
            state.SkipWithError("plugin_state_save failed");
            break;
        }
        benchmark::DoNotOptimize(blob);
        free(blob);
    }
}

static void state_restore(benchmark::State& state)
{
    size_t length = 0;
    void* blob = plugin_state_save("vst3", 48000.0f, default_values, &length);
    if (!blob) {
        state.SkipWithError("plugin_state_save failed");
        return;
    }
    float values[param_count];
    for (auto _ : state) {
        if (plugin_state_restore("lv2", blob, length, values) != 0) {
            state.SkipWithError("plugin_state_restore failed");
            break;
        }
        benchmark::DoNotOptimize(values);
    }
    free(blob);
}

BENCHMARK(state_save)->Unit(benchmark::kMicrosecond);
BENCHMARK(state_restore)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
