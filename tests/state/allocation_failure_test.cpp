// Every allocation of every operation is made to fail in turn: the
// operation must report it, set ENOMEM where it promises an errno, and leave
// nothing allocated and nothing changed.
#include <cerrno>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "failing_malloc.h"
#include "map_entries.h"
#include "plugin_state.h"
#include "state_bytes.h"

namespace {

// operation returns 0 on success, else the errno it saw (or -1 where none
// is promised), and frees whatever it was given.  No test macro may run while
// an allocation is set to fail: they allocate too.
template <typename operation_type>
void fail_each_allocation(const char* what, int expected_errno, operation_type operation)
{
    for (long n = 0;; ++n) {
        long live_before = failing_malloc_live_blocks();
        failing_malloc_fail_at(n);
        int result = operation();
        long allocations = failing_malloc_count();
        failing_malloc_fail_at(-1);
        if (n >= allocations) {
            // The failure was never reached: the whole operation ran.
            EXPECT_EQ(result, 0) << what;
            EXPECT_GT(n, 0) << what << " allocated nothing";
            return;
        }
        EXPECT_EQ(result, expected_errno) << what << ", allocation " << n;
        EXPECT_EQ(failing_malloc_live_blocks(), live_before) << what << ", allocation " << n;
    }
}

int errno_of_failure(bool failed)
{
    return failed ? errno : 0;
}

TEST(allocation_failure, map_operations)
{
    std::string image = tar({{"a", "1"}, {"b", "2"}, {"c", std::string(600, '3')}});
    std::string flat = records({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    kv_map* map = kv_map_from_records(flat.data(), flat.size());
    ASSERT_NE(map, nullptr);
    entry_list before = entries_of(map);

    fail_each_allocation("kv_map_insert", -1, [&] {
        if (kv_map_insert(map, "b", 1, "new", 3) != 0)
            return -1;
        return 0;
    });
    // Each successful run added one "b"; the failed ones added nothing.
    EXPECT_EQ(entries_of(map), (entry_list{{"a", "1"}, {"b", "new"}, {"b", "2"}, {"c", "3"}}));
    kv_map_free(map);
    map = kv_map_from_records(flat.data(), flat.size());
    ASSERT_NE(map, nullptr);

    fail_each_allocation("kv_map_from_tar", ENOMEM, [&] {
        kv_map* parsed = kv_map_from_tar(image.data(), image.size());
        int result = errno_of_failure(!parsed);
        kv_map_free(parsed);
        return result;
    });
    fail_each_allocation("kv_map_from_records", ENOMEM, [&] {
        kv_map* parsed = kv_map_from_records(flat.data(), flat.size());
        int result = errno_of_failure(!parsed);
        kv_map_free(parsed);
        return result;
    });
    fail_each_allocation("kv_map_to_tar", -1, [&] {
        size_t length;
        void* bytes = kv_map_to_tar(map, &length);
        free(bytes);
        return bytes ? 0 : -1;
    });
    fail_each_allocation("kv_map_to_records", -1, [&] {
        size_t length;
        void* bytes = kv_map_to_records(map, &length);
        free(bytes);
        return bytes ? 0 : -1;
    });
    EXPECT_EQ(entries_of(map), before);
    kv_map_free(map);
}

TEST(allocation_failure, state_operations)
{
    std::string blob = tar({{"a.outer", "1"}, {"dsp.tar", tar(replaced(default_inner(), "notes", "n"))}});

    fail_each_allocation("plugin_state_init", -1, [&] {
        plugin_state state;
        if (plugin_state_init(&state) != 0)
            return -1;
        plugin_state_free(&state);
        return 0;
    });
    fail_each_allocation("plugin_state_parse", ENOMEM, [&] {
        plugin_state state;
        if (plugin_state_parse(&state, blob.data(), blob.size()) != 0)
            return errno;
        plugin_state_free(&state);
        return 0;
    });

    plugin_state parsed;
    ASSERT_EQ(plugin_state_parse(&parsed, blob.data(), blob.size()), 0);
    fail_each_allocation("plugin_state_write", -1, [&] {
        size_t length;
        void* written = plugin_state_write(&parsed, &length);
        free(written);
        return written ? 0 : -1;
    });
    plugin_state_free(&parsed);

    fail_each_allocation("plugin_state_save", -1, [&] {
        size_t length;
        void* saved = plugin_state_save("lv2", 48000.0f, state_defaults, &length);
        free(saved);
        return saved ? 0 : -1;
    });

    const float untouched = -7.0f;
    float values[6] = {untouched, untouched, untouched, untouched, untouched, untouched};
    bool changed_by_a_failure = false;
    fail_each_allocation("plugin_state_restore", -1, [&] {
        if (plugin_state_restore("vst3", blob.data(), blob.size(), values) == 0)
            return 0;
        for (float v : values)
            changed_by_a_failure |= v != untouched;
        return -1;
    });
    EXPECT_FALSE(changed_by_a_failure);
    EXPECT_EQ(values[0], state_defaults[0]);
}

}  // namespace
