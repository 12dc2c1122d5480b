#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kv_map.h"
#include "kv_node.h"
#include "map_entries.h"

namespace {

struct order_case {
    std::string a, b;
    int sign;
};

TEST(kv_map, key_order)
{
    const order_case cases[] = {
        {"ab", "abc", -1},
        {"b", "abc", 1},
        {"", "a", -1},
        {"abc", "abc", 0},
        {"\x7f", "\x80", -1},                           // bytes are unsigned
        {std::string("a\0x", 3), std::string("a\0y", 3), 0},  // a shared NUL ends the byte comparison
        {std::string("a\0x", 3), std::string("a\0", 2), 1},   // ... and then the shorter key is first
        {std::string("a\0", 2), "ab", -1},
    };
    for (const order_case& c : cases) {
        kv_entry a = {c.a.size(), 0, c.a.data(), nullptr};
        kv_entry b = {c.b.size(), 0, c.b.data(), nullptr};
        int order = kv_map_compare(&a, &b);
        EXPECT_EQ((order > 0) - (order < 0), c.sign) << '"' << c.a << "\" vs \"" << c.b << '"';
        int reverse = kv_map_compare(&b, &a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << '"' << c.b << "\" vs \"" << c.a << '"';
    }
}

// Walks the tree checking what iteration and lookup rely on: parent links,
// stored heights, and the AVL balance.  Returns the subtree's height.
uint64_t check_subtree(const kv_node* node, const kv_node* parent)
{
    if (!node)
        return 0;
    EXPECT_EQ(node->parent, parent);
    uint64_t left = check_subtree(node->left, node), right = check_subtree(node->right, node);
    EXPECT_LE(left, right + 1);
    EXPECT_LE(right, left + 1);
    EXPECT_EQ(node->height, 1 + std::max(left, right));
    return node->height;
}

TEST(kv_map, stays_balanced_and_ordered)
{
    const int n = 2000;
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i)
        keys.push_back(std::to_string(1000000 + i));
    std::vector<std::vector<std::string>> orders = {keys, keys, keys};
    std::reverse(orders[1].begin(), orders[1].end());
    std::shuffle(orders[2].begin(), orders[2].end(), std::mt19937(7));
    for (const auto& order : orders) {
        kv_map* map = kv_map_new();
        ASSERT_NE(map, nullptr);
        for (const std::string& k : order)
            ASSERT_EQ(kv_map_insert(map, k.data(), k.size(), k.data(), k.size()), 0);
        uint64_t height = check_subtree(map->root, nullptr);
        EXPECT_LE(height, 16u);  // an AVL tree of 2000 nodes is at most 15 high
        entry_list listed = entries_of(map);
        ASSERT_EQ(listed.size(), keys.size());
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(listed[i].first, keys[i]);
        size_t length = 0;
        const void* found = kv_map_lookup(map, keys[1234].data(), keys[1234].size(), &length);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(std::string((const char*)found, length), keys[1234]);
        kv_map_free(map);
    }
}

TEST(kv_map, equal_keys_are_all_kept)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    const std::string values = "0123456789";
    // Many equal keys among others make the rotations move equal nodes around.
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(kv_map_insert(map, "m", 1, &values[i], 1), 0);
        ASSERT_EQ(kv_map_insert(map, &values[i], 1, "", 0), 0);
    }
    check_subtree(map->root, nullptr);
    entry_list listed = entries_of(map);
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(),
                               [](const auto& a, const auto& b) { return a.first < b.first; }));
    std::string seen;
    for (const auto& e : listed) {
        if (e.first == "m")
            seen += e.second;
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, values);
    kv_map_free(map);
}

TEST(kv_map, the_newer_of_two_equal_keys_comes_first)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(kv_map_insert(map, "k", 1, "old", 3), 0);
    ASSERT_EQ(kv_map_insert(map, "a", 1, "", 0), 0);
    ASSERT_EQ(kv_map_insert(map, "k", 1, "new", 3), 0);
    EXPECT_EQ(entries_of(map), (entry_list{{"a", ""}, {"k", "new"}, {"k", "old"}}));
    kv_map_free(map);
}

TEST(kv_map, lookup_of_a_missing_key_leaves_the_length_alone)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    size_t length = 77;
    EXPECT_EQ(kv_map_lookup(map, "a", 1, &length), nullptr);
    ASSERT_EQ(kv_map_insert(map, "ab", 2, "x", 1), 0);
    ASSERT_EQ(kv_map_insert(map, "empty", 5, "", 0), 0);
    EXPECT_EQ(kv_map_lookup(map, "a", 1, &length), nullptr);
    EXPECT_EQ(kv_map_lookup(map, "abc", 3, &length), nullptr);
    EXPECT_EQ(length, 77u);
    EXPECT_NE(kv_map_lookup(map, "empty", 5, &length), nullptr);
    EXPECT_EQ(length, 0u);
    kv_map_free(map);
}

int stop_at_second(const void*, size_t, const void*, size_t, void* user)
{
    int* calls = (int*)user;
    return ++*calls == 2 ? 42 : 0;
}

TEST(kv_map, a_nonzero_visit_stops_the_walk)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    for (const char* k : {"a", "b", "c"})
        ASSERT_EQ(kv_map_insert(map, k, 1, k, 1), 0);
    int calls = 0;
    EXPECT_EQ(kv_map_foreach(map, stop_at_second, &calls), 42);
    EXPECT_EQ(calls, 2);
    kv_map_free(map);
}

}  // namespace
