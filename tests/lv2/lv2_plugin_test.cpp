// The plug-in as an LV2 host sees it, loaded from its bundle.  Where a
// behaviour shows only inside the instance (what reached the engine), the
// tests read the instance record, which is built from the same header.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include "lv2_plugin.h"
#include "lv2_test_host.h"
#include "lv2_uris.h"
#include "plugin_state.h"

namespace {

struct lv2_fixture : ::testing::Test {
    lv2_test_module module{};
    lv2_test_host host;
    LV2_Handle instance = nullptr;
    float in[256] = {};
    float out[256] = {};
    float ports[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 1.0f};

    void SetUp() override { ASSERT_TRUE(lv2_test_module_load(&module)); }

    void TearDown() override
    {
        if (instance)
            module.descriptor->cleanup(instance);
        lv2_test_module_unload(&module);
    }

    void start(int features = lv2_test_with_map | lv2_test_with_log, double rate = 48000.0)
    {
        lv2_test_host_init(&host, features);
        instance = module.descriptor->instantiate(module.descriptor, rate, lv2_test_bundle_path().c_str(),
                                                  host.features);
        ASSERT_NE(instance, nullptr);
        module.descriptor->connect_port(instance, 0, in);
        module.descriptor->connect_port(instance, 1, out);
    }

    void connect_controls()
    {
        for (uint32_t i = 0; i < param_count; ++i)
            module.descriptor->connect_port(instance, i + 2, &ports[i]);
    }

    void run(uint32_t n = 64) { module.descriptor->run(instance, n); }
    lv2_plugin& plugin() { return *(lv2_plugin*)instance; }
    // The instance's bytes, to show that a call changed nothing.
    std::vector<uint8_t> snapshot()
    {
        const uint8_t* bytes = (const uint8_t*)instance;
        return std::vector<uint8_t>(bytes, bytes + sizeof(lv2_plugin));
    }
    const float* engine_values() { return plugin().engine.values; }
};

TEST_F(lv2_fixture, descriptor_and_extension_data)
{
    EXPECT_STREQ(module.descriptor->URI, VMO_LV2_PLUGIN_URI);
    EXPECT_EQ(module.descriptor->deactivate, nullptr);
    EXPECT_NE(module.descriptor->extension_data(LV2_STATE__interface), nullptr);
    EXPECT_EQ(module.descriptor->extension_data("http://lv2plug.in/ns/ext/worker#interface"), nullptr);
    EXPECT_EQ(module.entry(0), module.descriptor);
    EXPECT_EQ(module.entry(1), nullptr);
}

struct port_case {
    const char* what;
    int index;
    float port;
    float plain;
};

TEST_F(lv2_fixture, port_values_reach_the_engine_converted)
{
    const port_case cases[] = {
        {"drive above range", param_drive, 150.0f, 100.0f},
        {"drive below range", param_drive, -5.0f, 0.0f},
        {"tone in range", param_tone, 12.5f, 12.5f},
        {"volume above range", param_volume, 250.0f, 200.0f},
        {"volume in range", param_volume, 150.0f, 150.0f},
        {"enabled at 1", param_bypass, 1.0f, 0.0f},
        {"enabled at 0.5", param_bypass, 0.5f, 0.0f},
        {"enabled at 0", param_bypass, 0.0f, 1.0f},
        {"enabled below 0", param_bypass, -1.0f, 1.0f},
        {"enabled not a number", param_bypass, NAN, 1.0f},
    };
    start();
    connect_controls();
    module.descriptor->activate(instance);
    for (const port_case& c : cases) {
        ports[c.index] = c.port;
        run();
        EXPECT_EQ(engine_values()[c.index], c.plain) << c.what;
        // The same through activate, which reads every port afresh.
        module.descriptor->activate(instance);
        EXPECT_EQ(engine_values()[c.index], c.plain) << c.what << " (activate)";
    }
}

TEST_F(lv2_fixture, a_port_value_that_is_not_a_number_keeps_the_last_good_one)
{
    start();
    connect_controls();
    ports[param_drive] = 70.0f;
    module.descriptor->activate(instance);
    ports[param_drive] = NAN;
    run();
    EXPECT_EQ(engine_values()[param_drive], 70.0f);
    module.descriptor->activate(instance);
    EXPECT_EQ(engine_values()[param_drive], 70.0f);
    ports[param_drive] = 20.0f;
    run();
    EXPECT_EQ(engine_values()[param_drive], 20.0f);
}

TEST_F(lv2_fixture, unconnected_ports_keep_their_defaults)
{
    start();
    module.descriptor->connect_port(instance, 2 + param_mix, &ports[param_mix]);
    ports[param_mix] = 30.0f;
    module.descriptor->activate(instance);
    run();
    const float expected[param_count] = {50.0f, 50.0f, 50.0f, 30.0f, 100.0f, 0.0f};
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], expected[i]) << i;
    // An index beyond the ports changes nothing.
    std::vector<uint8_t> before = snapshot();
    module.descriptor->connect_port(instance, 8, &ports[0]);
    EXPECT_EQ(before, snapshot());
}

