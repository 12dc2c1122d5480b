// Cost of the engine per host sample, natively, with the denormal flags the
// plug-in formats set.  time_per_sample is the time per host sample; x_realtime
// is how many seconds of audio one core processes per second.
#include <vector>

#include <benchmark/benchmark.h>

#include "denormals.h"
#include "engine_fixture.h"

static const int block_size = 256;

static void engine_block_loop(benchmark::State& state)
{
    float fs = (float)state.range(0);
    bool moving = state.range(1) != 0;
    unsigned saved = flush_denormals_begin();

    engine e;
    engine_start(e, fs);
    std::vector<float> in = plucked_signal((int)fs * 2, fs), out(in.size());
    size_t blocks = in.size() / block_size, block = 0;
    int64_t samples = 0;
    for (auto _ : state) {
        if (moving) {
            // Drive, Tone and Heat swept: every block moves every smoother.
            float phase = (float)(block % 400) * 0.25f;
            engine_set_parameter(e, param_drive, phase);
            engine_set_parameter(e, param_tone, 100.0f - phase);
            engine_set_parameter(e, param_heat, phase);
        }
        size_t at = (block % blocks) * block_size;
        engine_process(e, &in[at], &out[at], block_size);
        benchmark::DoNotOptimize(out[at]);
        ++block;
        samples += block_size;
    }
    flush_denormals_end(saved);

    state.counters["time_per_sample"] =
        benchmark::Counter((double)samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter((double)samples / fs, benchmark::Counter::kIsRate);
}

BENCHMARK(engine_block_loop)
    ->ArgNames({"rate", "moving"})
    ->ArgsProduct({{44100, 48000, 96000, 192000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
