// A project saved with one format reopens in the other: both modules loaded
// from their bundles side by side, as a host with both would.
#include <gtest/gtest.h>

#include "lv2_test_host.h"
#include "vst3_processor_fixture.h"

namespace {

class cross_format : public vst3_processor_test {
protected:
    void SetUp() override
    {
        vst3_processor_test::SetUp();
        ASSERT_TRUE(lv2_test_module_load(&lv2));
        lv2_test_host_init(&host, lv2_test_with_map | lv2_test_with_log);
        // Unconnected control ports, so that a restored state stays in force.
        instance = lv2.descriptor->instantiate(lv2.descriptor, 48000.0, lv2_test_bundle_path().c_str(), host.features);
        ASSERT_NE(instance, nullptr);
        lv2.descriptor->connect_port(instance, 0, lv2_in);
        lv2.descriptor->connect_port(instance, 1, lv2_out);
        lv2.descriptor->activate(instance);
        test_processor_start(processor, 48000.0);
    }

    void TearDown() override
    {
        if (instance)
            lv2.descriptor->cleanup(instance);
        lv2_test_module_unload(&lv2);
        vst3_processor_test::TearDown();
    }

    // What the LV2 instance saves, after a block has taken over any restore.
    std::vector<char> lv2_saved()
    {
        lv2.descriptor->run(instance, 0);
        EXPECT_EQ(lv2_test_save(&host, lv2.descriptor, instance), LV2_STATE_SUCCESS);
        const std::vector<uint8_t>& v = host.properties.at(0).value;
        return std::vector<char>(v.begin(), v.end());
    }

    LV2_State_Status lv2_restore(const std::vector<char>& blob)
    {
        host.properties.clear();
        host.properties.push_back({lv2_test_host_map(&host, "urn:morvo-phonics:vellomarquin-overdrive#state_data"),
                                   std::vector<uint8_t>(blob.begin(), blob.end()), 0, 0});
        return lv2_test_restore(&host, lv2.descriptor, instance);
    }

    lv2_test_module lv2{};
    lv2_test_host host;
    LV2_Handle instance = nullptr;
    float lv2_in[256] = {};
    float lv2_out[256] = {};
};

const float project[param_count] = {72.5f, 31.0f, 88.0f, 64.0f, 140.0f, 1.0f};

TEST_F(cross_format, vst3_state_reopens_in_lv2)
{
    ASSERT_EQ(test_processor_restore(processor, state_blob(project)), kResultOk);
    test_processor_flush(processor, nullptr);
    saved_state from_vst3 = saved(processor);

    ASSERT_EQ(lv2_restore(from_vst3.blob), LV2_STATE_SUCCESS);
    saved_state in_lv2 = {};
    ASSERT_TRUE(read_saved_state(lv2_saved(), in_lv2));
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(in_lv2.values[i], project[i]) << param_table[i].string_id;
}

TEST_F(cross_format, lv2_state_reopens_in_vst3)
{
    ASSERT_EQ(lv2_restore(state_blob(project)), LV2_STATE_SUCCESS);
    std::vector<char> from_lv2 = lv2_saved();

    ASSERT_EQ(test_processor_restore(processor, from_lv2), kResultOk);
    test_processor_flush(processor, nullptr);
    saved_state in_vst3 = saved(processor);
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(in_vst3.values[i], project[i]) << param_table[i].string_id;
}

// The same state in both formats sounds the same, to the bit.
TEST_F(cross_format, both_formats_render_the_same_samples)
{
    const float playing[param_count] = {72.5f, 31.0f, 88.0f, 64.0f, 140.0f, 0.0f};
    std::vector<char> blob = state_blob(playing);
    ASSERT_EQ(test_processor_restore(processor, blob), kResultOk);
    ASSERT_EQ(lv2_restore(blob), LV2_STATE_SUCCESS);

    std::vector<float> signal = plucked_signal(256 * 40, 48000.0f);
    std::vector<float> vst3_out = run_blocks(processor, signal, 256, {});
    std::vector<float> lv2_rendered(signal.size());
    for (size_t at = 0; at < signal.size(); at += 256) {
        std::copy(signal.begin() + (long)at, signal.begin() + (long)at + 256, lv2_in);
        lv2.descriptor->run(instance, 256);
        std::copy(lv2_out, lv2_out + 256, lv2_rendered.begin() + (long)at);
    }
    EXPECT_TRUE(same_samples(vst3_out, lv2_rendered));
}

}  // namespace
