// run must never allocate or take a lock.  This program replaces the
// allocator and the mutex entry points for the whole process (the plug-in,
// loaded from its bundle, calls ours), and counts calls while run runs.
#include <dlfcn.h>
#include <pthread.h>

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "lv2_test_host.h"
#include "lv2_uris.h"
#include "plugin_state.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

static bool counting = false;
static int calls = 0;

extern "C" void* malloc(size_t size)
{
    calls += counting;
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t n, size_t size)
{
    calls += counting;
    return __libc_calloc(n, size);
}

extern "C" void* realloc(void* p, size_t size)
{
    calls += counting;
    return __libc_realloc(p, size);
}

extern "C" void free(void* p)
{
    calls += counting;
    __libc_free(p);
}

extern "C" int pthread_mutex_lock(pthread_mutex_t* m)
{
    calls += counting;
    static int (*real)(pthread_mutex_t*) = (int (*)(pthread_mutex_t*))dlsym(RTLD_NEXT, "pthread_mutex_lock");
    return real(m);
}

namespace {

TEST(lv2_realtime, run_allocates_nothing_and_locks_nothing)
{
    lv2_test_module module{};
    ASSERT_TRUE(lv2_test_module_load(&module));
    lv2_test_host host;
    lv2_test_host_init(&host, lv2_test_with_map | lv2_test_with_log);
    std::vector<float> in(512, 0.25f), out(512);
    float ports[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 1.0f};
    LV2_Handle instance = lv2_test_start(&host, &module, 48000.0, in.data(), out.data(), ports);
    ASSERT_NE(instance, nullptr);

    // Blocks with steady and with moving controls.
    counting = true;
    for (int block = 0; block < 200; ++block) {
        ports[param_drive] = (float)(block % 100);
        ports[param_heat] = (float)((block * 7) % 100);
        module.descriptor->run(instance, 512);
    }
    counting = false;
    EXPECT_EQ(calls, 0);

    // The block right after a restore, which hands the restored values over.
    ASSERT_EQ(lv2_test_save(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    counting = true;
    module.descriptor->run(instance, 512);
    counting = false;
    EXPECT_EQ(calls, 0);

    // The counters do count: a save allocates.
    counting = true;
    lv2_test_save(&host, module.descriptor, instance);
    counting = false;
    EXPECT_GT(calls, 0);

    module.descriptor->cleanup(instance);
    lv2_test_module_unload(&module);
}

}  // namespace
