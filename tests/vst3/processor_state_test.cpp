#include <gtest/gtest.h>

#include <cmath>

#include "vst3_processor_fixture.h"

namespace {

typedef vst3_processor_test vst3_processor_state;

const float defaults[param_count] = {50, 50, 50, 100, 100, 0};
const float restored[param_count] = {10, 20, 30, 40, 150, 1};

// A blob written by another saver: its own id, any values.
std::vector<char> blob_with(const char* id, const float values[param_count])
{
    plugin_state s;
    plugin_state_init(&s);
    kv_map_insert(s.info, "id", 2, id, strlen(id));
    for (int i = 0; i < param_count; ++i)
        kv_map_insert(s.parameters, param_table[i].string_id, strlen(param_table[i].string_id), &values[i], 4);
    size_t length = 0;
    void* bytes = plugin_state_write(&s, &length);
    std::vector<char> blob((char*)bytes, (char*)bytes + length);
    free(bytes);
    plugin_state_free(&s);
    return blob;
}

void expect_values(const saved_state& s, const float expected[param_count], const char* when)
{
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(s.values[i], expected[i]) << when << ": " << param_table[i].string_id;
}

TEST_F(vst3_processor_state, saves_the_rate_of_the_last_activation)
{
    saved_state before = saved(processor);
    EXPECT_EQ(before.sample_rate, 0.0f);
    expect_values(before, defaults, "before activation");
    EXPECT_EQ(before.blob.size(), 5632u);
    test_processor_start(processor, 96000.0);
    EXPECT_EQ(saved(processor).sample_rate, 96000.0f);
}

// Restored values reach the engine through the audio thread only: until it
// has run, a save still holds what the engine had.
TEST_F(vst3_processor_state, restored_values_take_effect_at_the_next_block)
{
    test_processor_start(processor, 48000.0);
    ASSERT_EQ(test_processor_restore(processor, state_blob(restored)), kResultOk);
    expect_values(saved(processor), defaults, "before a block");
    test_processor_flush(processor, nullptr);
    expect_values(saved(processor), restored, "after a block");
}

TEST_F(vst3_processor_state, restored_values_are_converted_by_the_vst3_rules)
{
    const float stored[param_count] = {150, -3, INFINITY, 50, 250, 0.5f};
    const float expected[param_count] = {100, 0, 100, 50, 200, 1};
    ASSERT_EQ(test_processor_restore(processor, state_blob(stored)), kResultOk);
    test_processor_flush(processor, nullptr);
    expect_values(saved(processor), expected, "converted");
}

// A rejected blob changes nothing: not the values, and not a restore that
// is still waiting for the audio thread either.
TEST_F(vst3_processor_state, rejected_blobs_change_nothing)
{
    const float with_nan[param_count] = {NAN, 50, 50, 100, 100, 0};
    std::vector<char> good = state_blob(restored);
    std::vector<char> cut(good.begin(), good.begin() + 4000);
    std::vector<char> garbage(5632, 'x');
    const std::vector<char> rejected[] = {
        {}, garbage, cut, blob_with("morvo-vellomarquin-overdrivX", restored),
        blob_with("morvo-vellomarquin-overdrive!", restored), blob_with("morvo-vellomarquin-overdrive", with_nan),
    };
    test_processor_start(processor, 48000.0);
    const float waiting[param_count] = {1, 2, 3, 4, 5, 0};
    ASSERT_EQ(test_processor_restore(processor, state_blob(waiting)), kResultOk);
    for (const std::vector<char>& blob : rejected)
        EXPECT_EQ(test_processor_restore(processor, blob), kResultFalse) << blob.size();
    EXPECT_EQ(processor.component->vtbl->setState(processor.component, nullptr), kResultFalse);
    test_processor_flush(processor, nullptr);
    expect_values(saved(processor), waiting, "after the rejections");
}

struct stream_case {
    const char* what;
    test_stream_fault fault;
    tresult result;
};

// Only the counts tell whether a read or write went through; result codes
// are not trusted either way.
TEST_F(vst3_processor_state, set_state_through_faulty_streams)
{
    const stream_case cases[] = {
        {"sound", stream_sound, kResultOk},
        {"seek fails", stream_seek_fails, kResultFalse},
        {"tell fails", stream_tell_fails, kResultFalse},
        {"short read", stream_short_read, kResultFalse},
        {"full read with an error code", stream_wrong_results, kResultOk},
    };
    std::vector<char> blob = state_blob(restored);
    for (const stream_case& k : cases) {
        test_stream stream;
        test_stream_init_with(stream, blob, k.fault);
        EXPECT_EQ(processor.component->vtbl->setState(processor.component, &stream.face), k.result) << k.what;
        EXPECT_EQ(stream.ref_count, 1) << k.what;
    }
}

// The stream is read whole from its absolute start, wherever it stands.
TEST_F(vst3_processor_state, set_state_reads_from_the_start_wherever_the_stream_stands)
{
    std::vector<char> blob = state_blob(restored);
    for (int64_t position : {(int64_t)0, (int64_t)100, (int64_t)blob.size()}) {
        test_stream stream;
        test_stream_init_with(stream, blob);
        stream.position = position;
        EXPECT_EQ(processor.component->vtbl->setState(processor.component, &stream.face), kResultOk) << position;
        EXPECT_EQ(stream.read_requests, std::vector<int32_t>{(int32_t)blob.size()});
    }
}

// A stream's read moves at most 0x7FFFFFFF bytes: a longer state goes in
// chunks.  (The stream claims the size and fills nothing, so the blob is
// rejected afterwards.)
TEST_F(vst3_processor_state, long_states_are_read_in_chunks)
{
    test_stream stream;
    test_stream_init(stream, stream_claims_size);
    stream.claimed_size = 0x7FFFFFFFll + 5;
    EXPECT_EQ(processor.component->vtbl->setState(processor.component, &stream.face), kResultFalse);
    EXPECT_EQ(stream.read_requests, (std::vector<int32_t>{0x7FFFFFFF, 5}));
}

TEST_F(vst3_processor_state, get_state_through_faulty_streams)
{
    test_stream sound, short_write, wrong_results;
    test_stream_init(sound);
    test_stream_init(short_write, stream_short_write);
    short_write.write_limit = 1000;
    test_stream_init(wrong_results, stream_wrong_results);
    IComponent* c = processor.component;
    EXPECT_EQ(c->vtbl->getState(c, &sound.face), kResultOk);
    EXPECT_EQ(sound.write_requests, std::vector<int32_t>{5632});
    EXPECT_EQ(c->vtbl->getState(c, &short_write.face), kResultFalse);
    EXPECT_EQ(short_write.bytes.size(), 1000u);
    EXPECT_EQ(c->vtbl->getState(c, &wrong_results.face), kResultOk);
    EXPECT_EQ(wrong_results.bytes, sound.bytes);
    EXPECT_EQ(c->vtbl->getState(c, nullptr), kResultFalse);
}

}  // namespace
