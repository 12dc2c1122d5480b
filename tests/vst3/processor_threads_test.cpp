#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "vst3_processor.h"
#include "vst3_processor_fixture.h"

namespace {

typedef vst3_processor_test vst3_processor_threads;

const ParamID drive_id = 0x74888ACA;

// The lock as a state thread takes it: spin for it, then clear params_synced.
void hold_like_a_state_thread(::vst3_processor* p)
{
    while (__atomic_exchange_n(&p->param_lock, (uint8_t)1, __ATOMIC_SEQ_CST) != 0)
        SwitchToThread();
    p->params_synced = 0;
}

void release_lock(::vst3_processor* p)
{
    __atomic_exchange_n(&p->param_lock, (uint8_t)0, __ATOMIC_SEQ_CST);
}

struct block_call {
    test_processor* t;
    IParameterChanges* changes;
};

DWORD WINAPI run_one_block(void* arg)
{
    block_call* call = (block_call*)arg;
    std::vector<float> signal(256, 0.1f), out(256);
    test_processor_run(*call->t, signal.data(), out.data(), 256, call->changes);
    return 0;
}

// While another thread holds the lock, the audio thread's block still
// returns; its change is kept and reaches the engine at the first block
// that gets the lock.  The record is looked at directly: only there is the
// engine's value visible while the lock is held.
TEST_F(vst3_processor_threads, the_audio_thread_never_waits_for_the_lock)
{
    test_processor_start(processor, 48000.0);
    ::vst3_processor* p = (::vst3_processor*)processor.component;
    std::atomic<int> stage{0};
    std::thread state_thread([&] {
        hold_like_a_state_thread(p);
        stage = 1;
        while (stage != 2)
            SwitchToThread();
        release_lock(p);
    });
    while (stage != 1)
        SwitchToThread();

    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, drive_id, {{0, 0.8}});
    block_call call = {&processor, &changes.face};
    HANDLE audio_thread = CreateThread(nullptr, 0, run_one_block, &call, 0, nullptr);
    // A wait that ends only because the block returned; a block waiting for
    // the lock would still be waiting after these ten seconds.
    DWORD waited = WaitForSingleObject(audio_thread, 10000);
    CloseHandle(audio_thread);
    EXPECT_EQ(waited, (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(p->audio_values[param_drive], 80.0f);
    EXPECT_EQ(p->engine.values[param_drive], 50.0f);

    stage = 2;
    state_thread.join();
    if (waited != WAIT_OBJECT_0)
        return;
    test_processor_flush(processor, nullptr);
    EXPECT_EQ(p->engine.values[param_drive], 80.0f);
    EXPECT_EQ(saved(processor).values[param_drive], 80.0f);
}

// Saves taken while another thread restores and the audio thread runs are
// always six values of one moment: one of the two restored sets, or the
// defaults before the first restore arrived.
TEST_F(vst3_processor_threads, saves_during_restores_and_blocks_are_never_torn)
{
    test_processor_start(processor, 48000.0);
    const float set_a[param_count] = {10, 10, 10, 10, 10, 0};
    const float set_b[param_count] = {90, 90, 90, 90, 190, 1};
    const float defaults[param_count] = {50, 50, 50, 100, 100, 0};
    std::vector<char> blob_a = state_blob(set_a), blob_b = state_blob(set_b);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0}, saves{0};

    std::thread restorer([&] {
        for (int i = 0; i < 300; ++i)
            test_processor_restore(processor, i % 2 ? blob_b : blob_a);
    });
    std::thread saver([&] {
        while (!done) {
            saved_state s;
            if (!test_processor_saved(processor, s))
                continue;
            bool whole = false;
            for (const float* set : {set_a, set_b, defaults})
                whole = whole || memcmp(s.values, set, sizeof s.values) == 0;
            torn += whole ? 0 : 1;
            ++saves;
        }
    });
    std::vector<float> signal(64, 0.1f), out(64);
    for (int i = 0; i < 3000; ++i)
        test_processor_run(processor, signal.data(), out.data(), 64);
    restorer.join();
    done = true;
    saver.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(saves, 0);
}

}  // namespace
