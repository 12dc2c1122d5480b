#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "map_entries.h"
#include "plugin_state.h"
#include "state_bytes.h"

namespace {

std::string save(const char* format, float rate, const float* values)
{
    size_t length = 0;
    void* blob = plugin_state_save(format, rate, values, &length);
    EXPECT_NE(blob, nullptr);
    std::string bytes = blob ? std::string((const char*)blob, length) : std::string();
    free(blob);
    return bytes;
}

// Where every header, data block and end block of a default save lies.
TEST(plugin_state, layout_of_a_default_save)
{
    std::string blob = save("vst3", 48000.0f, state_defaults);
    ASSERT_EQ(blob.size(), 5632u);

    struct block {
        size_t at;
        const char* name;
        std::string data;
    };
    const block headers[] = {
        {0, "dsp.tar", ""},
        {512, "info.map", records(default_info("vst3"))},
        {1536, "parameters.map", records(default_parameters())},
        {2560, "version", "1.0"},
    };
    for (const block& b : headers) {
        std::string header = blob.substr(b.at, 512);
        size_t size = b.at == 0 ? 4096 : b.data.size();
        // Every field, the checksum included.
        EXPECT_EQ(header, ustar_header(b.name, size_field(size))) << b.name;
        if (b.at != 0) {
            EXPECT_EQ(blob.substr(b.at + 512, 512), padded(b.data)) << b.name;
        }
    }
    EXPECT_EQ(blob.substr(2560 + 148, 8), std::string("07346\0\0 ", 8));
    EXPECT_EQ(blob.substr(3584, 1024), zeros(1024));  // the inner end blocks
    EXPECT_EQ(blob.substr(4608, 1024), zeros(1024));  // the outer end blocks
}

TEST(plugin_state, the_saver_is_described)
{
    const float values[6] = {1, 2, 3, 4, 5, 1};
    std::string blob = save("lv2", 44100.0f, values);
    std::vector<unsigned char> bytes = exact(blob);
    plugin_state state;
    ASSERT_EQ(plugin_state_parse(&state, bytes.data(), bytes.size()), 0);
    // "platform" names the build: "windows" in the Windows tree, "linux" natively.
    EXPECT_EQ(entries_of(state.info), replaced(default_info("lv2"), "sample_rate", f32_le(44100.0f)));
    EXPECT_STREQ(state.version, "1.0");
    plugin_state_free(&state);
}

// Saved values are the snapshot as it was: the clamps belong to restore.
TEST(plugin_state, save_stores_values_unclamped)
{
    const float values[6] = {150.0f, -1.0f, 50.0f, 100.0f, 250.0f, 0.3f};
    std::string blob = save("vst3", 48000.0f, values);
    std::vector<unsigned char> bytes = exact(blob);
    plugin_state state;
    ASSERT_EQ(plugin_state_parse(&state, bytes.data(), bytes.size()), 0);
    entry_list expected = {{"bypass", f32_le(0.3f)}, {"drive", f32_le(150.0f)}, {"heat", f32_le(50.0f)},
                           {"mix", f32_le(100.0f)}, {"tone", f32_le(-1.0f)}, {"volume", f32_le(250.0f)}};
    EXPECT_EQ(entries_of(state.parameters), expected);
    plugin_state_free(&state);
}

TEST(plugin_state, a_save_restores_in_either_format)
{
    const float values[6] = {12.5f, 99.0f, 0.0f, 33.25f, 200.0f, 1.0f};
    for (const char* saver : {"vst3", "lv2"}) {
        std::vector<unsigned char> blob = exact(save(saver, 96000.0f, values));
        for (const char* restorer : {"vst3", "lv2"}) {
            float restored[6] = {};
            ASSERT_EQ(plugin_state_restore(restorer, blob.data(), blob.size(), restored), 0) << saver << restorer;
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(restored[i], values[i]) << saver << " to " << restorer << ", index " << i;
        }
    }
}

TEST(plugin_state, an_unknown_format_restores_nothing)
{
    std::vector<unsigned char> blob = exact(save("vst3", 48000.0f, state_defaults));
    float values[6] = {-7, -7, -7, -7, -7, -7};
    EXPECT_EQ(plugin_state_restore("au", blob.data(), blob.size(), values), -1);
    for (float v : values)
        EXPECT_EQ(v, -7.0f);
}

// Another writer's entries survive a parse and a write byte for byte and in
// ascending order; our own next save starts from nothing and drops them.
TEST(plugin_state, extra_entries_are_kept_by_parse_and_write_only)
{
    entry_list inner = default_inner();
    inner.push_back({"zz.inner", std::string("\0inner\xff", 7)});
    inner.insert(inner.begin(), {"a.inner", ""});
    std::string blob = tar({{"z.outer", std::string(600, 'o')}, {"dsp.tar", tar(inner)}, {"a.outer", "1"}});
    std::vector<unsigned char> bytes = exact(blob);

    plugin_state state;
    ASSERT_EQ(plugin_state_parse(&state, bytes.data(), bytes.size()), 0);
    EXPECT_EQ(entries_of(state.inner_extra), (entry_list{{"a.inner", ""}, {"zz.inner", std::string("\0inner\xff", 7)}}));
    EXPECT_EQ(entries_of(state.outer_extra), (entry_list{{"a.outer", "1"}, {"z.outer", std::string(600, 'o')}}));
    size_t length = 0;
    void* written = plugin_state_write(&state, &length);
    plugin_state_free(&state);
    ASSERT_NE(written, nullptr);
    // The hand-made archive in ascending order is what the write must give.
    std::string sorted_inner = tar({{"a.inner", ""}, {"info.map", records(default_info())},
                                    {"parameters.map", records(default_parameters())}, {"version", "1.0"},
                                    {"zz.inner", std::string("\0inner\xff", 7)}});
    EXPECT_EQ(std::string((const char*)written, length),
              tar({{"a.outer", "1"}, {"dsp.tar", sorted_inner}, {"z.outer", std::string(600, 'o')}}));
    free(written);

    float values[6];
    ASSERT_EQ(plugin_state_restore("vst3", bytes.data(), bytes.size(), values), 0);
    EXPECT_EQ(save("vst3", 48000.0f, values), save("vst3", 48000.0f, state_defaults));
    EXPECT_EQ(save("vst3", 48000.0f, values).size(), 5632u);
}

TEST(plugin_state, an_empty_record_map_cannot_be_written)
{
    plugin_state state;
    ASSERT_EQ(plugin_state_init(&state), 0);
    ASSERT_EQ(kv_map_insert(state.info, "id", 2, state_id, 28), 0);
    size_t length = 0;
    EXPECT_EQ(plugin_state_write(&state, &length), nullptr);
    plugin_state_free(&state);
}

}  // namespace
