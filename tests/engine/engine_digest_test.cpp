// The engine's output is part of every saved project: the same stimulus and
// control schedule must give the same bits on every build and platform.  The
// native and the Windows suites both compare against the one value below.
//
// After a deliberate change to the sound, run this test, check the change by
// ear and by the other tests, and copy the digest it prints into
// expected_digest.
#include <vector>

#include <gtest/gtest.h>

#include "denormals.h"
#include "engine_fixture.h"

namespace {

static const uint64_t expected_digest = 0x5f395430148a9bb1ull;

static void apply_schedule(engine& e, int block)
{
    engine_set_parameter(e, param_drive, (float)((block * 7) % 101));
    engine_set_parameter(e, param_tone, (float)((block * 13) % 101) * 0.999f);
    engine_set_parameter(e, param_heat, (float)((block * 3) % 101));
    engine_set_parameter(e, param_mix, 40.0f + (float)(block % 61));
    engine_set_parameter(e, param_volume, 50.0f + (float)((block * 5) % 151));
    engine_set_parameter(e, param_bypass, (block / 40) % 3 == 2 ? 1.0f : 0.0f);
}

TEST(engine_digest, output_bits_match_the_recorded_digest)
{
    unsigned saved = flush_denormals_begin();
    uint64_t digest = 14695981039346656037ull;
    for (float fs : {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        engine e;
        engine_start(e, fs);
        std::vector<float> in = plucked_signal((int)fs * 3, fs), out(in.size());
        for (size_t done = 0, block = 0; done < in.size(); ++block) {
            size_t n = std::min(in.size() - done, (size_t)(block % 2 ? 256 : 61));
            apply_schedule(e, (int)block);
            engine_process(e, &in[done], &out[done], (int32_t)n);
            done += n;
        }
        digest ^= digest_of(out.data(), out.size());
        digest *= 1099511628211ull;
    }
    flush_denormals_end(saved);
    EXPECT_EQ(digest, expected_digest) << "digest 0x" << std::hex << digest;
}

}  // namespace