// engine.values holds what engine_set_parameter last received; a marker
// written there survives a block only if the block made no such call.
TEST_F(lv2_fixture, unchanged_ports_make_no_engine_call)
{
    start();
    connect_controls();
    module.descriptor->activate(instance);
    run();
    for (int i = 0; i < param_count; ++i)
        plugin().engine.values[i] = -1234.0f;
    run();
    run(0);
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], -1234.0f) << i;

    // A zero-length block still takes over a changed port, and writes nothing.
    ports[param_heat] = 80.0f;
    out[0] = 7.0f;
    run(0);
    EXPECT_EQ(engine_values()[param_heat], 80.0f);
    EXPECT_EQ(engine_values()[param_drive], -1234.0f);
    EXPECT_EQ(out[0], 7.0f);
}

TEST_F(lv2_fixture, activation_starts_without_a_fade)
{
    start();
    connect_controls();
    ports[param_bypass] = 1.0f;
    module.descriptor->activate(instance);
    EXPECT_EQ(plugin().engine.bypass.state, 1.0f);
    EXPECT_EQ(plugin().engine.mix.state, plugin().engine.mix.target);
}

// A blob made by the shared state code, as another instance or the VST3 module saves it.
static std::vector<uint8_t> blob_of(const char* format, const float values[param_count])
{
    size_t length = 0;
    void* blob = plugin_state_save(format, 48000.0f, values, &length);
    std::vector<uint8_t> bytes((uint8_t*)blob, (uint8_t*)blob + length);
    free(blob);
    return bytes;
}

TEST_F(lv2_fixture, restore_is_handed_over_at_the_next_block)
{
    start();
    // Only Drive is connected: the other parameters keep what state gives them.
    module.descriptor->connect_port(instance, 2 + param_drive, &ports[param_drive]);
    module.descriptor->activate(instance);
    run();

    const float saved[param_count] = {80.0f, 20.0f, 10.0f, 60.0f, 150.0f, 1.0f};
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("lv2", saved), 0, 0});
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    // Nothing reaches the engine before the audio thread takes it over.
    EXPECT_EQ(engine_values()[param_tone], 50.0f);
    EXPECT_EQ(plugin().restore_pending, 1);

    // A save in between stores what the engine has, not the restored values.
    ASSERT_EQ(lv2_test_save(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    float stored[param_count];
    ASSERT_EQ(plugin_state_restore("lv2", host.properties[0].value.data(), host.properties[0].value.size(), stored), 0);
    EXPECT_EQ(stored[param_tone], 50.0f);
    EXPECT_EQ(host.properties[0].type, lv2_test_host_map(&host, "http://lv2plug.in/ns/ext/atom#Chunk"));
    EXPECT_EQ(host.properties[0].flags, (uint32_t)(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));

    // The restored values apply at the next block; the host's Drive port,
    // holding another value, wins by the block's end.
    host.properties.clear();
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("lv2", saved), 0, 0});
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    ports[param_drive] = 33.0f;
    run();
    const float expected[param_count] = {33.0f, 20.0f, 10.0f, 60.0f, 150.0f, 1.0f};
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], expected[i]) << i;
    EXPECT_EQ(plugin().params_synced, 1);
    EXPECT_EQ(plugin().restore_pending, 0);

    // Connected ports that differ from the restored values replace them all.
    host.properties.clear();
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("lv2", saved), 0, 0});
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    connect_controls();
    run();
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], i == param_bypass ? 0.0f : ports[i]) << i;
}

