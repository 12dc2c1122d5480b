// The sequences a conformance validator puts a module through.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "vst3_processor_fixture.h"

namespace {

typedef vst3_processor_test vst3_conformance;

const ParamID drive_id = 0x74888ACA;
const ParamID bypass_id = 0x08FC0058;

bool all_finite(const std::vector<float>& v)
{
    for (float x : v) {
        if (!std::isfinite(x))
            return false;
    }
    return true;
}

TEST_F(vst3_conformance, state_transitions)
{
    IComponent* c = processor.component;
    EXPECT_EQ(c->vtbl->initialize(c, &context.face), kResultFalse);
    EXPECT_EQ(c->vtbl->terminate(c), kResultOk);
    EXPECT_EQ(c->vtbl->initialize(c, &context.face), kResultOk);
    test_processor_start(processor, 44100.0);
    std::vector<float> signal = plucked_signal(1024, 44100.0f), out(1024);
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(c->vtbl->setActive(c, 0), kResultOk);
        EXPECT_EQ(c->vtbl->setActive(c, 1), kResultOk);
        EXPECT_EQ(test_processor_run(processor, signal.data(), out.data(), 1024), kResultOk);
        EXPECT_TRUE(all_finite(out)) << round;
    }
    // Deactivating twice in a row is harmless too.
    EXPECT_EQ(c->vtbl->setActive(c, 0), kResultOk);
    EXPECT_EQ(c->vtbl->setActive(c, 0), kResultOk);
    EXPECT_EQ(c->vtbl->terminate(c), kResultOk);
}

TEST_F(vst3_conformance, sample_rates_from_22050_to_1234567_8)
{
    const double rates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 384000, 768000, 1234567.8};
    IComponent* c = processor.component;
    for (double rate : rates) {
        c->vtbl->setActive(c, 0);
        test_processor_start(processor, rate);
        std::vector<float> signal = plucked_signal(4096, (float)rate), out(4096);
        test_processor_run(processor, signal.data(), out.data(), 4096);
        EXPECT_TRUE(all_finite(out)) << rate;
        float peak = 0.0f;
        for (float x : out)
            peak = std::max(peak, std::fabs(x));
        EXPECT_GT(peak, 1e-4f) << rate;
        EXPECT_EQ(saved(processor).sample_rate, (float)rate);
    }
}

