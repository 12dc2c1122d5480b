#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "kv_map.h"
#include "map_entries.h"
#include "state_bytes.h"

namespace {

TEST(map_records, written_in_ascending_key_order)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(kv_map_insert(map, "b", 1, "2", 1), 0);
    ASSERT_EQ(kv_map_insert(map, "abc", 3, "", 0), 0);
    ASSERT_EQ(kv_map_insert(map, "ab", 2, "\x00\x01", 2), 0);
    size_t length = 0;
    void* bytes = kv_map_to_records(map, &length);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string((const char*)bytes, length),
              record("ab", std::string("\x00\x01", 2)) + record("abc", "") + record("b", "2"));

    kv_map* back = kv_map_from_records(bytes, length);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(entries_of(back), entries_of(map));
    kv_map_free(back);
    free(bytes);
    kv_map_free(map);
}

TEST(map_records, an_empty_map_has_no_records)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    size_t length = 99;
    EXPECT_EQ(kv_map_to_records(map, &length), nullptr);
    kv_map_free(map);
}

// A length that does not fit its 32-bit field must fail the write, not wrap
// into a small number and copy gigabytes.  The value bytes are never read.
TEST(map_records, a_length_beyond_32_bits_fails_the_write)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    const char value[1] = {'x'};
    ASSERT_EQ(kv_map_insert(map, "a", 1, "1", 1), 0);
    ASSERT_EQ(kv_map_insert(map, "big", 3, value, (size_t)1 << 32 | 1), 0);
    size_t length = 0;
    EXPECT_EQ(kv_map_to_records(map, &length), nullptr);
    kv_map_free(map);
}

}  // namespace
