// The LV2 plug-in's cost per host sample at 48 kHz, loaded from its bundle
// as a host loads it, next to the bare engine at the same block size: the
// difference is what the format layer adds (port scan, lock, MXCSR).
#include <vector>

#include <benchmark/benchmark.h>

#include "denormals.h"
#include "engine_fixture.h"
#include "lv2_test_host.h"

static void report(benchmark::State& state, int64_t samples)
{
    state.counters["time_per_sample"] =
        benchmark::Counter((double)samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

static void lv2_run(benchmark::State& state)
{
    int block = (int)state.range(0);
    lv2_test_module module{};
    if (!lv2_test_module_load(&module)) {
        state.SkipWithError("the LV2 bundle cannot be loaded");
        return;
    }
    lv2_test_host host;
    lv2_test_host_init(&host, lv2_test_with_map);
    std::vector<float> in = plucked_signal(48000 * 2, 48000.0f), out(in.size());
    float ports[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 1.0f};
    LV2_Handle instance = lv2_test_start(&host, &module, 48000.0, nullptr, nullptr, ports);
    size_t blocks = in.size() / (size_t)block, at = 0;
    int64_t samples = 0;
    for (auto _ : state) {
        size_t offset = (at++ % blocks) * (size_t)block;
        module.descriptor->connect_port(instance, 0, &in[offset]);
        module.descriptor->connect_port(instance, 1, &out[offset]);
        module.descriptor->run(instance, (uint32_t)block);
        samples += block;
    }
    report(state, samples);
    module.descriptor->cleanup(instance);
    lv2_test_module_unload(&module);
}

static void engine_alone(benchmark::State& state)
{
    int block = (int)state.range(0);
    unsigned saved = flush_denormals_begin();
    engine e;
    engine_start(e, 48000.0f);
    std::vector<float> in = plucked_signal(48000 * 2, 48000.0f), out(in.size());
    size_t blocks = in.size() / (size_t)block, at = 0;
    int64_t samples = 0;
    for (auto _ : state) {
        size_t offset = (at++ % blocks) * (size_t)block;
        engine_process(e, &in[offset], &out[offset], block);
        samples += block;
    }
    flush_denormals_end(saved);
    report(state, samples);
}

BENCHMARK(engine_alone)->ArgName("block")->Arg(32)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(lv2_run)->ArgName("block")->Arg(32)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