TEST_F(vst3_conformance, mono_is_negotiated_and_stereo_refused)
{
    IAudioProcessor* a = processor.audio;
    SpeakerArrangement stereo = kStereo, mono = kMono;
    EXPECT_EQ(a->vtbl->setBusArrangements(a, &stereo, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(a->vtbl->setBusArrangements(a, &mono, 1, &mono, 1), kResultOk);
    // A refused request leaves the mono arrangement in place.
    EXPECT_EQ(a->vtbl->setBusArrangements(a, &stereo, 1, &stereo, 1), kResultFalse);
    SpeakerArrangement arr = 0;
    a->vtbl->getBusArrangement(a, kOutput, 0, &arr);
    EXPECT_EQ(arr, (SpeakerArrangement)kMono);
}

// Blocks of any size, 0 and 1 included, give the samples one long block gives.
TEST_F(vst3_conformance, variable_block_sizes)
{
    test_processor& whole = another();
    test_processor_start(processor, 48000.0);
    test_processor_start(whole, 48000.0);
    const int32_t sizes[] = {0, 1, 2, 3, 0, 64, 127, 1, 1024, 4096, 5, 0, 511};
    int32_t total = 0;
    for (int32_t n : sizes)
        total += n;
    std::vector<float> signal = plucked_signal(total, 48000.0f), pieces(total), expected(total);
    int32_t at = 0;
    for (int32_t n : sizes) {
        EXPECT_EQ(test_processor_run(processor, signal.data() + at, pieces.data() + at, n), kResultOk);
        at += n;
    }
    test_processor_run(whole, signal.data(), expected.data(), total);
    EXPECT_TRUE(same_samples(pieces, expected));
}

// Hosts flush parameters with an empty block and no buffers at all.
TEST_F(vst3_conformance, an_empty_block_without_buffers_only_flushes_parameters)
{
    test_processor_start(processor, 48000.0);
    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, drive_id, {{0, 0.25}});
    ProcessData data = {};
    data.numSamples = 0;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = nullptr;
    data.outputs = nullptr;
    data.inputParameterChanges = &changes.face;
    EXPECT_EQ(processor.audio->vtbl->process(processor.audio, &data), kResultOk);
    EXPECT_EQ(saved(processor).values[param_drive], 25.0f);
    AudioBusBuffers no_channels[1] = {{0, 0, {nullptr}}};
    data.inputs = no_channels;
    data.outputs = no_channels;
    EXPECT_EQ(processor.audio->vtbl->process(processor.audio, &data), kResultOk);
}

TEST_F(vst3_conformance, silence_in_gives_silence_out)
{
    const float settings[][param_count] = {{50, 50, 50, 100, 100, 0}, {100, 100, 100, 100, 200, 0}, {0, 0, 0, 0, 0, 1}};
    for (const float* values : settings) {
        test_processor& t = another();
        ASSERT_EQ(test_processor_restore(t, state_blob(values)), kResultOk);
        test_processor_start(t, 44100.0);
        std::vector<float> zeros(8192, 0.0f), out(8192, 1.0f);
        for (int b = 0; b < 8; ++b) {
            test_processor_run(t, zeros.data(), out.data(), 8192);
            EXPECT_EQ(out, zeros) << values[0] << " block " << b;
        }
    }
}

TEST_F(vst3_conformance, process_runs_on_a_thread_other_than_the_one_that_set_up)
{
    test_processor& here = another();
    test_processor_start(processor, 48000.0);
    test_processor_start(here, 48000.0);
    std::vector<float> signal = plucked_signal(4096, 48000.0f), there_out(4096), here_out(4096);
    std::thread audio([&] {
        for (int i = 0; i < 4096; i += 512)
            test_processor_run(processor, signal.data() + i, there_out.data() + i, 512);
    });
    audio.join();
    for (int i = 0; i < 4096; i += 512)
        test_processor_run(here, signal.data() + i, here_out.data() + i, 512);
    EXPECT_TRUE(same_samples(there_out, here_out));
}

TEST_F(vst3_conformance, bypass_survives_a_save_and_restore)
{
    test_processor_start(processor, 48000.0);
    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, bypass_id, {{0, 1.0}});
    test_processor_flush(processor, &changes.face);
    saved_state s = saved(processor);
    ASSERT_EQ(s.values[param_bypass], 1.0f);

    test_processor& copy = another();
    ASSERT_EQ(test_processor_restore(copy, s.blob), kResultOk);
    test_processor_start(copy, 48000.0);
    test_processor_flush(copy, nullptr);
    EXPECT_EQ(saved(copy).values[param_bypass], 1.0f);
}

// Automation as a ramp over many blocks: each block's first point holds for
// the block, its last point from the next; the saved value follows the ramp.
TEST_F(vst3_conformance, automation_is_applied_block_by_block)
{
    test_processor_start(processor, 48000.0);
    std::vector<float> signal = plucked_signal(256, 48000.0f), out(256);
    for (int b = 0; b < 10; ++b) {
        double start = b / 10.0, end = (b + 1) / 10.0;
        test_changes changes;
        test_changes_init(changes);
        test_changes_add_queue(changes, drive_id, {{0, start}, {128, (start + end) / 2}, {255, end}});
        test_processor_run(processor, signal.data(), out.data(), 256, &changes.face);
        EXPECT_TRUE(all_finite(out)) << b;
        EXPECT_FLOAT_EQ(saved(processor).values[param_drive], (float)(100.0 * end)) << b;
    }
}

}  // namespace
