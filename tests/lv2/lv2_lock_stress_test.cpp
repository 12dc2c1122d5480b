// The audio thread and a state thread at once, as a host may run them.
// Built with the thread sanitizer, which reports any data race; the test
// itself checks that every save holds six values of one moment.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "lv2_test_host.h"
#include "plugin_state.h"

namespace {

TEST(lv2_lock_stress, run_against_save_and_restore)
{
    lv2_test_module module{};
    ASSERT_TRUE(lv2_test_module_load(&module));
    lv2_test_host host;
    lv2_test_host_init(&host, lv2_test_with_map | lv2_test_with_log);
    std::vector<float> in(64, 0.1f), out(64);
    // The audio thread moves all five level controls together, so a
    // consistent snapshot always holds five equal values.
    float ports[param_count] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    LV2_Handle instance = lv2_test_start(&host, &module, 48000.0, in.data(), out.data(), ports);
    ASSERT_NE(instance, nullptr);

    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int block = 0; block < 8000; ++block) {
            for (int i = 0; i < param_bypass; ++i)
                ports[i] = (float)(block % 100);
            module.descriptor->run(instance, 64);
        }
        done = true;
    });

    int saves = 0, torn = 0;
    while (!done) {
        if (lv2_test_save(&host, module.descriptor, instance) != LV2_STATE_SUCCESS)
            continue;
        ++saves;
        float values[param_count];
        const std::vector<uint8_t>& blob = host.properties[0].value;
        if (plugin_state_restore("lv2", blob.data(), blob.size(), values) != 0)
            continue;
        for (int i = 1; i < param_bypass; ++i)
            torn += values[i] != values[0];
        lv2_test_restore(&host, module.descriptor, instance);
    }
    audio.join();
    EXPECT_GT(saves, 0);
    EXPECT_EQ(torn, 0);

    module.descriptor->cleanup(instance);
    lv2_test_module_unload(&module);
}

}  // namespace