TEST_F(lv2_fixture, restore_before_activate_is_superseded)
{
    start();
    connect_controls();
    const float saved[param_count] = {80.0f, 20.0f, 10.0f, 60.0f, 150.0f, 1.0f};
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("lv2", saved), 0, 0});
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    module.descriptor->activate(instance);
    run();
    const float from_ports[param_count] = {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f};
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], from_ports[i]) << i;
}

TEST_F(lv2_fixture, rejected_or_missing_state_changes_nothing)
{
    start();
    connect_controls();
    module.descriptor->activate(instance);
    run();
    std::vector<uint8_t> before = snapshot();

    EXPECT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_ERR_NO_PROPERTY);
    EXPECT_EQ(host.log, "Cannot restore state since property <" VMO_LV2_STATE_URI "> could not be retrieved\n");

    const float bad[param_count] = {80.0f, 20.0f, NAN, 60.0f, 150.0f, 0.0f};
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("lv2", bad), 0, 0});
    EXPECT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_ERR_UNKNOWN);
    host.properties[0].value.assign(100, 0x41);
    EXPECT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_ERR_UNKNOWN);
    EXPECT_EQ(before, snapshot());

    // A store the host refuses is an error too.
    host.store_result = 1;
    EXPECT_EQ(lv2_test_save(&host, module.descriptor, instance), LV2_STATE_ERR_UNKNOWN);
}

TEST_F(lv2_fixture, without_a_urid_map_state_fails_with_its_messages)
{
    start(lv2_test_with_log);
    EXPECT_EQ(host.log, "Missing feature <" LV2_URID__map ">\n");
    connect_controls();
    module.descriptor->activate(instance);
    run();  // audio still works

    host.log.clear();
    EXPECT_EQ(lv2_test_save(&host, module.descriptor, instance), LV2_STATE_ERR_UNKNOWN);
    EXPECT_EQ(host.log, "Host is trying to store state but didn't provide URID map\n");
    host.log.clear();
    EXPECT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_ERR_UNKNOWN);
    EXPECT_EQ(host.log, "Host is trying to restore state but didn't provide URID map\n");
}

TEST_F(lv2_fixture, run_restores_the_denormal_bits_each_on_its_own)
{
    start();
    connect_controls();
    module.descriptor->activate(instance);
    const unsigned patterns[] = {0x1F80u, 0x1F80u | 0x8000u, 0x1F80u | 0x0040u, 0x1F80u | 0x8040u, 0x9FC0u};
    for (unsigned pattern : patterns) {
        _mm_setcsr(pattern);
        run();
        EXPECT_EQ(_mm_getcsr() & 0xFFC0u, pattern & 0xFFC0u) << std::hex << pattern;
    }
    _mm_setcsr(0x1F80u);
}

TEST_F(lv2_fixture, state_crosses_between_the_formats)
{
    start();
    connect_controls();
    ports[param_drive] = 75.0f;
    ports[param_bypass] = 0.0f;  // bypassed
    module.descriptor->activate(instance);
    ASSERT_EQ(lv2_test_save(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    float values[param_count];
    ASSERT_EQ(plugin_state_restore("vst3", host.properties[0].value.data(), host.properties[0].value.size(), values),
              0);
    EXPECT_EQ(values[param_drive], 75.0f);
    EXPECT_EQ(values[param_bypass], 1.0f);

    const float from_vst3[param_count] = {10.0f, 90.0f, 30.0f, 40.0f, 5.0f, 0.0f};
    host.properties.clear();
    host.properties.push_back({lv2_test_host_map(&host, VMO_LV2_STATE_URI), blob_of("vst3", from_vst3), 0, 0});
    // Unconnected ports, so that the restored values stay in force.
    for (uint32_t i = 0; i < param_count; ++i)
        module.descriptor->connect_port(instance, i + 2, nullptr);
    ASSERT_EQ(lv2_test_restore(&host, module.descriptor, instance), LV2_STATE_SUCCESS);
    run();
    for (int i = 0; i < param_count; ++i)
        EXPECT_EQ(engine_values()[i], from_vst3[i]) << i;
}

}  // namespace
